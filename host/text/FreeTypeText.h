#pragma once

// The text service through FreeType: one TrueType face loaded at start at a
// fixed pixel size, glyphs hinted and rendered with 8-bit coverage. The only
// code that sees FreeType.

#include "host/Text.h"

#include <memory>
#include <mutex>
#include <string>

namespace host {

class FreeTypeText final : public Text {
public:
    // DejaVu Sans Bold from Debian's fonts-dejavu-core: a bold sans face, as
    // the device's system font is.
    static constexpr const char* kSystemFontPath = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";
    static constexpr int kSystemFontPixels = 20;

    // Loads the face at `fontPath`; a face that will not load is logged once,
    // and the service then has no font.
    explicit FreeTypeText(const std::string& fontPath = kSystemFontPath, int pixelSize = kSystemFontPixels);
    ~FreeTypeText() override;
    FreeTypeText(const FreeTypeText&) = delete;
    FreeTypeText& operator=(const FreeTypeText&) = delete;

    std::optional<FontMetrics> metrics() override;
    int measure(std::u16string_view text) override;
    bool render(std::u16string_view text, std::uint32_t foreground, std::uint32_t background,
                std::span<std::uint32_t> pixels, int width, int height) override;

private:
    struct Face;

    std::mutex m_lock;
    std::unique_ptr<Face> m_face;
};

} // namespace host
