#include "platform/classes/tests/TestClasses.h"

#include <algorithm>

SKLAD_DEFINE_CLASS(TTestFont)
SKLAD_DEFINE_CLASS(TTestItem)
SKLAD_DEFINE_CLASS(TTestWidget)
SKLAD_DEFINE_CLASS(TTestForm)
SKLAD_DEFINE_CLASS(TTestPanel)

void TTestFont::Publish(TPropertyTable& t)
{
    t.Prop("Name", &TTestFont::FName, &TTestFont::FName);
    t.Prop("Size", &TTestFont::FSize, &TTestFont::FSize).Default(10);
    t.Prop("Style", &TTestFont::FStyle, &TTestFont::FStyle).Default(TTestStyles{});
    t.Prop("Color", &TTestFont::FColor, &TTestFont::FColor).Default(0).Type("TColor");
}

void TTestFont::Assign(TPersistent* Source)
{
    if (auto* f = dynamic_cast<TTestFont*>(Source)) {
        FName = f->FName;
        FSize = f->FSize;
        FStyle = f->FStyle;
        FColor = f->FColor;
        return;
    }
    TPersistent::Assign(Source);
}

void TTestItem::Publish(TPropertyTable& t)
{
    t.Prop("Title", &TTestItem::FTitle, &TTestItem::FTitle);
    t.Prop("Width", &TTestItem::FWidth, &TTestItem::FWidth).Default(64);
    t.Prop("Align", &TTestItem::FAlign, &TTestItem::FAlign).Default(taNone);
}

void TTestItem::Assign(TPersistent* Source)
{
    if (auto* i = dynamic_cast<TTestItem*>(Source)) {
        FTitle = i->FTitle;
        FWidth = i->FWidth;
        FAlign = i->FAlign;
        return;
    }
    TCollectionItem::Assign(Source);
}

TTestWidget::TTestWidget(TComponent* AOwner)
    : TComponent(AOwner), FFont(std::make_unique<TTestFont>()), FItems(std::make_unique<TStringList>()),
      FColumns(std::make_unique<TCollection>(TTestItem::StaticClass(), this))
{
    FColumns->PropName = "Columns";
}

TTestWidget::~TTestWidget() { SetParentComponent(nullptr); }

void TTestWidget::Publish(TPropertyTable& t)
{
    t.Prop("Left", &TTestWidget::FLeft, &TTestWidget::FLeft);
    t.Prop("Width", &TTestWidget::FWidth, &TTestWidget::FWidth).Default(75);
    t.Prop("Color", &TTestWidget::FColor, &TTestWidget::FColor).Default(0x00FFFFFF).Type("TColor");
    t.Prop("Big", &TTestWidget::FBig, &TTestWidget::FBig).Default(int64_t(0));
    t.Prop("Accel", &TTestWidget::FAccel, &TTestWidget::FAccel).Default('A');
    t.Prop("Enabled", &TTestWidget::FEnabled, &TTestWidget::FEnabled).Default(true);
    t.Prop("Align", &TTestWidget::FAlign, &TTestWidget::FAlign).Default(taNone);
    t.Prop("Styles", &TTestWidget::FStyles, &TTestWidget::FStyles).Default(TTestStyles{});
    t.Prop("Ratio", &TTestWidget::FRatio, &TTestWidget::FRatio);
    t.Prop("Small", &TTestWidget::FSmall, &TTestWidget::FSmall);
    t.Prop("Exact", &TTestWidget::FExact, &TTestWidget::FExact);
    t.Prop("Price", &TTestWidget::FPrice, &TTestWidget::FPrice);
    t.Prop("When", &TTestWidget::FWhen, &TTestWidget::FWhen);
    t.Prop("Caption", &TTestWidget::GetCaption, &TTestWidget::SetCaption);
    t.Prop("Value", &TTestWidget::FValue, &TTestWidget::FValue);
    t.Prop("Font", &TTestWidget::GetFont, &TTestWidget::SetFont).Stored(&TTestWidget::IsFontStored);
    t.Prop("ParentFont", &TTestWidget::FParentFont, &TTestWidget::FParentFont).Default(true);
    t.Prop("Items", &TTestWidget::GetItems, &TTestWidget::SetItems);
    t.Prop("Columns", &TTestWidget::GetColumns, &TTestWidget::SetColumns);
    t.Prop("Buddy", &TTestWidget::GetBuddy, &TTestWidget::SetBuddy);
    t.Prop("ReadOnlyCount", &TTestWidget::GetReadOnlyCount);
    t.Event("OnClick", &TTestWidget::FOnClick);
    t.Event("OnValue", &TTestWidget::FOnValue);
}

void TTestWidget::SetBuddy(TTestWidget* v)
{
    if (FBuddy)
        RemoveFreeNotification(FBuddy);
    FBuddy = v;
    if (v)
        FreeNotification(v);
}

void TTestWidget::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FBuddy)
        FBuddy = nullptr;
}

void TTestWidget::Loaded()
{
    TComponent::Loaded();
    ++FLoadedCount;
}

void TTestWidget::DefineProperties(TFiler* Filer)
{
    TComponent::DefineProperties(Filer);
    Filer->DefineProperty("Secret", [this](TReader& r) { FSecret = r.ReadString(); },
                          [this](TWriter& w) { w.WriteString(FSecret); }, !FSecret.empty());
    Filer->DefineBinaryProperty(
        "Blob",
        [this](TStream& s) {
            FBlob.resize(static_cast<size_t>(s.GetSize()));
            if (!FBlob.empty())
                s.ReadBuffer(FBlob.data(), static_cast<int64_t>(FBlob.size()));
        },
        [this](TStream& s) { s.WriteBuffer(FBlob.data(), static_cast<int64_t>(FBlob.size())); }, !FBlob.empty());
}

void TTestForm::Publish(TPropertyTable& t)
{
    t.Prop("Caption", &TTestForm::FCaption, &TTestForm::FCaption);
    t.Event("OnShow", &TTestForm::FOnShow);
    t.Method("Button1Click", &TTestForm::Button1Click);
    t.Method("Button2Click", &TTestForm::Button2Click);
    t.Method("FormShow", &TTestForm::FormShow);
    t.Method("ValueChanged", &TTestForm::ValueChanged);
}

void TTestPanel::Publish(TPropertyTable&) {}

void TTestWidget::SetParentComponent(TComponent* Value)
{
    if (FParentPanel) {
        auto& c = FParentPanel->Children;
        c.erase(std::remove(c.begin(), c.end(), this), c.end());
    }
    FParentPanel = dynamic_cast<TTestPanel*>(Value);
    if (FParentPanel)
        FParentPanel->Children.push_back(this);
}

TComponent* TTestWidget::GetParentComponent() const { return FParentPanel; }

void TTestPanel::GetChildren(const TGetChildProc& Proc, TComponent* Root)
{
    TComponent::GetChildren(Proc, Root);
    if (Root != this)
        for (TComponent* c : Children)
            Proc(c);
}

void TTestPanel::Notification(TComponent* AComponent, TOperation Operation)
{
    TTestWidget::Notification(AComponent, Operation);
    if (Operation == opRemove)
        Children.erase(std::remove(Children.begin(), Children.end(), AComponent), Children.end());
}

TTestPanel::~TTestPanel()
{
    for (TTestWidget* c : Children)
        c->FParentPanel = nullptr;
    Children.clear();
}

void RegisterTestClasses()
{
    RegisterClassesUnit();
    RegisterClasses({TTestFont::StaticClass(), TTestItem::StaticClass(), TTestWidget::StaticClass(),
                     TTestForm::StaticClass(), TTestPanel::StaticClass()});
    RegisterIntegerConsts("TColor", {{"clBlack", 0}, {"clWhite", 0x00FFFFFF}, {"clRed", 0x000000FF}, {"clBtnFace", -16777201}});
}
