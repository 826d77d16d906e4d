// Loads the input as sprite data as the game does: the load, then the
// structure check, and a sprite that fails either is refused. Checks what a
// sprite taken promises whatever its data: every module decodes through
// every palette into at least its pixels, and every frame, frame-module,
// box and animation frame it counts is queried, measured and painted with
// no runtime check report (the log sink fails the input on one) and nothing
// read or written outside an array (the sanitizers watch that).

#include "fuzz/Harness.h"
#include "fuzz/KeptRuntime.h"
#include "game/framework/OrvelLibConfig.h"
#include "game/sprite/ASprite.h"
#include "game/sprite/Paint.h"
#include "game/sprite/SpriteStatics.h"
#include "platform/Platform.h"
#include "platform/lcdui/Image.h"
#include "runtime/Array.h"

#include <cstdint>
#include <cstring>

namespace {

using fuzzing::check;

// Pixels decoded per input at most (each module decode counts as
// `kModuleCost` pixels more, so that thousands of empty modules in many
// palettes cost as much as their pixels would), and frame-modules painted,
// so that one input stays fast.
constexpr std::int64_t kPixelBudget = 1 << 19;
constexpr std::int64_t kModuleCost = 256;
constexpr std::int32_t kPaintBudget = 512;

// Queries, measures and paints every frame and animation frame of `sprite`
// (within the budget) on `g`, in each flag combination's turn.
void paintEverything(game::ASprite* sprite, platform::javax_microedition_lcdui_Graphics* g) {
    std::int32_t budget = kPaintBudget;
    rt::IntArray* box = rt::newIntArray(4);
    rt::IntArray* rect = rt::newIntArray(4);
    for (std::int32_t f = 0; f < sprite->getFrameCount(); ++f) {
        const std::int32_t fmodules = sprite->getFModuleCount(f);
        for (std::int32_t b = 0; b < fmodules; ++b) {
            const std::int32_t module = sprite->getFModuleModule(f, b);
            check(module >= 0 && module < sprite->getModuleCount());
            (void)sprite->getFModuleFlags(f, b);
            (void)sprite->getFModuleX(f, b);
            (void)sprite->getFModuleY(f, b);
        }
        sprite->getFrameBox(f, 0, box, f & 3);
        if (budget <= 0)
            continue;
        budget -= fmodules + 1;
        game::getFrameRect(sprite, rect, f, 3, 5, f & 7);
        game::paintFrame(sprite, g, f, 20, 20, f & 7, 0, 0);
    }
    for (std::int32_t a = 0; a < sprite->getAnimCount(); ++a) {
        for (std::int32_t k = 0; k < sprite->getAFrameCount(a); ++k) {
            const std::int32_t frame = sprite->getAFrameFrame(a, k);
            check(frame >= 0 && frame < sprite->getFrameCount());
            (void)sprite->getAFrameTime(a, k);
            (void)sprite->getAFrameFlags(a, k);
            if (budget <= 0)
                continue;
            budget -= sprite->getFModuleCount(frame) + 1;
            game::paintAFrame(sprite, g, a, k, 30, 20, k & 3, 2, 2);
        }
    }
}

fuzzing::KeptRuntime& spriteRuntime() {
    static fuzzing::KeptRuntime s_kept{rt::RuntimeOptions{1 << 22, 1 << 24}, &platform::installPlatform};
    return s_kept;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    (void)spriteRuntime();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > (1u << 20))
        return 0;
    {
        fuzzing::QuietLog quiet;
        fuzzing::KeptRuntimeInput input(spriteRuntime());
        game::OrvelLibConfig::staticInit();
        game::spriteStaticInit();
        game::spriteStatics().s_gcOnLoad = 0;

        rt::ByteArray* bytes = rt::newByteArray(static_cast<std::int32_t>(size));
        if (size > 0)
            std::memcpy(rt::ByteArray::span(bytes).data(), data, size);
        game::ASprite* sprite = game::ASprite::initDefaults();
        const bool whole = sprite->loadDefault(bytes, 0);
        // A sprite cut short is left empty, whatever its tables held.
        check(whole || (sprite->getModuleCount() <= 0 && sprite->getFrameCount() == 0));
        if (!whole || !sprite->structureProblem().empty())
            return 0;

        std::int32_t modules = sprite->getModuleCount();
        check(modules >= 0 || sprite->m_moduleTypes == nullptr);
        if (modules > 0)
            check(sprite->m_moduleTypes && sprite->m_moduleTypes->length() == modules);
        std::int64_t budget = kPixelBudget;
        for (std::int32_t p = 0; p < sprite->m_paletteCount && budget > 0; ++p) {
            sprite->setCurrentPalette(p);
            if (p == 0)
                sprite->ensureImageTables(0);
            for (std::int32_t m = 0; m < modules && budget > 0; ++m) {
                std::int32_t width = sprite->getModuleWidth(m);
                std::int32_t height = sprite->getModuleHeight(m);
                budget -= static_cast<std::int64_t>(width) * height + kModuleCost;
                rt::IntArray* pixels = sprite->decodeModule(m);
                if (!pixels)
                    continue;
                check(pixels->length() >= width * height);
                if (p == 0 && width > 0 && height > 0)
                    sprite->storeModuleImage(pixels, width, height, 0, m);
            }
        }
        sprite->setCurrentPalette(0);
        auto* image = platform::javax_microedition_lcdui_Image::createImage(64, 48);
        paintEverything(sprite, image->getGraphics());
        sprite->freePixelData();
        sprite->freeModuleData();
    }
    return 0;
}
