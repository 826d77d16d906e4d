#pragma once

// The shell's own texts, chosen once at start by the user-interface language.
// Nine slots; the shell shows two of them: "Please wait" while the display
// has the wrong orientation, and the question before a web address goes to
// the browser. The others (installation and memory notices) have no use here
// and are kept in English.

#include <array>
#include <cstdint>
#include <string_view>

namespace platform {

inline constexpr int kShellMessageCount = 9;
inline constexpr int kPleaseWaitMessage = 6;
inline constexpr int kConnectQuestionMessage = 8;

class ShellMessages {
public:
    // Fills every slot for `primaryLanguage` (the language id's low 10 bits):
    // 5 Czech, 7 German, 10 Spanish, 12 French, 22 Portuguese; any other value
    // gives English.
    void select(std::uint16_t primaryLanguage);

    // The text of slot `index`; "NULL" for an index outside 0..8 or a slot
    // not filled yet.
    std::u16string_view get(int index) const;

private:
    std::array<const char16_t*, kShellMessageCount> m_slots{};
};

} // namespace platform
