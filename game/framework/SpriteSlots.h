#pragma once

// The sprite table's slots: every slot the game loads, draws or measures,
// named once by what it holds. Entry n of the sprite pack is loaded into
// slot n, so tools/mkdata, which writes the pack, fills its entries by these
// names too. The frames the game draws in them are named beside this file,
// a header per family (MenuFrames.h, HudFrames.h, RaceIconFrames.h,
// CarFrames.h, RaceSceneFrames.h).
//
// The staged loader frees the menus' sprites before a race and loads the
// race's, and back. A few slots are read by both sides for different
// things, each from the frames it needs (the pack has one entry for the
// slot): such a slot has a name for each side, declared together.
//
// A plain enum with a fixed type rather than an enum class: the loaders,
// painters and caches take a slot as an int32_t, mixed with slots that come
// from data (the racers' sprite sets, a track's backdrop, the race's own
// sprite ids) and with walks over every slot by number; an enum class would
// need a cast at each of those calls.

#include <cstdint>

namespace game {

enum SpriteSlot : std::int32_t {
    // The splash's two pictures (MenuFrames.h), drawn on white; freed when
    // the splash ends and again by the race load.
    kSplashSprite = 0,
    // The title screen: its background picture and the game's logo over it.
    kTitleBackgroundSprite = 1,
    kTitleLogoSprite = 2,
    // Loaded with the front end and freed before a race; the menus draw
    // their header from `kMenuFrameSprite`.
    kMenuHeaderSprite = 3,
    // The question box: a frame per count of answers, with the points the
    // answers and the title are placed by; in a race also the results'
    // panel.
    kQuestionBoxSprite = 4,
    // The menus' background picture.
    kMenuBackgroundSprite = 5,
    // Loaded with the front end; no screen draws it.
    kMenuHighlightSprite = 6,
    // The menus' arrows (options, lists, page turns).
    kMenuArrowSprite = 7,
    // The menus' frame pieces: the header and footer bar, the name plate,
    // the gauge and the emblem.
    kMenuFrameSprite = 8,
    // Loaded for the menus; no screen draws it.
    kMenuItemPlateSprite = 9,
    // The championship's cup pictures, a frame per cup, with a grey palette
    // made at the load for a locked cup; loaded again for the next race of a
    // championship.
    kCupPictureSprite = 10,
    // The bonus menu's three pictures, locked ones in the grey palette.
    kBonusPictureSprite = 11,
    // In a race: the place and lap numbers.
    kHudNumberSprite = 12,
    // Loaded for the guided race (game mode 6); no painter draws it.
    kGuideSprite = 13,
    // One slot, two uses. In the menus: icons, loaded and not drawn. In a
    // race: the display's panels behind the target rows and the big time.
    kMenuIconSprite = 14,
    kHudPanelSprite = kMenuIconSprite,
    // In a race: the finishing banners, the place marks, the medals and the
    // endings beside the place number.
    kPlaceSprite = 15,
    // Slots 16 to 24 hold nothing the game names: a track's data names its
    // backdrop's slot (TrackData.h), and data may choose these.
    kFirstFreeSprite = 16,
    kLastFreeSprite = 24,
    // One slot, two uses. In the menus: the reference list's pictures. In a
    // race: the track's effects (the gates, the players under the car); a
    // track may take it for its backdrop as well.
    kReferencePictureSprite = 25,
    kTrackEffectSprite = kReferencePictureSprite,
    // In a race: the item icons, the item slot and the players' markers.
    kRaceIconSprite = 26,
    // In a race: the item boxes on the road.
    kItemBoxSprite = 27,
    // In a race: an effect the load zooms whole, frame by frame, and frees;
    // the animation players that the race's events start draw its caches,
    // no painter names it. B to E are more of them.
    kRaceEffectSpriteA = 28,
    // In a race: the path marker over a car that follows the path.
    kPathMarkerSprite = 29,
    // In a race: the collected gauge and its coin plate, and the coins on
    // the road.
    kCoinSprite = 30,
    // In a race: the pictures of held items over the cars.
    kHeldItemSprite = 31,
    // In a race: a struck car's strike, drawn at a fixed translucency.
    kStrikeSprite = 32,
    // In a race: effects like `kRaceEffectSpriteA`.
    kRaceEffectSpriteB = 33,
    kRaceEffectSpriteC = 34,
    kRaceEffectSpriteD = 35,
    // In a race of event type 4: the stop-and-go signs, a frame per stage.
    kStopGoSprite = 39,
    // The racers' cars, a sprite set each (CarFrames.h): a racer's
    // definition names its set and a second set by slot. The cars of
    // `kCarSprite0`, 2, 4, 6 and 8 give their driver a driver kind of its
    // own (`driverKindOf`); those of 0, 4 and 8 have shadows and frame
    // offsets of their own.
    kCarSprite0 = 43,
    kCarSprite1 = 44,
    kCarSprite2 = 45,
    kCarSprite3 = 46,
    kCarSprite4 = 47,
    // The car that rides higher towards its top speed (the top-speed lag).
    kLagSpriteSet = kCarSprite4,
    kCarSprite5 = 48,
    kCarSprite6 = 49,
    kCarSprite7 = 50,
    kCarSprite8 = 51,
    // One slot, two uses. In the menus: a car, when a racer's definition
    // names it. In a race: the flash overlays over the player's car.
    kCarSprite9 = 52,
    kHudFlashSprite = kCarSprite9,
    // In a race: the particles at the player's rear wheels and the crash's
    // smoke.
    kWheelParticleSprite = 53,
    // In a race: the player's car's shadows.
    kCarShadowSprite = 55,
    // In a race: the nitro flames at the exhausts.
    kNitroFlameSprite = 56,
    // In a race: the flash overlays drawn away from the car.
    kHudFlashFarSprite = 57,
    // In a race: an effect like `kRaceEffectSpriteA`.
    kRaceEffectSpriteE = 58,
    // In a race: the weather's snowflakes and raindrops (the particle weather)
    // and its strip (the strip weather).
    kSnowflakeSprite = 59,
    kRaindropSprite = 60,
    kWeatherStripSprite = 61,
    // Loaded for the menus and freed before a race; no screen draws it.
    kMenuSymbolSprite = 62,
    // The racers' badges: the menus' lists and cups, the results' rows and
    // the race's racer strip. Its cache request also builds its caches and
    // then drops its pixels (`setSlotValue`).
    kRacerBadgeSprite = 63,
    // In a race: the countdown, the racers' name tags and the zoomed "go".
    kStartSprite = 64,
    // Menu items, question answers, the soft keys and the pause button.
    kMenuItemSprite = 65,
    // In a race: the touch buttons, left, right and the action button.
    kRaceTouchSprite = 66,
};

// The sprite table's length.
inline constexpr std::int32_t kSpriteCount = 67;

} // namespace game
