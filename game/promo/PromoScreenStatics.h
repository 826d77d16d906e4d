#pragma once

// The statics of a visit of the promotion screen: what the step loading
// fills (images, the font and its recoloured sheets, the texts) and the
// screen's language and line tables. They live from the loading until the
// screen frees them; the page table (PromoStatics.h) outlives them.

#include "runtime/Array.h"
#include "runtime/ReferenceFields.h"
#include "runtime/String.h"

#include <atomic>
#include <cstdint>

namespace platform {
class javax_microedition_lcdui_Command;
class javax_microedition_lcdui_Image;
} // namespace platform

namespace rt {
class java_lang_Thread;
}

namespace game {

// The screen's own images and the font's three sheets.
inline constexpr std::int32_t kPromoScreenImageCount = 14;
inline constexpr std::int32_t kPromoFontSheets = 3;
// The recolourings of the font's palette entry 1.
inline constexpr std::int32_t kPromoInkBlue = 0x00B4EF;
inline constexpr std::int32_t kPromoInkRed = 0xFF0000;

// The screen's states.
enum class PromoState : std::int32_t {
    Loading = 0,
    Browsing = 1,
    Leaving = 4,
    Paused = 5,
    Choosing = 6,
};

// The screen's actions (from keys, the stylus and the commands).
inline constexpr std::int32_t kPromoUp = 21;
inline constexpr std::int32_t kPromoDown = 32;
inline constexpr std::int32_t kPromoPrevious = 23;
inline constexpr std::int32_t kPromoNext = 24;
inline constexpr std::int32_t kPromoSelect = 25;
inline constexpr std::int32_t kPromoBack = 26;
inline constexpr std::int32_t kPromoLinkButton = 27;

struct PromoScreenStatics {
    // Shared with the worker thread: the screen's state and whether the
    // worker runs are atomics; the chosen address is read and written only
    // under the monitor of `s_lock`.
    std::atomic<std::int32_t> s_state{0};
    std::atomic<std::int8_t> s_running{0};
    rt::String* s_pendingAddress = nullptr;
    rt::Object* s_lock = nullptr;
    // The worker thread while it runs (cleared by the worker, under the lock,
    // as it decides to end), so that a visit reuses a live worker.
    rt::java_lang_Thread* s_worker = nullptr;
    // Set once the chosen address was handed to the worker.
    std::int8_t s_addressStored = 0;

    // Input: the action of this update, whether a touch action waits for the
    // next update, the action under the stylus and the row it went down on;
    // set between a release and the action under its point.
    std::int32_t s_action = 0;
    std::int8_t s_touchActionPending = 0;
    std::int32_t s_pressedAction = 0;
    std::int32_t s_pressedRow = 0;
    std::int8_t s_touchReleasing = 0;

    // The page shown, the list on it and the loading.
    std::int32_t s_page = 0;
    std::int8_t s_listMode = 0;
    std::int32_t s_listRowCount = 0;
    std::int32_t s_listVisibleRows = 0;
    std::int32_t s_listTop = 0;
    std::int32_t s_listSelection = 0;
    std::int8_t s_prevArrowFlash = 0;
    std::int8_t s_nextArrowFlash = 0;
    std::int32_t s_arrowFlashCount = 0;
    std::int32_t s_stateBeforePause = -1;
    std::int32_t s_loadStep = -1;
    std::int32_t s_loadStepCount = 0;
    rt::String* s_callerText = nullptr;
    rt::IntArray* s_textLineWidths = nullptr;
    platform::javax_microedition_lcdui_Command* s_selectCommand = nullptr;
    platform::javax_microedition_lcdui_Command* s_backCommand = nullptr;

    // Painting: the font sheet of the next text, measuring only, the last
    // text's size, the page's text and link button, the places the painters
    // record for the hit test.
    std::int32_t s_fontColour = 1;
    std::int8_t s_measureOnly = 0;
    std::int32_t s_textHeight = 0;
    std::int32_t s_textWidth = 0;
    std::int32_t s_pageTextIndex = 0;
    std::int8_t s_hasLinkButton = 0;
    std::int32_t s_linkButtonText = 0;
    std::int32_t s_linkButtonX = 0;
    std::int32_t s_linkButtonY = 0;
    std::int32_t s_linkButtonWidth = 0;
    std::int32_t s_linkButtonHeight = 0;
    std::int32_t s_softKeyMarginLeft = 2;
    std::int32_t s_softKeyMarginRight = 2;
    std::int8_t s_softKeysShown = 0;
    std::int8_t s_softKeyIconsShown = 0;
    std::int32_t s_listBoxX = 0;
    std::int32_t s_listBoxWidth = 0;
    std::int32_t s_listFirstRowY = 0;
    std::int32_t s_listRowHeight = 0;
    std::int32_t s_listSelectionY = 0;
    std::int32_t s_listUpArrowY = 0;
    std::int32_t s_listDownArrowY = 0;

    // The language of the visit (an index into the language codes).
    std::int32_t s_langIndex = 0;
    // The list page shown (0 or 1).
    std::int32_t s_listIndex = 0;

    rt::ObjectArray* s_screenImages = nullptr;  // Image[14]
    rt::ObjectArray* s_pageImages = nullptr;    // Image[page count]
    rt::ObjectArray* s_listRowImages = nullptr; // Object[3] of Image[]
    rt::ObjectArray* s_fontImages = nullptr;    // Image[3]: stored, blue, red
    platform::javax_microedition_lcdui_Image* s_languageImage = nullptr;
    platform::javax_microedition_lcdui_Image* s_languageExtraImage = nullptr;

    // The glyph height of the space, and the pixels after each character.
    std::int32_t s_fontHeight = 0;
    std::int32_t s_charSpacing = 0;

    // The texts of the visit's language (String[]) and each text's end in
    // the text bytes (short[]).
    rt::ObjectArray* s_texts = nullptr;
    rt::ShortArray* s_textEnds = nullptr;

    RT_REFERENCE_FIELDS(PromoScreenStatics, rt::NoReferenceBase, s_pendingAddress, s_lock, s_worker,
                        s_callerText, s_textLineWidths, s_selectCommand, s_backCommand, s_screenImages,
                        s_pageImages, s_listRowImages, s_fontImages, s_languageImage, s_languageExtraImage,
                        s_texts, s_textEnds)
};

PromoScreenStatics& promoScreenStatics();

} // namespace game
