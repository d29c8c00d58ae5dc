// Buttons.h - speed buttons: flat buttons without focus, optionally grouped like radio
// buttons (GroupIndex > 0) and staying down.
#pragma once

#include "platform/gui/Controls.h"

class TSpeedButton : public TGraphicControl {
    SKLAD_CLASS(TSpeedButton, TGraphicControl)
public:
    explicit TSpeedButton(TComponent* AOwner);
    bool GetDown() const { return FDown; }
    // Going down releases the other buttons of the group; fires nothing.
    void SetDown(bool value);
    int GetGroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int value) { FGroupIndex = value; }
    bool GetAllowAllUp() const { return FAllowAllUp; }
    void SetAllowAllUp(bool value) { FAllowAllUp = value; }
    bool GetFlat() const { return FFlat; }
    void SetFlat(bool value);
    TButtonLayout GetLayout() const { return FLayout; }
    void SetLayout(TButtonLayout value);
    int GetSpacing() const { return FSpacing; }
    void SetSpacing(int value) { FSpacing = value; }
    int GetMargin() const { return FMargin; }
    void SetMargin(int value) { FMargin = value; }
    int GetNumGlyphs() const { return FNumGlyphs; }
    void SetNumGlyphs(int value) { FNumGlyphs = value; }
    // A grouped button goes down (or toggles up with AllowAllUp), then OnClick.
    void Click() override;

private:
    bool FDown = false;
    int FGroupIndex = 0;
    bool FAllowAllUp = false;
    bool FFlat = false;
    TButtonLayout FLayout = blGlyphLeft;
    int FSpacing = 4, FMargin = -1, FNumGlyphs = 1;
};
