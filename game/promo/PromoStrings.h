#pragma once

// The promotion screen's string checks over plain UTF-16 text: whether a
// property value switches a page on (`checkValue`) and the reading of one
// "key=value" field of a property into an address template (`lookupField`).
// The words they compare with are constant strings, passed in by the caller
// so that these stay pure and can be tested and fuzzed without a runtime.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace game::promo {

// The constant strings the checks compare with.
struct PromoWords {
    std::u16string_view none;           // kept as a value, shows no link button
    std::u16string_view off;            // switches a page off
    std::u16string_view zero;           // switches a page off
    std::u16string_view keyValue;       // between a key and its value
    std::u16string_view fieldSeparator; // between fields
    std::u16string_view portalKey;      // a key whose value is taken as it is
    std::u16string_view templateSlot;   // where the value goes in the template
};

// Flag bits of `checkValue`.
inline constexpr std::int32_t kRejectEmpty = 1;
inline constexpr std::int32_t kRejectNone = 2;
inline constexpr std::int32_t kRejectOff = 4;

// Java's `trim`: units up to ' ' cut from both ends.
std::u16string_view trimmed(std::u16string_view text);
// ASCII a-z turned into A-Z; every other unit kept.
std::u16string upperAscii(std::u16string_view text);

// A missing value (nullopt) fails only with `kRejectEmpty`; otherwise the
// trimmed value fails each check whose bit is set.
bool checkValue(std::optional<std::u16string_view> value, std::int32_t flags, const PromoWords& words);

// The value of field `key` in `text` ("key=value" fields between field
// separators), trimmed, put into `pattern` at its template slot; empty when
// anything is missing, the value is empty, zero or the off word. The none
// word, and any value of the portal key, come back as they are.
std::u16string lookupField(std::optional<std::u16string_view> text, std::optional<std::u16string_view> key,
                           std::optional<std::u16string_view> pattern, const PromoWords& words);

// `address` with the language code `code` after `parameter`: the two units
// after the parameter's first occurrence are replaced (as many as there
// are), or the parameter and the code are appended.
std::u16string putLanguage(std::u16string_view address, std::u16string_view parameter,
                           std::u16string_view code);

} // namespace game::promo
