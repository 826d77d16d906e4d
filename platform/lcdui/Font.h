#pragma once

// `javax_microedition_lcdui_Font`: face, style and size as the game asks for
// them, and the metrics of the system font. Every font measures and draws as
// the one system font of the host's text service (host/Text.h): face, style
// and size change nothing but what the getters answer. Text is drawn by
// `javax_microedition_lcdui_Graphics::drawString`, always in the default font.
//
// The text service is the platform's to give (`setTextService`, once at
// start-up); until it is given, fonts have no metrics, widths are 0 and no
// text is drawn. Fonts are kept in a cache by face | style | size, in statics.

#include "classlib/ClassLibrary.h"
#include "runtime/Array.h"
#include "runtime/Object.h"
#include "runtime/String.h"

#include <cstdint>

namespace host {
class Text;
}

namespace platform {

class javax_microedition_lcdui_Font : public rt::Object {
public:
    static constexpr rt::ClassId kClassId = rt::ClassId::javax_microedition_lcdui_Font;

    static constexpr std::int32_t FACE_SYSTEM = 0;
    static constexpr std::int32_t STYLE_PLAIN = 0;
    static constexpr std::int32_t STYLE_BOLD = 1;
    static constexpr std::int32_t STYLE_ITALIC = 2;
    static constexpr std::int32_t STYLE_UNDERLINED = 4;
    static constexpr std::int32_t SIZE_MEDIUM = 0;
    static constexpr std::int32_t FONT_STATIC_TEXT = 0;
    static constexpr std::int32_t FONT_INPUT_TEXT = 1;

    // Runs init.
    javax_microedition_lcdui_Font(std::int32_t face, std::int32_t style, std::int32_t size);
    // The zero state `newInstanceById` makes: face, style and size 0 (the
    // default font's) but no metrics, so height and baseline are 0; widths
    // come from the text service as for every font.
    explicit javax_microedition_lcdui_Font(lib::NewInstance)
        : Object(kClassId) {}

    // Operations after `Object`'s, in this order.
    virtual std::int32_t getSize();
    virtual std::int32_t getHeight();

    std::int32_t getBaselinePosition() const { return m_ascent; }
    std::int32_t getFace() const { return m_face; }
    std::int32_t getStyle() const { return m_style; }
    bool isPlain() const { return m_style == STYLE_PLAIN; }
    bool isBold() const { return (m_style & STYLE_BOLD) != 0; }
    bool isItalic() const { return (m_style & STYLE_ITALIC) != 0; }
    bool isUnderlined() const { return (m_style & STYLE_UNDERLINED) != 0; }

    // Stores face, style and size and reads the system font's metrics; with
    // no text service nothing is stored.
    void init(std::int32_t face, std::int32_t style, std::int32_t size);

    // Widths in pixels, as drawing the same text takes. A range outside the
    // text is reported and measures 0.
    std::int32_t stringWidth(rt::String* text);
    std::int32_t substringWidth(rt::String* text, std::int32_t offset, std::int32_t length);
    std::int32_t charWidth(char16_t character);
    std::int32_t charsWidth(rt::CharArray* data, std::int32_t offset, std::int32_t length);

    // The default font (face, style and size 0), made once.
    static javax_microedition_lcdui_Font* getDefaultFont();
    // The cached font for face | style | size, made and cached on first use.
    static javax_microedition_lcdui_Font* getFont(std::int32_t face, std::int32_t style, std::int32_t size);
    // FONT_STATIC_TEXT and FONT_INPUT_TEXT answer the default font; any other
    // specifier raises `java_lang_IllegalArgumentException` and answers null.
    [[nodiscard]] static javax_microedition_lcdui_Font* getFont(std::int32_t specifier);

    // The text service fonts measure and draw with, for the running runtime.
    // The caller keeps it alive while the runtime lives.
    static void setTextService(host::Text* text);
    static host::Text* textService();

    // The width of the units [begin, end) of `text`; 0 when begin > end.
    // The range must lie inside the text.
    static std::int32_t measure(rt::String* text, std::int32_t begin, std::int32_t end);

    RT_NO_REFERENCE_FIELDS(javax_microedition_lcdui_Font, Object)

private:
    std::int32_t m_face = 0;
    std::int32_t m_style = 0;
    std::int32_t m_size = 0;
    std::int32_t m_ascent = 0;
    std::int32_t m_height = 0;
};

} // namespace platform
