#include "platform/db/DbConsts.h"

namespace {
constexpr const char* kMessages[] = {
#define X(id, text) text,
    SKLAD_DB_MESSAGES(X)
#undef X
};
}  // namespace

AnsiString DbMessage(TDbMessage id, std::initializer_list<std::string_view> args)
{
    std::string_view pattern = kMessages[static_cast<int>(id)];
    AnsiString out;
    auto next = args.begin();
    for (size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] == 's') {
            if (next != args.end())
                out.append(*next++);
            ++i;
        } else {
            out += pattern[i];
        }
    }
    return out;
}
