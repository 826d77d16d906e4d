#pragma once

// The statics of a visit of the promotion screen: what the step loading
// fills (images, the font and its recoloured sheets, the texts) and the
// screen's language and line tables. They live from the loading until the
// screen frees them; the page table (PromoStatics.h) outlives them.

#include "runtime/Array.h"
#include "runtime/ReferenceFields.h"
#include "runtime/String.h"

#include <cstdint>

namespace platform {
class javax_microedition_lcdui_Image;
}

namespace game {

// The screen's own images and the font's three sheets.
inline constexpr std::int32_t kPromoScreenImageCount = 14;
inline constexpr std::int32_t kPromoFontSheets = 3;
// The recolourings of the font's palette entry 1.
inline constexpr std::int32_t kPromoInkBlue = 0x00B4EF;
inline constexpr std::int32_t kPromoInkRed = 0xFF0000;

struct PromoScreenStatics {
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

    RT_REFERENCE_FIELDS(PromoScreenStatics, rt::NoReferenceBase, s_screenImages, s_pageImages, s_listRowImages,
                        s_fontImages, s_languageImage, s_languageExtraImage, s_texts, s_textEnds)
};

PromoScreenStatics& promoScreenStatics();

} // namespace game
