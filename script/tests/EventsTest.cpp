// Event adapters: what each passes to the script procedure, what it copies
// back, and that a freed adapter or a freed script never runs.
#include "script/Events.h"
#include "script/tests/EngineFixture.h"

#include "platform/classes/Handles.h"

class TFakeForm : public TComponent {
    SKLAD_CLASS(TFakeForm, TComponent)
public:
    explicit TFakeForm(TComponent* AOwner) : TComponent(AOwner) {}
    TNotifyEvent FOnClick;
    TMouseEvent FOnMouseDown;
    TMouseMoveEvent FOnMouseMove;
    TKeyEvent FOnKeyDown;
    TKeyPressEvent FOnKeyPress;
    TCloseEvent FOnClose;
    TCloseQueryEvent FOnCloseQuery;
    TCanResizeEvent FOnCanResize;
};

SKLAD_DEFINE_CLASS(TFakeForm)

void TFakeForm::Publish(TPropertyTable& t)
{
    t.Event("OnClick", &TFakeForm::FOnClick);
    t.Event("OnMouseDown", &TFakeForm::FOnMouseDown);
    t.Event("OnMouseMove", &TFakeForm::FOnMouseMove);
    t.Event("OnKeyDown", &TFakeForm::FOnKeyDown);
    t.Event("OnKeyPress", &TFakeForm::FOnKeyPress);
    t.Event("OnClose", &TFakeForm::FOnClose);
    t.Event("OnCloseQuery", &TFakeForm::FOnCloseQuery);
    t.Event("OnCanResize", &TFakeForm::FOnCanResize);
}

namespace {

class EventsTest : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        S = std::make_unique<TscScript>(nullptr);
        S->Parent = scGlobalUnit();
        Form = std::make_unique<TFakeForm>(nullptr);
    }
    void TearDown() override
    {
        Form.reset();
        S.reset();
        EngineTest::TearDown();
    }

    // A procedure with the given parameters whose body records them and then runs body.
    TscProcVariable* Handler(std::vector<AnsiString> params, std::function<void(TscProcVariable*)> body = {})
    {
        return AddProc(*S, "Handler" + std::to_string(++FCount), std::move(params), [this, body](TscProcVariable* p) {
            std::vector<Variant> seen;
            for (int i = 0; i < p->ParamCount(); ++i)
                seen.push_back(p->GetParam(i)->GetValue());
            Seen.push_back(seen);
            if (body)
                body(p);
        });
    }

    // What the event member does when a script assigns a procedure.
    template <class Adapter, class Event>
    Adapter* Bind(Event& event, TscProcVariable* handler)
    {
        auto adapter = std::make_unique<Adapter>(Form.get(), handler);
        Adapter* raw = adapter.get();
        event.SetMethod(raw->GetMethod());
        scEventList()->Add(std::move(adapter));
        return raw;
    }

    std::unique_ptr<TscScript> S;
    std::unique_ptr<TFakeForm> Form;
    std::vector<std::vector<Variant>> Seen;

private:
    int FCount = 0;
};

void SetParam(TscProcVariable* p, int i, const Variant& v)
{
    p->GetParam(i)->SetValue(v);
}

} // namespace

TEST_F(EventsTest, ValuesPassedToTheScript)
{
    const Variant sender = ObjectToVariant(Form.get());
    Bind<TscNotifyEvent>(Form->FOnClick, Handler({"Sender"}));
    Bind<TscMouseEvent>(Form->FOnMouseDown, Handler({"Sender", "Button", "Shift", "X", "Y"}));
    Bind<TscMouseMoveEvent>(Form->FOnMouseMove, Handler({"Sender", "Shift", "X", "Y"}));
    Bind<TscKeyEvent>(Form->FOnKeyDown, Handler({"Sender", "Key", "Shift"}));
    Bind<TscKeyPressEvent>(Form->FOnKeyPress, Handler({"Sender", "Key"}));
    Bind<TscCloseEvent>(Form->FOnClose, Handler({"Sender", "Action"}));
    Bind<TscCloseQueryEvent>(Form->FOnCloseQuery, Handler({"Sender", "CanClose"}));
    Bind<TscCanResizeEvent>(Form->FOnCanResize, Handler({"Sender", "NewWidth", "NewHeight", "Resize"}));

    uint16_t key = 13;
    char ch = 'q';
    TCloseAction action = caHide;
    bool canClose = true;
    int w = 640, h = 480;
    bool resize = true;
    Form->FOnClick(Form.get());
    Form->FOnMouseDown(Form.get(), mbRight, TShiftState{ssShift, ssCtrl}, 10, 20);
    Form->FOnMouseMove(Form.get(), TShiftState{ssDouble}, -3, 4);
    Form->FOnKeyDown(Form.get(), key, TShiftState{ssAlt});
    Form->FOnKeyPress(Form.get(), ch);
    Form->FOnClose(Form.get(), action);
    Form->FOnCloseQuery(Form.get(), canClose);
    Form->FOnCanResize(Form.get(), w, h, resize);

    struct Row {
        const char* why;
        std::vector<Variant> expected;
    };
    const Row rows[] = {
        {"notify: the sender as an object handle", {sender}},
        {"mouse: button ordinal and shift bits 0 and 2", {sender, 1, 5, 10, 20}},
        {"mouse move: ssDouble is bit 6", {sender, 64, -3, 4}},
        {"key: the key code as Integer, ssAlt is bit 1", {sender, 13, 2}},
        {"key press: the character as one-letter text", {sender, "q"}},
        {"close: the action ordinal", {sender, 1}},
        {"close query: a Boolean", {sender, true}},
        {"can resize: sizes and a Boolean", {sender, 640, 480, true}},
    };
    ASSERT_EQ(Seen.size(), std::size(rows));
    for (size_t i = 0; i < Seen.size(); ++i) {
        SCOPED_TRACE(rows[i].why);
        ASSERT_EQ(Seen[i].size(), rows[i].expected.size());
        for (size_t j = 0; j < Seen[i].size(); ++j)
            EXPECT_TRUE(IdenticalValues(Seen[i][j], rows[i].expected[j])) << "value " << j;
    }
    // Nothing was changed by handlers that changed nothing.
    EXPECT_EQ(key, 13);
    EXPECT_EQ(ch, 'q');
    EXPECT_EQ(action, caHide);
    EXPECT_TRUE(canClose);
    EXPECT_EQ(w, 640);
    EXPECT_TRUE(resize);
}

TEST_F(EventsTest, CloseActionCopiedBack)
{
    struct Row {
        const char* why;
        Variant set; // Empty: the handler leaves Action alone
        TCloseAction passed;
        TCloseAction expected;
        bool raises;
    };
    const Row rows[] = {
        {"set to 0 gives caNone", 0, caHide, caNone, false},
        {"untouched keeps what was passed", Variant(), caFree, caFree, false},
        {"set to caMinimize", 3, caHide, caMinimize, false},
        {"only the low 8 bits count", 256 + 2, caHide, caFree, false},
        {"a number that is no action is refused", 7, caHide, caHide, true},
        {"text that is no number is refused", "abc", caHide, caHide, true},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.why);
        const Variant set = r.set;
        Bind<TscCloseEvent>(Form->FOnClose, Handler({"Sender", "Action"}, [set](TscProcVariable* p) {
            if (!VarIsEmpty(set))
                SetParam(p, 1, set);
        }));
        TCloseAction action = r.passed;
        bool raised = false;
        try {
            Form->FOnClose(Form.get(), action);
        } catch (const Exception&) {
            raised = true;
        }
        EXPECT_EQ(raised, r.raises);
        EXPECT_EQ(action, r.expected);
    }
}

TEST_F(EventsTest, KeysCopiedBack)
{
    struct Row {
        const char* why;
        Variant set;
        char expected;
    };
    const Row rows[] = {
        {"another character reaches the control", "b", 'b'},
        {"a longer text gives its first character", "xyz", 'x'},
        {"empty text delivers character 0", "", '\0'},
        {"a Cyrillic letter", "ж", static_cast<char>(0xE6)},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.why);
        const Variant set = r.set;
        Bind<TscKeyPressEvent>(Form->FOnKeyPress,
                               Handler({"Sender", "Key"}, [set](TscProcVariable* p) { SetParam(p, 1, set); }));
        char key = 'a';
        Form->FOnKeyPress(Form.get(), key);
        EXPECT_EQ(key, r.expected);
    }

    Bind<TscKeyEvent>(Form->FOnKeyDown,
                      Handler({"Sender", "Key", "Shift"}, [](TscProcVariable* p) { SetParam(p, 1, 0x10000 + 65); }));
    uint16_t key = 13;
    Form->FOnKeyDown(Form.get(), key, {});
    EXPECT_EQ(key, 65) << "the low 16 bits";
}

TEST_F(EventsTest, CloseQueryAndCanResizeCopiedBack)
{
    Bind<TscCloseQueryEvent>(Form->FOnCloseQuery,
                             Handler({"Sender", "CanClose"}, [](TscProcVariable* p) { SetParam(p, 1, false); }));
    bool canClose = true;
    Form->FOnCloseQuery(Form.get(), canClose);
    EXPECT_FALSE(canClose);

    Bind<TscCanResizeEvent>(Form->FOnCanResize,
                            Handler({"Sender", "NewWidth", "NewHeight", "Resize"}, [](TscProcVariable* p) {
                                SetParam(p, 1, 100);
                                SetParam(p, 2, 50);
                                SetParam(p, 3, false);
                            }));
    int w = 640, h = 480;
    bool resize = true;
    Form->FOnCanResize(Form.get(), w, h, resize);
    EXPECT_EQ(w, 100);
    EXPECT_EQ(h, 50);
    EXPECT_FALSE(resize);

    // A bad value leaves all three as they were.
    Bind<TscCanResizeEvent>(Form->FOnCanResize,
                            Handler({"Sender", "NewWidth", "NewHeight", "Resize"}, [](TscProcVariable* p) {
                                SetParam(p, 1, 100);
                                SetParam(p, 2, "tall");
                            }));
    w = 640;
    h = 480;
    EXPECT_THROW(Form->FOnCanResize(Form.get(), w, h, resize), Exception);
    EXPECT_EQ(w, 640);
    EXPECT_EQ(h, 480);
}

TEST_F(EventsTest, AnEventFiredFromItsOwnHandlerDoesNotRunItAgain)
{
    int runs = 0;
    TCloseAction inner = caHide;
    Bind<TscCloseEvent>(Form->FOnClose, Handler({"Sender", "Action"}, [&](TscProcVariable* p) {
        ++runs;
        SetParam(p, 1, 2);
        Form->FOnClose(Form.get(), inner); // not entered again
    }));
    TCloseAction outer = caNone;
    Form->FOnClose(Form.get(), outer);
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(outer, caFree);
    // The inner call copied back what the running invocation held.
    EXPECT_EQ(inner, caFree);
}

TEST_F(EventsTest, AnExceptionInTheHandlerCopiesNothingBack)
{
    Bind<TscCloseQueryEvent>(Form->FOnCloseQuery, Handler({"Sender", "CanClose"}, [](TscProcVariable* p) {
        SetParam(p, 1, false);
        throw Exception("handler failed");
    }));
    bool canClose = true;
    EXPECT_THROW(Form->FOnCloseQuery(Form.get(), canClose), Exception);
    EXPECT_TRUE(canClose);
}

TEST_F(EventsTest, HandlerWithOtherParameterCounts)
{
    // Fewer: it gets what fits and copies back only what it has.
    Bind<TscCloseEvent>(Form->FOnClose, Handler({"Sender"}));
    TCloseAction action = caHide;
    Form->FOnClose(Form.get(), action);
    EXPECT_EQ(action, caHide);
    ASSERT_EQ(Seen.back().size(), 1u);

    // More: the extra parameters start empty, not with the last call's values.
    TscProcVariable* more = Handler({"Sender", "Extra"});
    SetParam(more, 1, 99);
    Bind<TscNotifyEvent>(Form->FOnClick, more);
    Form->FOnClick(Form.get());
    EXPECT_TRUE(VarIsNull(Seen.back()[1]));
}

TEST_F(EventsTest, FreedAdapterOrScriptNeverRuns)
{
    TscProcVariable* h = Handler({"Sender", "CanClose"}, [](TscProcVariable* p) { SetParam(p, 1, false); });
    Bind<TscCloseQueryEvent>(Form->FOnCloseQuery, h);
    scEventList()->FreeObjectEvents(Form.get());
    bool canClose = true;
    Form->FOnCloseQuery(Form.get(), canClose); // the closure outlived its adapter
    EXPECT_TRUE(canClose);
    EXPECT_TRUE(Seen.empty());

    TscProcVariable* h2 = Handler({"Sender", "CanClose"}, [](TscProcVariable* p) { SetParam(p, 1, false); });
    Bind<TscCloseQueryEvent>(Form->FOnCloseQuery, h2);
    S.reset(); // the report's script is gone, the adapter is still listed
    Form->FOnCloseQuery(Form.get(), canClose);
    EXPECT_TRUE(canClose);
    EXPECT_TRUE(Seen.empty());
}

TEST_F(EventsTest, AHandlerThatFreesItsOwnAdapter)
{
    Bind<TscCloseEvent>(Form->FOnClose, Handler({"Sender", "Action"}, [this](TscProcVariable* p) {
        SetParam(p, 1, 2);
        scEventList()->FreeObjectEvents(Form.get()); // as a script's Free of the form does
    }));
    TCloseAction action = caHide;
    Form->FOnClose(Form.get(), action);
    EXPECT_EQ(action, caHide) << "nothing is copied back through a freed adapter";
    EXPECT_EQ(scEventList()->Count(), 0);
}

TEST_F(EventsTest, TheEventMemberInstallsAnAdapter)
{
    TscScript* u = scGlobalUnit();
    u->RegisteringOwner = this->S.get();
    TscClassVariable* cls = u->AddClass(TFakeForm::StaticClass(), "TComponent");
    ASSERT_NE(cls, nullptr);
    TscEventHelper* onClose = cls->AddEvent("OnClose", scFindEventClass("TCloseEvent"));
    u->RegisteringOwner = nullptr;
    Handler({"Sender", "Action"}, [](TscProcVariable* p) { SetParam(p, 1, 0); });

    onClose->ParentValue = ObjectToVariant(Form.get());
    onClose->Script = S.get();
    onClose->SetValue("Handler1");
    ASSERT_EQ(scEventList()->Count(), 1);
    EXPECT_EQ(Form->FOnClose.Method().Data(), scEventList()->Get(0));
    TCloseAction action = caFree;
    Form->FOnClose(Form.get(), action);
    EXPECT_EQ(action, caNone);

    onClose->SetValue("0");
    EXPECT_FALSE(Form->FOnClose.Assigned());
    u->RemoveItems(S.get());
}

TEST(EventClasses, FoundByNativeTypeName)
{
    const char* const kNames[] = {"TNotifyEvent", "TMouseEvent",      "TMouseMoveEvent",  "TKeyEvent",
                                  "TKeyPressEvent", "TCloseEvent",    "TCloseQueryEvent", "tcanresizeevent"};
    for (const char* name : kNames) {
        SCOPED_TRACE(name);
        TscEventClass make = scFindEventClass(name);
        ASSERT_TRUE(make);
        EXPECT_NE(dynamic_cast<TscEventAdapter*>(make(nullptr, nullptr).get()), nullptr);
    }
    EXPECT_FALSE(scFindEventClass("TDrawCellEvent"));
}

TEST_F(EventsTest, EngineShutdownQuietsInstalledClosures)
{
    Bind<TscCloseQueryEvent>(Form->FOnCloseQuery,
                             Handler({"Sender", "CanClose"}, [](TscProcVariable* p) { SetParam(p, 1, false); }));
    S.reset();
    ScriptEngineShutdown(); // frees every adapter; the form keeps its closure
    bool canClose = true;
    Form->FOnCloseQuery(Form.get(), canClose);
    EXPECT_TRUE(canClose);
    EXPECT_TRUE(Seen.empty());
    ScriptEngineStartup(); // as the fixture's shutdown expects
}

TEST_F(EventsTest, EachObjectsAdaptersGoWithItWhateverOrderObjectsGo)
{
    // 300 objects with one to three adapters each, made interleaved; the list then
    // loses the objects in a given order and must keep exactly the others' adapters,
    // in the order they were made, through its shrinking and compacting.
    const struct {
        const char* why;
        bool (*goes)(int i); // object i is freed
        bool reverse;        // freed last-made first
    } kOrders[] = {
        {"all, last made first", [](int) { return true; }, true},
        {"all, first made first", [](int) { return true; }, false},
        {"every other one", [](int i) { return i % 2 == 0; }, false},
        {"all but the first ten, last made first", [](int i) { return i >= 10; }, true},
        {"the first two hundred", [](int i) { return i < 200; }, false},
    };
    TscProcVariable* h = Handler({"Sender"});
    for (const auto& order : kOrders) {
        SCOPED_TRACE(order.why);
        constexpr int kObjects = 300;
        std::vector<std::unique_ptr<TFakeForm>> objects;
        for (int i = 0; i < kObjects; ++i)
            objects.push_back(std::make_unique<TFakeForm>(nullptr));
        std::vector<std::pair<int, TObject*>> made; // object, adapter: in the order made
        for (int round = 0; round < 3; ++round)
            for (int i = 0; i < kObjects; ++i)
                if (round <= i % 3) {
                    auto adapter = std::make_unique<TscNotifyEvent>(objects[i].get(), h);
                    made.emplace_back(i, adapter.get());
                    scEventList()->Add(std::move(adapter));
                }
        for (int k = 0; k < kObjects; ++k) {
            const int i = order.reverse ? kObjects - 1 - k : k;
            if (order.goes(i))
                scEventList()->FreeObjectEvents(objects[i].get());
        }
        std::erase_if(made, [&](const auto& m) { return order.goes(m.first); });
        ASSERT_EQ(scEventList()->Count(), static_cast<int>(made.size()));
        for (size_t j = 0; j < made.size(); ++j)
            ASSERT_EQ(scEventList()->Get(static_cast<int>(j)), made[j].second) << j;
        // Adapters made after the freeing join the rest in order.
        auto late = std::make_unique<TscNotifyEvent>(objects[0].get(), h);
        made.emplace_back(0, late.get());
        scEventList()->Add(std::move(late));
        EXPECT_EQ(scEventList()->Get(scEventList()->Count() - 1), made.back().second);
        for (auto& o : objects)
            scEventList()->FreeObjectEvents(o.get());
        EXPECT_EQ(scEventList()->Count(), 0);
    }
}
