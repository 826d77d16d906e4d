#include "runtime/charsets.h"

namespace rt {

namespace {

bool equalsIgnoringAsciiCase(std::u16string_view name, std::u16string_view lowerCase) {
    if (name.size() != lowerCase.size())
        return false;
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (asciiLower(name[i]) != lowerCase[i])
            return false;
    }
    return true;
}

bool isContinuation(std::uint8_t byte) {
    return (byte & 0xC0) == 0x80;
}

void decodeUtf8(std::span<const std::uint8_t> bytes, std::u16string& out) {
    std::size_t at = 0;
    while (at < bytes.size()) {
        std::uint8_t lead = bytes[at];
        std::size_t left = bytes.size() - at - 1;
        if (lead < 0x80) {
            out.push_back(lead);
            at += 1;
        } else if (lead >= 0xC0 && lead <= 0xDF && left >= 1 && isContinuation(bytes[at + 1])) {
            out.push_back(static_cast<char16_t>((lead & 0x1F) << 6 | (bytes[at + 1] & 0x3F)));
            at += 2;
        } else if (lead >= 0xE0 && lead <= 0xEF && left >= 2 && isContinuation(bytes[at + 1]) &&
                   isContinuation(bytes[at + 2])) {
            out.push_back(static_cast<char16_t>((lead & 0x0F) << 12 | (bytes[at + 1] & 0x3F) << 6 |
                                                (bytes[at + 2] & 0x3F)));
            at += 3;
        } else {
            out.push_back(kReplacementUnit);
            at += 1;
        }
    }
}

void decodeSjis(std::span<const std::uint8_t> bytes, std::u16string& out) {
    std::size_t at = 0;
    while (at < bytes.size()) {
        std::uint8_t lead = bytes[at];
        bool isLead = (lead >= 0x80 && lead <= 0x9F) || lead >= 0xE0;
        if (!isLead) {
            out.push_back(lead);
            at += 1;
        } else if (at + 1 < bytes.size()) {
            out.push_back(static_cast<char16_t>(lead << 8 | bytes[at + 1]));
            at += 2;
        } else {
            out.push_back(kReplacementUnit);
            at += 1;
        }
    }
}

} // namespace

Charset charsetForName(std::u16string_view name) {
    if (equalsIgnoringAsciiCase(name, u"utf-8") || equalsIgnoringAsciiCase(name, u"utf8"))
        return Charset::Utf8;
    if (name == u"SJIS")
        return Charset::Sjis;
    return Charset::Iso8859_1;
}

void decodeBytes(std::span<const std::uint8_t> bytes, Charset charset, std::u16string& out) {
    out.reserve(out.size() + bytes.size());
    switch (charset) {
    case Charset::Utf8:
        decodeUtf8(bytes, out);
        return;
    case Charset::Sjis:
        decodeSjis(bytes, out);
        return;
    case Charset::Iso8859_1:
        out.append(bytes.begin(), bytes.end());
        return;
    }
}

std::size_t modifiedUtf8Length(std::u16string_view units) {
    std::size_t bytes = 0;
    for (char16_t unit : units)
        bytes += unit >= 1 && unit <= 0x7F ? 1 : unit <= 0x7FF ? 2 : 3;
    return bytes;
}

void encodeModifiedUtf8(std::u16string_view units, std::uint8_t* out) {
    for (char16_t unit : units) {
        if (unit >= 1 && unit <= 0x7F) {
            *out++ = static_cast<std::uint8_t>(unit);
        } else if (unit <= 0x7FF) {
            *out++ = static_cast<std::uint8_t>(0xC0 | unit >> 6);
            *out++ = static_cast<std::uint8_t>(0x80 | (unit & 0x3F));
        } else {
            *out++ = static_cast<std::uint8_t>(0xE0 | unit >> 12);
            *out++ = static_cast<std::uint8_t>(0x80 | (unit >> 6 & 0x3F));
            *out++ = static_cast<std::uint8_t>(0x80 | (unit & 0x3F));
        }
    }
}

std::string toUtf8(std::u16string_view units) {
    std::string text;
    for (char16_t unit : units) {
        if (unit < 0x80) {
            text.push_back(static_cast<char>(unit));
        } else if (unit < 0x800) {
            text.push_back(static_cast<char>(0xC0 | unit >> 6));
            text.push_back(static_cast<char>(0x80 | (unit & 0x3F)));
        } else {
            text.push_back(static_cast<char>(0xE0 | unit >> 12));
            text.push_back(static_cast<char>(0x80 | (unit >> 6 & 0x3F)));
            text.push_back(static_cast<char>(0x80 | (unit & 0x3F)));
        }
    }
    return text;
}

// Decodes modified UTF-8 as the profile reads it: one byte 0x00 to 0x7F, two
// bytes 110xxxxx 10xxxxxx, three bytes 1110xxxx 10xxxxxx 10xxxxxx. Only the
// continuation bits are checked, so overlong forms (C0 80 for the unit 0
// among them) are accepted; a continuation byte or 0xF0 to 0xFF as a lead
// byte, and a sequence cut off by the end, are not.
bool decodeModifiedUtf8(std::span<const std::uint8_t> bytes, std::u16string& out) {
    std::size_t i = 0;
    while (i < bytes.size()) {
        std::uint32_t c = bytes[i];
        switch (c >> 4) {
        case 0x0:
        case 0x1:
        case 0x2:
        case 0x3:
        case 0x4:
        case 0x5:
        case 0x6:
        case 0x7:
            out.push_back(static_cast<char16_t>(c));
            i += 1;
            break;
        case 0xC:
        case 0xD: {
            if (bytes.size() - i < 2)
                return false;
            std::uint32_t b2 = bytes[i + 1];
            if ((b2 & 0xC0) != 0x80)
                return false;
            out.push_back(static_cast<char16_t>(((c & 0x1F) << 6) | (b2 & 0x3F)));
            i += 2;
            break;
        }
        case 0xE: {
            if (bytes.size() - i < 3)
                return false;
            std::uint32_t b2 = bytes[i + 1];
            std::uint32_t b3 = bytes[i + 2];
            if ((b2 & 0xC0) != 0x80 || (b3 & 0xC0) != 0x80)
                return false;
            out.push_back(static_cast<char16_t>(((c & 0x0F) << 12) | ((b2 & 0x3F) << 6) | (b3 & 0x3F)));
            i += 3;
            break;
        }
        default:
            return false;
        }
    }
    return true;
}

} // namespace rt
