// rpClassRTTI.cpp - registration of the report classes in the global script unit.
#include "report/model/rpClassRTTI.h"

#include "report/model/rpClass.h"
#include "report/model/rpDMPClass.h"
#include "report/model/rpDialogs.h"
#include "report/model/rpMemo.h"

#include "script/GlobalUnit.h"
#include "script/Messages.h"

#include "platform/classes/Handles.h"
#include "platform/rtl/SysUtils.h"

namespace {

std::unique_ptr<TrpFunctions>& Instance()
{
    static std::unique_ptr<TrpFunctions> f;
    return f;
}

Variant Arg(const Variant& Params, int Index)
{
    if (!VarIsArray(Params) || VarArrayHighBound(Params, 1) < Index)
        return Null();
    return VarArrayGet(Params, {Index});
}
AnsiString ArgStr(const Variant& Params, int Index) { return VarToStr(Arg(Params, Index)); }

template <class T>
T* ArgObj(const Variant& Params, int Index)
{
    return static_cast<T*>(VariantToObject(Arg(Params, Index), T::StaticClass()));
}

// The objects of a report that is being built must stay as they are.
void RefuseWhileRunning(TrpComponent* C, const char* What)
{
    TrpReport* r = dynamic_cast<TrpReport*>(C);
    if (!r)
        r = rpReportOf(C);
    if (r && (r->GetEngine()->Running || r->Preparing))
        throw Exception(Format("%s is not allowed while the report is being built", {What}));
}

int DatePart(const Variant& V, const char* Fmt) { return StrToInt(FormatDateTime(Fmt, VarToDateTime(V))); }

}  // namespace

SKLAD_DEFINE_ABSTRACT_CLASS(TrpFunctions)

TrpFunctions::TrpFunctions()
{
    TscScript* u = scGlobalUnit();
    if (!u)
        return;
    u->RegisteringOwner = this;
    struct Reset {
        TscScript* u;
        ~Reset() { u->RegisteringOwner = nullptr; }
    } reset{u};

    auto call = [this](TObject* i, TClass c, const AnsiString& m, Variant& p) { return ReportCallMethod(i, c, m, p); };
    auto get = [this](TObject* i, TClass c, const AnsiString& n) { return ReportGetProp(i, c, n); };
    auto set = [this](TObject* i, TClass c, const AnsiString& n, const Variant& v) { ReportSetProp(i, c, n, v); };

    u->AddConst("fr01cm", "Extended", Variant(3.77953));
    u->AddConst("fr1cm", "Extended", Variant(37.7953));
    u->AddConst("fr01in", "Extended", Variant(9.6));
    u->AddConst("fr1in", "Extended", Variant(96));
    u->AddConst("fr1CharX", "Extended", Variant(9.6));
    u->AddConst("fr1CharY", "Extended", Variant(17));
    u->AddConst("clTransparent", "Integer", Variant(static_cast<int>(clNone)));
    u->AddConst("crHand", "Integer", Variant(50));
    u->AddConst("crZoom", "Integer", Variant(51));
    u->AddConst("crFormat", "Integer", Variant(52));

    // The enumerations and sets come from the same type information the properties use.
    auto names = [](const TTypeInfo* info) {
        AnsiString r;
        for (const AnsiString& n : info->EnumNames)
            r += (r.empty() ? "" : ", ") + n;
        return r;
    };
    u->AddEnum("TrpStretchMode", names(TTypeInfoOf<TrpStretchMode>::Get()));
    u->AddEnum("TrpShiftMode", names(TTypeInfoOf<TrpShiftMode>::Get()));
    u->AddEnum("TrpDuplexMode", names(TTypeInfoOf<TrpDuplexMode>::Get()));
    u->AddEnum("TrpAlign", names(TTypeInfoOf<TrpAlign>::Get()));
    u->AddEnum("TrpFrameStyle", names(TTypeInfoOf<TrpFrameStyle>::Get()));
    u->AddEnumSet("TrpFrameTypes", names(TTypeInfoOf<TrpFrameType>::Get()));
    u->AddEnum("TrpHAlign", names(TTypeInfoOf<TrpHAlign>::Get()));
    u->AddEnum("TrpVAlign", names(TTypeInfoOf<TrpVAlign>::Get()));
    u->AddEnumSet("TrpRestrictions", names(TTypeInfoOf<TrpRestriction>::Get()));
    u->AddEnum("TrpShapeKind", names(TTypeInfoOf<TrpShapeKind>::Get()));
    u->AddEnumSet("TrpPreviewButtons", names(TTypeInfoOf<TrpPreviewButton>::Get()));
    u->AddEnum("TrpZoomMode", names(TTypeInfoOf<TrpZoomMode>::Get()));
    u->AddEnum("TrpPrintPages", names(TTypeInfoOf<TrpPrintPages>::Get()));
    u->AddEnumSet("TrpDMPFontStyles", names(TTypeInfoOf<TrpDMPFontStyle>::Get()));
    u->AddEnum("TrpRangeBegin", names(TTypeInfoOf<TrpRangeBegin>::Get()));
    u->AddEnum("TrpRangeEnd", names(TTypeInfoOf<TrpRangeEnd>::Get()));
    u->AddEnum("TrpFieldType", names(TTypeInfoOf<TrpFieldType>::Get()));
    u->AddEnum("TrpFormatKind", names(TTypeInfoOf<TrpFormatKind>::Get()));

    // Platform ancestors, when the class bindings have not registered them.
    u->AddClass(TObject::StaticClass(), "");
    u->AddClass(TPersistent::StaticClass(), "TObject");
    u->AddClass(TComponent::StaticClass(), "TPersistent");
    u->AddClass(TCollectionItem::StaticClass(), "TPersistent");
    u->AddClass(TCollection::StaticClass(), "TPersistent");
    if (TscClassVariable* s = u->AddClass(TStrings::StaticClass(), "TPersistent")) {
        s->AddProperty("Text", "String", get, set);
        s->AddProperty("Count", "Integer", get);
        s->AddMethod("function Add(const S: String): Integer", call);
        s->AddMethod("procedure Clear", call);
        s->AddDefaultProperty("Strings", "Integer", "String", call);
    }
    u->AddClass(TStringList::StaticClass(), "TStrings");
    if (TscClassVariable* l = u->AddClass(TList::StaticClass(), "TObject")) {
        l->AddProperty("Count", "Integer", get);
        l->AddMethod("function IndexOf(Item: TObject): Integer", call);
        l->AddDefaultProperty("Items", "Integer", "TObject", call, true);
    }

    auto cls = [&](TClass c, const char* ancestor) { return u->AddClass(c, ancestor); };
    if (TscClassVariable* c = cls(TrpDataSet::StaticClass(), "TComponent")) {
        for (const char* m : {"procedure Open", "procedure Close", "procedure First", "procedure Next",
                              "procedure Prior", "function Eof: Boolean", "function FieldsCount: Integer",
                              "function HasField(const fName: String): Boolean",
                              "function IsBlobField(const fName: String): Boolean",
                              "procedure GetFieldList(List: TStrings)"})
            c->AddMethod(m, call);
        c->AddProperty("RecNo", "Integer", get);
        c->AddIndexProperty("DisplayText", "String", "String", call, true);
        c->AddIndexProperty("DisplayWidth", "String", "Integer", call, true);
        c->AddIndexProperty("FieldType", "String", "TrpFieldType", call, true);
        c->AddIndexProperty("Value", "String", "Variant", call, true);
    }
    cls(TrpUserDataSet::StaticClass(), "TrpDataSet");
    cls(TrpCustomDBDataSet::StaticClass(), "TrpDataSet");
    cls(TrpDBDataset::StaticClass(), "TrpCustomDBDataSet");
    if (TscClassVariable* c = cls(TrpComponent::StaticClass(), "TComponent")) {
        for (const char* m : {"procedure Clear", "function FindObject(s: String): TrpComponent",
                              "procedure LoadFromStream(Stream: TStream)",
                              "procedure SaveToStream(Stream: TStream; SaveChildren: Boolean = True)",
                              "procedure SetBounds(ALeft, ATop, AWidth, AHeight: Extended)"})
            c->AddMethod(m, call);
        c->AddProperty("Objects", "TList", get);
        c->AddProperty("AllObjects", "TList", get);
        c->AddProperty("Parent", "TrpComponent", get, set);
        c->AddProperty("Page", "TrpPage", get);
        c->AddProperty("AbsLeft", "Extended", get);
        c->AddProperty("AbsTop", "Extended", get);
    }
    cls(TrpReportComponent::StaticClass(), "TrpComponent");
    cls(TrpDialogComponent::StaticClass(), "TrpReportComponent");
    if (TscClassVariable* c = cls(TrpDialogControl::StaticClass(), "TrpReportComponent"))
        c->AddMethod("procedure SetFocus", call);
    cls(TrpFrame::StaticClass(), "TPersistent");
    cls(TrpView::StaticClass(), "TrpReportComponent");
    cls(TrpShapeView::StaticClass(), "TrpView");
    if (TscClassVariable* c = cls(TrpStretcheable::StaticClass(), "TrpView"))
        c->AddMethod("function CalcHeight: Extended", call);
    cls(TrpHighlight::StaticClass(), "TPersistent");
    cls(TrpFormat::StaticClass(), "TPersistent");
    if (TscClassVariable* c = cls(TrpCustomMemoView::StaticClass(), "TrpStretcheable")) {
        c->AddMethod("function CalcWidth: Extended", call);
        c->AddProperty("Text", "String", get, set);
        c->AddProperty("Lines", "TStrings", get, set);
        c->AddProperty("Value", "Variant", get);
    }
    cls(TrpMemoView::StaticClass(), "TrpCustomMemoView");
    cls(TrpSysMemoView::StaticClass(), "TrpCustomMemoView");
    cls(TrpDMPMemoView::StaticClass(), "TrpCustomMemoView");
    cls(TrpCustomLineView::StaticClass(), "TrpStretcheable");
    cls(TrpLineView::StaticClass(), "TrpCustomLineView");
    cls(TrpDMPLineView::StaticClass(), "TrpCustomLineView");
    if (TscClassVariable* c = cls(TrpPictureView::StaticClass(), "TrpView"))
        c->AddMethod("procedure LoadFromFile(filename: String)", call);
    cls(TrpSubreport::StaticClass(), "TrpView");
    if (TscClassVariable* c = cls(TrpBand::StaticClass(), "TrpReportComponent"))
        c->AddProperty("Overflow", "Boolean", get);
    cls(TrpDataBand::StaticClass(), "TrpBand");
    cls(TrpHeader::StaticClass(), "TrpBand");
    cls(TrpFooter::StaticClass(), "TrpBand");
    for (TClass c : {TrpMasterData::StaticClass(), TrpDetailData::StaticClass(), TrpSubdetailData::StaticClass(),
                     TrpDataBand4::StaticClass(), TrpDataBand5::StaticClass(), TrpDataBand6::StaticClass()})
        cls(c, "TrpDataBand");
    for (TClass c : {TrpPageHeader::StaticClass(), TrpPageFooter::StaticClass(), TrpColumnHeader::StaticClass(),
                     TrpColumnFooter::StaticClass(), TrpGroupHeader::StaticClass(), TrpGroupFooter::StaticClass(),
                     TrpReportTitle::StaticClass(), TrpReportSummary::StaticClass(), TrpChild::StaticClass(),
                     TrpOverlay::StaticClass()})
        cls(c, "TrpBand");
    cls(TrpPage::StaticClass(), "TrpComponent");
    cls(TrpReportPage::StaticClass(), "TrpPage");
    if (TscClassVariable* c = cls(TrpDialogPage::StaticClass(), "TrpPage"))
        c->AddProperty("ModalResult", "Integer", get, set);
    cls(TrpDMPPage::StaticClass(), "TrpReportPage");
    for (TClass c : {TrpEngineOptions::StaticClass(), TrpPrintOptions::StaticClass(),
                     TrpPreviewOptions::StaticClass(), TrpReportOptions::StaticClass()})
        cls(c, "TPersistent");
    cls(TrpVariable::StaticClass(), "TCollectionItem");
    if (TscClassVariable* c = cls(TrpVariables::StaticClass(), "TCollection"))
        c->AddDefaultProperty("Variables", "String", "Variant", call);
    if (TscClassVariable* c = cls(TrpReport::StaticClass(), "TrpComponent")) {
        for (const char* m : {"function Calc(const Expr: String): Variant",
                              "function GetDataset(const Alias: String): TrpDataSet",
                              "function LoadFromFile(const FileName: String): Boolean",
                              "procedure SaveToFile(const FileName: String)", "procedure ShowReport"})
            c->AddMethod(m, call);
        c->AddProperty("Variables", "TrpVariables", get);
    }
    if (TscClassVariable* c = cls(TrpCustomEngine::StaticClass(), "TPersistent"))
        for (const char* m : {"procedure AddAnchor(const Text: String)", "procedure NewPage", "procedure NewColumn",
                              "procedure ShowBand(Band: TrpBand)", "procedure StopReport",
                              "function FreeSpace: Extended", "function GetAnchorPage(const Text: String): Integer"})
            c->AddMethod(m, call);
    if (TscClassVariable* c = cls(TrpCustomOutline::StaticClass(), "TPersistent"))
        for (const char* m : {"procedure AddItem(const Text: String)", "procedure LevelRoot", "procedure LevelUp"})
            c->AddMethod(m, call);

    u->AddMethod("function DayOf(Date: TDateTime): Integer", call, "ctDate");
    u->AddMethod("function MonthOf(Date: TDateTime): Integer", call, "ctDate");
    u->AddMethod("function YearOf(Date: TDateTime): Integer", call, "ctDate");
    // Declarations only: each report registers working ones in its own script.
    u->AddMethod("function IIF(Expr: Boolean; TrueValue, FalseValue: Variant): Variant", nullptr, "ctOther");
    u->AddMethod("function SUM(Expr: Variant; Band: Variant = 0; Flags: Integer = 0): Variant", nullptr, "ctAggregate");
    u->AddMethod("function AVG(Expr: Variant; Band: Variant = 0; Flags: Integer = 0): Variant", nullptr, "ctAggregate");
    u->AddMethod("function MIN(Expr: Variant; Band: Variant = 0; Flags: Integer = 0): Variant", nullptr, "ctAggregate");
    u->AddMethod("function MAX(Expr: Variant; Band: Variant = 0; Flags: Integer = 0): Variant", nullptr, "ctAggregate");
    u->AddMethod("function COUNT(Band: Variant = 0; Flags: Integer = 0): Variant", nullptr, "ctAggregate");
}

TrpFunctions::~TrpFunctions()
{
    if (TscScript* u = scGlobalUnit())
        u->RemoveItems(this);
}

Variant TrpFunctions::ReportCallMethod(TObject* Instance, TClass ClassType, const AnsiString& M, Variant& P)
{
    if (ClassType == TStrings::StaticClass()) {
        auto* s = static_cast<TStrings*>(Instance);
        if (M == "ADD") return Variant(s->Add(ArgStr(P, 0)));
        if (M == "CLEAR") s->Clear();
        if (M == "STRINGS.GET") {
            const int i = Arg(P, 0).AsInteger();
            return Variant(s->Strings(i));
        }
        if (M == "STRINGS.SET") s->Put(Arg(P, 0).AsInteger(), ArgStr(P, 1));
        return Variant(0);
    }
    if (ClassType == TList::StaticClass()) {
        auto* l = static_cast<TList*>(Instance);
        if (M == "INDEXOF") return Variant(l->IndexOf(ArgObj<TObject>(P, 0)));
        if (M == "ITEMS.GET") return ObjectToVariant(l->Get(Arg(P, 0).AsInteger()));
        return Variant(0);
    }
    if (ClassType == TrpDataSet::StaticClass()) {
        auto* ds = static_cast<TrpDataSet*>(Instance);
        if (M == "OPEN") ds->Open();
        else if (M == "CLOSE") ds->Close();
        else if (M == "FIRST") ds->First();
        else if (M == "NEXT") ds->Next();
        else if (M == "PRIOR") ds->Prior();
        else if (M == "EOF") return Variant(ds->Eof());
        else if (M == "FIELDSCOUNT") return Variant(ds->FieldsCount());
        else if (M == "HASFIELD") return Variant(ds->HasField(ArgStr(P, 0)));
        else if (M == "ISBLOBFIELD") return Variant(ds->IsBlobField(ArgStr(P, 0)));
        else if (M == "GETFIELDLIST") {
            if (auto* list = ArgObj<TStrings>(P, 0))
                ds->GetFieldList(list);
        } else if (M == "DISPLAYTEXT.GET") return Variant(ds->GetDisplayText(ArgStr(P, 0)));
        else if (M == "DISPLAYWIDTH.GET") return Variant(ds->GetDisplayWidth(ArgStr(P, 0)));
        else if (M == "FIELDTYPE.GET") return Variant(static_cast<int>(ds->GetFieldType(ArgStr(P, 0))));
        else if (M == "VALUE.GET") return ds->GetValue(ArgStr(P, 0));
        return Variant(0);
    }
    if (ClassType == TrpComponent::StaticClass()) {
        auto* c = static_cast<TrpComponent*>(Instance);
        if (M == "CLEAR") {
            RefuseWhileRunning(c, "Clear");
            c->Clear();
        } else if (M == "FINDOBJECT") {
            return ObjectToVariant(c->FindObject(ArgStr(P, 0)));
        } else if (M == "LOADFROMSTREAM") {
            RefuseWhileRunning(c, "LoadFromStream");
            if (auto* s = ArgObj<TStream>(P, 0))
                c->LoadFromStream(*s);
        } else if (M == "SAVETOSTREAM") {
            const Variant children = Arg(P, 1);
            if (auto* s = ArgObj<TStream>(P, 0)) {
                // Written aside first, so a script's memory stream is checked against its cap.
                TMemoryStream text;
                c->SaveToStream(text, VarIsNull(children) || VarIsEmpty(children) || children.AsBoolean(), false);
                scCheckStreamWrite(*s, text.GetSize());
                s->CopyFrom(text, 0);
            }
        } else if (M == "SETBOUNDS") {
            c->SetBounds(Arg(P, 0).AsDouble(), Arg(P, 1).AsDouble(), Arg(P, 2).AsDouble(), Arg(P, 3).AsDouble());
        }
        return Variant(0);
    }
    if (ClassType == TrpDialogControl::StaticClass()) {
        if (M == "SETFOCUS")
            static_cast<TrpDialogControl*>(Instance)->SetFocus();
        return Variant(0);
    }
    if (ClassType == TrpStretcheable::StaticClass()) {
        if (M == "CALCHEIGHT")
            return Variant(static_cast<double>(static_cast<TrpStretcheable*>(Instance)->CalcHeight()));
        return Variant(0);
    }
    if (ClassType == TrpCustomMemoView::StaticClass()) {
        if (M == "CALCWIDTH")
            return Variant(static_cast<double>(static_cast<TrpCustomMemoView*>(Instance)->CalcWidth()));
        return Variant(0);
    }
    if (ClassType == TrpPictureView::StaticClass()) {
        if (M == "LOADFROMFILE")
            static_cast<TrpPictureView*>(Instance)->LoadFromFile(ArgStr(P, 0));
        return Variant(0);
    }
    if (ClassType == TrpVariables::StaticClass()) {
        auto* v = static_cast<TrpVariables*>(Instance);
        if (M == "VARIABLES.GET") return v->GetVariable(ArgStr(P, 0));
        if (M == "VARIABLES.SET") v->SetVariable(ArgStr(P, 0), Arg(P, 1));
        return Variant(0);
    }
    if (ClassType == TrpReport::StaticClass()) {
        auto* r = static_cast<TrpReport*>(Instance);
        if (M == "CALC") return r->Calc(ArgStr(P, 0));
        if (M == "GETDATASET") return ObjectToVariant(r->GetDataset(ArgStr(P, 0)));
        if (M == "LOADFROMFILE") {
            RefuseWhileRunning(r, "LoadFromFile");
            return Variant(r->LoadFromFile(ArgStr(P, 0)));
        }
        if (M == "SAVETOFILE") r->SaveToFile(ArgStr(P, 0));
        if (M == "SHOWREPORT") {
            RefuseWhileRunning(r, "ShowReport");
            r->ShowReport();
        }
        return Variant(0);
    }
    if (ClassType == TrpCustomEngine::StaticClass()) {
        auto* e = static_cast<TrpCustomEngine*>(Instance);
        if (M == "ADDANCHOR") {
            if (e->PreviewPages) e->PreviewPages->AddAnchor(ArgStr(P, 0));
        } else if (M == "GETANCHORPAGE") {
            return Variant(e->PreviewPages ? e->PreviewPages->GetAnchorPage(ArgStr(P, 0)) : 0);
        } else if (M == "NEWPAGE") e->NewPage();
        else if (M == "NEWCOLUMN") e->NewColumn();
        else if (M == "FREESPACE") return Variant(static_cast<double>(e->FreeSpace()));
        else if (M == "SHOWBAND") e->ShowBand(ArgObj<TrpBand>(P, 0));
        else if (M == "STOPREPORT") e->StopReport();
        return Variant(0);
    }
    if (ClassType == TrpCustomOutline::StaticClass()) {
        auto* o = static_cast<TrpCustomOutline*>(Instance);
        if (M == "ADDITEM") {
            TrpCustomEngine* e = o->Engine();
            o->AddItem(ArgStr(P, 0), e ? rpDevRound(e->CurY) : 0);
        } else if (M == "LEVELROOT") o->LevelRoot();
        else if (M == "LEVELUP") o->LevelUp();
        return Variant(0);
    }
    if (M == "DAYOF") return Variant(DatePart(Arg(P, 0), "d"));
    if (M == "MONTHOF") return Variant(DatePart(Arg(P, 0), "m"));
    if (M == "YEAROF") return Variant(DatePart(Arg(P, 0), "yyyy"));
    return Variant(0);
}

Variant TrpFunctions::ReportGetProp(TObject* Instance, TClass ClassType, const AnsiString& N)
{
    if (ClassType == TStrings::StaticClass()) {
        auto* s = static_cast<TStrings*>(Instance);
        if (N == "TEXT") return Variant(s->GetText());
        if (N == "COUNT") return Variant(s->Count());
    } else if (ClassType == TList::StaticClass()) {
        if (N == "COUNT") return Variant(static_cast<TList*>(Instance)->Count());
    } else if (ClassType == TrpDataSet::StaticClass()) {
        if (N == "RECNO") return Variant(static_cast<TrpDataSet*>(Instance)->RecNo);
    } else if (ClassType == TrpComponent::StaticClass()) {
        auto* c = static_cast<TrpComponent*>(Instance);
        if (N == "OBJECTS") return ObjectToVariant(c->GetObjectsList());
        if (N == "ALLOBJECTS") return ObjectToVariant(c->GetAllObjectsList());
        if (N == "PARENT") return ObjectToVariant(c->Parent());
        if (N == "PAGE") return ObjectToVariant(c->GetPage());
        if (N == "ABSLEFT") return Variant(static_cast<double>(c->GetAbsLeft()));
        if (N == "ABSTOP") return Variant(static_cast<double>(c->GetAbsTop()));
    } else if (ClassType == TrpCustomMemoView::StaticClass()) {
        auto* m = static_cast<TrpCustomMemoView*>(Instance);
        if (N == "TEXT") return Variant(m->GetText());
        if (N == "LINES") return ObjectToVariant(m->GetMemo());
        if (N == "VALUE") return m->Value;
    } else if (ClassType == TrpBand::StaticClass()) {
        if (N == "OVERFLOW") return Variant(static_cast<TrpBand*>(Instance)->Overflow);
    } else if (ClassType == TrpDialogPage::StaticClass()) {
        if (N == "MODALRESULT") return Variant(static_cast<TrpDialogPage*>(Instance)->GetModalResult());
    } else if (ClassType == TrpReport::StaticClass()) {
        if (N == "VARIABLES") return ObjectToVariant(static_cast<TrpReport*>(Instance)->GetVariables());
    }
    return Variant(0);
}

void TrpFunctions::ReportSetProp(TObject* Instance, TClass ClassType, const AnsiString& N, const Variant& Value)
{
    if (ClassType == TStrings::StaticClass()) {
        if (N == "TEXT") static_cast<TStrings*>(Instance)->SetText(VarToStr(Value));
    } else if (ClassType == TrpComponent::StaticClass()) {
        if (N == "PARENT") {
            auto* c = static_cast<TrpComponent*>(Instance);
            c->SetParent(static_cast<TrpComponent*>(VariantToObject(Value, TrpComponent::StaticClass())));
        }
    } else if (ClassType == TrpCustomMemoView::StaticClass()) {
        auto* m = static_cast<TrpCustomMemoView*>(Instance);
        if (N == "TEXT") m->SetText(VarToStr(Value));
        if (N == "LINES") {
            if (auto* s = static_cast<TStrings*>(VariantToObject(Value, TStrings::StaticClass())))
                m->SetMemo(s);
        }
    } else if (ClassType == TrpDialogPage::StaticClass()) {
        if (N == "MODALRESULT") static_cast<TrpDialogPage*>(Instance)->SetModalResult(Value.AsInteger());
    }
}

void rpClassRTTIStartup()
{
    if (!Instance() && scGlobalUnit())
        Instance() = std::make_unique<TrpFunctions>();
}

void rpClassRTTIShutdown() { Instance().reset(); }
