// Loads the input as sprite data and decodes every module through every
// palette, then makes an image of each module decoded through palette 0.
// Checks what the sprite promises whatever its data: the load ends with
// whole tables or none, a decoded module fills at least its pixels, and
// nothing reads or writes outside an array (the sanitizers watch that).

#include "fuzz/Harness.h"
#include "fuzz/KeptRuntime.h"
#include "game/framework/OrvelLibConfig.h"
#include "game/sprite/ASprite.h"
#include "game/sprite/SpriteStatics.h"
#include "platform/Platform.h"
#include "runtime/Array.h"

#include <cstdint>
#include <cstring>

namespace {

using fuzzing::check;

// Pixels decoded per input at most, so that one input stays fast.
constexpr std::int64_t kPixelBudget = 1 << 22;

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
        sprite->loadDefault(bytes, 0);

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
                budget -= static_cast<std::int64_t>(width) * height + 1;
                rt::IntArray* pixels = sprite->decodeModule(m);
                if (!pixels)
                    continue;
                check(pixels->length() >= width * height);
                if (p == 0 && width > 0 && height > 0)
                    sprite->storeModuleImage(pixels, width, height, 0, m);
            }
        }
        for (std::int32_t f = 0; f < sprite->getFrameCount(); ++f)
            for (std::int32_t b = 0; b < sprite->getFModuleCount(f); ++b)
                sprite->getFModuleModule(f, b);
        sprite->freePixelData();
        sprite->freeModuleData();
    }
    return 0;
}
