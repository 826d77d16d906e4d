#include "platform/lcdui/Font.h"

#include "host/Text.h"
#include "runtime/Exceptions.h"
#include "runtime/Runtime.h"
#include "runtime/StaticClass.h"
#include "runtime/checks.h"

namespace platform {

namespace {

using Font = javax_microedition_lcdui_Font;

// FIXME: the cache should be a `java_util_Hashtable` keyed by
// `java_lang_Integer` (4 buckets, threshold 3) once the class library has
// them; until then two parallel arrays, searched in order, do its work.
struct FontStatics {
    Font* m_defaultFont = nullptr;
    rt::ObjectArray* m_cachedFonts = nullptr;
    rt::IntArray* m_cachedKeys = nullptr;
    std::int32_t m_cachedCount = 0;
    host::Text* m_text = nullptr;
    RT_REFERENCE_FIELDS(FontStatics, rt::NoReferenceBase, m_defaultFont, m_cachedFonts, m_cachedKeys)
};

FontStatics& statics() {
    return rt::getStaticClass().statics<FontStatics>();
}

} // namespace

javax_microedition_lcdui_Font::javax_microedition_lcdui_Font(std::int32_t face, std::int32_t style,
                                                             std::int32_t size)
    : Object(kClassId) {
    init(face, style, size);
}

std::int32_t javax_microedition_lcdui_Font::getSize() {
    return m_size;
}

std::int32_t javax_microedition_lcdui_Font::getHeight() {
    return m_height;
}

void javax_microedition_lcdui_Font::init(std::int32_t face, std::int32_t style, std::int32_t size) {
    host::Text* text = textService();
    if (!text)
        return;
    std::optional<host::FontMetrics> metrics = text->metrics();
    if (!metrics)
        return;
    m_face = face;
    m_style = style;
    m_size = size;
    m_ascent = metrics->ascent;
    m_height = metrics->height;
}

std::int32_t javax_microedition_lcdui_Font::stringWidth(rt::String* text) {
    if (!text) {
        rt::reportNullPointer();
        return 0;
    }
    return measure(text, 0, text->length());
}

std::int32_t javax_microedition_lcdui_Font::substringWidth(rt::String* text, std::int32_t offset,
                                                           std::int32_t length) {
    if (!text) {
        rt::reportNullPointer();
        return 0;
    }
    if (!rt::checkRange(rt::IndexKind::String, offset, length, text->length()))
        return 0;
    return measure(text, offset, offset + length);
}

std::int32_t javax_microedition_lcdui_Font::charWidth(char16_t character) {
    return measure(rt::make<rt::String>(&character, 1), 0, 1);
}

std::int32_t javax_microedition_lcdui_Font::charsWidth(rt::CharArray* data, std::int32_t offset,
                                                       std::int32_t length) {
    if (!data) {
        rt::reportNullPointer();
        return 0;
    }
    if (!rt::checkRange(rt::IndexKind::Array, offset, length, data->length()))
        return 0;
    rt::String* text = rt::make<rt::String>(data, offset, length);
    return measure(text, 0, text->length());
}

std::int32_t javax_microedition_lcdui_Font::measure(rt::String* text, std::int32_t begin, std::int32_t end) {
    host::Text* service = textService();
    if (!service || begin > end)
        return 0;
    return service->measure(
        text->view().substr(static_cast<std::size_t>(begin), static_cast<std::size_t>(end - begin)));
}

javax_microedition_lcdui_Font* javax_microedition_lcdui_Font::getDefaultFont() {
    FontStatics& fonts = statics();
    if (!fonts.m_defaultFont)
        fonts.m_defaultFont = rt::make<Font>(FACE_SYSTEM, STYLE_PLAIN, SIZE_MEDIUM);
    return fonts.m_defaultFont;
}

javax_microedition_lcdui_Font* javax_microedition_lcdui_Font::getFont(std::int32_t face, std::int32_t style,
                                                                      std::int32_t size) {
    FontStatics& fonts = statics();
    const std::int32_t key = face | style | size;
    for (std::int32_t i = 0; i < fonts.m_cachedCount; ++i) {
        if (fonts.m_cachedKeys->elements()[i] == key)
            return static_cast<Font*>(fonts.m_cachedFonts->elements()[i]);
    }
    Font* font = rt::make<Font>(face, style, size);
    if (!fonts.m_cachedFonts || fonts.m_cachedCount == fonts.m_cachedFonts->length()) {
        std::int32_t capacity = fonts.m_cachedCount * 2 + 4;
        rt::ObjectArray* grownFonts = rt::newObjectArray(capacity);
        rt::IntArray* grownKeys = rt::newIntArray(capacity);
        for (std::int32_t i = 0; i < fonts.m_cachedCount; ++i) {
            grownFonts->elements()[i] = fonts.m_cachedFonts->elements()[i];
            grownKeys->elements()[i] = fonts.m_cachedKeys->elements()[i];
        }
        fonts.m_cachedFonts = grownFonts;
        fonts.m_cachedKeys = grownKeys;
    }
    fonts.m_cachedFonts->elements()[fonts.m_cachedCount] = font;
    fonts.m_cachedKeys->elements()[fonts.m_cachedCount] = key;
    ++fonts.m_cachedCount;
    return font;
}

javax_microedition_lcdui_Font* javax_microedition_lcdui_Font::getFont(std::int32_t specifier) {
    if (specifier == FONT_STATIC_TEXT || specifier == FONT_INPUT_TEXT)
        return getDefaultFont();
    return rt::raise(rt::ClassId::java_lang_IllegalArgumentException);
}

void javax_microedition_lcdui_Font::setTextService(host::Text* text) {
    statics().m_text = text;
}

host::Text* javax_microedition_lcdui_Font::textService() {
    return statics().m_text;
}

} // namespace platform
