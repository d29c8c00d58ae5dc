// rpStyles.cpp - styles, style collections and style sheets.
#include "report/model/rpStyles.h"

#include "report/model/rpClass.h"
#include "report/model/rpConsts.h"
#include "report/model/rpMemo.h"
#include "report/model/rpXMLSerializer.h"

#include "platform/rtl/SysUtils.h"

SKLAD_DEFINE_CLASS(TrpStyleItem)
void TrpStyleItem::Publish(TPropertyTable& t)
{
    t.Prop("Name", &TrpStyleItem::GetName, &TrpStyleItem::SetName);
    t.Prop("Color", &TrpStyleItem::Color, &TrpStyleItem::Color).Type("TColor");
    t.Prop("Font", &TrpStyleItem::GetFont, &TrpStyleItem::SetFont);
    t.Prop("Frame", &TrpStyleItem::GetFrame, &TrpStyleItem::SetFrame);
}

TrpStyleItem::TrpStyleItem(TCollection* Collection)
    : TCollectionItem(Collection), FFont(std::make_unique<TFont>()), FFrame(std::make_unique<TrpFrame>())
{
    FFont->SetName("Arial");
    FFont->SetSize(10);
    FFont->SetCharset(rpCharset);
}

void TrpStyleItem::Assign(TPersistent* Source)
{
    auto* s = dynamic_cast<TrpStyleItem*>(Source);
    if (!s) {
        TCollectionItem::Assign(Source);
        return;
    }
    FName = s->FName;
    Color = s->Color;
    FFont->Assign(s->FFont.get());
    FFrame->Assign(s->FFrame.get());
}

void TrpStyleItem::SetName(const AnsiString& Value)
{
    if (TCollection* c = Collection())
        for (int i = 0; i < c->Count(); ++i) {
            auto* other = static_cast<TrpStyleItem*>(c->Items(i));
            if (other != this && AnsiSameText(other->FName, Value))
                throw Exception("Duplicate name");
        }
    FName = Value;
}

void TrpStyleItem::CreateUniqueName()
{
    TCollection* c = Collection();
    for (int n = 1;; ++n) {
        const AnsiString candidate = "Style" + IntToStr(n);
        bool taken = false;
        for (int i = 0; c && i < c->Count() && !taken; ++i)
            taken = AnsiSameText(static_cast<TrpStyleItem*>(c->Items(i))->FName, candidate);
        if (!taken) {
            FName = candidate;
            return;
        }
    }
}

// ---------------------------------------------------------------- TrpStyles

SKLAD_DEFINE_ABSTRACT_CLASS(TrpStyles)

TrpStyles::TrpStyles(TrpReport* AReport) : TCollection(TrpStyleItem::StaticClass()), FReport(AReport) {}

TrpStyleItem* TrpStyles::Find(std::string_view AName) const
{
    for (int i = 0; i < Count(); ++i)
        if (AnsiSameText(GetItem(i)->GetName(), AName))
            return GetItem(i);
    return nullptr;
}

void TrpStyles::GetList(TStrings* List) const
{
    List->Clear();
    for (int i = 0; i < Count(); ++i)
        List->Add(GetItem(i)->GetName());
}

void TrpStyles::Apply()
{
    if (!FReport)
        return;
    for (TrpComponent* c : FReport->GetAllObjects())
        if (auto* memo = dynamic_cast<TrpCustomMemoView*>(c))
            memo->SetStyle(memo->GetStyle());
}

void TrpStyles::SaveToXMLItem(TrpXMLItem* Item)
{
    Item->Name = "style";
    Item->SetProp("Name", Name);  // SetProp escapes
    TrpXMLSerializer s;
    for (int i = 0; i < Count(); ++i) {
        TrpXMLItem* child = Item->Add();
        child->Name = "item";
        AnsiString text = s.ObjToXML(GetItem(i));
        if (!text.empty() && text[0] == ' ')
            text.erase(0, 1);
        child->Text = text;
    }
}

void TrpStyles::LoadFromXMLItem(TrpXMLItem* Item)
{
    Clear();
    Name = Item->Prop("Name");  // Prop unescapes
    TrpXMLSerializer s;
    int number = 0;
    for (int i = 0; i < Item->Count(); ++i) {
        TrpXMLItem* child = Item->Items(i);
        if (!SameText(child->Name, "item"))
            continue;
        ++number;
        TrpStyleItem* style = Add();
        s.Errors.Clear();
        s.XMLToObj(child->Text, style);
        // A name another style has already (letters' case aside) is refused by SetName, and
        // any other value that does not fit (a colour that is no number, a font size in
        // words) would leave the style half set up. Either way the file is refused, naming
        // the style, as a damaged file is, and nothing of it stays: a style dropped or
        // renamed in passing would be lost to the user without a word.
        const AnsiString wanted = child->Prop("Name");
        AnsiString problem;
        if (style->GetName() != wanted)
            problem = rpmsg::kStyleTwin;
        else if (s.Errors.Count() > 0)
            problem = s.Errors[0];
        if (!problem.empty()) {
            const AnsiString collection = Name;
            Clear();
            Name.clear();
            throw EXMLFormatError(Format(rpmsg::kStyleDamaged, {number, wanted, collection, problem}));
        }
    }
    Apply();
}

void TrpStyles::SaveToStream(TStream& Stream)
{
    TrpXMLDocument doc;
    doc.AutoIndent = true;
    SaveToXMLItem(doc.Root());
    doc.SaveToStream(Stream);
}

void TrpStyles::SaveToFile(const AnsiString& FileName)
{
    SaveFileWhole(FileName, [&](TStream& f) { SaveToStream(f); });
}

void TrpStyles::LoadFromStream(TStream& Stream)
{
    Clear();
    TrpXMLDocument doc;
    doc.LoadWholeFromStream(Stream);
    // Another root (a style sheet, a report) leaves the collection empty, and says so.
    if (!SameText(doc.Root()->Name, "style"))
        throw EXMLFormatError(Format(rpmsg::kWrongRoot, {doc.Root()->Name, "style", "styles"}));
    LoadFromXMLItem(doc.Root());
}

void TrpStyles::LoadFromFile(const AnsiString& FileName)
{
    TFileStream f(FileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(f);
}

// ---------------------------------------------------------------- TrpStyleSheet

TrpStyles* TrpStyleSheet::Add()
{
    FItems.push_back(std::make_unique<TrpStyles>(nullptr));
    return FItems.back().get();
}

TrpStyles* TrpStyleSheet::GetItems(int Index) const
{
    if (Index < 0 || Index >= Count())
        throw EListError(Format("List index out of bounds (%d)", {Index}));
    return FItems[static_cast<size_t>(Index)].get();
}

void TrpStyleSheet::Delete(int Index)
{
    GetItems(Index);
    FItems.erase(FItems.begin() + Index);
}

void TrpStyleSheet::Clear()
{
    while (!FItems.empty())
        Delete(0);
}

TrpStyles* TrpStyleSheet::Find(std::string_view AName) const
{
    const int i = IndexOf(AName);
    return i < 0 ? nullptr : FItems[static_cast<size_t>(i)].get();
}

int TrpStyleSheet::IndexOf(std::string_view AName) const
{
    for (int i = 0; i < Count(); ++i)
        if (AnsiSameText(FItems[static_cast<size_t>(i)]->Name, AName))
            return i;
    return -1;
}

void TrpStyleSheet::GetList(TStrings* List) const
{
    List->Clear();
    for (const auto& s : FItems)
        List->Add(s->Name);
}

void TrpStyleSheet::SaveToStream(TStream& Stream)
{
    TrpXMLDocument doc;
    doc.AutoIndent = true;
    doc.Root()->Name = "stylesheet";
    for (const auto& s : FItems)
        s->SaveToXMLItem(doc.Root()->Add());
    doc.SaveToStream(Stream);
}

void TrpStyleSheet::SaveToFile(const AnsiString& FileName)
{
    SaveFileWhole(FileName, [&](TStream& f) { SaveToStream(f); });
}

void TrpStyleSheet::LoadFromStream(TStream& Stream)
{
    Clear();
    TrpXMLDocument doc;
    doc.LoadWholeFromStream(Stream);
    TrpXMLItem* root = doc.Root();
    if (!SameText(root->Name, "stylesheet"))
        throw EXMLFormatError(Format(rpmsg::kWrongRoot, {root->Name, "stylesheet", "style sheet"}));
    try {
        for (int i = 0; i < root->Count(); ++i)
            if (SameText(root->Items(i)->Name, "style"))
                Add()->LoadFromXMLItem(root->Items(i));
    } catch (...) {
        Clear();  // a damaged collection refuses the whole sheet
        throw;
    }
}

void TrpStyleSheet::LoadFromFile(const AnsiString& FileName)
{
    TFileStream f(FileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(f);
}
