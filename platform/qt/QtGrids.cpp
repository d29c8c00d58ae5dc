// The data grid peer (filled in once the grid model is in place).
#include "platform/qt/QtPeers.h"

std::unique_ptr<TPeer> CreateGridPeer(TControl&)
{
    return nullptr;
}
