// QtWidgetSet.h - creates the Qt peer that fits each control, menu and form.
#pragma once

#include "platform/gui/Peer.h"

class TQtWidgetSet : public TWidgetSet {
public:
    std::unique_ptr<TPeer> CreatePeer(TControl& control) override;
    std::unique_ptr<TPeer> CreateMenuPeer(TMenu& menu) override;
    bool RenderControl(TControl& control, TPixelBuffer& pixels) override;
};
