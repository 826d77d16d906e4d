#pragma once

// `OrvelLibConfig`: the game library's configuration, one statics block of
// settings that every other part only reads. `staticInit` gives each its
// default before any of the game's own initialisers run (which may change a
// few). Settings marked B are one byte, 0 or 1; I are 32-bit ints.
//
// Where a setting's name says less than what the loop does with it, the
// comment in the list says what it is. The ones the framework reads:
// screen size; s_gcAfterUnload, s_gcFreeMemoryLimit; s_measureFrameTime;
// s_yieldInLoop; s_frameSwitchB; the back buffer trio; s_playerThreadPeriod;
// the loop's pacing (s_paceToFrameTime, s_loopSleepMs, s_fixedSleep,
// s_noLoopThread, s_yieldPerFrame); the long-gap pause; the key codes and
// key options; the fixed-point and angle shifts; the graphics wrappers'
// switches (clip, pixel arrays, fill tile, scaling); and the framework
// settings at the end of the list.

#include "runtime/ReferenceFields.h"

#include <cstdint>

namespace game {

// X(kind, name, default), in the order staticInit sets them.
#define GAME_ORVEL_CONFIG_SETTINGS(X)                                                                        \
    X(I, s_gameScreenWidth, 640)                                                                             \
    X(I, s_gameScreenHeight, 480)                                                                            \
    X(B, s_gcAfterUnload, 1)                                                                                 \
    X(I, s_gcFreeMemoryLimit, 0)                                                                             \
    X(B, s_measureFrameTime, 1)                                                                              \
    /* keep the MIDlet when the loop ends (0: the loop's end calls notifyDestroyed) */                       \
    X(B, s_yieldInLoop, 0)                                                                                   \
    /* repaint at once on the library's resume */                                                            \
    X(B, s_frameSwitchB, 1)                                                                                  \
    X(B, s_fillRectViaImage, 0)                                                                              \
    X(B, s_drawLineSwitch, 0)                                                                                \
    X(B, s_useBackBuffer, 0)                                                                                 \
    X(B, s_screenFilter, 0)                                                                                  \
    /* the back buffer is square, its side the larger of width and height */                                 \
    X(B, s_backBufferSwitch, 0)                                                                              \
    /* frames per second: frames and the sound thread run every 1000 / 25 = 40 ms */                         \
    X(I, s_playerThreadPeriod, 25)                                                                           \
    X(B, s_paceToFrameTime, 1)                                                                               \
    X(I, s_loopSleepMs, 1)                                                                                   \
    X(B, s_fixedSleep, 0)                                                                                    \
    X(B, s_noLoopThread, 0)                                                                                  \
    /* call the platform's (empty) frame hook every loop turn; no collection per frame */                    \
    X(B, s_yieldPerFrame, 1)                                                                                 \
    X(B, s_pauseOnLongGap, 0)                                                                                \
    X(I, s_longGapMs, 3000)                                                                                  \
    X(B, s_rgbDirect, 0)                                                                                     \
    /* setClip also intersects the new clip with clipRect */                                                 \
    X(B, s_clipSwitch, 0)                                                                                    \
    /* drawRGBClipped undoes the Graphics translation */                                                     \
    X(B, s_rgbClipSwitch, 0)                                                                                 \
    /* the translucent fill tile: its side, and whether it is also made into an image */                     \
    X(I, s_fillTileSide, 16)                                                                                 \
    X(B, s_translucentFill, 1)                                                                               \
    X(B, s_softKeysNotSwapped, 1)                                                                            \
    X(I, s_keyLeftSoft, -6)                                                                                  \
    X(I, s_keyRightSoft, -7)                                                                                 \
    X(I, s_keyFire, -5)                                                                                      \
    X(I, s_keyUp, -1)                                                                                        \
    X(I, s_keyDown, -2)                                                                                      \
    X(I, s_keyLeft, -3)                                                                                      \
    X(I, s_keyRight, -4)                                                                                     \
    X(B, s_keyCounters, 1)                                                                                   \
    /* negative key codes are looked up negated */                                                           \
    X(B, s_keyLookupSwitch, 0)                                                                               \
    /* one key down at a time: a new press releases the held key first */                                    \
    X(B, s_keyEventSwitch, 0)                                                                                \
    X(B, s_extraKeys, 0)                                                                                     \
    X(I, s_extraKeyA, 0)                                                                                     \
    X(I, s_extraKeyB, 0)                                                                                     \
    X(I, s_platformValue, 0)                                                                                 \
    X(B, s_vibrationOff, 0)                                                                                  \
    X(I, s_fixedShift, 12)                                                                                   \
    X(I, s_angleShift, 11)                                                                                   \
    X(B, s_atanTable, 1)                                                                                     \
    X(B, s_cacheTexts, 0)                                                                                    \
    X(B, s_ownTextDecoder, 1)                                                                                \
    X(B, s_multiTextPacks, 0)                                                                                \
    X(I, s_textPackSlots, 32)                                                                                \
    X(I, s_textIdShift, 10)                                                                                  \
    X(B, s_channelSound, 1)                                                                                  \
    X(I, s_soundChannels, 1)                                                                                 \
    X(B, s_soundEnabled, 1)                                                                                  \
    X(B, s_soundSwitchA, 0)                                                                                  \
    X(B, s_soundSwitchB, 0)                                                                                  \
    X(B, s_soundSwitchC, 0)                                                                                  \
    X(B, s_soundSwitchD, 0)                                                                                  \
    X(B, s_soundTimedMode, 0)                                                                                \
    X(B, s_soundSwitchE, 1)                                                                                  \
    X(B, s_masterVolume, 1)                                                                                  \
    X(B, s_soundSwitchF, 0)                                                                                  \
    /* the sound loader hands sounds to the channel layer instead of the sound engine */                     \
    X(B, s_soundsToChannels, 0)                                                                              \
    X(I, s_skipBufferSize, 256)                                                                              \
    X(B, s_singleIndexResource, 0)                                                                           \
    X(B, s_packLzma, 0)                                                                                      \
    X(B, s_packFromRecordStore, 0)                                                                           \
    X(B, s_rmsSwitch, 0)                                                                                     \
    X(I, s_rmsPartSize, -1)                                                                                  \
    X(I, s_soundCommandRing, 4)                                                                              \
    X(I, s_soundUpdatePeriod, 25)                                                                            \
    X(I, s_spriteValueA, 16)                                                                                 \
    X(I, s_spriteValueB, 3)                                                                                  \
    X(I, s_pixelBufferSize, 80100)                                                                           \
    X(I, s_spareBufferSize, 15000)                                                                           \
    X(I, s_spriteValueD, 256)                                                                                \
    X(B, s_palettes4444, 0)                                                                                  \
    X(B, s_paletteMask, 0)                                                                                   \
    X(B, s_freePalettes, 0)                                                                                  \
    X(B, s_useModulePixels, 1)                                                                               \
    X(B, s_spriteDecodeSwitch, 1)                                                                            \
    X(B, s_spriteImageSwitchA, 0)                                                                            \
    X(B, s_spriteImageSwitchB, 1)                                                                            \
    X(B, s_fmoduleSwitch, 0)                                                                                 \
    X(B, s_frameSizeTable, 0)                                                                                \
    X(B, s_spriteSwitchF, 0)                                                                                 \
    X(B, s_spriteSwitchG, 0)                                                                                 \
    X(B, s_textBoxSwitchA, 0)                                                                                \
    X(I, s_textBoxValue, 1)                                                                                  \
    X(B, s_rgbViaImage, 0)                                                                                   \
    X(B, s_usePaletteImageBlob, 0)                                                                           \
    X(B, s_useTrueColourModules, 0)                                                                          \
    X(B, s_decodeModuleImages, 1)                                                                            \
    X(B, s_moduleImageSwitchA, 0)                                                                            \
    X(B, s_moduleImageSwitchB, 0)                                                                            \
    X(B, s_trackProjectionSwitch, 1)                                                                         \
    X(B, s_frameCacheSwitch, 0)                                                                              \
    X(I, s_spriteValueF, 16)                                                                                 \
    X(B, s_packedRecords, 0)                                                                                 \
    X(B, s_moduleSwitchA, 0)                                                                                 \
    X(B, s_zoomSwitch, 0)                                                                                    \
    X(B, s_moduleSwitchB, 0)                                                                                 \
    X(B, s_moduleSwitchC, 0)                                                                                 \
    X(B, s_columnTables, 0)                                                                                  \
    X(B, s_freeModuleDataA, 0)                                                                               \
    X(B, s_freeModuleDataB, 1)                                                                               \
    X(B, s_fmoduleShortIndex, 0)                                                                             \
    X(B, s_fmoduleShortX, 0)                                                                                 \
    X(B, s_fmoduleShortY, 0)                                                                                 \
    X(B, s_fmoduleSeparate, 1)                                                                               \
    X(B, s_frameImageSwitchA, 0)                                                                             \
    X(B, s_frameImageSwitchB, 0)                                                                             \
    X(B, s_spriteValueG, 1)                                                                                  \
    X(B, s_frameIndex10Bit, 0)                                                                               \
    X(B, s_aframeCountBytes, 0)                                                                              \
    X(B, s_aframeCountShorts, 0)                                                                             \
    X(B, s_spriteSwitchH, 0)                                                                                 \
    X(B, s_moduleSwitchD, 0)                                                                                 \
    X(B, s_cacheImageSwitch, 0)                                                                              \
    X(B, s_textEscapes, 1)                                                                                   \
    /* the graphics wrappers scale coordinates to the device screen */                                       \
    X(B, s_scaledGraphics, 0)                                                                                \
    X(I, s_spriteValueH, 16)                                                                                 \
    X(B, s_moduleTypeByte, 1)                                                                                \
    X(B, s_spriteLoadSwitch, 1)                                                                              \
    X(B, s_moduleImageSwitchC, 0)                                                                            \
    X(B, s_fontLog, 0)                                                                                       \
    X(B, s_paletteImageSwitch, 0)                                                                            \
    X(B, s_paintSwitch, 0)                                                                                   \
    X(B, s_charWidths, 1)                                                                                    \
    X(B, s_lineBreakSwitch, 0)                                                                               \
    X(I, s_lineBreakValue, 100)                                                                              \
    X(B, s_fontSwitch, 0)                                                                                    \
    X(B, s_charSwitch, 0)                                                                                    \
    X(B, s_lineBreakSwitchB, 0)                                                                              \
    X(B, s_worldPaintSwitch, 0)                                                                              \
    X(B, s_spriteStaticSwitch, 0)                                                                            \
    X(B, s_frameImageFirst, 0)                                                                               \
    X(B, s_targetBuffer, 0)                                                                                  \
    X(B, s_moduleMask, 0)                                                                                    \
    X(B, s_playerRenderSwitch, 0)                                                                            \
    X(B, s_spriteValueI, 0)                                                                                  \
    X(B, s_moduleDecodeSwitch, 0)                                                                            \
    X(B, s_scaleSwitchA, 0)                                                                                  \
    X(B, s_paintScaleSwitch, 0)                                                                              \
    X(B, s_spriteValueJ, 0)                                                                                  \
    X(B, s_scaleSwitchB, 0)                                                                                  \
    X(B, s_spriteValueK, 0)                                                                                  \
    X(B, s_scaleSwitchC, 0)                                                                                  \
    X(B, s_playerFlagA, 0)                                                                                   \
    X(B, s_fixed88Heights, 0)                                                                                \
    /* sound updates run on their own thread */                                                              \
    X(B, s_soundThread, 1)                                                                                   \
    /* stop the sounds on the library's pause */                                                             \
    X(B, s_stopSoundsOnHide, 1)                                                                              \
    /* players are prepared from a cache */                                                                  \
    X(B, s_cachePlayers, 0)                                                                                  \
    /* game key 6 flips the debug byte */                                                                    \
    X(B, s_debugToggle, 0)                                                                                   \
    /* a virtual screen keeps its own clip in place of the Graphics clip */                                  \
    X(B, s_virtualScreen, 0)                                                                                 \
    /* images made from pixel arrays always process alpha */                                                 \
    X(B, s_rgbImageAlpha, 0)                                                                                 \
    /* any screen effect is built in (bits 0x27F of the effect mask need it or the virtual screen) */        \
    X(B, s_renderEffects, 0)                                                                                 \
    /* the switches of screen effects 0, 1, 7 (grey), 8 (shine), 9, 10 (alpha level) and 11 (scaling) */     \
    X(B, s_renderEffect0, 0)                                                                                 \
    X(B, s_renderEffect1, 0)                                                                                 \
    X(B, s_renderGrey, 0)                                                                                    \
    X(B, s_renderShine, 0)                                                                                   \
    X(B, s_renderEffect9, 0)                                                                                 \
    X(B, s_renderAlpha, 0)                                                                                   \
    X(B, s_renderScale, 0)

#define GAME_CONFIG_TYPE_I std::int32_t
#define GAME_CONFIG_TYPE_B std::int8_t

struct OrvelLibConfig {
#define GAME_CONFIG_MEMBER(kind, name, value) GAME_CONFIG_TYPE_##kind name = 0;
    GAME_ORVEL_CONFIG_SETTINGS(GAME_CONFIG_MEMBER)
#undef GAME_CONFIG_MEMBER

    // Every setting to its default.
    static void staticInit();

    RT_NO_REFERENCE_FIELDS(OrvelLibConfig, rt::NoReferenceBase)
};

// A collection, when the configuration asks for one after data is unloaded
// or released (s_gcAfterUnload).
void collectAfterUnload();

// The running game's configuration.
OrvelLibConfig& config();

// The game screen's size, as the configuration holds it.
inline std::int32_t screenWidth() {
    return config().s_gameScreenWidth;
}
inline std::int32_t screenHeight() {
    return config().s_gameScreenHeight;
}

} // namespace game
