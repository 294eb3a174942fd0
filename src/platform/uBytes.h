#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
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

    uint16_t Word() { return LittleEndian<uint16_t>(); }
    uint32_t DWord() { return LittleEndian<uint32_t>(); }
    int32_t Int32() { return static_cast<int32_t>(LittleEndian<uint32_t>()); }
    double Double() { return std::bit_cast<double>(LittleEndian<uint64_t>()); }

    // The bytes up to the next zero byte, which is passed over too.
    std::string_view ZeroTerminated()
    {
        if (Pos < Bytes.size() && Bytes[Pos] == '\0') { // an empty text, often: no search
            ++Pos;
            return {};
        }
        size_t end = Bytes.find('\0', Pos);
        if (end == std::string_view::npos)
            Fail();
        std::string_view text = Bytes.substr(Pos, end - Pos);
        Pos = end + 1;
        return text;
    }

    // The UTF-16 units up to the next zero unit, which is passed over too.
    std::string_view ZeroTerminatedUtf16()
    {
        size_t end = Pos;
        for (; end + 1 < Bytes.size(); end += 2)
            if (Bytes[end] == '\0' && Bytes[end + 1] == '\0')
                break;
        if (end + 1 >= Bytes.size())
            Fail();
        std::string_view text = Bytes.substr(Pos, end - Pos);
        Pos = end + 2;
        return text;
    }

    void Skip(size_t count)
    {
        Require(count);
        Pos += count;
    }

    size_t Remaining() const { return Bytes.size() - Pos; }

    // The next `count` bytes, passed over.
    std::string_view Slice(size_t count)
    {
        Require(count);
        std::string_view slice = Bytes.substr(Pos, count);
        Pos += count;
        return slice;
    }

    [[noreturn]] void Fail() const { throw EUserError(Tr(DamagedMessage)); }

private:
    template <class TUnsigned> TUnsigned LittleEndian()
    {
        Require(sizeof(TUnsigned));
        TUnsigned value = 0;
        for (size_t i = sizeof(TUnsigned); i-- > 0;)
            value = static_cast<TUnsigned>(value << 8) | static_cast<uint8_t>(Bytes[Pos + i]);
        Pos += sizeof(TUnsigned);
        return value;
    }

    void Require(size_t count) const
    {
        if (count > Bytes.size() - Pos)
            Fail();
    }

    std::string_view Bytes;
    const char* DamagedMessage;
    size_t Pos = 0;
};

template <class TUnsigned> void AppendLittleEndian(std::string& out, TUnsigned bits)
{
    char bytes[sizeof(TUnsigned)];
    if constexpr (std::endian::native == std::endian::little)
        std::memcpy(bytes, &bits, sizeof bytes);
    else
        for (char& byte : bytes) {
            byte = static_cast<char>(bits & 0xFF);
            bits >>= 8;
        }
    out.append(bytes, sizeof bytes);
}

inline void AppendWord(std::string& out, uint16_t value) { AppendLittleEndian(out, value); }

inline void AppendInt32(std::string& out, int32_t value)
{
    AppendLittleEndian(out, static_cast<uint32_t>(value));
}

inline void AppendDouble(std::string& out, double value)
{
    AppendLittleEndian(out, std::bit_cast<uint64_t>(value));
}

// A text as a zero-terminated field holds it: up to its first zero byte, since a reader stops
// there and would take the rest for the next field.
inline std::string_view UpToZero(std::string_view text) { return text.substr(0, text.find('\0')); }
