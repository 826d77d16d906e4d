#pragma once

// Byte-to-text conversions of `String`: decoding by charset into a buffer of
// the caller (never a shared one, so threads decode independently) and the
// modified UTF-8 encoding. The decoders read only inside the bytes they are
// given and make progress on every byte: a byte that starts no valid sequence
// (a UTF-8 continuation byte or a lead byte 0xF0 to 0xFF, a lead byte whose
// continuation bytes are missing or cut off by the end) becomes one
// replacement unit, and decoding goes on with the next byte.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace rt {

enum class Charset : std::uint8_t {
    Iso8859_1, // one unit per byte
    Utf8,      // one to three bytes per unit; C0 80 is the unit 0
    Sjis,      // a lead byte 0x80-0x9F or 0xE0-0xFF and the next byte form one unit, lead * 256 + next
};

inline constexpr char16_t kReplacementUnit = 0xFFFD;

// Case mapping of the ASCII letters alone; every other unit maps to itself.
inline char16_t asciiLower(char16_t unit) {
    return unit >= u'A' && unit <= u'Z' ? static_cast<char16_t>(unit + (u'a' - u'A')) : unit;
}
inline char16_t asciiUpper(char16_t unit) {
    return unit >= u'a' && unit <= u'z' ? static_cast<char16_t>(unit - (u'a' - u'A')) : unit;
}

// "UTF-8" and "UTF8" in any ASCII case, exactly "ISO-8859-1" and exactly
// "SJIS"; any other name, like no name, is ISO-8859-1.
Charset charsetForName(std::u16string_view name);

// Appends the units of `bytes` decoded as `charset` to `out`. Never more
// units than bytes.
void decodeBytes(std::span<const std::uint8_t> bytes, Charset charset, std::u16string& out);

// The bytes of the modified UTF-8 form of `units`: 1-127 one byte, 0 and
// 128-2047 two, the rest three.
std::size_t modifiedUtf8Length(std::u16string_view units);
// Writes that form to `out`, which holds modifiedUtf8Length(units) bytes.
void encodeModifiedUtf8(std::u16string_view units, std::uint8_t* out);
// Appends the units of `bytes` read as modified UTF-8, the way
// `DataInputStream::readUTF` takes it (strict, unlike `decodeBytes`): one
// byte 0x00 to 0x7F, two bytes 110xxxxx 10xxxxxx, three bytes 1110xxxx
// 10xxxxxx 10xxxxxx, overlong forms accepted. False for a continuation byte or
// 0xF0 to 0xFF as a lead byte, and for a sequence cut off by the end.
bool decodeModifiedUtf8(std::span<const std::uint8_t> bytes, std::u16string& out);

// UTF-8 of `units`, unit by unit (for the log and the host's services; a
// surrogate is encoded on its own, as its three bytes).
std::string toUtf8(std::u16string_view units);

} // namespace rt
