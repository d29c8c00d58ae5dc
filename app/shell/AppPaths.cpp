#include "app/shell/AppPaths.h"

#include "platform/gui/Services.h"
#include "platform/rtl/SysUtils.h"

#include <cstdlib>

AnsiString ProgramDir()
{
    if (const char* home = std::getenv("SKLAD_HOME"); home && *home)
        return IncludeTrailingPathDelimiter(PathFromSystem(home));
    return ExtractFilePath(Services().ExeName());
}
