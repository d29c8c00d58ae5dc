// rpPreviewPages.cpp - prepared pages as difference text in one XML document, built back
// into objects on demand; the prepared-report file.
#include "report/output/rpPreviewPages.h"

#include "report/output/rpEngine.h"
#include "report/output/rpEngineConsts.h"
#include "report/output/rpEngineModel.h"

#include "report/model/rpConsts.h"
#include "report/model/rpRes.h"
#include "report/model/rpUtils.h"
#include "report/model/rpXMLSerializer.h"

#include "script/GlobalUnit.h"

#include "platform/gui/GuiTypes.h"
#include "platform/gui/Services.h"
#include "platform/graphics/Metafile.h"
#include "platform/rtl/SysUtils.h"

#include <algorithm>

namespace {

// Whether attribute text (name="value" pairs, quotes inside values escaped) holds Name.
bool HasAttribute(std::string_view Text, std::string_view Name)
{
    const std::string opening = std::string(Name) + "=\"";
    for (size_t at = Text.find(opening); at != std::string_view::npos; at = Text.find(opening, at + 1))
        if (at == 0 || Text[at - 1] == ' ')
            return true;
    return false;
}

constexpr int kMaxCachedPages = 50;
constexpr Extended kUnitsPerMM = 3.77953L;

bool SameClassName(const AnsiString& A, const char* B) { return CompareText(A, B) == 0; }

bool IsCrossView(const TrpComponent* C)
{
    return SameClassName(C->ClassName(), "TrpCrossView") || SameClassName(C->ClassName(), "TrpDBCrossView");
}

bool IsWholePageName(const AnsiString& Name)
{
    return SameClassName(Name, "TrpReportPage") || SameClassName(Name, "TrpDMPPage");
}

// "page12" -> 12; -1 when the name is not of that form.
int PageElementSource(const AnsiString& Name)
{
    if (Name.size() < 5 || CompareText(Name.substr(0, 4), "page") != 0)
        return -1;
    int n = -1;
    return TryStrToInt(Name.substr(4), n) && n >= 0 ? n : -1;
}

Extended NumberProp(const TrpXMLItem* Item, std::string_view Name, Extended Default)
{
    if (!Item->PropExists(Name))
        return Default;
    try {
        return rpStrToFloat(Item->Prop(Name));
    } catch (const Exception&) {
        return Default;
    }
}

// A new page of the class a page element or source page names (the dot-matrix page when
// the model has it, a report page otherwise).
std::unique_ptr<TrpReportPage> NewPageOfClass(const AnsiString& ClassName)
{
    if (TClass cls = GetClass(ClassName); cls && cls->InheritsFrom(TrpReportPage::StaticClass()) &&
                                           !cls->IsAbstract()) {
        std::unique_ptr<TComponent> c = cls->CreateComponent(nullptr);
        if (auto* page = dynamic_cast<TrpReportPage*>(c.get())) {
            c.release();
            return std::unique_ptr<TrpReportPage>(page);
        }
    }
    return std::make_unique<TrpReportPage>(nullptr);
}

TrpPreviewNavigator& PreviewNavigator()
{
    static TrpPreviewNavigator hook;
    return hook;
}

}  // namespace

void rpSetPreviewNavigator(TrpPreviewNavigator Navigator) { PreviewNavigator() = std::move(Navigator); }


SKLAD_DEFINE_ABSTRACT_CLASS(TrpPreviewPages)

TrpPreviewPages::TrpPreviewPages(TrpReport* AReport)
    : TrpCustomPreviewPages(AReport), FXMLDoc(std::make_unique<TrpXMLDocument>())
{
    FXMLDoc->Root()->Name = "preparedreport";
    CurPage = -1;
}

TrpPreviewPages::~TrpPreviewPages()
{
    FCache.clear();
    ClearSourcePages();
    if (TrpOutline* outline = GetOutline())
        outline->Forget();
    FXMLDoc.reset();
}

TrpOutline* TrpPreviewPages::GetOutline() const { return dynamic_cast<TrpOutline*>(Outline()); }

void TrpPreviewPages::ResetDocument()
{
    ForgetAnchors();
    FXMLDoc->Clear();
    FXMLDoc->Root()->Name = "preparedreport";
    if (TrpOutline* outline = GetOutline())
        outline->Forget();
}

TrpXMLItem* TrpPreviewPages::PagesItem() { return FXMLDoc->Root()->FindItem("previewpages"); }

int TrpPreviewPages::GetCount() { return PagesItem()->Count(); }

TrpXMLItem* TrpPreviewPages::CurXMLPage() { return WritablePage(CurPage); }

TrpXMLItem* TrpPreviewPages::WritablePage(int Index)
{
    TrpXMLItem* pages = PagesItem();
    if (Index < 0 || Index >= pages->Count())
        return nullptr;
    // A page the engine comes back to (a second subreport beside the first, a run that
    // goes on from the last page) may have gone to the swap file meanwhile: its objects
    // come back first, so that what is counted, cut or added sits among them. Objects
    // added to an element that is out would be left behind when it is read back.
    TrpXMLItem* page = pages->Items(Index);
    LoadPage(Index);
    return page;
}

namespace {

// What an element's objects take in memory, each counted as DoAddObject counts it.
int64_t ElementMemory(const TrpXMLItem* Element)
{
    int64_t n = 0;
    std::vector<const TrpXMLItem*> todo{Element};
    while (!todo.empty()) {
        const TrpXMLItem* item = todo.back();
        todo.pop_back();
        for (int i = 0; i < item->Count(); ++i) {
            const TrpXMLItem* child = item->Items(i);
            n += static_cast<int64_t>(child->Name.size() + child->Text.size() + sizeof(TrpXMLItem) + 16);
            todo.push_back(child);
        }
    }
    return n;
}

}  // namespace

int64_t TrpPreviewPages::HeldMemory()
{
    TrpXMLItem* pages = PagesItem();
    int64_t n = 0;
    for (int i = 0; i < pages->Count(); ++i)
        if (pages->Items(i)->Loaded)
            n += ElementMemory(pages->Items(i));
    return n;
}

void TrpPreviewPages::CountHeld()
{
    TrpXMLItem* pages = PagesItem();
    MemoryUsed = 0;
    FReadBack.clear();
    for (int i = 0; i < pages->Count(); ++i) {
        TrpXMLItem* page = pages->Items(i);
        if (!page->Loaded)
            continue;
        MemoryUsed += ElementMemory(page);
        if (page->Unloadable)
            FReadBack.push_back(i);
    }
}

void TrpPreviewPages::LoadPage(int Index)
{
    TrpXMLItem* page = PagesItem()->Items(Index);
    if (page->Loaded)
        return;
    FXMLDoc->LoadItem(page);
    if (!page->Loaded)
        return;
    MemoryUsed += ElementMemory(page);
    FReadBack.push_back(Index);
}

void TrpPreviewPages::UnloadPage(int Index)
{
    TrpXMLItem* page = PagesItem()->Items(Index);
    if (!page->Loaded || !page->Unloadable)
        return;
    const int64_t held = ElementMemory(page);
    FXMLDoc->UnloadItem(page);
    if (page->Loaded)
        return;
    MemoryUsed -= held;
    std::erase(FReadBack, Index);
}

void TrpPreviewPages::KeepWithinLimit(int Keep)
{
    const TrpEngineOptions* options = Report->GetEngineOptions();
    if (!options->UseFileCache)
        return;
    const int64_t limit = static_cast<int64_t>(options->MaxMemSize) * (1 << 20);
    const int count = PagesItem()->Count();
    for (size_t k = 0; MemoryUsed > limit && k < FReadBack.size();) {
        const int index = FReadBack[k];
        const size_t before = FReadBack.size();
        if (index != Keep && index >= 0 && index < count)
            UnloadPage(index);
        if (FReadBack.size() == before)
            ++k;
    }
}

TrpReportPage* TrpPreviewPages::SourcePage(int Index) const
{
    if (Index < 0 || Index >= SourcePageCount())
        return nullptr;
    return FSourcePages[static_cast<size_t>(Index)].get();
}


void TrpPreviewPages::ClearSourcePages()
{
    FParsedBases.Clear();
    // Template objects may point at these copies; they are never followed without checking
    // the dictionary first (see CopyOf), since the template may be gone (reloaded) as well.
    FDictionary.Clear();
    FSourcePages.clear();
}

TrpComponent* TrpPreviewPages::CopyOf(const TrpComponent* Obj) const
{
    TrpComponent* copy = Obj->OriginalComponent;
    if (!copy || Obj->AliasName.empty())
        return nullptr;
    return FDictionary.GetObject(Obj->AliasName) == copy ? copy : nullptr;
}

void TrpPreviewPages::Clear()
{
    ClearPageCache();
    ClearSourcePages();
    ResetDocument();
    FDictionary.Clear();
    CurPage = -1;
    MemoryUsed = 0;
    FReadBack.clear();
    FirstPageIndex = -1;
    FirstObjectIndex = 0;
}

void TrpPreviewPages::Initialize()
{
    FXMLDoc->TempDir = Report->GetEngineOptions()->TempDir;
    Report->InternalOnProgressStart(ptRunning);
}

void TrpPreviewPages::Finish()
{
    ClearPageCache();
    CountHeld();
    Report->InternalOnProgressStop(ptRunning);
}

// ---------------------------------------------------------------- source pages

void TrpPreviewPages::AddSourcePage(TrpReportPage* Page)
{
    TrpXMLSerializer serializer(nullptr);
    std::unique_ptr<TrpReportPage> copy = NewPageOfClass(Page->ClassName());
    copy->AssignAll(Page);
    copy->OriginalComponent = Page;
    const int n = SourcePageCount();
    TrpReportPage* copyPage = copy.get();
    FSourcePages.push_back(std::move(copy));

    const std::vector<TrpComponent*> copies = copyPage->GetAllObjects();
    const std::vector<TrpComponent*> originals = Page->GetAllObjects();
    const size_t count = std::min(copies.size(), originals.size());
    std::vector<TrpComponent*> crossViews;
    for (size_t i = 0; i < count; ++i) {
        TrpComponent* c = copies[i];
        TrpComponent* o = originals[i];
        if (IsCrossView(c)) {
            crossViews.push_back(c);
            continue;
        }
        o->OriginalComponent = c;
        c->OriginalComponent = o;
        AnsiString stem = c->IsBand() ? AnsiString("b") : LowerCase(c->GetBaseName().substr(0, 1));
        if (stem.empty())
            stem = "o";
        const AnsiString alias = FDictionary.AddUnique(stem, "Page" + IntToStr(n) + "." + o->Name(), c);
        c->BaseName = c->FullDiff ? c->ClassName() : serializer.WriteComponentStr(c);
        FParsedBases.Forget(c);
        c->AliasName = alias;
        o->AliasName = alias;
    }
    for (TrpComponent* c : crossViews)
        delete c;
}

void TrpPreviewPages::AddToSourcePage(TrpComponent* Obj)
{
    if (!Obj || FSourcePages.empty())
        return;
    TrpReportPage* last = FSourcePages.back().get();
    TrpXMLSerializer serializer(nullptr);
    TComponent* made = Obj->ClassType()->CreateComponent(*last);
    auto* copy = dynamic_cast<TrpComponent*>(made);
    if (!copy) {
        delete made;
        return;
    }
    copy->Assign(Obj);
    copy->CreateUniqueName();
    AnsiString stem = LowerCase(copy->GetBaseName().substr(0, 1));
    if (stem.empty())
        stem = "o";
    const AnsiString alias =
        FDictionary.AddUnique(stem, "Page" + IntToStr(SourcePageCount() - 1) + "." + copy->Name(), copy);
    copy->BaseName = copy->FullDiff ? copy->ClassName() : serializer.WriteComponentStr(copy);
    FParsedBases.Forget(copy);
    Obj->OriginalComponent = copy;
    copy->AliasName = alias;
    Obj->AliasName = alias;
}

int TrpPreviewPages::SourceIndexOfElement(const TrpXMLItem* Element) const
{
    const int n = PageElementSource(Element->Name);
    return n >= 0 && n < SourcePageCount() ? n : -1;
}

// ---------------------------------------------------------------- writing pages

void TrpPreviewPages::AddObject(TrpComponent* Obj)
{
    TrpXMLItem* page = CurXMLPage();
    if (!page || !Obj)
        return;
    DoAddObject(Obj, page, 0);
}

void TrpPreviewPages::DoAddObject(TrpComponent* Obj, TrpXMLItem* Parent, int Depth)
{
    if (!Obj->GetVisible() || Depth >= kMaxXMLDepth - 4)
        return;
    TrpXMLItem* element = Parent;
    if (!ObjectAs<TrpSubreport>(Obj) && !IsCrossView(Obj)) {
        element = Parent->Add();
        TrpComponent* copy = CopyOf(Obj);
        if (copy) {
            element->Name = Obj->AliasName;
            const bool finalPass = !Engine || Engine->FinalPass;
            if (!finalPass)
                element->Text = Obj->InternalDiff(copy);
            else if (Obj->FullDiff)
                element->Text = Obj->AllDiff(copy);
            else
                element->Text = Obj->Diff(copy);
        } else {
            element->Name = Obj->ClassName();
            element->Text = Obj->AllDiff(nullptr);
        }
        if (!element->Text.empty() && element->Text[0] == ' ')
            element->Text.erase(0, 1);
        if (Engine)
            Engine->ObjectWritten(Obj, element);
        MemoryUsed += static_cast<int64_t>(element->Name.size() + element->Text.size() + sizeof(TrpXMLItem) + 16);
    }
    for (TrpComponent* child : Obj->Objects())
        DoAddObject(child, element, Depth + 1);
}

void TrpPreviewPages::AddPage(TrpReportPage* Page)
{
    TrpXMLItem* pages = PagesItem();
    const TrpEngineOptions* options = Report->GetEngineOptions();
    if (options->UseFileCache && MemoryUsed > static_cast<int64_t>(options->MaxMemSize) * (1 << 20)) {
        for (int i = pages->Count() - 2; i >= 0; --i) {
            TrpXMLItem* item = pages->Items(i);
            if (!item->Loaded)
                break;
            FXMLDoc->UnloadItem(item);
        }
        // Pages the engine came back to, read back meanwhile, go out as well.
        for (const int i : FReadBack)
            if (i < pages->Count() - 1)
                FXMLDoc->UnloadItem(pages->Items(i));
        // Counted afresh over what stays (the first two pages, never swapped, and the last):
        // moves and texts made again changed the pages since they were added.
        MemoryUsed = 0;
        FReadBack.clear();
        for (int i = 0; i < pages->Count(); i = i < 1 ? i + 1 : std::max(i + 1, pages->Count() - 1)) {
            TrpXMLItem* item = pages->Items(i);
            if (!item->Loaded)
                continue;
            MemoryUsed += ElementMemory(item);
            if (item->Unloadable)
                FReadBack.push_back(i);
        }
    }
    ++CurPage;
    if (CurPage < pages->Count() && AddPageAction != apAdd)
        return;  // the engine revisits a page it wrote before
    int source = -1;
    // The latest registration of the page wins: an older one may point at a template page
    // that was reloaded since.
    for (int i = SourcePageCount() - 1; i >= 0; --i)
        if (FSourcePages[static_cast<size_t>(i)]->OriginalComponent == Page || FSourcePages[static_cast<size_t>(i)].get() == Page) {
            source = i;
            break;
        }
    TrpXMLItem* element = pages->Add();
    element->Name = "page" + IntToStr(source);
    if (pages->Count() > 2)
        element->Unloadable = true;
    Report->InternalOnProgress(ptRunning, CurPage + 1);
    AddPageAction = apWriteOver;
    CurPage = pages->Count() - 1;
}

void TrpPreviewPages::BeginPass()
{
    FirstPageIndex = GetCount() - 1;
    if (FirstPageIndex != -1)
        FirstObjectIndex = WritablePage(FirstPageIndex)->Count();
    FOutlineMark.clear();
    if (TrpOutline* outline = GetOutline())
        for (TrpXMLItem* item = outline->Root(); item; item = item->Count() ? item->Items(item->Count() - 1) : nullptr)
            FOutlineMark.push_back(item->Count());
}

void TrpPreviewPages::ClearFirstPassPages()
{
    ClearPageCache();
    TrpXMLItem* pages = PagesItem();
    if (FirstPageIndex != -1 && FirstPageIndex < pages->Count()) {
        TrpXMLItem* first = pages->Items(FirstPageIndex);
        LoadPage(FirstPageIndex);
        while (first->Count() > FirstObjectIndex)
            delete first->Items(first->Count() - 1);
        while (pages->Count() > FirstPageIndex + 1)
            delete pages->Items(pages->Count() - 1);
        // The first pass's outline entries go with its pages; the earlier run's stay.
        if (TrpOutline* outline = GetOutline()) {
            TrpXMLItem* item = outline->Root();
            for (size_t level = 0; item && level < FOutlineMark.size(); ++level) {
                const int keep = FOutlineMark[level];
                while (item->Count() > keep)
                    delete item->Items(item->Count() - 1);
                item = keep > 0 ? item->Items(keep - 1) : nullptr;
            }
            outline->Forget();
        }
    } else {
        TrpXMLItem* root = FXMLDoc->Root();
        for (int i = 0; i < root->Count(); ++i)
            if (CompareText(root->Items(i)->Name, "anchors") != 0)
                root->Items(i)->Clear();
        if (TrpOutline* outline = GetOutline())
            outline->Forget();
    }
    CurPage = FirstPageIndex;
    CountHeld();
}

void TrpPreviewPages::CutObjects(int Position)
{
    TrpXMLItem* page = CurXMLPage();
    if (!page)
        return;
    TrpXMLItem* cutted = FXMLDoc->Root()->FindItem("cutted");
    while (Position >= 0 && Position < page->Count())
        cutted->AddItem(page->Items(Position));
}

void TrpPreviewPages::PasteObjects(Extended X, Extended Y)
{
    TrpXMLItem* root = FXMLDoc->Root();
    const int at = root->Find("cutted");
    if (at < 0)
        return;
    TrpXMLItem* cutted = root->Items(at);
    TrpXMLItem* page = CurXMLPage();
    if (page && cutted->Count() > 0) {
        const Extended dx = X - NumberProp(cutted->Items(0), "l", 0);
        const Extended dy = Y - NumberProp(cutted->Items(0), "t", 0);
        while (cutted->Count() > 0) {
            TrpXMLItem* item = cutted->Items(0);
            item->SetProp("l", FloatToStr(static_cast<double>(NumberProp(item, "l", 0) + dx)));
            item->SetProp("t", FloatToStr(static_cast<double>(NumberProp(item, "t", 0) + dy)));
            page->AddItem(item);
            if (Engine)
                Engine->ObjectsMoved(item);
        }
    }
    delete cutted;
}

void TrpPreviewPages::PasteObjectsBy(Extended DX, Extended DY)
{
    TrpXMLItem* root = FXMLDoc->Root();
    const int at = root->Find("cutted");
    if (at < 0)
        return;
    TrpXMLItem* cutted = root->Items(at);
    auto objects = std::make_unique<TrpXMLItem>();
    while (cutted->Count() > 0)
        objects->AddItem(cutted->Items(0));
    delete cutted;
    PutObjects(std::move(objects), DX, DY);
}

std::optional<Extended> TrpPreviewPages::CutTop() const
{
    TrpXMLItem* root = FXMLDoc->Root();
    const int at = root->Find("cutted");
    TrpXMLItem* cutted = at < 0 ? nullptr : root->Items(at);
    if (!cutted || cutted->Count() == 0)
        return std::nullopt;
    return NumberProp(cutted->Items(0), "t", 0);
}

std::unique_ptr<TrpXMLItem> TrpPreviewPages::TakeObjects(int Position)
{
    auto taken = std::make_unique<TrpXMLItem>();
    TrpXMLItem* page = CurXMLPage();
    while (page && Position >= 0 && Position < page->Count())
        taken->AddItem(page->Items(Position));
    return taken;
}

void TrpPreviewPages::PutObjects(std::unique_ptr<TrpXMLItem> Objects, Extended DX, Extended DY)
{
    TrpXMLItem* page = CurXMLPage();
    if (!page || !Objects)
        return;
    while (Objects->Count() > 0) {
        TrpXMLItem* item = Objects->Items(0);
        // A place left out of the stored text is the template object's own.
        const TrpBand* band = BandOfCopy(GetObject(item->Name));
        const Extended left = NumberProp(item, "l", band ? band->GetLeft() : 0);
        const Extended top = NumberProp(item, "t", band ? band->GetTop() : 0);
        item->SetProp("l", FloatToStr(static_cast<double>(left + DX)));
        item->SetProp("t", FloatToStr(static_cast<double>(top + DY)));
        page->AddItem(item);
        if (Engine)
            Engine->ObjectsMoved(item);
    }
}

TrpBand* TrpPreviewPages::BandOfCopy(TObject* Copy) const { return ObjectAs<TrpBand>(Copy); }

bool TrpPreviewPages::BandExists(TrpBand* Band)
{
    TrpXMLItem* page = CurXMLPage();
    if (!page || !Band)
        return false;
    for (int i = 0; i < page->Count(); ++i) {
        auto* copy = ObjectAs<TrpComponent>(GetObject(page->Items(i)->Name));
        if (!copy)
            continue;
        if (copy->OriginalComponent == Band)
            return true;
        if (ObjectAs<TrpPageFooter>(Band) && ObjectAs<TrpPageFooter>(copy))
            return true;
        if (dynamic_cast<TrpColumnFooter*>(Band) && dynamic_cast<TrpColumnFooter*>(copy))
            return true;
    }
    return false;
}

int TrpPreviewPages::GetCurPosition()
{
    TrpXMLItem* page = CurXMLPage();
    return page ? page->Count() : 0;
}

Extended TrpPreviewPages::GetLastY()
{
    TrpXMLItem* page = CurXMLPage();
    Extended result = 0;
    if (!page)
        return 0;
    for (int i = 0; i < page->Count(); ++i) {
        TrpXMLItem* item = page->Items(i);
        TrpBand* band = BandOfCopy(GetObject(item->Name));
        if (!band || dynamic_cast<TrpPageFooter*>(band))
            continue;
        const Extended bottom = NumberProp(item, "t", band->GetTop()) + NumberProp(item, "h", band->GetHeight());
        result = std::max(result, bottom);
    }
    return result;
}

void TrpPreviewPages::AddEmptyPage(int Index)
{
    TrpXMLItem* pages = PagesItem();
    if (pages->Count() == 0 || Index < 0 || Index >= pages->Count())
        return;
    auto* item = new TrpXMLItem();
    item->Name = pages->Items(Index)->Name;
    pages->InsertItem(Index, item);
    ClearPageCache();
}

void TrpPreviewPages::DeletePage(int Index)
{
    TrpXMLItem* pages = PagesItem();
    if (pages->Count() < 2 || Index < 0 || Index >= pages->Count())
        return;
    delete pages->Items(Index);
    ClearPageCache();
    CountHeld();
}

void TrpPreviewPages::ModifyPage(int Index, TrpReportPage* Page)
{
    TrpXMLItem* pages = PagesItem();
    if (!Page || Index < 0 || Index >= pages->Count())
        return;
    TrpXMLItem* item = pages->Items(Index);
    item->Clear();
    item->Text.clear();
    TrpXMLSerializer serializer(nullptr);
    serializer.WriteRootComponent(Page, true, item);
    item->Unloadable = false;
    item->Loaded = true;
    ClearPageCache();
    CountHeld();
}

// ---------------------------------------------------------------- building pages

TrpReportPage* TrpPreviewPages::GetPage(int Index)
{
    TrpXMLItem* pages = PagesItem();
    if (pages->Count() == 0 || Index < 0 || Index >= pages->Count())
        return nullptr;
    const bool running = Engine && Engine->Running;
    if (!running) {
        for (size_t i = 0; i < FCache.size(); ++i)
            if (FCache[i].Index == Index) {
                std::swap(FCache[i], FCache[0]);
                return FCache[0].Page.get();
            }
    }
    TrpXMLItem* element = pages->Items(Index);
    std::unique_ptr<TrpReportPage> page = BuildPage(element, Index, Report->Errors);
    if (!page)
        return nullptr;
    page->AlignChildren();
    TrpReportPage* result = page.get();
    FCache.insert(FCache.begin(), TCached{Index, std::move(page)});
    if (static_cast<int>(FCache.size()) > kMaxCachedPages) {
        const int last = FCache.back().Index;
        if (Report->GetEngineOptions()->UseFileCache && last >= 0 && last < pages->Count() &&
            pages->Items(last)->Unloadable)
            UnloadPage(last);
        FCache.pop_back();
    }
    KeepWithinLimit(Index);
    return result;
}

std::unique_ptr<TrpReportPage> TrpPreviewPages::BuildPage(TrpXMLItem* Element, int Index, TStrings& Errors)
{
    if (Index >= 0 && Index < PagesItem()->Count() && PagesItem()->Items(Index) == Element)
        LoadPage(Index);
    else
        FXMLDoc->LoadItem(Element);
    if (IsWholePageName(Element->Name)) {
        std::unique_ptr<TrpReportPage> page = NewPageOfClass(Element->Name);
        TrpXMLSerializer serializer(nullptr);
        serializer.ReadRootComponent(page.get(), Element);
        for (int i = 0; i < serializer.Errors.Count(); ++i)
            Errors.Add(Format(rpenginemsg::kDamagedPart, {Index + 1, serializer.Errors[i]}));
        return page;
    }
    TrpReportPage* source = SourcePage(SourceIndexOfElement(Element));
    if (!source)
        return nullptr;  // names no source page: nothing to build it from
    std::unique_ptr<TrpReportPage> page = NewPageOfClass(source->ClassName());
    page->Assign(source);
    ReadPageObjects(Element, page.get(), 0, Index, Errors);
    return page;
}

void TrpPreviewPages::ReadPageObjects(TrpXMLItem* Element, TrpComponent* Parent, int Depth, int PageIndex,
                                      TStrings& Errors)
{
    if (Depth > kMaxXMLDepth)
        return;
    TrpXMLSerializer serializer(nullptr);
    serializer.Parsed = &FParsedBases;
    for (int i = 0; i < Element->Count(); ++i) {
        TrpXMLItem* child = Element->Items(i);
        auto* copy = ObjectAs<TrpComponent>(GetObject(child->Name));
        TrpComponent* obj = nullptr;
        // A memo's page text (x) replaces its copy's whole text: that is not read per page.
        serializer.SkipInText = HasAttribute(child->Text, "x") ? "memo.text" : "";
        // A copy's text is read once for all pages, kept by the copy (whose text is only
        // ever set where it is forgotten here, and which goes only with all the copies).
        serializer.ParsedKey = copy;
        try {
            obj = serializer.ReadComponentStr(Parent, copy ? copy->BaseName : child->Name, child->Text);
        } catch (const Exception& e) {
            // One damaged object is left out; the rest of the page still shows.
            Errors.Add(Format(rpenginemsg::kDamagedObject, {PageIndex + 1, e.Message()}));
            continue;
        }
        // What the object could not take (a damaged picture) is left out, but said.
        for (int k = 0; k < serializer.Errors.Count(); ++k)
            Errors.Add(Format(rpenginemsg::kDamagedPart, {PageIndex + 1, serializer.Errors[k]}));
        serializer.Errors.Clear();
        if (!obj)
            continue;
        if (copy) {
            try {
                obj->SetName(copy->Name());
            } catch (const Exception&) {
            }
        }
        if (obj->Parent() != Parent)
            obj->SetParent(Parent);
        ReadPageObjects(child, obj, Depth + 1, PageIndex, Errors);
    }
}

TPoint TrpPreviewPages::GetPageSize(int Index)
{
    TrpXMLItem* pages = PagesItem();
    if (Index < 0 || Index >= pages->Count())
        return TPoint{0, 0};
    TrpXMLItem* element = pages->Items(Index);
    if (!IsWholePageName(element->Name)) {
        TrpReportPage* source = SourcePage(SourceIndexOfElement(element));
        if (!source)
            return TPoint{0, 0};
        return TPoint{rpDevRound(source->GetWidth()), rpDevRound(source->GetHeight())};
    }
    TrpReportPage* page = GetPage(Index);
    if (!page)
        return TPoint{0, 0};
    return TPoint{rpDevRound(page->GetWidth()), rpDevRound(page->GetHeight())};
}

// ---------------------------------------------------------------- anchors

void TrpPreviewPages::AddAnchor(const AnsiString& Text)
{
    TrpXMLItem* item = FXMLDoc->Root()->FindItem("anchors")->Add();
    item->Name = "item";
    const int top = Engine ? rpDevRound(Engine->CurY) : 0;
    item->Text = "text=\"" + rpStrToXML(Text) + "\" page=\"" + IntToStr(CurPage) + "\" top=\"" + IntToStr(top) + "\"";
}

void TrpPreviewPages::ForgetAnchors()
{
    FAnchorIndex.clear();
    FAnchorsOf = nullptr;
    FLastAnchorRead = nullptr;
    FAnchorsRead = 0;
}

TrpXMLItem* TrpPreviewPages::FindAnchor(const AnsiString& Text)
{
    // Anchors are only ever added at the end (a new document starts the index afresh), so
    // the index reads just the ones added since it last looked.
    TrpXMLItem* anchors = FXMLDoc->Root()->FindItem("anchors");
    if (anchors != FAnchorsOf || anchors->Count() < FAnchorsRead ||
        (FAnchorsRead > 0 && anchors->Items(FAnchorsRead - 1) != FLastAnchorRead)) {
        ForgetAnchors();
        FAnchorsOf = anchors;
    }
    for (; FAnchorsRead < anchors->Count(); ++FAnchorsRead) {
        TrpXMLItem* item = anchors->Items(FAnchorsRead);
        FLastAnchorRead = item;
        try {
            FAnchorIndex[item->Prop("text")] = item;  // the latest of equal texts
        } catch (const Exception&) {
            // an undecodable text in a loaded file names no anchor
        }
    }
    const auto found = FAnchorIndex.find(Text);
    return found == FAnchorIndex.end() ? nullptr : found->second;
}

int TrpPreviewPages::GetAnchorPage(const AnsiString& Text)
{
    TrpXMLItem* anchor = FindAnchor(Text);
    if (!anchor)
        return 1;
    return StrToIntDef(Trim(anchor->Prop("page")), 0) + 1;
}

// ---------------------------------------------------------------- drawing and the mouse

void TrpPreviewPages::DrawPage(int Index, TCanvas* Canvas, Extended ScaleX, Extended ScaleY, Extended OffsetX,
                               Extended OffsetY)
{
    TrpReportPage* page = GetPage(Index);
    if (!page || !Canvas)
        return;
    DrawBuiltPage(page, Index, GetCount(), Canvas, ScaleX, ScaleY, OffsetX, OffsetY);
}

namespace {

// The device rectangle a view covers, grown by Margin pixels on every side. A view may have
// a negative width or height (a line drawn from its right or lower end, a rising diagonal):
// it covers the same pixels as its mirror image, so the edges are put in order.
TRect ViewDeviceRect(TrpView* View, Extended ScaleX, Extended ScaleY, Extended OffsetX, Extended OffsetY, int Margin)
{
    const Extended l = View->GetAbsLeft(), t = View->GetAbsTop();
    const Extended r = l + View->GetWidth(), b = t + View->GetHeight();
    return {rpDevRound(std::min(l, r) * ScaleX) - Margin + rpDevRound(OffsetX),
            rpDevRound(std::min(t, b) * ScaleY) - Margin + rpDevRound(OffsetY),
            rpDevRound(std::max(l, r) * ScaleX + Margin) + rpDevRound(OffsetX),
            rpDevRound(std::max(t, b) * ScaleY + Margin) + rpDevRound(OffsetY)};
}

}  // namespace

void TrpPreviewPages::DrawBuiltPage(TrpReportPage* page, int Index, int count, TCanvas* Canvas, Extended ScaleX,
                                    Extended ScaleY, Extended OffsetX, Extended OffsetY)
{
    const bool mirror = page->MirrorMargins && (Index % 2) == 1;
    if (mirror)
        std::swap(page->LeftMargin, page->RightMargin);
    struct Restore {
        TrpReportPage* p;
        bool on;
        ~Restore()
        {
            if (on)
                std::swap(p->LeftMargin, p->RightMargin);
        }
    } restore{page, mirror};

    page->Draw(Canvas, ScaleX, ScaleY, OffsetX, OffsetY);
    OffsetX += page->LeftMargin * kUnitsPerMM * ScaleX;
    OffsetY += page->TopMargin * kUnitsPerMM * ScaleY;
    const bool metafile = dynamic_cast<TMetafileCanvas*>(Canvas) != nullptr;
    for (TrpComponent* obj : page->GetAllObjects()) {
        auto* view = ObjectAs<TrpView>(obj);
        if (!view)
            continue;
        const TRect r = ViewDeviceRect(view, ScaleX, ScaleY, OffsetX, OffsetY, 20);
        if (!metafile && !Canvas->RectVisible(r))
            continue;
        if (FPrinting && !view->Printable)
            continue;
        view->IsPrinting = FPrinting;
        if (auto* memo = ObjectAs<TrpCustomMemoView>(view))
            rpMemoSetTotalPages(memo, count);
        view->Draw(Canvas, ScaleX, ScaleY, OffsetX, OffsetY);
        view->IsPrinting = false;
    }
}

bool TrpPreviewPages::ObjectOver(int Index, int X, int Y, TMouseButton Button, TShiftState Shift, Extended Scale,
                                 Extended OffsetX, Extended OffsetY, bool Click, TCursor& Cursor)
{
    if (Index < 0 || Index >= GetCount() || (Engine && Engine->Running))
        return false;
    TrpReportPage* page = GetPage(Index);
    if (!page)
        return false;
    OffsetX += (page->MirrorMargins && Index % 2 == 1 ? page->RightMargin : page->LeftMargin) * kUnitsPerMM * Scale;
    OffsetY += page->TopMargin * kUnitsPerMM * Scale;
    Report->SetProgressMessage("");
    const std::vector<TrpComponent*> all = page->GetAllObjects();
    for (auto it = all.rbegin(); it != all.rend(); ++it) {
        auto* view = dynamic_cast<TrpView*>(*it);
        if (!view)
            continue;
        if (!ViewDeviceRect(view, Scale, Scale, OffsetX, OffsetY, 0).Contains(Point(X, Y)))
            continue;
        if (view->Cursor != crDefault)
            Cursor = view->Cursor;
        const AnsiString url = view->URL;
        if (!url.empty()) {
            Report->SetProgressMessage(url);
            if (view->Cursor == crDefault)
                Cursor = crHandPoint;
        }
        if (Click) {
            if (!url.empty() && url[0] == '@') {
                if (TrpCustomPreview* preview = Report->GetPreview(); preview && PreviewNavigator())
                    PreviewNavigator()(preview, StrToIntDef(Trim(url.substr(1)), 1), -1);
            } else if (!url.empty() && url[0] == '#') {
                if (TrpXMLItem* anchor = FindAnchor(url.substr(1)))
                    if (TrpCustomPreview* preview = Report->GetPreview(); preview && PreviewNavigator())
                        PreviewNavigator()(preview, StrToIntDef(Trim(anchor->Prop("page")), 0) + 1,
                                           StrToIntDef(Trim(anchor->Prop("top")), 0));
            } else if (!url.empty()) {
                Services().ShellExecute("", url, "", "", 1);
            }
            if (Report->DoPreviewClick(view, Button, Shift, false)) {
                ModifyPage(Index, page);
                return true;
            }
        } else if (Report->OnMouseOverObject) {
            Report->OnMouseOverObject(view, Cursor);
        }
        return true;
    }
    return false;
}

std::vector<TrpView*> TrpPreviewPages::FindText(int Index, const AnsiString& Text, bool MatchCase)
{
    std::vector<TrpView*> found;
    TrpReportPage* page = GetPage(Index);
    if (!page || Text.empty())
        return found;
    const AnsiString needle = MatchCase ? Text : AnsiUpperCase(Text);
    for (TrpComponent* obj : page->GetAllObjects()) {
        auto* memo = dynamic_cast<TrpCustomMemoView*>(obj);
        if (!memo)
            continue;
        const AnsiString hay = MatchCase ? rpMemoText(memo) : AnsiUpperCase(rpMemoText(memo));
        if (hay.find(needle) != AnsiString::npos)
            found.push_back(memo);
    }
    return found;
}

bool TrpPreviewPages::Export(TrpCustomExportFilter* Filter)
{
    // No export filter exists in this program; a filter supplied later gets the pages here.
    if (!Filter)
        return false;
    Filter->Report = Report;
    if (Filter->ShowDialog && Filter->ShowModal() != mrOk)
        return false;
    TrpCustomPreview* preview = Report->GetPreview();
    if (Filter->CurPage)
        Filter->PageNumbers = preview ? IntToStr(CurPreviewPage) : AnsiString("1");
    Report->SetTerminated(false);
    TStringList list;  // sorted: each page asks whether it is chosen
    list.SetSorted(true);
    bool result = true;
    TBitmap scratch;  // AutoWidth memos take their width by being drawn once
    scratch.SetSize(1, 1);
    bool locked = false;
    try {
        rpParsePageNumbers(Filter->PageNumbers, &list, GetCount());
        if (!Filter->Start())
            return true;
        if (preview) {
            preview->Lock();
            locked = true;
        }
        Report->InternalOnProgressStart(ptExporting);
        for (int i = 0; i < GetCount(); ++i) {
            if (list.Count() > 0 && list.IndexOf(IntToStr(i + 1)) < 0)
                continue;
            TrpReportPage* page = GetPage(i);
            if (!page)
                continue;
            Report->InternalOnProgress(ptExporting, i + 1);
            Filter->StartPage(page, i);
            // The filter sees the page where it prints: placed at its margins (exchanged on
            // the even pages of mirrored margins), under its background and frame.
            const bool mirror = page->MirrorMargins && i % 2 == 1;
            const Extended left = mirror ? page->RightMargin : page->LeftMargin;
            page->SetLeft(left * kUnitsPerMM);
            page->SetTop(page->TopMargin * kUnitsPerMM);
            {
                TrpPictureView background(nullptr);
                background.SetName("_pagebackground");
                background.SetColor(page->GetColor());
                background.SetFrame(page->GetFrame());
                background.SetPicture(page->GetBackPicture());
                background.Stretched = true;
                background.KeepAspectRatio = false;
                background.SetBounds(page->GetLeft(), page->GetTop(),
                                     page->GetWidth() - (page->LeftMargin + page->RightMargin) * kUnitsPerMM,
                                     page->GetHeight() - (page->TopMargin + page->BottomMargin) * kUnitsPerMM);
                Filter->ExportObject(&background);
            }
            const std::vector<TrpComponent*> objects = page->GetAllObjects();
            for (TrpComponent* obj : objects)
                if (auto* memo = dynamic_cast<TrpCustomMemoView*>(obj)) {
                    if (memo->GetHighlight()->Active)
                        memo->SetFont(memo->GetHighlight()->GetFont());
                    rpMemoSetTotalPages(memo, GetCount());
                    memo->ExtractTotalPages();
                    if (memo->AutoWidth)
                        memo->Draw(scratch.GetCanvas(), 1, 1, 0, 0);
                }
            for (TrpComponent* obj : objects)
                Filter->ExportObject(obj);
            Filter->FinishPage(page, i);
            if (!preview) {
                ClearPageCache();
            } else {
                page->SetLeft(0);
                page->SetTop(0);
            }
            if (Report->GetTerminated())
                break;
            if (Application)
                Application->ProcessMessages();
        }
        if (locked) {
            locked = false;
            preview->Unlock();  // hides the message and repaints
        }
        Report->InternalOnProgressStop(ptExporting);
        Filter->Finish();
    } catch (const Exception& e) {
        if (locked)
            preview->Unlock();
        result = false;
        Report->Errors.Clear();
        Report->Errors.Add(e.Message());
        if (!Report->GetEngineOptions()->SilentMode)
            rpErrorMsg(rpResources().Get("clErrors") + "\r\n" + Report->Errors.Text());
    }
    return result;
}

// ---------------------------------------------------------------- the prepared-report file

void TrpPreviewPages::BeforeSave()
{
    TrpXMLItem* root = FXMLDoc->Root();
    root->FindItem("previewpages");
    TrpXMLItem* report = root->FindItem("report");
    report->Clear();
    TrpXMLItem* r = report->Add();
    r->Name = Report->ClassName();
    r->Text = "DotMatrixReport=\"" + rpValueToXML(Report->DotMatrixReport) +
              "\" PreviewOptions.OutlineVisible=\"" + rpValueToXML(Report->GetPreviewOptions()->OutlineVisible) +
              "\" PreviewOptions.OutlineWidth=\"" + rpValueToXML(Report->GetPreviewOptions()->OutlineWidth) + "\"";
    TrpXMLItem* sources = root->FindItem("sourcepages");
    sources->Clear();
    TrpXMLSerializer serializer(nullptr);
    for (auto& page : FSourcePages) {
        serializer.Owner = nullptr;  // each page names its own objects
        serializer.WriteRootComponent(page.get(), true, sources->Add());
    }
    TrpXMLItem* dictionary = root->FindItem("dictionary");
    dictionary->Clear();
    for (const AnsiString& name : FDictionary.SortedNames()) {
        TrpXMLItem* item = dictionary->Add();
        item->Name = name;
        item->Text = "name=\"" + FDictionary.GetSourceName(name) + "\"";
    }
}

void TrpPreviewPages::SaveToStream(TStream& Stream)
{
    ClearPageCache();
    BeforeSave();
    if (TClass cls = rpDefaultCompressor()) {
        std::unique_ptr<TComponent> made = cls->CreateComponent(nullptr);
        auto* compressor = dynamic_cast<TrpCustomCompressor*>(made.get());
        if (compressor) {
            compressor->Report = Report;
            compressor->IsTemplateFile = false;
            compressor->CreateStream();
            FXMLDoc->SaveToStream(*compressor->Stream);
            compressor->Compress(Stream);
            return;
        }
    }
    FXMLDoc->SaveToStream(Stream);
}

namespace {

bool BoolAttr(const AnsiString& Value, bool& Out)
{
    const AnsiString v = Trim(Value);
    if (v == "1" || CompareText(v, "True") == 0)
        Out = true;
    else if (v == "0" || CompareText(v, "False") == 0)
        Out = false;
    else
        return false;
    return true;
}

}  // namespace

void TrpPreviewPages::AfterLoad()
{
    TrpXMLItem* root = FXMLDoc->Root();
    root->FindItem("previewpages");
    // Only the display settings a prepared file carries; nothing else of the report.
    if (int at = root->Find("report"); at >= 0 && root->Items(at)->Count() > 0) {
        TrpXMLItem* r = root->Items(at)->Items(0);
        try {
            bool b = false;
            if (r->PropExists("DotMatrixReport") && BoolAttr(r->Prop("DotMatrixReport"), b))
                Report->DotMatrixReport = b;
            if (r->PropExists("PreviewOptions.OutlineVisible") && BoolAttr(r->Prop("PreviewOptions.OutlineVisible"), b))
                Report->GetPreviewOptions()->OutlineVisible = b;
            int w = 0;
            if (r->PropExists("PreviewOptions.OutlineWidth") &&
                TryStrToInt(Trim(r->Prop("PreviewOptions.OutlineWidth")), w) && w >= 0 && w <= 10000)
                Report->GetPreviewOptions()->OutlineWidth = w;
        } catch (const Exception&) {
        }
    }
    if (int at = root->Find("sourcepages"); at >= 0) {
        TrpXMLItem* sources = root->Items(at);
        ClearSourcePages();
        TrpXMLSerializer serializer(nullptr);
        for (int i = 0; i < sources->Count(); ++i) {
            TrpXMLItem* child = sources->Items(i);
            std::unique_ptr<TrpReportPage> page =
                NewPageOfClass(SameClassName(child->Name, "TrpDMPPage") ? child->Name : AnsiString("TrpReportPage"));
            // References (a band's child band) are resolved within their own page, not the first.
            serializer.Owner = nullptr;
            serializer.ReadRootComponent(page.get(), child);
            for (TrpComponent* obj : page->GetAllObjects()) {
                obj->BaseName = serializer.WriteComponentStr(obj);
                FParsedBases.Forget(obj);
            }
            FSourcePages.push_back(std::move(page));
        }
        for (int i = 0; i < serializer.Errors.Count(); ++i)
            Report->Errors.Add(serializer.Errors[i]);
        sources->Clear();
    }
    if (int at = root->Find("dictionary"); at >= 0) {
        TrpXMLItem* dictionary = root->Items(at);
        FDictionary.Clear();
        for (int i = 0; i < dictionary->Count(); ++i) {
            TrpXMLItem* child = dictionary->Items(i);
            AnsiString source;
            const AnsiString& t = child->Text;
            if (t.size() >= 7 && CompareText(t.substr(0, 6), "name=\"") == 0 && t.back() == '"')
                source = t.substr(6, t.size() - 7);
            else
                continue;  // not the form a writer of this file makes
            const size_t dot = source.find('.');
            TObject* obj = nullptr;
            if (dot != AnsiString::npos && dot >= 4) {
                int n = -1;
                if (TryStrToInt(source.substr(4, dot - 4), n))
                    if (TrpReportPage* page = SourcePage(n))
                        obj = page->FindObject(source.substr(dot + 1));
            }
            FDictionary.Add(child->Name, source, obj);
        }
    }
}

void TrpPreviewPages::LoadFromStream(TStream& Stream, bool AllowPartialLoading)
{
    Clear();
    Report->Errors.Clear();  // the errors of this load only
    std::unique_ptr<TrpCustomCompressor> compressor;
    TStream* source = &Stream;
    if (TClass cls = rpDefaultCompressor()) {
        AllowPartialLoading = false;
        try {
            std::unique_ptr<TComponent> made = cls->CreateComponent(nullptr);
            if (auto* c = dynamic_cast<TrpCustomCompressor*>(made.get())) {
                made.release();
                compressor.reset(c);
                compressor->Report = Report;
                compressor->IsTemplateFile = false;
                compressor->CreateStream();
                compressor->Decompress(Stream);
                compressor->Stream->SetPosition(0);
                source = compressor->Stream.get();
            }
        } catch (const Exception&) {
            compressor.reset();
            Report->Errors.Add(rpResources().Get("clDecompressError"));
            if (!Report->GetEngineOptions()->SilentMode)
                rpErrorMsg(rpResources().Get("clErrors") + "\r\n" + Report->Errors.Text());
            return;
        }
    }
    ForgetAnchors();
    if (AllowPartialLoading) {
        auto copy = std::make_unique<TMemoryStream>();
        copy->CopyFrom(*source, source->GetSize() - source->GetPosition());
        copy->SetPosition(0);
        FXMLDoc->LoadFromStream(std::move(copy), true);
    } else {
        FXMLDoc->LoadFromStream(*source);
    }
    if (CompareText(FXMLDoc->Root()->Name, "preparedreport") != 0) {
        const AnsiString found = FXMLDoc->Root()->Name;
        Clear();
        throw EXMLFormatError(Format(rpenginemsg::kNotPrepared, {found}));
    }
    // A file that ends inside its elements has lost its tail, and with it the template
    // pages and the dictionary that the writer puts last: its pages would show blank or
    // short as if whole. It is refused like any other damaged file.
    if (const AnsiString unclosed = FXMLDoc->Unclosed(); !unclosed.empty()) {
        Clear();
        throw EXMLFormatError(Format(rpmsg::kXMLCutShort, {unclosed}));
    }
    try {
        AfterLoad();
    } catch (...) {
        Clear();
        throw;
    }
    CurPage = GetCount() - 1;
    CountHeld();
    // Damage inside the pages (an object or picture that cannot be rebuilt) is found now,
    // page by page, and said once; the rest of the file is shown.
    if (!AllowPartialLoading) {
        TrpXMLItem* pages = PagesItem();
        for (int i = 0; i < pages->Count(); ++i)
            if (!BuildPage(pages->Items(i), i, Report->Errors))
                Report->Errors.Add(Format(rpenginemsg::kNoSourcePage, {i + 1}));
    }
    if (Report->Errors.Count() > 0 && !Report->GetEngineOptions()->SilentMode)
        rpErrorMsg(rpResources().Get("clErrors") + "\r\n" + Report->Errors.Text());
}

void TrpPreviewPages::SaveToFile(const AnsiString& FileName)
{
    SaveFileWhole(FileName, [&](TStream& stream) { SaveToStream(stream); });
}

bool TrpPreviewPages::LoadFromFile(const AnsiString& FileName, bool ExceptionIfNotFound)
{
    const bool exists = FileExists(FileName);
    if (exists || ExceptionIfNotFound) {
        TFileStream stream(FileName, fmOpenRead | fmShareDenyWrite);
        LoadFromStream(stream, false);
    }
    return exists;
}

// ---------------------------------------------------------------- factories

void rpInstallOutputFactories()
{
    rpSetEngineFactory([](TrpReport* Report) -> std::unique_ptr<TrpCustomEngine> {
        return std::make_unique<TrpEngine>(Report);
    });
    rpSetPreviewPagesFactory([](TrpReport* Report) -> std::unique_ptr<TrpCustomPreviewPages> {
        return std::make_unique<TrpPreviewPages>(Report);
    });
    rpSetOutlineFactory([](TrpCustomPreviewPages* Pages) -> std::unique_ptr<TrpCustomOutline> {
        return std::make_unique<TrpOutline>(Pages);
    });
    // Scripts see the report's engine and outline under their own classes.
    if (TscScript* unit = scGlobalUnit()) {
        unit->AddClass(TrpEngine::StaticClass(), "TrpCustomEngine");
        unit->AddClass(TrpOutline::StaticClass(), "TrpCustomOutline");
    }
}
