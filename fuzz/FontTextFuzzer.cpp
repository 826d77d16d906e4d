// Measures, draws and breaks a text with the demo's 5 x 7 font, whose
// character map may come from the input. Input (little-endian):
//   byte 0     switches: 1 use the input's map, 2 bold, 4 underline, 8 keep
//              the palette
//   bytes 1-2  maxWidth (signed)
//   byte 3     anchor
//   bytes 4-9  text start, end and limit (signed; -1 unset)
//   byte 10    first line and byte 11 character limit of the text box
//              (signed)
//   bytes 12-13 the map's length in shorts, then the map, then the text as
//              16-bit units (the first kMaxUnits of them)
// Checks what the text code promises whatever the input: the results of a
// measure are those of a draw, line breaks rise to the text's end and fit
// their array, and the range statics are -1 after a text box; the
// sanitizers watch every read and write.

#include "fuzz/Harness.h"
#include "fuzz/KeptRuntime.h"
#include "game/framework/LoopStatics.h"
#include "game/framework/OrvelLibConfig.h"
#include "game/sprite/ASprite.h"
#include "game/sprite/Font.h"
#include "game/sprite/SpriteStatics.h"
#include "game/sprite/TextLayout.h"
#include "platform/Platform.h"
#include "platform/lcdui/Graphics.h"
#include "platform/lcdui/Image.h"
#include "runtime/Array.h"
#include "runtime/StaticClass.h"
#include "runtime/String.h"
#include "runtime/constantStrings.h"
#include "tools/datakit/FontWriter.h"

#include <cstdint>
#include <cstring>
#include <string>

namespace {

using fuzzing::check;

constexpr std::size_t kHeader = 14;
// Units of text at most, so that one input stays fast: each unit is read,
// measured, drawn and broken four times over, and an input's cost grew with
// its length (libFuzzer's inputs grow to 4 KB as a run goes on). 512 units
// still make more lines, and more characters on a line, than the text box's
// first line and character limit (a signed byte each) can reach.
constexpr std::size_t kMaxUnits = 512;

std::int32_t s16(const std::uint8_t* at) {
    return static_cast<std::int16_t>(at[0] | at[1] << 8);
}

rt::ShortArray* shorts(const std::uint8_t* at, std::size_t count) {
    rt::ShortArray* array = rt::newShortArray(static_cast<std::int32_t>(count));
    for (std::size_t i = 0; i < count; ++i)
        rt::ShortArray::set(array, static_cast<std::int32_t>(i), static_cast<std::int16_t>(s16(at + 2 * i)));
    return array;
}

rt::ObjectArray* fontConstants() {
    rt::ObjectArray* constants = rt::newObjectArray(rt::constants::tableLength());
    rt::ObjectArray::set(constants, rt::constants::kDefaultMessage, rt::make<rt::String>(u""));
    rt::ObjectArray::set(constants, rt::constants::kLineSeparator, rt::make<rt::String>(u"\n"));
    return constants;
}

fuzzing::KeptRuntime& fontRuntime() {
    static fuzzing::KeptRuntime s_kept{rt::RuntimeOptions{1 << 22, 1 << 24}, &platform::installPlatform};
    return s_kept;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    (void)fontRuntime();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < kHeader)
        return 0;
    {
        fuzzing::QuietLog quiet;
        fuzzing::KeptRuntimeInput input(fontRuntime());
        game::OrvelLibConfig::staticInit();
        game::spriteStaticInit();
        game::spriteStatics().s_gcOnLoad = 0;
        rt::getStaticClass().setConstantStrings(fontRuntime().constants(&fontConstants));

        const std::uint8_t switches = data[0];
        const std::int32_t maxWidth = s16(data + 1);
        const std::int32_t anchor = data[3];
        const std::size_t mapLength = std::min<std::size_t>(data[12] | data[13] << 8, (size - kHeader) / 2);
        const std::uint8_t* map = data + kHeader;
        const std::uint8_t* units = map + 2 * mapLength;
        const std::size_t unitCount = std::min((size - kHeader - 2 * mapLength) / 2, kMaxUnits);

        // The font's data, written once: building it costs more than an input.
        static const datakit::FontData fontData =
            datakit::buildFont(datakit::asciiFont5x7(), datakit::FontStyle{});
        static const datakit::Bytes spriteBytes = datakit::writeSprite(fontData.sprite);
        rt::ByteArray* bytes = rt::newByteArray(static_cast<std::int32_t>(spriteBytes.size()));
        std::memcpy(rt::ByteArray::span(bytes).data(), spriteBytes.data(), spriteBytes.size());
        game::ASprite* font = game::ASprite::initDefaults();
        font->loadDefault(bytes, 0);
        if (switches & 1) {
            game::buildCharMap(font, shorts(map, mapLength));
        } else {
            rt::ShortArray* demoMap = rt::newShortArray(static_cast<std::int32_t>(fontData.charMap.size()));
            std::memcpy(rt::ShortArray::span(demoMap).data(), fontData.charMap.data(),
                        2 * fontData.charMap.size());
            game::buildCharMap(font, demoMap);
        }

        std::u16string text(unitCount, u'\0');
        for (std::size_t i = 0; i < unitCount; ++i)
            text[i] = static_cast<char16_t>(units[2 * i] | units[2 * i + 1] << 8);
        rt::String* string = rt::make<rt::String>(std::u16string_view(text));

        auto* image = platform::javax_microedition_lcdui_Image::createImage(64, 48);
        auto* g = image->getGraphics();
        game::loopStatics().s_graphics = g;
        game::SpriteStatics& range = game::spriteStatics();
        game::FontStatics& results = game::fontStatics();

        range.s_textStart = s16(data + 4);
        range.s_textEnd = s16(data + 6);
        range.s_textLimit = s16(data + 8);
        font->m_bold = (switches & 2) ? 1 : 0;
        font->m_underline = (switches & 4) ? 1 : 0;
        game::measureString(font, string, nullptr);
        const std::int32_t width = results.s_textWidth, height = results.s_textHeight;
        game::drawString(font, g, string, nullptr, 32, 24, anchor, (switches & 8) != 0);
        check(results.s_textWidth == width && results.s_textHeight == height);
        range.s_textStart = range.s_textEnd = range.s_textLimit = -1;

        font->m_bold = (switches & 2) ? 1 : 0;
        rt::ShortArray* breaks = game::computeLineBreaks(font, string, maxWidth, 0);
        const std::int32_t lines = rt::ShortArray::get(breaks, 0);
        check(lines >= 1 && 2 * lines + 1 <= breaks->length());
        if (text.size() < 0x8000) {
            std::int32_t previous = 0;
            for (std::int32_t k = 0; k < lines; ++k) {
                const std::int32_t end = rt::ShortArray::get(breaks, 2 * k + 1);
                check(end >= previous && end <= static_cast<std::int32_t>(text.size()));
                previous = end;
            }
            check(previous == static_cast<std::int32_t>(text.size()));
        }
        game::drawTextBox(font, g, string, breaks, 32, 24, static_cast<std::int8_t>(data[10]), -1, anchor,
                          static_cast<std::int8_t>(data[11]));
        check(range.s_textStart == -1 && range.s_textEnd == -1 && range.s_textLimit == -1);
        check(game::wrapText(font, string, maxWidth) != nullptr);
        game::loopStatics().s_graphics = nullptr;
    }
    return 0;
}
