// GraphicsBindings.cpp - the graphics unit: fonts, pens, brushes, canvases,
// graphics, pictures, metafiles and bitmaps, the colour constants and the
// enumerations of font style, pitch, pen style, pen mode and brush style.
//
// The dispatch rule is the classes unit's. Sound behaviour kept here: a
// bitmap drawn onto its own canvas is drawn from a copy; a metafile canvas
// holds its metafile by handle, so a metafile freed before its canvas is not
// written into when the canvas goes.
#include "script/bindings/BindingsCommon.h"

#include "platform/graphics/Graphic.h"
#include "platform/graphics/Metafile.h"
#include "platform/rtl/SysUtils.h"

#include <algorithm>

namespace script_bindings {

// A canvas that records into a metafile, made in two steps like every script
// object (the platform's TMetafileCanvas takes its metafile in its C++
// constructor). What is drawn replaces the metafile's drawing when the canvas
// is freed, if the metafile still exists then.
class TScriptMetafileCanvas : public TCanvas {
    SKLAD_CLASS_NOPUBLISH(TScriptMetafileCanvas, TCanvas)
public:
    TScriptMetafileCanvas() = default;
    ~TScriptMetafileCanvas() override
    {
        SetDevice(nullptr);
        if (!IsLiveHandle(FMetafile))
            return;
        static_cast<TMetafile*>(ResolveHandle(FMetafile))->EndRecording(FRecorder);
    }
    void Start(TMetafile* metafile)
    {
        FMetafile = HandleOf(metafile);
        SetDevice(&FRecorder);
    }

private:
    uint32_t FMetafile = 0;
    TRecordingDevice FRecorder{&DefaultFontBackend()};
};

TClass TScriptMetafileCanvas::StaticClass()
{
    static const TMetaClass meta = classes_detail::MakeMetaClass<TScriptMetafileCanvas>("TMetafileCanvas", false);
    return &meta;
}

} // namespace script_bindings

namespace sc_igraphicsrtti {

using namespace script_bindings;

namespace {

Variant Finish(TObject* inst)
{
    TakeIfFresh(inst);
    return ObjOut(inst);
}

TGraphic* GraphicArg(const Variant& p, int i)
{
    return ObjArgAs<TGraphic>(p, i, "Graphic", true);
}

// Draws g; a bitmap is drawn from a copy, so drawing it onto its own canvas
// never reads pixels that the same call is writing.
template <class DrawFn>
void DrawGraphic(TGraphic* g, DrawFn draw)
{
    if (!g)
        return;
    if (auto* bmp = dynamic_cast<TBitmap*>(g)) {
        TBitmap copy;
        copy.Assign(bmp);
        draw(&copy);
        return;
    }
    draw(g);
}

Variant CallCanvas(TCanvas* c, const AnsiString& n, Variant& p)
{
    if (n == "CREATE")
        return Finish(c);
    if (n == "DRAW") {
        const int x = IntArg(p, 0), y = IntArg(p, 1);
        DrawGraphic(GraphicArg(p, 2), [&](TGraphic* g) { c->Draw(x, y, g); });
    } else if (n == "ELLIPSE")
        c->Ellipse(IntArg(p, 0), IntArg(p, 1), IntArg(p, 2), IntArg(p, 3));
    else if (n == "LINETO")
        c->LineTo(IntArg(p, 0), IntArg(p, 1));
    else if (n == "MOVETO")
        c->MoveTo(IntArg(p, 0), IntArg(p, 1));
    else if (n == "RECTANGLE")
        c->Rectangle(IntArg(p, 0), IntArg(p, 1), IntArg(p, 2), IntArg(p, 3));
    else if (n == "ROUNDRECT")
        c->RoundRect(IntArg(p, 0), IntArg(p, 1), IntArg(p, 2), IntArg(p, 3), IntArg(p, 4), IntArg(p, 5));
    else if (n == "STRETCHDRAW") {
        const TRect r = Rect(IntArg(p, 0), IntArg(p, 1), IntArg(p, 2), IntArg(p, 3));
        DrawGraphic(GraphicArg(p, 4), [&](TGraphic* g) { c->StretchDraw(r, g); });
    } else if (n == "TEXTHEIGHT")
        return Variant(c->TextHeight(StrArg(p, 0)));
    else if (n == "TEXTOUT")
        c->TextOut(IntArg(p, 0), IntArg(p, 1), StrArg(p, 2));
    else if (n == "TEXTWIDTH")
        return Variant(c->TextWidth(StrArg(p, 0)));
    else if (n == "PIXELS.GET")
        return Variant(static_cast<int>(c->GetPixel(IntArg(p, 0), IntArg(p, 1))));
    else if (n == "PIXELS.SET")
        c->SetPixel(IntArg(p, 0), IntArg(p, 1), static_cast<TColor>(IntArg(p, 2)));
    return Variant(0);
}

Variant GraphicsCallMethod(TObject* inst, TClass ct, const AnsiString& n, Variant& p)
{
    if (!inst)
        return Variant(0);
    if (ct == TFont::StaticClass() || ct == TPen::StaticClass() || ct == TBrush::StaticClass())
        return n == "CREATE" ? Finish(inst) : Variant(0);
    if (ct == TCanvas::StaticClass())
        return CallCanvas(static_cast<TCanvas*>(inst), n, p);
    if (ct == TGraphic::StaticClass()) {
        auto* g = static_cast<TGraphic*>(inst);
        if (n == "CREATE")
            return Finish(g);
        if (n == "LOADFROMFILE")
            g->LoadFromFile(StrArg(p, 0));
        else if (n == "SAVETOFILE")
            g->SaveToFile(StrArg(p, 0));
        return Variant(0);
    }
    if (ct == TPicture::StaticClass()) {
        auto* pic = static_cast<TPicture*>(inst);
        if (n == "LOADFROMFILE")
            pic->LoadFromFile(StrArg(p, 0));
        else if (n == "SAVETOFILE")
            pic->SaveToFile(StrArg(p, 0));
        return Variant(0);
    }
    if (ct == TScriptMetafileCanvas::StaticClass()) {
        if (n == "CREATE") {
            auto* c = static_cast<TScriptMetafileCanvas*>(inst);
            auto* metafile = ObjArgAs<TMetafile>(p, 0, "AMetafile");
            if (TakeIfFresh(c))
                c->Start(metafile);
            return ObjOut(c);
        }
        return Variant(0);
    }
    return Variant(0);
}

Variant GraphicsGetProp(TObject* inst, TClass ct, const AnsiString& n)
{
    if (!inst)
        return Variant(0);
    if (ct == TGraphic::StaticClass()) {
        auto* g = static_cast<TGraphic*>(inst);
        if (n == "HEIGHT")
            return Variant(g->GetHeight());
        if (n == "WIDTH")
            return Variant(g->GetWidth());
    } else if (ct == TPicture::StaticClass()) {
        auto* pic = static_cast<TPicture*>(inst);
        if (n == "HEIGHT")
            return Variant(pic->GetHeight());
        if (n == "WIDTH")
            return Variant(pic->GetWidth());
    } else if (ct == TBitmap::StaticClass() && n == "CANVAS") {
        return ObjOut(static_cast<TBitmap*>(inst)->GetCanvas());
    }
    return Variant(0);
}

void GraphicsSetProp(TObject* inst, TClass ct, const AnsiString& n, const Variant& v)
{
    if (!inst || ct != TGraphic::StaticClass())
        return;
    auto* g = static_cast<TGraphic*>(inst);
    if (n == "HEIGHT")
        g->SetHeight(v.AsInteger());
    else if (n == "WIDTH")
        g->SetWidth(v.AsInteger());
}

class TFunctions : public TBindingRegistrar {
public:
    TFunctions()
    {
        TscScript& u = *scGlobalUnit();
        TRegistering mark(u, this);
        const TscCallMethodEvent call = GraphicsCallMethod;
        const TscGetValueEvent get = GraphicsGetProp;
        const TscSetValueEvent set = GraphicsSetProp;

        GetColorValues([&u](const AnsiString& ident) { AddColorConst(u, ident); });

        u.AddEnumSet("TFontStyles", "fsBold, fsItalic, fsUnderline, fsStrikeout");
        u.AddEnum("TFontPitch", "fpDefault, fpVariable, fpFixed");
        u.AddEnum("TPenStyle", "psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame");
        u.AddEnum("TPenMode", "pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot, "
                              "pmMergeNotPen, pmMaskNotPen, pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor");
        u.AddEnum("TBrushStyle", "bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, "
                                 "bsDiagCross");

        Class(u, TFont::StaticClass(), "TPersistent").AddConstructor("constructor Create", call);
        Class(u, TPen::StaticClass(), "TPersistent").AddConstructor("constructor Create", call);
        Class(u, TBrush::StaticClass(), "TPersistent").AddConstructor("constructor Create", call);

        TscClassVariable& canvas = Class(u, TCanvas::StaticClass(), "TPersistent");
        canvas.AddConstructor("constructor Create", call);
        canvas.AddMethod("procedure Draw(X, Y: Integer; Graphic: TGraphic)", call);
        canvas.AddMethod("procedure Ellipse(X1, Y1, X2, Y2: Integer)", call);
        canvas.AddMethod("procedure LineTo(X, Y: Integer)", call);
        canvas.AddMethod("procedure MoveTo(X, Y: Integer)", call);
        canvas.AddMethod("procedure Rectangle(X1, Y1, X2, Y2: Integer)", call);
        canvas.AddMethod("procedure RoundRect(X1, Y1, X2, Y2, X3, Y3: Integer)", call);
        canvas.AddMethod("procedure StretchDraw(X1, Y1, X2, Y2: Integer; Graphic: TGraphic)", call);
        canvas.AddMethod("function TextHeight(const Text: string): Integer", call);
        canvas.AddMethod("procedure TextOut(X, Y: Integer; const Text: string)", call);
        canvas.AddMethod("function TextWidth(const Text: string): Integer", call);
        canvas.AddIndexProperty("Pixels", "Integer, Integer", "TColor", call);

        TscClassVariable& graphic = Class(u, TGraphic::StaticClass(), "TPersistent");
        graphic.AddConstructor("constructor Create", call);
        graphic.AddMethod("procedure LoadFromFile(const Filename: string)", call);
        graphic.AddMethod("procedure SaveToFile(const Filename: string)", call);
        graphic.AddProperty("Height", "Integer", get, set);
        graphic.AddProperty("Width", "Integer", get, set);

        TscClassVariable& picture = Class(u, TPicture::StaticClass(), "TPersistent");
        picture.AddMethod("procedure LoadFromFile(const Filename: string)", call);
        picture.AddMethod("procedure SaveToFile(const Filename: string)", call);
        picture.AddProperty("Height", "Integer", get);
        picture.AddProperty("Width", "Integer", get);

        Class(u, TMetafile::StaticClass(), "TGraphic");
        Class(u, TScriptMetafileCanvas::StaticClass(), "TCanvas")
            .AddConstructor("constructor Create(AMetafile: TMetafile; ReferenceDevice: Integer)", call);
        Class(u, TBitmap::StaticClass(), "TGraphic").AddProperty("Canvas", "TCanvas", get);
    }

private:
    // One colour identifier from the platform's table; an unknown one gives 0.
    static void AddColorConst(TscScript& u, const AnsiString& ident)
    {
        int color = 0;
        if (!IdentToColor(ident, color))
            color = 0;
        u.AddConst(ident, "Integer", Variant(color));
    }
};

} // namespace

} // namespace sc_igraphicsrtti

std::unique_ptr<script_bindings::TBindingRegistrar> script_bindings::CreateGraphicsRegistrar()
{
    return std::make_unique<sc_igraphicsrtti::TFunctions>();
}
