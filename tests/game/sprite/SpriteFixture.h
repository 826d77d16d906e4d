#pragma once

// What the sprite tests share: a small runtime with the platform, the
// game's configuration and the sprite engine's statics set up, the log
// captured, and helpers that turn datakit's bytes into a loaded sprite.

#include "game/framework/OrvelLibConfig.h"
#include "game/sprite/ASprite.h"
#include "game/sprite/SpriteStatics.h"
#include "platform/Platform.h"
#include "runtime/Array.h"
#include "runtime/Runtime.h"
#include "tests/support/LogCapture.h"
#include "tools/datakit/SpriteWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace sprite_testing {

struct SpriteTest : ::testing::Test {
    testing_support::LogCapture log;
    rt::Runtime runtime{rt::RuntimeOptions{1 << 22, 1 << 24}};

    SpriteTest() {
        platform::installPlatform(runtime);
        game::OrvelLibConfig::staticInit();
        game::spriteStaticInit();
        // No collection per load: the tests hold sprites in C++ locals only.
        game::spriteStatics().s_gcOnLoad = 0;
    }
};

inline rt::ByteArray* byteArray(const std::vector<std::uint8_t>& bytes) {
    rt::ByteArray* array = rt::newByteArray(static_cast<std::int32_t>(bytes.size()));
    std::ranges::copy(bytes, reinterpret_cast<std::uint8_t*>(rt::ByteArray::span(array).data()));
    return array;
}

inline game::ASprite* loadSprite(const std::vector<std::uint8_t>& bytes) {
    game::ASprite* sprite = game::ASprite::initDefaults();
    sprite->loadDefault(byteArray(bytes), 0);
    return sprite;
}

inline std::vector<std::int32_t> ints(rt::IntArray* array, std::int32_t count) {
    auto span = rt::IntArray::span(array, 0, count);
    return {span.begin(), span.end()};
}

} // namespace sprite_testing
