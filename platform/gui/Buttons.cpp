#include "platform/gui/Buttons.h"

SKLAD_DEFINE_CLASS(TSpeedButton)
void TSpeedButton::Publish(TPropertyTable& t)
{
    t.Prop("AllowAllUp", &TSpeedButton::GetAllowAllUp, &TSpeedButton::SetAllowAllUp).Default(false);
    t.Prop("Caption", &TControl::GetCaption, &TControl::SetCaption);
    t.Prop("Down", &TSpeedButton::GetDown, &TSpeedButton::SetDown).Default(false);
    t.Prop("Flat", &TSpeedButton::GetFlat, &TSpeedButton::SetFlat).Default(false);
    t.Prop("GroupIndex", &TSpeedButton::GetGroupIndex, &TSpeedButton::SetGroupIndex).Default(0);
    t.Prop("Layout", &TSpeedButton::GetLayout, &TSpeedButton::SetLayout).Default(blGlyphLeft);
    t.Prop("Margin", &TSpeedButton::GetMargin, &TSpeedButton::SetMargin).Default(-1);
    t.Prop("NumGlyphs", &TSpeedButton::GetNumGlyphs, &TSpeedButton::SetNumGlyphs).Default(1);
    t.Prop("Spacing", &TSpeedButton::GetSpacing, &TSpeedButton::SetSpacing).Default(4);
}

TSpeedButton::TSpeedButton(TComponent* AOwner) : TGraphicControl(AOwner) { SetBounds(0, 0, 23, 22); }

void TSpeedButton::SetDown(bool value)
{
    if (FGroupIndex == 0)
        value = false;
    if (value == FDown)
        return;
    if (!value && !FAllowAllUp && FGroupIndex != 0 && !Loading())
        return;  // one button of a group stays down
    FDown = value;
    Changed(TControlChange::Checked);
    if (value && GetParent())
        for (TControl* c : GetParent()->ControlList())
            if (auto* b = dynamic_cast<TSpeedButton*>(c); b && b != this && b->FGroupIndex == FGroupIndex && b->FDown) {
                b->FDown = false;
                b->Changed(TControlChange::Checked);
            }
}

void TSpeedButton::SetFlat(bool value) { if (value != FFlat) { FFlat = value; Changed(TControlChange::Style); } }
void TSpeedButton::SetLayout(TButtonLayout value) { if (value != FLayout) { FLayout = value; Changed(TControlChange::Style); } }

void TSpeedButton::Click()
{
    if (FGroupIndex != 0) {
        if (!FDown)
            SetDown(true);
        else if (FAllowAllUp)
            SetDown(false);
    }
    TGraphicControl::Click();
}
