// Every public header of the layer compiles on its own and together.
#include "platform/gui/Buttons.h"
#include "platform/gui/ComCtrls.h"
#include "platform/gui/Controls.h"
#include "platform/gui/Dialogs.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/Forms.h"
#include "platform/gui/GuiTypes.h"
#include "platform/gui/Menus.h"
#include "platform/gui/Peer.h"
#include "platform/gui/Services.h"
#include "platform/gui/StdCtrls.h"
#include "platform/gui/testing/TestDriver.h"

#include <gtest/gtest.h>

TEST(GuiHeaders, ClassesRegister)
{
    RegisterGuiClasses();
    EXPECT_NE(GetClass("TButton"), nullptr);
    EXPECT_NE(GetClass("TTreeView"), nullptr);
}
