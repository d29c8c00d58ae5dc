// GraphicIO.h - bounds-checked little-endian reading and writing for the picture formats
// (internal to platform/graphics).
//
// A TByteReader never reads past its end: every short read raises EInvalidGraphic naming
// the format and what was being read, so a damaged file ends in a clean error.
#pragma once

#include "platform/classes/Streams.h"
#include "platform/graphics/Graphic.h"

#include <cstdint>
#include <cstring>
#include <string_view>

class TByteReader {
public:
    TByteReader(const uint8_t* data, size_t size, const char* format) : FData(data), FSize(size), FFormat(format) {}

    size_t Position() const { return FPos; }
    size_t Remaining() const { return FSize - FPos; }
    const uint8_t* Here() const { return FData + FPos; }

    [[noreturn]] void Fail(std::string_view what) const
    {
        throw EInvalidGraphic(AnsiString(FFormat) + ", byte " + std::to_string(FPos) + ": " + AnsiString(what));
    }
    void Need(size_t count, std::string_view what) const
    {
        if (count > Remaining())
            Fail(AnsiString(what) + " runs past the end of the data");
    }
    void Skip(size_t count, std::string_view what)
    {
        Need(count, what);
        FPos += count;
    }
    void Seek(size_t pos, std::string_view what)
    {
        if (pos > FSize)
            Fail(AnsiString(what) + " points past the end of the data");
        FPos = pos;
    }
    uint8_t U8(std::string_view what)
    {
        Need(1, what);
        return FData[FPos++];
    }
    uint16_t U16(std::string_view what)
    {
        Need(2, what);
        const uint16_t v = uint16_t(FData[FPos] | (FData[FPos + 1] << 8));
        FPos += 2;
        return v;
    }
    uint32_t U32(std::string_view what)
    {
        Need(4, what);
        const uint32_t v = uint32_t(FData[FPos]) | (uint32_t(FData[FPos + 1]) << 8) | (uint32_t(FData[FPos + 2]) << 16) |
                           (uint32_t(FData[FPos + 3]) << 24);
        FPos += 4;
        return v;
    }
    int32_t I32(std::string_view what) { return int32_t(U32(what)); }
    AnsiString Bytes(size_t count, std::string_view what)
    {
        Need(count, what);
        AnsiString s(reinterpret_cast<const char*>(FData + FPos), count);
        FPos += count;
        return s;
    }

private:
    const uint8_t* FData;
    size_t FSize;
    size_t FPos = 0;
    const char* FFormat;
};

inline void PutU8(AnsiString& out, uint8_t v) { out.push_back(char(v)); }
inline void PutU16(AnsiString& out, uint16_t v)
{
    out.push_back(char(v & 0xFF));
    out.push_back(char(v >> 8));
}
inline void PutU32(AnsiString& out, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(char((v >> (8 * i)) & 0xFF));
}

// The rest of a stream, refused when it is larger than `limit` bytes.
inline AnsiString ReadRest(TStream& stream, const char* format, int64_t limit = int64_t(1) << 30)
{
    const int64_t remaining = stream.Remaining();
    if (remaining < 0 || remaining > limit)
        throw EInvalidGraphic(AnsiString(format) + ": the data is too large");
    AnsiString data(size_t(remaining), '\0');
    if (remaining > 0)
        stream.ReadBuffer(data.data(), remaining);
    return data;
}
