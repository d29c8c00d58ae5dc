// Messages.cpp - see Messages.h.
#include "script/Messages.h"

#include "platform/classes/Streams.h"
#include "platform/rtl/SysUtils.h"

#include <limits>

namespace {

constexpr std::string_view kTexts[] = {
#define X(id, text) text,
    SC_MESSAGES(X)
#undef X
};

} // namespace

std::string_view scMessage(TscMessageId id)
{
    return kTexts[static_cast<size_t>(id)];
}

void scRaise(TscMessageId id)
{
    throw EScriptError(id, AnsiString(scMessage(id)));
}

void scRaise(TscMessageId id, const AnsiString& detail)
{
    const std::string_view text = scMessage(id);
    if (text.find("%s") == std::string_view::npos)
        throw EScriptError(id, AnsiString(text) + detail);
    throw EScriptError(id, Format(text, {detail}));
}

void scCheckStringLength(int64_t length)
{
    if (length > kScriptMaxStringLength)
        throw EScriptError(TscMessageId::SStringTooLong,
                           Format(scMessage(TscMessageId::SStringTooLong), {length, kScriptMaxStringLength}));
}

void scCheckStreamSize(int64_t size, int64_t current)
{
    if (size > kScriptMaxStreamSize && size > current)
        throw EScriptError(TscMessageId::SStreamTooLarge,
                           Format(scMessage(TscMessageId::SStreamTooLarge), {size, kScriptMaxStreamSize}));
}

void scCheckStreamWrite(TStream& stream, int64_t count)
{
    if (!dynamic_cast<TMemoryStream*>(&stream))
        return;
    const int64_t pos = stream.GetPosition();
    const int64_t room = std::numeric_limits<int64_t>::max() - pos;
    scCheckStreamSize(count > room ? std::numeric_limits<int64_t>::max() : pos + count, stream.GetSize());
}

void scRaiseIndex(TscMessageId id, int64_t index, int64_t low, int64_t high)
{
    if (id == TscMessageId::SStringIndex)
        throw EScriptError(id, Format(scMessage(id), {index, high}));
    throw EScriptError(id, Format(scMessage(id), {index, low, high}));
}
