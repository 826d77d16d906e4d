#include "platform/shell/ShellMessages.h"

namespace platform {

namespace {

constexpr const char16_t* kEnglish[kShellMessageCount] = {
    u"Game installed.\nDo you want to launch it?",
    u"Could not launch the game.\nPlease launch it from Games folder.",
    u"Notice",
    u"Are you sure you want to quit?",
    u"Could not free the required memory to run the game.\nPlease try closing all running applications and "
    u"launch the game again.",
    u"Do you want to keep your saved data?",
    u"Please wait",
    u"Cannot install the game. You need at least %.2f MB of free storage space on the device to install the "
    u"game.",
    u"Do you want to connect to the Internet?",
};

// The shorter storage notice that German, French and Portuguese take.
constexpr const char16_t* kShortStorageNotice =
    u"Cannot install the game. You need at least %.2f of free storage space.";

struct Language {
    std::uint16_t primary;
    const char16_t* pleaseWait;
    const char16_t* connectQuestion;
    bool shortStorageNotice;
};

// Czech keeps the English texts of the two slots that are shown.
constexpr Language kLanguages[] = {
    {5, u"Please wait", u"Do you want to connect to the Internet?", false},
    {7, u"Bitte warten", u"Möchtest du eine Internetverbindung herstellen?", true},
    {10, u"Aguarde", u"¿Quieres conectarte a internet", false},
    {12, u"Merci de patienter", u"Voulez-vous vous connecter à Internet?", true},
    {22, u"Aguarde", u"Queres ligar-te à Internet?", true},
};

} // namespace

void ShellMessages::select(std::uint16_t primaryLanguage) {
    for (int i = 0; i < kShellMessageCount; ++i)
        m_slots[i] = kEnglish[i];
    for (const Language& language : kLanguages) {
        if (language.primary != primaryLanguage)
            continue;
        m_slots[kPleaseWaitMessage] = language.pleaseWait;
        m_slots[kConnectQuestionMessage] = language.connectQuestion;
        if (language.shortStorageNotice)
            m_slots[7] = kShortStorageNotice;
    }
}

std::u16string_view ShellMessages::get(int index) const {
    if (index < 0 || index >= kShellMessageCount || !m_slots[index])
        return u"NULL";
    return m_slots[index];
}

} // namespace platform
