#include "app/shell/CatalogueMessages.h"

#include "app/shell/ShellMessages.h"

namespace {
constexpr std::string_view kTexts[] = {
#define X(id, text) text,
    SKLAD_CATALOGUE_MESSAGES(X)
#undef X
};
}  // namespace

AnsiString CatalogueMessage(TCatalogueMessage id, std::initializer_list<std::string_view> args)
{
    return FillMessage(kTexts[static_cast<int>(id)], args);
}

bool HasControlCharacters(std::string_view text)
{
    for (unsigned char c : text)
        if (c < 0x20 || c == 0x7F)
            return true;
    return false;
}
