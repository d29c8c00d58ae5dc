#include "app/shell/Desktop.h"

std::unique_ptr<TDesktop> StartDesktop(int&, char**)
{
    return nullptr;
}
