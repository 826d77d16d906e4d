#include "game/framework/Keys.h"

#include "classlib/lang/Integer.h"
#include "classlib/util/Hashtable.h"
#include "game/framework/LoopStatics.h"
#include "game/framework/OrvelLibConfig.h"
#include "runtime/Object.h"
#include "runtime/StaticClass.h"
#include "runtime/checks.h"

#include <atomic>

namespace game {

namespace {

bool arrayMode() {
    return config().s_keyCounters != 0;
}

// Bit `gameKey` of a mask; no bit for a key outside 0..31.
std::int32_t keyBit(std::int32_t gameKey) {
    if (gameKey < 0 || gameKey >= 32)
        return 0;
    return static_cast<std::int32_t>(1u << gameKey);
}

// Entry `gameKey` of a counter array for an atomic update; null, after the
// report of a missing array or a bad index, when there is none.
std::int8_t* counter(rt::ByteArray* array, std::int32_t gameKey) {
    std::span<std::int8_t> entry = rt::ByteArray::span(array, gameKey, 1);
    return entry.empty() ? nullptr : entry.data();
}

void put(lib::java_util_Hashtable* map, std::int32_t keyCode, std::int32_t gameKey) {
    (void)map->put(rt::make<lib::java_lang_Integer>(keyCode), rt::make<lib::java_lang_Integer>(gameKey));
}

// The int value of the entry for `keyCode`, or false when `map` has none.
bool lookUp(lib::java_util_Hashtable* map, std::int32_t keyCode, std::int32_t& gameKey) {
    if (!map)
        return false;
    rt::Object* value = map->get(rt::make<lib::java_lang_Integer>(keyCode));
    if (!value || !rt::instanceOf(value, rt::ClassId::java_lang_Integer))
        return false;
    gameKey = static_cast<lib::java_lang_Integer*>(value)->intValue();
    return true;
}

std::int32_t highestKey(bool (*test)(std::int32_t)) {
    for (std::int32_t k = kGameKeyCount - 1; k >= 0; --k) {
        if (test(k))
            return k;
    }
    return -1;
}

std::int8_t latchedCounter(std::int32_t gameKey) {
    return rt::ByteArray::get(keyStatics().s_keyState, gameKey);
}

} // namespace

KeyStatics& keyStatics() {
    return rt::getStaticClass().statics<KeyStatics>();
}

void createKeyMaps() {
    KeyStatics& keys = keyStatics();
    keys.s_directionKeyMap = rt::make<lib::java_util_Hashtable>();
    keys.s_keyMap = rt::make<lib::java_util_Hashtable>();
}

void initKeyTables() {
    createKeyMaps();
    const OrvelLibConfig& settings = config();
    lib::java_util_Hashtable* map = keyStatics().s_keyMap;
    static constexpr std::int32_t kCharacterKeys[][2] = {{'0', 6}, {'1', 7},  {'2', 1},  {'3', 9},
                                                         {'4', 3}, {'5', 5},  {'6', 4},  {'7', 13},
                                                         {'8', 2}, {'9', 15}, {'#', 17}, {'*', 16}};
    for (const auto& [code, gameKey] : kCharacterKeys)
        put(map, code, gameKey);
    bool inOrder = settings.s_softKeysNotSwapped != 0;
    put(map, settings.s_keyLeftSoft, inOrder ? 18 : 19);
    put(map, settings.s_keyRightSoft, inOrder ? 19 : 18);
    if (settings.s_extraKeys) {
        put(map, settings.s_extraKeyA, 22);
        put(map, settings.s_extraKeyB, 23);
    }
    lib::java_util_Hashtable* directions = keyStatics().s_directionKeyMap;
    put(directions, settings.s_keyFire, 5);
    put(directions, settings.s_keyUp, 1);
    put(directions, settings.s_keyDown, 2);
    put(directions, settings.s_keyLeft, 3);
    put(directions, settings.s_keyRight, 4);
}

void mapKey(std::int32_t which, std::int32_t keyCode, std::int32_t gameKey) {
    KeyStatics& keys = keyStatics();
    lib::java_util_Hashtable* map = which != 0 ? keys.s_directionKeyMap : keys.s_keyMap;
    if (!map) {
        rt::reportNullPointer();
        return;
    }
    (void)map->remove(rt::make<lib::java_lang_Integer>(keyCode));
    put(map, keyCode, gameKey);
}

std::int32_t getGameKey(std::int32_t keyCode) {
    if (config().s_keyLookupSwitch && keyCode < 0)
        keyCode = -keyCode;
    KeyStatics& keys = keyStatics();
    if (!keys.s_keyMap)
        return 0;
    std::int32_t gameKey = 0;
    if (lookUp(keys.s_keyMap, keyCode, gameKey) || lookUp(keys.s_directionKeyMap, keyCode, gameKey))
        return gameKey;
    return 0;
}

void makeKeyStateArrays() {
    KeyStatics& keys = keyStatics();
    keys.s_keyState = rt::newByteArray(kGameKeyCount);
    keys.s_pendingKeyState = rt::newByteArray(kGameKeyCount);
}

void dropKeyStateArrays() {
    KeyStatics& keys = keyStatics();
    keys.s_keyState = nullptr;
    keys.s_pendingKeyState = nullptr;
}

void keyPressed(std::int32_t keyCode) {
    KeyStatics& keys = keyStatics();
    if (config().s_keyEventSwitch) {
        std::int32_t down = keys.s_downKeyCode;
        if (down != keyCode && down != kNoKeyCode)
            keyReleased(down);
        keys.s_downKeyCode = keyCode;
    }
    if (!arrayMode()) {
        std::int32_t bit = keyBit(getGameKey(keyCode));
        keys.s_pendingPressed.fetch_or(bit);
        keys.s_pendingHeld.fetch_or(bit);
        return;
    }
    keys.s_lastKeyCode = keyCode;
    std::int8_t* entry = counter(keys.s_pendingKeyState, getGameKey(keyCode));
    if (!entry)
        return;
    std::atomic_ref<std::int8_t> pending(*entry);
    std::int8_t value = pending.load();
    // A second press of a held key does not restart its count; a press
    // after a release not yet latched starts a new one.
    while (value <= 0 && !pending.compare_exchange_weak(value, 1)) {
    }
}

void keyReleased(std::int32_t keyCode) {
    KeyStatics& keys = keyStatics();
    if (config().s_keyEventSwitch && keyCode == keys.s_downKeyCode)
        keys.s_downKeyCode = kNoKeyCode;
    if (!arrayMode()) {
        std::int32_t bit = keyBit(getGameKey(keyCode));
        keys.s_pendingReleased.fetch_or(bit);
        keys.s_pendingHeld.fetch_and(~bit);
        return;
    }
    std::int8_t* entry = counter(keys.s_pendingKeyState, getGameKey(keyCode));
    if (!entry)
        return;
    std::atomic_ref<std::int8_t> pending(*entry);
    std::int8_t value = pending.load();
    while (value >= 1 && !pending.compare_exchange_weak(value, static_cast<std::int8_t>(-value))) {
    }
}

void updateKeys() {
    KeyStatics& keys = keyStatics();
    const LoopStatics& loop = loopStatics();
    if (arrayMode()) {
        keys.s_lastHeldKey = -1;
        keys.s_lastPressedKey = -1;
        std::span<std::int8_t> latched = rt::ByteArray::span(keys.s_keyState, 0, kGameKeyCount);
        std::span<std::int8_t> pendingKeys = rt::ByteArray::span(keys.s_pendingKeyState, 0, kGameKeyCount);
        if (!latched.empty() && !pendingKeys.empty()) {
            for (std::int32_t k = 0; k < kGameKeyCount; ++k) {
                std::atomic_ref<std::int8_t> pending(pendingKeys[static_cast<std::size_t>(k)]);
                std::int8_t value = pending.load();
                std::int8_t next = 0;
                // The value latched is the one the update is computed from: a
                // key event in between makes the exchange fail and the
                // computation start again from what it left.
                do {
                    next = value;
                    if (value < 0)
                        next = 0;
                    else if (value > 0 && value < kHeldCountLimit)
                        next = static_cast<std::int8_t>(k >= kFirstOneShotKey ? -(value + 1) : value + 1);
                } while (next != value && !pending.compare_exchange_weak(value, next));
                latched[static_cast<std::size_t>(k)] = value;
                if (value == 0)
                    continue;
                keys.s_lastHeldKey = k;
                if (value == 1) {
                    keys.s_lastPressedKey = k;
                    keys.s_keyPressTime = loop.s_paintTime;
                }
            }
        }
    } else {
        keys.s_keysPressed = keys.s_pendingPressed.exchange(0);
        keys.s_keysReleased = keys.s_pendingReleased.exchange(0);
        keys.s_keysHeld = keys.s_pendingHeld;
        keys.s_keyPressTime = loop.s_paintTime;
    }
    if (keys.s_keyLockMs > 0) {
        if (config().s_measureFrameTime && keys.s_keyLockMs != kKeyLockForever)
            keys.s_keyLockMs -= loop.s_frameMs;
        clearKeys();
    }
}

void clearKeys() {
    KeyStatics& keys = keyStatics();
    if (!arrayMode()) {
        keys.s_keysPressed = keys.s_keysReleased = keys.s_keysHeld = 0;
        keys.s_pendingPressed = keys.s_pendingReleased = keys.s_pendingHeld = 0;
        return;
    }
    if (!keys.s_keyState || !keys.s_pendingKeyState)
        return;
    for (std::int8_t& entry : rt::ByteArray::span(keys.s_keyState))
        entry = 0;
    for (std::int8_t& entry : rt::ByteArray::span(keys.s_pendingKeyState))
        std::atomic_ref<std::int8_t>(entry).store(0);
}

bool isKeyHeld(std::int32_t gameKey) {
    if (!arrayMode())
        return (keyStatics().s_keysHeld & keyBit(gameKey)) != 0;
    return latchedCounter(gameKey) > 0;
}

bool isKeyPressed(std::int32_t gameKey) {
    if (!arrayMode())
        return (keyStatics().s_keysPressed & keyBit(gameKey)) != 0;
    return latchedCounter(gameKey) == 1;
}

bool isKeyReleased(std::int32_t gameKey) {
    if (!arrayMode())
        return (keyStatics().s_keysReleased & keyBit(gameKey)) != 0;
    return latchedCounter(gameKey) < 0;
}

std::int32_t getPressedKey() {
    return highestKey(isKeyPressed);
}

std::int32_t getReleasedKey() {
    return highestKey(isKeyReleased);
}

} // namespace game
