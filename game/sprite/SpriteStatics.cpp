#include "game/sprite/SpriteStatics.h"

#include "classlib/lang/System.h"
#include "game/framework/OrvelLibConfig.h"
#include "game/sprite/ASprite.h"
#include "game/sprite/Paint.h"
#include "host/Log.h"
#include "runtime/StaticClass.h"

#include <algorithm>
#include <initializer_list>

namespace game {

namespace {

rt::ByteArray* bytes(std::initializer_list<std::int32_t> values) {
    rt::ByteArray* array = rt::newByteArray(static_cast<std::int32_t>(values.size()));
    rt::Array::fill8(array, values);
    return array;
}

rt::IntArray* ints(std::initializer_list<std::int32_t> values) {
    rt::IntArray* array = rt::newIntArray(static_cast<std::int32_t>(values.size()));
    rt::Array::fill32(array, values);
    return array;
}

} // namespace

SpriteStatics& spriteStatics() {
    return rt::getStaticClass().statics<SpriteStatics>();
}

void spriteStaticInit() {
    SpriteStatics& s = spriteStatics();
    s.s_pngConstants = rt::newObjectArray(10);
    const std::initializer_list<std::int32_t> constants[10] = {
        {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A},
        {'I', 'H', 'D', 'R'},
        {'P', 'L', 'T', 'E'},
        {'t', 'R', 'N', 'S'},
        {'I', 'D', 'A', 'T'},
        {'I', 'E', 'N', 'D'},
        {8, 6, 0, 0, 0},
        {8, 3, 0, 0, 0},
        {0, 0, 0, 0, 'I', 'E', 'N', 'D', 0xAE, 0x42, 0x60, 0x82},
        {0x78, 0x9C, 1},
    };
    for (std::int32_t i = 0; i < 10; ++i)
        rt::ObjectArray::set(s.s_pngConstants, i, bytes(constants[i]));
    // The CRC table serves only the indexed-PNG image path, which this game
    // does not use: it stays zero.
    s.s_crcTable = rt::newIntArray(256);
    s.s_moduleFade = 0;
    s.s_fadeDescription = nullptr;
    s.s_screenScaleFlags[0] = s.s_screenScaleFlags[1] = 0;
    s.s_screenScaleValues[0] = s.s_screenScaleValues[1] = 0;
    s.s_textStart = s.s_textEnd = s.s_textLimit = -1;
    s.s_recordIndex = s.s_recordSet = -1;
    s.s_paintMode = 0;
    s.s_transformSlot0 = nullptr;
    s.s_transformToMidp = ints({0, 2, 1, 3, 5, 7, 4, 6});
    s.s_flipXTable = ints({1, 0, 3, 2, 6, 7, 4, 5});
    s.s_flipYTable = ints({2, 3, 0, 1, 5, 4, 7, 6});
    s.s_rotateTable = ints({4, 5, 6, 7, 3, 2, 1, 0});
    s.s_rect = rt::newIntArray(4);
    s.s_gcOnLoad = 1;
    s.s_paintSuspended = 0;
    paintStaticInit();
}

rt::IntArray* ensurePixelBuffer(std::int32_t entries) {
    SpriteStatics& s = spriteStatics();
    if (!s.s_pixelBuffer || s.s_pixelBuffer->length() < entries)
        s.s_pixelBuffer = rt::newIntArray(std::max(entries, config().s_pixelBufferSize));
    return s.s_pixelBuffer;
}

rt::IntArray* getTransformBuffer(rt::IntArray* source, std::int32_t width, std::int32_t height) {
    const std::int64_t pixels = static_cast<std::int64_t>(std::max(width, 0)) * std::max(height, 0);
    if (pixels > ASprite::kMaxModulePixels) {
        host::logf(host::LogCategory::Game, "transformRGB: a block of %d x %d pixels is too large", width,
                   height);
        return nullptr;
    }
    const auto entries = static_cast<std::int32_t>(pixels);
    SpriteStatics& s = spriteStatics();
    if (!source || source != ensurePixelBuffer(0))
        return ensurePixelBuffer(entries);
    if (!s.s_spareBuffer || s.s_spareBuffer->length() < entries) {
        std::int32_t size = config().s_spareBufferSize;
        s.s_spareBuffer = rt::newIntArray(std::max(entries, size > 0 ? size : config().s_pixelBufferSize));
    }
    return s.s_spareBuffer == source ? nullptr : s.s_spareBuffer;
}

void collectIfAsked() {
    if (spriteStatics().s_gcOnLoad)
        lib::java_lang_System::gc();
}

} // namespace game
