#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/uExceptions.h"
#include "platform/uMessages.h"

// Walks little-endian binary data and never reads past its end: any read that would fails
// with the message the format gave (for example "Invalid ov2 file").
class TByteCursor {
public:
    TByteCursor(std::string_view bytes, const char* damagedMessage)
        : Bytes(bytes)
        , DamagedMessage(damagedMessage)
    {
    }

    size_t Position() const { return Pos; }
    bool AtEnd() const { return Pos >= Bytes.size(); }

    uint8_t Byte()
    {
        Require(1);
        return static_cast<uint8_t>(Bytes[Pos++]);
    }

    int32_t Int32()
    {
        Require(4);
        uint32_t value = 0;
        for (int i = 3; i >= 0; --i)
            value = (value << 8) | static_cast<uint8_t>(Bytes[Pos + i]);
        Pos += 4;
        return static_cast<int32_t>(value);
    }

    // The bytes up to the next zero byte, which is passed over too.
    std::string_view ZeroTerminated()
    {
        size_t end = Bytes.find('\0', Pos);
        if (end == std::string_view::npos)
            Fail();
        std::string_view text = Bytes.substr(Pos, end - Pos);
        Pos = end + 1;
        return text;
    }

    void Skip(size_t count)
    {
        Require(count);
        Pos += count;
    }

    [[noreturn]] void Fail() const { throw EUserError(Tr(DamagedMessage)); }

private:
    void Require(size_t count) const
    {
        if (count > Bytes.size() - Pos)
            Fail();
    }

    std::string_view Bytes;
    const char* DamagedMessage;
    size_t Pos = 0;
};

inline void AppendInt32(std::string& out, int32_t value)
{
    auto bits = static_cast<uint32_t>(value);
    char bytes[4] = { static_cast<char>(bits), static_cast<char>(bits >> 8),
        static_cast<char>(bits >> 16), static_cast<char>(bits >> 24) };
    out.append(bytes, 4);
}
