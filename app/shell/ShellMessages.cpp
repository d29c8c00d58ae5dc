#include "app/shell/ShellMessages.h"

namespace {
constexpr std::string_view kTexts[] = {
#define X(id, text) text,
    SKLAD_SHELL_MESSAGES(X)
#undef X
};
}  // namespace

AnsiString FillMessage(std::string_view text, std::initializer_list<std::string_view> args)
{
    AnsiString out;
    auto arg = args.begin();
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 1 < text.size() && text[i + 1] == 's') {
            if (arg != args.end())
                out += *arg++;
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

AnsiString ShellMessage(TShellMessage id, std::initializer_list<std::string_view> args)
{
    return FillMessage(kTexts[static_cast<int>(id)], args);
}
