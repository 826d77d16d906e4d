#pragma once

// Key tables and key latching. The platform hands the canvas MIDP key codes
// on the window thread; two maps turn each into one of 24 game keys, whose
// presses and releases gather in pending state until the game thread
// latches them once per frame at the start of the paint. Game code then asks
// whether a game key is held, went down or went up in this frame.
//
// Two forms, chosen by the configuration: arrays of 24 signed counters (the
// default) or 32-bit masks. A counter is 0 up, 1 went down this frame, 2..126
// held for that many latches (it stops at 126), negative released this
// frame (its magnitude the count it had). Game keys 18 and up (the soft keys
// and 20 to 23) read as released the frame after they went down, even while
// held.
//
// Threads: keyPressed and keyReleased run on the window thread and write
// only pending state, each change one atomic read-modify-write; the latch
// and the queries run on the game thread. No lock is taken: an event that
// lands during the latch is seen at the latest on the next frame.

#include "runtime/Array.h"
#include "runtime/ReferenceFields.h"

#include <atomic>
#include <cstdint>

namespace lib {
class java_util_Hashtable;
}

namespace game {

inline constexpr std::int32_t kGameKeyCount = 24;
inline constexpr std::int32_t kNoKeyCode = -9999;
inline constexpr std::int32_t kHeldCountLimit = 126;
// A key lock of this length never counts down.
inline constexpr std::int32_t kKeyLockForever = 0x7FFFFFFF;
// The game keys the game reads, named by the key of the default key maps
// that gives them (the directions, fire, the keypad's digits, '*', '#' and
// the soft keys). A plain enum with a fixed type: the key queries take any
// of the 24 game keys as an int32_t.
enum GameKey : std::int32_t {
    kUpKey = 1,
    kDownKey = 2,
    kLeftKey = 3,
    kRightKey = 4,
    kFireKey = 5,
    kDigit0Key = 6,
    kDigit1Key = 7,
    // Keys without a default code, read beside the directions and fire.
    kSecondUpKey = 8,
    kDigit3Key = 9,
    kSecondLeftKey = 10,
    kSelectKey = 11,
    kSecondRightKey = 12,
    kDigit7Key = 13,
    kSecondDownKey = 14,
    kDigit9Key = 15,
    kStarKey = 16,
    kHashKey = 17,
    kLeftSoftKey = 18,
    kRightSoftKey = 19,
};
// The first game key that reads as released the frame after it went down.
inline constexpr std::int32_t kFirstOneShotKey = kLeftSoftKey;

struct KeyStatics {
    // Key code -> game key (java_lang_Integer both): digits, '#', '*', soft
    // keys and extra keys in the first; fire and the directions in the second.
    lib::java_util_Hashtable* s_keyMap = nullptr;
    lib::java_util_Hashtable* s_directionKeyMap = nullptr;
    // Mask form: latched this frame, and gathered since the last latch.
    std::int32_t s_keysPressed = 0;
    std::int32_t s_keysReleased = 0;
    std::int32_t s_keysHeld = 0;
    std::atomic<std::int32_t> s_pendingPressed{0};
    std::atomic<std::int32_t> s_pendingReleased{0};
    std::atomic<std::int32_t> s_pendingHeld{0};
    // Array form: byte[24] each, latched and pending.
    rt::ByteArray* s_keyState = nullptr;
    rt::ByteArray* s_pendingKeyState = nullptr;
    std::atomic<std::int32_t> s_lastKeyCode{0};
    std::atomic<std::int32_t> s_downKeyCode{0};
    // Highest game key with a non-zero counter, and the highest that went
    // down, at the last latch; -1 none.
    std::int32_t s_lastHeldKey = -1;
    std::int32_t s_lastPressedKey = -1;
    std::int64_t s_keyPressTime = 0;
    // While above 0 all key state is cleared every frame.
    std::int32_t s_keyLockMs = 0;

    RT_REFERENCE_FIELDS(KeyStatics, rt::NoReferenceBase, s_keyMap, s_directionKeyMap, s_keyState,
                        s_pendingKeyState)
};

KeyStatics& keyStatics();

// Both maps anew, filled from the configured key codes.
void initKeyTables();
// Both maps new and empty (second first).
void createKeyMaps();
// Maps `keyCode` to `gameKey` in the second map when `which` is non-zero,
// else in the first, replacing what it had.
void mapKey(std::int32_t which, std::int32_t keyCode, std::int32_t gameKey);
// The game key of `keyCode`; 0 when neither map holds it.
std::int32_t getGameKey(std::int32_t keyCode);
// The two byte[24] counter arrays, made when the loop starts.
void makeKeyStateArrays();
void dropKeyStateArrays();

// The canvas's key slots (window thread).
void keyPressed(std::int32_t keyCode);
void keyReleased(std::int32_t keyCode);

// The per-frame latch (game thread, start of the paint).
void updateKeys();
// Clears every latched and pending key.
void clearKeys();

// On the latched state of this frame.
bool isKeyHeld(std::int32_t gameKey);
bool isKeyPressed(std::int32_t gameKey);
bool isKeyReleased(std::int32_t gameKey);
// The highest game key that went down (up) this frame; -1 when none.
std::int32_t getPressedKey();
std::int32_t getReleasedKey();

} // namespace game
