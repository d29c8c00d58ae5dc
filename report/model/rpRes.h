// rpRes.h - the report library's user-interface texts, by key.
//
// One process-wide dictionary (rpResources()) holds every text the library shows: single
// messages ("clErrors") and text blocks named after a window class, whose lines set the
// window's captions and hints ("PrintB.Caption=Печать"). frAddClassesRes() fills it with the
// Russian texts at start-up; a key with no text comes back as the key itself.
//
// It also holds the library's image lists: the tool-bar buttons (16 x 16, with their
// disabled twins) and the report objects (22 x 22), cut from the bitmap resources
// "rpBUTTONS" and "rpOBJECTS" on first use (see rpSetBitmapResourceLoader).
#pragma once

#include "platform/classes/Classes.h"
#include "platform/gui/ImgList.h"

#include <functional>

class TrpResources : public TObject {
    SKLAD_CLASS_NOPUBLISH(TrpResources, TObject)
public:
    TrpResources();
    // Replaces the text of an existing key, or adds the key.
    void Add(const AnsiString& Ref, const AnsiString& Str);
    // The text of the key (ignoring case), or the key itself.
    AnsiString Get(const AnsiString& Ref) const;
    bool Has(const AnsiString& Ref) const;
    void Clear();
    int Count() const { return FValues.Count(); }
    // Sets the captions and hints of a window (or any component) from the block named
    // after its class: "Component.Property=text" or "Property=text" lines. Lines naming
    // no component, or a property that is not a string, are skipped.
    void LocalizeForm(TComponent* Form) const;

    // The 16 x 16 button images; the "rpBUTTONS" strip is cut into them when empty.
    TCustomImageList* GetMainButtonImages();
    TCustomImageList* GetDisabledButtonImages() const { return FDisabledButtonImages.get(); }
    // Cuts a strip of pairs (image, disabled image) into the two button lists.
    void SetButtonImages(TBitmap* Images, bool Clear = false);
    // The 22 x 22 object images; the "rpOBJECTS" strip is cut into them when empty.
    TCustomImageList* GetObjectImages();
    void SetObjectImages(TBitmap* Images, bool Clear = false);

private:
    std::unique_ptr<TImageList> FDisabledButtonImages;
    std::unique_ptr<TImageList> FMainButtonImages;
    std::unique_ptr<TImageList> FObjectImages;
    TStringList FNames;   // sorted keys, object = index into FValues
    TStringList FValues;
};

// Reads a bitmap resource of the program by name into Bitmap; false when there is none.
// The program's own resources (platform/graphics/Resources.h) unless a test installs
// another loader; nullptr puts the program's back.
using TrpBitmapResourceLoader = std::function<bool(const AnsiString& Name, TBitmap& Bitmap)>;
void rpSetBitmapResourceLoader(TrpBitmapResourceLoader Loader);
// A bitmap resource by name through the installed loader; false when there is none.
bool rpLoadBitmapResource(const AnsiString& Name, TBitmap& Bitmap);
// Registers the library's pictures as program resources: the bitmaps "rpBUTTONS" (pairs of
// 16 x 16 cells), "rpOBJECTS" (22 x 22 cells) and "rpEMPTY", and the cursors "rpHAND",
// "rpZOOM" and "rpFORMAT". Run by rpInitModel.
void rpRegisterResourceImages();

// The one dictionary, created on first use.
TrpResources& rpResources();
// Adds the library's 46 Russian texts (six window blocks, forty messages), in order.
void frAddClassesRes();
