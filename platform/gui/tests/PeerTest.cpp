// The peer contract: peers are made parent first when a form is shown, told what changed
// with flags, report input through User* calls, and are destroyed children first.
#include "platform/gui/tests/TestForms.h"

#include "platform/gui/ComCtrls.h"
#include "platform/gui/Menus.h"

#include <gtest/gtest.h>

namespace {

struct Record {
    std::vector<std::string> Events;
};

class TRecordingPeer : public TPeer {
public:
    TRecordingPeer(TControl& control, Record& record) : FControl(control), FRecord(record)
    {
        // A peer may rely on its parent's peer existing.
        if (control.GetParent()) {
            EXPECT_NE(control.GetParent()->Peer(), nullptr) << "parent peer made first";
        }
        FRecord.Events.push_back("create " + std::string(control.Name()));
    }
    ~TRecordingPeer() override
    {
        if (auto* w = dynamic_cast<TWinControl*>(&FControl))
            for (TControl* c : w->ControlList()) {
                EXPECT_EQ(c->Peer(), nullptr) << "children's peers go first";
            }
        FRecord.Events.push_back("destroy " + std::string(FControl.Name()));
    }
    void Changed(TControlChanges what) override
    {
        std::string flags;
        if (HasChange(what, TControlChange::Caption))
            flags += " caption";
        if (HasChange(what, TControlChange::Checked))
            flags += " checked";
        if (HasChange(what, TControlChange::Items))
            flags += " items";
        if (HasChange(what, TControlChange::ItemIndex))
            flags += " index";
        if (HasChange(what, TControlChange::Enabled))
            flags += " enabled";
        if (HasChange(what, TControlChange::Bounds))
            flags += " bounds";
        if (!flags.empty())
            FRecord.Events.push_back(std::string(FControl.Name()) + flags);
    }

private:
    TControl& FControl;
    Record& FRecord;
};

class TRecordingMenuPeer : public TPeer {
public:
    explicit TRecordingMenuPeer(Record& record) : FRecord(record) {}
    void Changed(TControlChanges what) override
    {
        if (HasChange(what, TControlChange::Menu))
            FRecord.Events.push_back("menu changed");
    }

private:
    Record& FRecord;
};

class TRecordingWidgetSet : public TWidgetSet {
public:
    Record R;
    std::unique_ptr<TPeer> CreatePeer(TControl& control) override
    {
        return std::make_unique<TRecordingPeer>(control, R);
    }
    std::unique_ptr<TPeer> CreateMenuPeer(TMenu&) override { return std::make_unique<TRecordingMenuPeer>(R); }
};

struct PeerTest : GuiTest {
    TRecordingWidgetSet Widgets;
    PeerTest() { SetWidgetSet(&Widgets); }
    ~PeerTest() override
    {
        // The recording outlives no peer: they go before the widget set does.
        for (TCustomForm* f : Screen->FormList())
            f->DestroyPeers();
        SetWidgetSet(nullptr);
    }
    std::vector<std::string>& Events() { return Widgets.R.Events; }
};

TEST_F(PeerTest, PeersAreMadeOnShowAndMirrorChanges)
{
    TLogForm* form = NewForm("Form");
    auto* box = new TGroupBox(form);
    box->SetName("Box");
    box->SetParent(form);
    auto* check = new TCheckBox(form);
    check->SetName("Check");
    check->SetParent(box);
    EXPECT_TRUE(Events().empty()) << "no peers before the form is shown";
    form->Show();
    EXPECT_EQ(Events(), (std::vector<std::string>{"create Form", "create Box", "create Check"}));
    Events().clear();
    check->SetChecked(true);
    check->SetCaption("НДС");
    box->SetEnabled(false);
    EXPECT_EQ(Events(), (std::vector<std::string>{"Check checked", "Check caption", "Box enabled", "Check enabled"}));

    // Input comes back as model calls; the peer then mirrors the model's new state.
    Events().clear();
    box->SetEnabled(true);
    Events().clear();
    EXPECT_TRUE(check->UserClicked());
    EXPECT_FALSE(check->GetChecked());
    EXPECT_EQ(Events(), (std::vector<std::string>{"Check checked"}));

    // A control put on a shown parent gets its peer at once.
    Events().clear();
    auto* later = new TEdit(form);
    later->SetName("Later");
    later->SetParent(box);
    EXPECT_EQ(Events().front(), "create Later");
}

TEST_F(PeerTest, PeersGoChildrenFirstWhenTheFormIsDestroyed)
{
    TLogForm* form = NewForm("Form");
    auto* panel = new TGroupBox(form);
    panel->SetName("Panel");
    panel->SetParent(form);
    auto* tree = new TTreeView(form);
    tree->SetName("Tree");
    tree->SetParent(panel);
    form->Show();
    Events().clear();
    tree->GetItems()->Add(nullptr, "Склад");
    tree->SetSelected(tree->GetItems()->GetFirstNode());
    EXPECT_EQ(Events(), (std::vector<std::string>{"Tree items", "Tree index"}));
    Events().clear();
    delete form;
    EXPECT_EQ(Events(), (std::vector<std::string>{"destroy Tree", "destroy Panel", "destroy Form"}));
}

TEST_F(PeerTest, MenuChangesReachTheMenuPeer)
{
    TLogForm* form = NewForm("Form");
    auto* menu = new TMainMenu(form);
    auto* item = new TMenuItem(form);
    menu->GetItems()->Add(item);
    form->SetMenu(menu);
    form->Show();
    Events().clear();
    item->SetCaption("Файл");
    EXPECT_NE(std::find(Events().begin(), Events().end(), "menu changed"), Events().end());
}

}  // namespace
