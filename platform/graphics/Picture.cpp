#include "platform/graphics/Graphic.h"

#include "platform/classes/Streaming.h"
#include "platform/graphics/GraphicIO.h"
#include "platform/graphics/Icon.h"
#include "platform/graphics/Jpeg.h"
#include "platform/graphics/Metafile.h"
#include "platform/rtl/SysUtils.h"

#include <vector>

namespace {

struct FileFormat {
    AnsiString Extension;
    AnsiString Description;
    TGraphicClass Class;
};

std::vector<FileFormat>& Formats()
{
    static std::vector<FileFormat> formats{
        {"bmp", "Bitmaps", TBitmap::StaticClass()},
        {"jpg", "JPEG Image File", TJPEGImage::StaticClass()},
        {"jpeg", "JPEG Image File", TJPEGImage::StaticClass()},
        {"emf", "Enhanced Metafiles", TMetafile::StaticClass()},
        {"wmf", "Metafiles", TMetafile::StaticClass()},
        {"ico", "Icons", TIcon::StaticClass()},
    };
    return formats;
}

AnsiString ExtensionOf(const AnsiString& fileName)
{
    AnsiString ext = ExtractFileExt(fileName);
    if (!ext.empty() && ext[0] == '.')
        ext.erase(0, 1);
    return ext;
}

// The kind of a graphic from its first bytes; nullptr when none matches.
TGraphicClass SniffClass(const AnsiString& head)
{
    if (head.size() >= 2 && head[0] == 'B' && head[1] == 'M')
        return TBitmap::StaticClass();
    if (head.size() >= 2 && uint8_t(head[0]) == 0xFF && uint8_t(head[1]) == 0xD8)
        return TJPEGImage::StaticClass();
    if (head.size() >= 4 && head.compare(0, 4, "SKMF") == 0)
        return TMetafile::StaticClass();
    if (head.size() >= 4 && head.compare(0, 4, std::string("\0\0\1\0", 4)) == 0)
        return TIcon::StaticClass();
    return nullptr;
}

}  // namespace

void RegisterFileFormat(const AnsiString& extension, const AnsiString& description, TGraphicClass cls)
{
    for (FileFormat& f : Formats())
        if (SameText(f.Extension, extension)) {
            f.Description = description;
            f.Class = cls;
            return;
        }
    Formats().push_back({extension, description, cls});
}

TGraphicClass GraphicClassForExtension(const AnsiString& extension)
{
    for (const FileFormat& f : Formats())
        if (SameText(f.Extension, extension))
            return f.Class;
    return nullptr;
}

TGraphicClass GraphicClassByName(const AnsiString& className)
{
    for (TGraphicClass cls :
         {TBitmap::StaticClass(), TJPEGImage::StaticClass(), TMetafile::StaticClass(), TIcon::StaticClass()})
        if (SameText(cls->ClassName(), className))
            return cls;
    for (const FileFormat& f : Formats())
        if (SameText(f.Class->ClassName(), className))
            return f.Class;
    return nullptr;
}

std::unique_ptr<TGraphic> NewGraphic(TGraphicClass cls)
{
    if (!cls || !cls->InheritsFrom(TGraphic::StaticClass()))
        throw EInvalidGraphic("not a graphic class");
    std::unique_ptr<TObject> obj = cls->NewInstance();
    auto* graphic = dynamic_cast<TGraphic*>(obj.get());
    if (!graphic)
        throw EInvalidGraphic("cannot create a graphic of class " + cls->ClassName());
    obj.release();
    return std::unique_ptr<TGraphic>(graphic);
}

// ---------------------------------------------------------------- TPicture

SKLAD_DEFINE_CLASS(TPicture)
void TPicture::Publish(TPropertyTable&) {}

TPicture::TPicture() = default;
TPicture::~TPicture() = default;

void TPicture::Changed()
{
    OnChange(this);
}

void TPicture::GraphicChanged(TObject*)
{
    Changed();
}

void TPicture::SetGraphic(std::unique_ptr<TGraphic> value)
{
    FGraphic = std::move(value);
    if (FGraphic)
        FGraphic->OnChange = TNotifyEvent::Lambda([this](TObject* sender) { GraphicChanged(sender); });
    Changed();
}

void TPicture::SetGraphic(TGraphic* value)
{
    if (!value) {
        SetGraphic(std::unique_ptr<TGraphic>());
        return;
    }
    std::unique_ptr<TGraphic> copy = NewGraphic(value->ClassType());
    copy->Assign(value);
    SetGraphic(std::move(copy));
}

TBitmap* TPicture::GetBitmap()
{
    if (auto* b = dynamic_cast<TBitmap*>(FGraphic.get()))
        return b;
    SetGraphic(std::make_unique<TBitmap>());
    return static_cast<TBitmap*>(FGraphic.get());
}

void TPicture::LoadFromFile(const AnsiString& fileName)
{
    const AnsiString ext = ExtensionOf(fileName);
    TGraphicClass cls = GraphicClassForExtension(ext);
    if (!cls)
        throw EInvalidGraphic("Unknown picture file extension (." + ext + ")");
    std::unique_ptr<TGraphic> graphic = NewGraphic(cls);
    graphic->LoadFromFile(fileName);
    SetGraphic(std::move(graphic));
}

void TPicture::SaveToFile(const AnsiString& fileName)
{
    if (FGraphic)
        FGraphic->SaveToFile(fileName);
}

void TPicture::LoadFromStream(TStream& stream)
{
    const int64_t start = stream.GetPosition();
    AnsiString head(4, '\0');
    head.resize(size_t(stream.Read(head.data(), 4)));
    stream.SetPosition(start);
    TGraphicClass cls = SniffClass(head);
    if (!cls)
        throw EInvalidGraphic("Unknown picture format");
    std::unique_ptr<TGraphic> graphic = NewGraphic(cls);
    graphic->LoadFromStream(stream);
    SetGraphic(std::move(graphic));
}

void TPicture::SaveToStream(TStream& stream)
{
    if (FGraphic)
        FGraphic->SaveToStream(stream);
}

void TPicture::Assign(TPersistent* source)
{
    if (!source) {
        SetGraphic(static_cast<TGraphic*>(nullptr));
        return;
    }
    if (auto* p = dynamic_cast<TPicture*>(source)) {
        SetGraphic(p->GetGraphic());
        return;
    }
    if (auto* g = dynamic_cast<TGraphic*>(source)) {
        SetGraphic(g);
        return;
    }
    TPersistent::Assign(source);
}

void TPicture::ReadData(TStream& stream)
{
    uint8_t length = 0;
    if (stream.Read(&length, 1) != 1)
        throw EInvalidGraphic("picture data: the class name is missing");
    AnsiString name(length, '\0');
    if (length && stream.Read(name.data(), length) != length)
        throw EInvalidGraphic("picture data: the class name is cut short");
    if (name.empty()) {
        SetGraphic(std::unique_ptr<TGraphic>());
        return;
    }
    TGraphicClass cls = GraphicClassByName(name);
    if (!cls)
        throw EInvalidGraphic("picture data: unknown graphic class " + name);
    std::unique_ptr<TGraphic> graphic = NewGraphic(cls);
    graphic->ReadData(stream);
    SetGraphic(std::move(graphic));
}

void TPicture::WriteData(TStream& stream)
{
    const AnsiString name = FGraphic ? FGraphic->ClassType()->ClassName() : AnsiString();
    const uint8_t length = uint8_t(name.size());
    stream.WriteBuffer(&length, 1);
    stream.WriteBuffer(name.data(), length);
    if (FGraphic)
        FGraphic->WriteData(stream);
}

void TPicture::DefineProperties(TFiler* filer)
{
    filer->DefineBinaryProperty(
        "Data", [this](TStream& s) { ReadData(s); }, [this](TStream& s) { WriteData(s); },
        FGraphic != nullptr && !FGraphic->Empty());
}
