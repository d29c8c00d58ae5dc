// DesignIntfTest.cpp - the design-time registries, the property editors' texts and the
// property lists of one and of several report objects.
#include "report/model/tests/ReportFixture.h"

#include "report/model/rpDBSet.h"
#include "report/model/rpDsgnIntf.h"
#include "report/model/rpRes.h"

#include "platform/graphics/FontBackend.h"
#include "platform/graphics/Graphic.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/Forms.h"
#include "platform/gui/StdCtrls.h"
#include "platform/gui/testing/TestDriver.h"

#include <functional>

namespace {

// A character property: no report class publishes one.
class TCharHolder : public TComponent {
    SKLAD_CLASS(TCharHolder, TComponent)
public:
    explicit TCharHolder(TComponent* AOwner) : TComponent(AOwner) {}
    char Separator = ';';
    Extended Ratio = 1.5L;
    uint8_t Level = 1;
};
SKLAD_DEFINE_CLASS(TCharHolder)
void TCharHolder::Publish(TPropertyTable& t)
{
    t.Prop("Separator", &TCharHolder::Separator, &TCharHolder::Separator);
    t.Prop("Ratio", &TCharHolder::Ratio, &TCharHolder::Ratio);
    t.Prop("Level", &TCharHolder::Level, &TCharHolder::Level);
}

// "Level" again, as a 32-bit integer.
class TWideHolder : public TComponent {
    SKLAD_CLASS(TWideHolder, TComponent)
public:
    explicit TWideHolder(TComponent* AOwner) : TComponent(AOwner) {}
    int Level = 1;
};
SKLAD_DEFINE_CLASS(TWideHolder)
void TWideHolder::Publish(TPropertyTable& t) { t.Prop("Level", &TWideHolder::Level, &TWideHolder::Level); }

class DesignIntfTest : public ReportTest {
protected:
    void SetUp() override
    {
        ReportTest::SetUp();
        R = MakeReport();
        Page = AddPage(R);
        Band = Add<TrpMasterData>(Page, "MasterData1");
        Memo = Add<TrpMemoView>(Band, "Memo1");
        Memo2 = Add<TrpMemoView>(Band, "Memo2");
        Line = Add<TrpLineView>(Band, "Line1");
    }
    void TearDown() override
    {
        rpUnregisterDesignTime();
        rpRegisterDesignTime();
        ReportTest::TearDown();
    }
    // The editor of one property of one object, as a property list makes it.
    TrpPropertyEditor* EditorOf(TObject* obj, const char* name)
    {
        Lists.push_back(std::make_unique<TrpPropertyList>(nullptr));
        Lists.back()->SetComponent(obj);
        TrpPropertyItem* item = Lists.back()->Find(name);
        return item ? item->Editor.get() : nullptr;
    }
    TrpReport* R = nullptr;
    TrpReportPage* Page = nullptr;
    TrpMasterData* Band = nullptr;
    TrpMemoView *Memo = nullptr, *Memo2 = nullptr;
    TrpLineView* Line = nullptr;
    std::vector<std::unique_ptr<TrpPropertyList>> Lists;
};

AnsiString Names(const TrpPropertyList& list)
{
    AnsiString r;
    for (int i = 0; i < list.Count(); ++i)
        r += (i ? "," : "") + list.GetPropertyItem(i)->Editor->GetName();
    return r;
}

}  // namespace

TEST_F(DesignIntfTest, EditorsShowAndTakeTheirTexts)
{
    auto* holder = new TCharHolder(Owner.get());
    auto* button = new TButton(Owner.get());
    auto* item = new TMenuItem(Owner.get());
    struct Case {
        const char* why;
        TObject* obj;
        const char* prop;
        const char* typed;   // nullptr: only the shown text is checked
        const char* shown;   // after typing
    } cases[] = {
        {"a character below 33 shows as #code", holder, "Separator", " ", "#32"},
        {"#65 is the letter A", holder, "Separator", "#65", "A"},
        {"an empty text is code 0", holder, "Separator", "", "#0"},
        {"either separator is a decimal point", holder, "Ratio", " 2.25 ", "2,25"},
        {"a comma as well", holder, "Ratio", "3,5", "3,5"},
        {"a modal result past the names shows as a number", button, "ModalResult", "11", "11"},
        {"modal-result names ignore case", button, "ModalResult", "mryes", "mrYes"},
        {"an empty modal result is mrNone", button, "ModalResult", "", "mrNone"},
        {"no short-cut", item, "ShortCut", "(None)", "(None)"},
        {"a short-cut by its text", item, "ShortCut", "Ctrl+N", "Ctrl+N"},
        {"colour identifiers", Memo, "Color", "clRed", "clRed"},
        {"a colour number", Memo, "Color", "12345", "$00003039"},
        {"a colour's own text for a negative value", Memo, "Color", "$FFFFFFFF", "$FFFFFFFF"},
        {"cursor identifiers", Memo, "Cursor", "crHandPoint", "crHandPoint"},
        {"a cursor number without a name", Memo, "Cursor", "50", "50"},
        {"enumeration identifiers", Memo, "HAlign", "haRight", "haRight"},
        {"integers", Memo, "Rotation", "90", "90"},
        {"strings", Memo, "TagStr", "x y", "x y"},
        {"an empty set", Memo, "Restrictions", nullptr, "[]"},
        {"the name", Memo, "Name", "Memo9", "Memo9"},
        {"a reference by name", Memo, "FlowTo", "Memo2", "Memo2"},
        {"no reference", Memo, "FlowTo", "", ""},
        {"a sub-object shows nothing", Memo, "Frame", nullptr, ""},
        {"fonts show nothing", Memo, "Font", nullptr, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        TrpPropertyEditor* e = EditorOf(c.obj, c.prop);
        ASSERT_NE(e, nullptr);
        if (c.typed)
            e->SetValue(c.typed);
        EXPECT_EQ(e->GetValue(), c.shown);
    }
    EXPECT_EQ(holder->Separator, '\0');
    EXPECT_EQ(button->GetModalResult(), mrNone);
    EXPECT_EQ(Memo->GetFlowTo(), nullptr);
}

TEST_F(DesignIntfTest, RejectedTextsRaiseTheInvalidPropertyErrorAndChangeNothing)
{
    auto* holder = new TCharHolder(Owner.get());
    auto* item = new TMenuItem(Owner.get());
    struct Case {
        const char* why;
        TObject* obj;
        const char* prop;
        const char* typed;
    } cases[] = {
        {"two characters", holder, "Separator", "ab"},
        {"# without a number", holder, "Separator", "#x"},
        {"not a number", holder, "Ratio", "1.2.3"},
        {"not an integer", Memo, "Rotation", "ninety"},
        {"not an identifier of the type", Memo, "HAlign", "haNowhere"},
        {"an unknown colour", Memo, "Color", "clSomething"},
        {"an unknown cursor", Memo, "Cursor", "crSomething"},
        {"an unknown short-cut", item, "ShortCut", "Hyper+Q"},
        {"a name no object has", Memo, "FlowTo", "Nobody"},
        {"an object of the wrong class", Memo, "FlowTo", "Line1"},
        {"the edited object itself", Memo, "FlowTo", "Memo1"},
        {"a byte above 255", holder, "Level", "256"},
        {"a byte below 0", holder, "Level", "-1"},
        {"a charset is a byte", Memo->GetFont(), "Charset", "300"},
        {"an integer past 32 bits", Memo, "Rotation", "99999999999"},
        {"a colour past 32 bits", Memo, "Color", "4294967296"},
        {"a cursor past 32 bits", Memo, "Cursor", "-2147483649"},
        {"a modal result past 32 bits", new TButton(Owner.get()), "ModalResult", "99999999999"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        TrpPropertyEditor* e = EditorOf(c.obj, c.prop);
        ASSERT_NE(e, nullptr);
        const AnsiString before = e->GetValue();
        try {
            e->SetValue(c.typed);
            ADD_FAILURE() << "accepted";
        } catch (const EPropertyError& err) {
            EXPECT_EQ(AnsiString(err.what()), rpResources().Get("prInvProp"));
        }
        EXPECT_EQ(e->GetValue(), before);
    }
}

TEST_F(DesignIntfTest, ValueLists)
{
    TrpPropertyEditor* shortcut = EditorOf(new TMenuItem(Owner.get()), "ShortCut");
    shortcut->GetValues();
    ASSERT_EQ(shortcut->Values->Count(), 109);
    EXPECT_EQ((*shortcut->Values)[0], "(None)");
    EXPECT_EQ((*shortcut->Values)[1], ShortCutToText(ShortCut('A', {ssCtrl})));
    EXPECT_EQ((*shortcut->Values)[53], ShortCutToText(VK_F1));
    EXPECT_EQ((*shortcut->Values)[108], ShortCutToText(ShortCut(VK_BACK, {ssShift, ssAlt})));

    TrpPropertyEditor* result = EditorOf(new TButton(Owner.get()), "ModalResult");
    result->GetValues();
    EXPECT_EQ(result->Values->GetCommaText(),
              "mrNone,mrOk,mrCancel,mrAbort,mrRetry,mrIgnore,mrYes,mrNo,mrAll,mrNoToAll,mrYesToAll");

    TrpPropertyEditor* flow = EditorOf(Memo, "FlowTo");
    flow->GetValues();
    EXPECT_EQ(flow->Values->GetCommaText(), "Memo2") << "memos of the page, not itself, not the line";

    TrpPropertyEditor* fonts = EditorOf(Memo->GetFont(), "Name");
    fonts->GetValues();
    EXPECT_GE(fonts->Values->IndexOf("Arial"), 0);
    EXPECT_TRUE(dynamic_cast<TrpFontNameProperty*>(fonts));

    // Edit steps through a value list and wraps after the last sorted identifier.
    TrpPropertyEditor* halign = EditorOf(Memo, "HAlign");
    halign->GetValues();
    const AnsiString last = (*halign->Values)[halign->Values->Count() - 1];
    halign->SetValue(last);
    EXPECT_TRUE(halign->Edit());
    EXPECT_EQ(halign->GetValue(), (*halign->Values)[0]);
}

// Edit on a value list visits every value once and comes back to the first: no two
// values of a list stand for one value of the property.
TEST_F(DesignIntfTest, EditStepsThroughEveryValueOnce)
{
    struct Case {
        TObject* obj;
        const char* prop;
    } cases[] = {
        {Memo, "Cursor"},
        {Memo, "HAlign"},
        {Memo, "Visible"},
        {Memo->GetFont(), "Charset"},
        {new TButton(Owner.get()), "ModalResult"},
        {new TMenuItem(Owner.get()), "ShortCut"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.prop);
        TrpPropertyEditor* e = EditorOf(c.obj, c.prop);
        ASSERT_NE(e, nullptr);
        e->GetValues();
        const int n = e->Values->Count();
        ASSERT_GT(n, 1);
        e->SetValue((*e->Values)[0]);
        for (int i = 1; i <= n; ++i) {
            ASSERT_TRUE(e->Edit());
            ASSERT_EQ(e->GetValue(), (*e->Values)[i % n]) << "step " << i;
        }
    }
    TrpPropertyEditor* cursor = EditorOf(Memo, "Cursor");
    cursor->SetValue("crSize");
    EXPECT_EQ(Memo->Cursor, crSizeAll) << "the older name is still taken";
}

// With several objects selected a number is taken only when every object's property holds it.
TEST_F(DesignIntfTest, SeveralObjectsTakeOnlyNumbersEveryOneHolds)
{
    auto* wide = new TWideHolder(Owner.get());
    auto* narrow = new TCharHolder(Owner.get());
    std::unique_ptr<TrpPropertyList> list = rpCreatePropertyList({wide, narrow}, nullptr);
    TrpPropertyItem* level = list->Find("Level");
    ASSERT_NE(level, nullptr);
    EXPECT_THROW(level->Editor->SetValue("300"), EPropertyError);
    EXPECT_EQ(wide->Level, 1);
    EXPECT_EQ(narrow->Level, 1);
    level->Editor->SetValue("200");
    EXPECT_EQ(wide->Level, 200);
    EXPECT_EQ(narrow->Level, 200);
}

TEST_F(DesignIntfTest, SetsListTheirMembers)
{
    TrpPropertyList list(nullptr);
    list.SetComponent(Memo);
    TrpPropertyItem* item = list.Find("Restrictions");
    ASSERT_NE(item, nullptr);
    ASSERT_NE(item->SubProperty, nullptr);
    EXPECT_EQ(item->SubProperty->Parent, &list);
    EXPECT_EQ(Names(*item->SubProperty), "rfDontModify,rfDontSize,rfDontMove,rfDontDelete");
    item->SubProperty->GetPropertyItem(2)->Editor->SetValue("true");
    item->SubProperty->GetPropertyItem(0)->Editor->SetValue("True");
    EXPECT_EQ(item->Editor->GetValue(), "[rfDontModify,rfDontMove]");
    item->SubProperty->GetPropertyItem(0)->Editor->SetValue("FALSE");
    EXPECT_EQ(item->Editor->GetValue(), "[rfDontMove]");
    EXPECT_THROW(item->SubProperty->GetPropertyItem(0)->Editor->SetValue("yes"), EPropertyError);

    TrpPropertyItem* frame = list.Find("Frame");
    ASSERT_NE(frame->SubProperty, nullptr) << "a sub-object lists its own properties";
    EXPECT_NE(frame->SubProperty->Find("Typ"), nullptr);
}

TEST_F(DesignIntfTest, HiddenPropertiesStayHiddenInDescendants)
{
    rpHideProperties(TrpView::StaticClass(), "Left;Top");
    for (TObject* obj : {static_cast<TObject*>(Memo), static_cast<TObject*>(Line)}) {
        TrpPropertyList list(nullptr);
        list.SetComponent(obj);
        EXPECT_EQ(list.Find("Left"), nullptr);
        EXPECT_EQ(list.Find("Top"), nullptr);
        EXPECT_NE(list.Find("Width"), nullptr);
    }
    TrpPropertyList band(nullptr);
    band.SetComponent(Band);
    EXPECT_NE(band.Find("Top"), nullptr) << "a band is no view";
}

TEST_F(DesignIntfTest, SeveralObjectsListOnlyWhatTheyShare)
{
    std::unique_ptr<TrpPropertyList> list = rpCreatePropertyList({Memo, Line}, nullptr);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->Find("Name"), nullptr) << "Name is for one object only";
    EXPECT_EQ(list->Find("HAlign"), nullptr) << "only the memo has it";
    TrpPropertyItem* width = list->Find("Width");
    ASSERT_NE(width, nullptr);
    width->Editor->SetValue("77");
    EXPECT_EQ(Memo->GetWidth(), 77);
    EXPECT_EQ(Line->GetWidth(), 77);
    TrpPropertyItem* restrictions = list->Find("Restrictions");
    ASSERT_NE(restrictions, nullptr);
    restrictions->SubProperty->GetPropertyItem(1)->Editor->SetValue("True");
    EXPECT_TRUE(Memo->Restrictions.Contains(rfDontSize));
    EXPECT_TRUE(Line->Restrictions.Contains(rfDontSize));
    EXPECT_EQ(rpCreatePropertyList({}, nullptr), nullptr);
}

// Every property two or three objects of different classes share is edited on all of them,
// also when one class has an editor of its own for a property the others lack in the list.
TEST_F(DesignIntfTest, SeveralObjectsEditEachSharedPropertyOnAll)
{
    rpPropertyEditors().Register(nullptr, TrpLineView::StaticClass(), "Cursor", rpEditorClass<TrpNameProperty>());
    auto* picture = Add<TrpPictureView>(Band, "Picture1");
    const std::vector<std::vector<TObject*>> selections = {
        {Memo, Line}, {Line, Memo}, {Memo, Line, picture}, {picture, Memo, Line}, {Memo, Band}};
    for (const auto& selection : selections) {
        std::unique_ptr<TrpPropertyList> list = rpCreatePropertyList(selection, nullptr);
        ASSERT_NE(list, nullptr);
        EXPECT_EQ(list->Find("Cursor"), nullptr) << "the line edits its cursor alone";
        int edited = 0;
        for (int i = 0; i < list->Count(); ++i) {
            TrpPropertyEditor* editor = list->GetPropertyItem(i)->Editor.get();
            const AnsiString name = editor->GetName();
            SCOPED_TRACE(AnsiString(selection[0]->ClassName()) + " and others: " + name);
            ASSERT_EQ(editor->CompList.size(), selection.size());
            for (size_t k = 0; k < selection.size(); ++k) {
                EXPECT_EQ(editor->CompList[k], selection[k]);
                EXPECT_TRUE(SameText(editor->PropList[k]->Name, name));
            }
            // A value other than the first object's: the next of a value list, else a number.
            AnsiString value;
            if (editor->GetAttributes().Contains(paValueList)) {
                editor->GetValues();
                for (int v = 0; v < editor->Values->Count(); ++v)
                    if (editor->Values->Strings(v) != editor->GetValue())
                        value = editor->Values->Strings(v);
            } else if (editor->GetPropInfo()->Kind() == tkInteger || editor->GetPropInfo()->Kind() == tkFloat) {
                value = "33";
            }
            if (value.empty())
                continue;
            try {
                editor->SetValue(value);
            } catch (const Exception&) {
                continue;  // not a value this property takes
            }
            ++edited;
            const AnsiString got = editor->GetValue();
            for (TObject* o : selection)
                EXPECT_EQ(EditorOf(o, name.c_str())->GetValue(), got) << o->ClassName();
        }
        EXPECT_GE(edited, 5);
    }
}

// A colour row of the drop-down list shows its swatch: nothing paints over it afterwards.
TEST_F(DesignIntfTest, ColourRowsKeepTheirSwatch)
{
    TrpPropertyEditor* editor = EditorOf(Memo, "Color");
    ASSERT_TRUE(dynamic_cast<TrpColorProperty*>(editor));
    editor->GetValues();
    struct Row {
        const char* name;
        uint32_t rgb;
    };
    for (const Row& r : {Row{"clRed", 0xFF0000u}, Row{"clBlue", 0x0000FFu}, Row{"clLime", 0x00FF00u}}) {
        SCOPED_TRACE(r.name);
        const int index = editor->Values->IndexOf(r.name);
        ASSERT_GE(index, 0);
        TBitmap row;
        row.SetSize(120, 16);
        row.GetCanvas()->GetBrush()->SetColor(clWhite);
        editor->OnDrawLBItem(row.GetCanvas(), index, TRect(0, 0, 120, 16));
        EXPECT_EQ(row.Pixels().Row(8)[8] & 0xFFFFFFu, r.rgb);
        EXPECT_EQ(row.GetCanvas()->GetPen()->GetColor(), static_cast<TColor>(0x808080)) << "the pen is left grey";
    }
}

// The font name editor offers the platform's installed fonts when it knows them.
TEST_F(DesignIntfTest, FontNamesAreTheInstalledFonts)
{
    struct TwoFonts : TFakeFontBackend {
        std::vector<AnsiString> Families() override { return {"DejaVu Sans", "Liberation Serif"}; }
    } installed;
    TrpPropertyEditor* editor = EditorOf(Memo->GetFont(), "Name");
    ASSERT_NE(editor, nullptr);
    editor->GetValues();
    EXPECT_GE(editor->Values->IndexOf("Arial"), 0) << "no font database: the fixed list";
    TFontBackend* kept = SetDefaultFontBackend(&installed);
    editor->GetValues();
    SetDefaultFontBackend(kept);
    EXPECT_EQ(editor->Values->Text(), "DejaVu Sans\r\nLiberation Serif\r\n");
}

TEST_F(DesignIntfTest, FindingTheEditorOfAProperty)
{
    TrpPropertyEditorCollection& e = rpPropertyEditors();
    const TPropInfo* event = GetPropInfo(Memo, "OnBeforePrint");
    EXPECT_EQ(e.GetPropertyEditor(event->PropType, Memo, "OnBeforePrint"), -1) << "no event editor yet";
    e.RegisterEventEditor(rpEditorClass<TrpStringProperty>());
    EXPECT_EQ(e.GetPropertyEditor(event->PropType, Memo, "OnBeforePrint"), e.EventEditorIndex);
    EXPECT_EQ(e.GetItem(e.EventEditorIndex).EditorClass, rpEditorClass<TrpStringProperty>());

    // Registered editors win over the kind's editor; a class item wins whatever its type.
    EXPECT_TRUE(dynamic_cast<TrpColorProperty*>(EditorOf(Memo, "Color")));
    EXPECT_TRUE(dynamic_cast<TrpNameProperty*>(EditorOf(Memo, "Name")));
    EXPECT_TRUE(dynamic_cast<TrpFontProperty*>(EditorOf(Memo, "Font")));
    EXPECT_TRUE(dynamic_cast<TrpCursorProperty*>(EditorOf(Memo, "Cursor")));
    EXPECT_TRUE(dynamic_cast<TrpComponentProperty*>(EditorOf(Memo, "FlowTo")));
    e.Register(nullptr, TrpMemoView::StaticClass(), "Rotation", rpEditorClass<TrpCursorProperty>());
    EXPECT_TRUE(dynamic_cast<TrpCursorProperty*>(EditorOf(Memo, "Rotation")));
}

TEST_F(DesignIntfTest, ColourAndFontEditorsOpenTheDialogs)
{
    TTestDriver d;
    d.AnswerColor(clGreen);
    EXPECT_TRUE(EditorOf(Memo, "Color")->Edit());
    EXPECT_EQ(Memo->Color, clGreen);
    d.AnswerFont([](TFont& f) { f.SetSize(17); });
    std::unique_ptr<TrpPropertyList> both = rpCreatePropertyList({Memo, Memo2}, nullptr);
    EXPECT_TRUE(both->Find("Font")->Editor->Edit());
    EXPECT_EQ(Memo->GetFont()->GetSize(), 17);
    EXPECT_EQ(Memo2->GetFont()->GetSize(), 17);
}

TEST_F(DesignIntfTest, StartUpLoadsTheLibrarysCursors)
{
    EXPECT_EQ(TScreen::GetCursors(50), "rpHAND");
    EXPECT_EQ(TScreen::GetCursors(51), "rpZOOM");
    EXPECT_EQ(TScreen::GetCursors(52), "rpFORMAT");
}

TEST_F(DesignIntfTest, Registries)
{
    TrpObjectCollection& objects = rpObjects();
    const int before = objects.Count();
    TBitmap bmp;
    objects.RegisterObject(TrpShapeView::StaticClass(), &bmp, "Фигуры");
    objects.RegisterObject1(TrpShapeView::StaticClass(), nullptr, "again", "", 0, 3);
    objects.RegisterCategory("Прочее", nullptr, "hint", 7);
    ASSERT_EQ(objects.Count(), before + 2) << "the same class with the same flags once";
    EXPECT_EQ(objects.GetObjectItem(before).ButtonBmp, &bmp);
    EXPECT_EQ(objects.GetObjectItem(before).ButtonImageIndex, -1);
    EXPECT_EQ(objects.GetObjectItem(before + 1).ClassRef, nullptr);
    EXPECT_EQ(objects.GetObjectItem(before + 1).ButtonImageIndex, 7);
    objects.Unregister(TrpShapeView::StaticClass());
    EXPECT_EQ(objects.Count(), before + 1);
    EXPECT_THROW(objects.GetObjectItem(objects.Count()), EListError);

    rpWizards().Register(TrpCustomWizard::StaticClass(), nullptr, true);
    rpWizards().Register(TrpCustomWizard::StaticClass(), nullptr, false);
    ASSERT_EQ(rpWizards().Count(), 1);
    EXPECT_TRUE(rpWizards().GetWizardItem(0).IsToolbarWizard);
    EXPECT_EQ(rpWizards().GetWizardItem(0).ButtonImageIndex, -1);

    class TMemoEditor : public TrpComponentEditor {
    public:
        using TrpComponentEditor::TrpComponentEditor;
        bool HasEditor() override { return true; }
    };
    rpComponentEditors().Register(TrpView::StaticClass(), &rpNewComponentEditor<TrpComponentEditor>);
    rpComponentEditors().Register(TrpCustomMemoView::StaticClass(), &rpNewComponentEditor<TMemoEditor>);
    TMenu menu(nullptr);
    auto editor = rpComponentEditors().GetComponentEditor(Memo, nullptr, &menu);
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(editor->HasEditor()) << "the last class the memo inherits from";
    EXPECT_FALSE(rpComponentEditors().GetComponentEditor(Line, nullptr, &menu)->HasEditor());
    EXPECT_EQ(rpComponentEditors().GetComponentEditor(Band, nullptr, &menu), nullptr);
    TMenuItem* added = editor->AddItem("Правка", 5, true);
    EXPECT_EQ(menu.GetItems()->Count(), 1);
    EXPECT_EQ(added->GetTag(), 5);
    EXPECT_TRUE(added->GetChecked());
}

TEST_F(DesignIntfTest, ImageStripsAreCutIntoTheLibrarysLists)
{
    // Four 2 x 2 cells: image, disabled image, image, disabled image. Each cell's
    // bottom-left pixel (magenta) is its transparent colour; its top-left pixel is white.
    TPixelBuffer p;
    p.Width = 8;
    p.Height = 2;
    p.Pixels.assign(16, 0xFF102030u);
    for (int c = 0; c < 4; ++c) {
        p.Row(0)[c * 2] = 0xFFFFFFFFu;
        p.Row(1)[c * 2] = 0xFFFF00FFu;
    }
    TBitmap strip;
    strip.SetSize(8, 2);
    strip.SetPixels(p);
    TImageList normal(nullptr), disabled(nullptr);
    for (TImageList* l : {&normal, &disabled}) {
        l->SetWidth(2);
        l->SetHeight(2);
    }
    rpAssignImages(&strip, 2, 2, &normal, &disabled);
    EXPECT_EQ(normal.Count(), 2);
    EXPECT_EQ(disabled.Count(), 2);
    TBitmap cell;
    normal.GetBitmap(0, &cell);
    EXPECT_EQ(cell.Pixels().Row(0)[0] & 0xFFFFFFu, 0xFFFFFFu);
    disabled.GetBitmap(0, &cell);
    EXPECT_EQ(cell.Pixels().Row(0)[0] & 0xFFFFFFu, 0xE0E0E0u) << "white turns light grey in disabled images";

    int loads = 0;
    rpSetBitmapResourceLoader([&](const AnsiString& name, TBitmap& b) {
        ++loads;
        if (name != "rpBUTTONS")
            return false;
        b.SetSize(64, 16);
        return true;
    });
    rpResources().SetButtonImages(nullptr, true);  // empties both lists
    EXPECT_EQ(rpResources().GetMainButtonImages()->Count(), 2) << "two pairs in a 64-pixel strip";
    EXPECT_EQ(rpResources().GetDisabledButtonImages()->Count(), 2);
    EXPECT_EQ(rpResources().GetObjectImages()->Count(), 0) << "no rpOBJECTS resource";
    rpSetBitmapResourceLoader(nullptr);
    EXPECT_EQ(loads, 2);
}

TEST_F(DesignIntfTest, GetComponentsListsTheReportsObjectsOfAClass)
{
    TStringList list;
    rpGetComponents(R, TrpMemoView::StaticClass(), &list, Memo2);
    EXPECT_EQ(list.GetCommaText(), "Memo1");
    EXPECT_EQ(list.Objects(0), Memo);
}

// The report, then every form, every data module and the modules a module form holds.
TEST_F(DesignIntfTest, GetComponentsVisitsFormsAndDataModules)
{
    TTestDriver d;
    auto form = std::make_unique<TForm>(nullptr);
    form->SetName("Form1");
    (new TrpDBDataset(form.get()))->SetName("OnForm");
    auto module = std::make_unique<TDataModule>(nullptr);
    module->SetName("DataModule1");
    (new TrpDBDataset(module.get()))->SetName("InModule");
    auto other = std::make_unique<TDataModule>(nullptr);
    other->SetName("DataModule2");
    (new TrpDBDataset(other.get()))->SetName("InOther");
    TStringList list;
    rpGetComponents(R, TrpDBDataset::StaticClass(), &list, nullptr);
    EXPECT_EQ(list.GetCommaText(), "Form1.OnForm,DataModule1.InModule,DataModule2.InOther");
    module.reset();
    rpGetComponents(R, TrpDBDataset::StaticClass(), &list, nullptr);
    EXPECT_EQ(list.GetCommaText(), "Form1.OnForm,DataModule2.InOther") << "a freed module leaves the screen's list";
}

// A frame owns its components: the form's frames, also those on a panel or inside another
// frame, come before the form's own components, under their full names.
TEST_F(DesignIntfTest, GetComponentsVisitsAFormsFramesFirst)
{
    TTestDriver d;
    auto form = std::make_unique<TForm>(nullptr);
    form->SetName("Form1");
    auto frame = [](const AnsiString& name, TComponent* owner, TWinControl* parent) {
        auto* f = new TScrollBox(owner);
        f->SetName(name);
        f->SetParent(parent);
        return f;
    };
    auto* panel = new TPanel(form.get());
    panel->SetName("Panel1");
    panel->SetParent(form.get());
    TScrollBox* direct = frame("Frame1", form.get(), form.get());
    TScrollBox* onPanel = frame("Frame2", form.get(), panel);
    TScrollBox* inner = frame("Inner", direct, direct);
    auto dataset = [](const AnsiString& name, TComponent* owner) {
        auto* c = new TrpDBDataset(owner);
        c->SetName(name);
        return c;
    };
    TComponent* onForm = dataset("OnForm", form.get());
    TComponent* inFrame = dataset("InFrame", direct);
    TComponent* onPanelSet = dataset("OnPanel", onPanel);
    TComponent* deep = dataset("Deep", inner);
    TStringList list;
    rpGetComponents(R, TrpDBDataset::StaticClass(), &list, nullptr);
    const std::vector<std::pair<AnsiString, TComponent*>> want = {{"Form1.Frame2.OnPanel", onPanelSet},
                                                                  {"Frame1.Inner.Deep", deep},
                                                                  {"Form1.Frame1.InFrame", inFrame},
                                                                  {"Form1.OnForm", onForm}};
    ASSERT_EQ(list.Count(), int(want.size())) << list.GetCommaText();
    for (int i = 0; i < list.Count(); ++i) {
        EXPECT_EQ(list[i], want[size_t(i)].first);
        EXPECT_EQ(list.Objects(i), want[size_t(i)].second) << list[i];
    }
}

TEST_F(DesignIntfTest, FormToResWritesTheFormsTextsAsABlock)
{
    auto* form = new TForm(Owner.get());
    form->SetName("Form1");
    auto* button = new TButton(form);
    button->SetName("OkB");
    button->SetParent(form);
    button->SetCaption("Д'Артаньян");
    button->SetHint("Подсказка");
    auto* edit = new TEdit(form);
    edit->SetName("Edit1");
    edit->SetParent(form);
    edit->SetText("typed");
    const AnsiString file = "formtores-test.pas";
    DeleteFile(file);
    rpFormToRes(form, file);
    TStringList lines;
    lines.LoadFromFile(file);
    DeleteFile(file);
    EXPECT_EQ(lines.GetText(),
              "rpResources.Add('TForm',\r\n"
              "    'OkB.Caption=Д''Артаньян' + #13#10 +\r\n"
              "    'OkB.Hint=Подсказка' + #13#10 +\r\n"
              "    '');\r\n");
}

namespace {

// Every editable item of a list, nested ones included, with its path of names.
void EachEditable(TrpPropertyList* list, const AnsiString& path,
                  const std::function<void(TrpPropertyItem*, const AnsiString&)>& fn)
{
    for (int i = 0; i < list->Count(); ++i) {
        TrpPropertyItem* item = list->GetPropertyItem(i);
        const AnsiString name = path + item->Editor->GetName();
        if (!item->Editor->GetAttributes().Contains(paReadOnly))
            fn(item, name);
        if (item->SubProperty)
            EachEditable(item->SubProperty.get(), name + ".", fn);
    }
}

// The shown text of one property of one object, by its path.
AnsiString ShownOf(TObject* obj, const AnsiString& path)
{
    TrpPropertyList list(nullptr);
    list.SetComponent(obj);
    TrpPropertyList* at = &list;
    AnsiString rest = path;
    for (size_t dot; (dot = rest.find('.')) != AnsiString::npos; rest = rest.substr(dot + 1)) {
        TrpPropertyItem* item = at->Find(rest.substr(0, dot));
        if (!item || !item->SubProperty)
            return "<none>";
        at = item->SubProperty.get();
    }
    TrpPropertyItem* item = at->Find(rest);
    return item ? item->Editor->GetValue() : AnsiString("<none>");
}

}  // namespace

TEST_F(DesignIntfTest, EveryCommonPropertyOfSeveralClassesEditsThemAll)
{
    auto* shape = Add<TrpShapeView>(Band, "Shape1");
    auto* picture = Add<TrpPictureView>(Band, "Picture1");
    const std::vector<std::vector<TObject*>> selections = {
        {Memo, Line}, {Line, shape}, {Memo, shape, picture}, {Line, Memo, shape}};
    for (const std::vector<TObject*>& sel : selections) {
        std::unique_ptr<TrpPropertyList> list = rpCreatePropertyList(sel, nullptr);
        ASSERT_NE(list, nullptr);
        int edited = 0;
        EachEditable(list.get(), "", [&](TrpPropertyItem* item, const AnsiString& name) {
            SCOPED_TRACE(name.c_str());
            TrpPropertyEditor* e = item->Editor.get();
            // The first object's value goes to every one: a value from the list where there is one.
            AnsiString value = e->GetValue();
            if (e->GetAttributes().Contains(paValueList)) {
                e->GetValues();
                if (e->Values->Count() > 0)
                    value = e->Values->Strings(e->Values->Count() - 1);
            }
            try {
                e->SetValue(value);
            } catch (const Exception&) {
                return;  // a value the property refuses for every object alike
            }
            ++edited;
            const AnsiString shown = e->GetValue();
            for (TObject* obj : sel)
                EXPECT_EQ(ShownOf(obj, name), shown) << static_cast<TComponent*>(obj)->GetName().c_str();
        });
        EXPECT_GT(edited, 5);
    }
}
