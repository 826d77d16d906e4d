#pragma once

// The demo data set: a program folder made entirely by code, with original
// texts for "Vorlax Rally". Producers each add the data of one area, in a
// fixed order; the same program always makes the same bytes (nothing depends
// on the clock, the machine or chance). A new area of data is a new producer
// in the list of DemoSet.cpp.

#include "game/framework/SpriteSlots.h"
#include "tools/datakit/AppJad.h"
#include "tools/datakit/ByteWriter.h"
#include "tools/datakit/Constants.h"
#include "tools/datakit/EventPackWriter.h"
#include "tools/datakit/FontWriter.h"
#include "tools/datakit/PaintedSprite.h"
#include "tools/datakit/PromoWriter.h"
#include "tools/datakit/RacePictures.h"
#include "tools/datakit/TrackWriter.h"
#include "tools/mkdata/DemoArt.h"
#include "tools/mkdata/ProgramFolder.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace mkdata {

struct Producer {
    std::string_view name;
    void (*produce)(ProgramFolder& folder);
};

// Every producer, in the order they run.
std::span<const Producer> producers();

// The folder every producer has filled, stamped: the application property
// `kDigestProperty` holds `demoSetDigest` of the set made before the stamp,
// which names the generator that made it (the same program always makes the
// same set).
ProgramFolder makeDemoSet();
inline constexpr std::string_view kDigestProperty = "Vorlax-Data-Digest";
// 16 lowercase hex digits of a 64-bit digest over every archive entry and
// file of `folder`, names and bytes.
std::string demoSetDigest(const ProgramFolder& folder);

// The fixed-point pack: its file in the archive (constant string 143 names it
// with a leading '/'), the separator of part numbers (constant string 110),
// and its cosine table, cos(i x 90 / 512 degrees) x 4096 rounded for
// i = 0..512.
inline constexpr std::u16string_view kFixedPointPackFile = u"fixed.pak";
inline constexpr std::u16string_view kPackPartSeparatorText = u".";
inline constexpr int kQuarterCircle = 512;
inline constexpr int kFixedOne = 4096;
std::vector<std::int32_t> demoCosineTable();
void produceFixedPointPack(ProgramFolder& folder);

// The text pack (constant string 144 names it with a leading '/'), one text
// table per entry: the front end's first texts (the soft-key labels, the
// splash), the loading screen's, the menus' and the race's. The menus' and
// the race's tables give many ids different texts: each holds what is drawn
// while it is the loaded one.
inline constexpr std::u16string_view kTextPackFile = u"texts.pak";
enum DemoTextEntry : int { kStartTexts, kLoadingTexts, kMenuTexts, kRaceTexts, kTextEntryCount };
// The tracks' names in the menu table, track 0 first: a race's name is the
// text its event's first path point names.
inline constexpr int kFirstTrackNameText = 239;
// The racers' names in the menu texts: racer id n is named by text
// kFirstRacerNameText + n, past every text the screens draw by a fixed id.
inline constexpr int kFirstRacerNameText = 271;
// The texts of `entry` by id; an id the game does not ask for is empty.
std::vector<std::u16string> demoTexts(int entry);
void produceTextPack(ProgramFolder& folder);
// The sounds: the content-type resource (constant string 129 names it with
// a leading '/'), whose item 0 is the WAVE type every demo sound has, and
// the sound pack of the 24 sounds of DemoSound.h (constant string 130).
inline constexpr std::u16string_view kSoundContentTypesFile = u"soundtypes.bin";
inline constexpr std::u16string_view kSoundPackFile = u"sounds.pak";
inline constexpr std::uint8_t kDemoWaveContentType = 0;
void produceSounds(ProgramFolder& folder);
// The race data: six tracks, their events (a three-lap race of six cars
// each) and zones, the racers and the game tables, each pack in the file
// its constant string names.
inline constexpr std::u16string_view kRacerPackFile = u"racers.pak";
inline constexpr std::u16string_view kGameTablesPackFile = u"tables.pak";
inline constexpr std::u16string_view kTrackPackFile = u"tracks.pak";
inline constexpr std::u16string_view kEventPackFile = u"events.pak";
inline constexpr std::u16string_view kZonePackFile = u"zones.pak";
void produceRaceData(ProgramFolder& folder);
inline constexpr int kDemoTrackCount = 6;
// Track `track`'s model and its event entry, as the packs hold them.
datakit::TrackModel demoTrack(int track);
datakit::EventEntry demoEvent(int track);
// A track's sky and ground colours (0xRRGGBB), as its style table has them,
// and the tarmac of its road pictures.
struct TrackColours {
    std::uint32_t sky, ground, road;
};
TrackColours demoTrackColours(int track);
// The look of a track's road pictures: its tarmac, kerb colours and lanes.
datakit::RoadLook demoRoadLook(int track);
// Adds a pack of `payloads` (each behind a header byte of 0) in one part.
void addPack(ProgramFolder& folder, std::u16string_view file, const std::vector<datakit::Bytes>& payloads);
// The race image pack (constant string 154 names it with a leading '/'):
// the roadside images at entries 0 to 2 (a barrier, a tree, a bend sign),
// then the scenery strip of track t at entry kFirstSceneryImage + t, which
// the track's style names, then track t's two road pictures (the kerb's
// colours exchanged) at kFirstRoadImage + 2 t and + 1, which its image ids
// name: the road images are made from them. Every pixel is opaque or fully transparent: the
// roadside images are cut-outs on a transparent ground, the scenery is
// opaque. Colour channels come in steps of 17, which a loaded image keeps.
inline constexpr std::u16string_view kRaceImagePackFile = u"raceimages.pak";
inline constexpr int kFirstSceneryImage = 3;
inline constexpr int kFirstRoadImage = kFirstSceneryImage + kDemoTrackCount;
inline constexpr std::uint32_t kRoadPictureWidth = 64;
inline constexpr std::uint32_t kRoadPictureHeight = 8;
inline constexpr std::uint32_t kSceneryWidth = 128;
inline constexpr std::uint32_t kSceneryHeight = 32;
struct DemoImage {
    std::uint32_t width = 0, height = 0;
    std::vector<std::uint32_t> pixels; // 0xAARRGGBB, rows top first
    std::uint32_t at(std::uint32_t x, std::uint32_t y) const { return pixels[y * width + x]; }
};
// Entry by entry, the images of the pack.
std::vector<DemoImage> demoRaceImages();
void produceRaceImages(ProgramFolder& folder);
// The TrueType faces every lettering of the set is rendered from: DejaVu
// Sans and DejaVu Sans Bold, kept with mkdata's sources (tools/mkdata/fonts,
// with their licence) so that the set does not change with the fonts a
// machine has installed. Paths into the source tree mkdata was built from.
std::string demoSansFace();
std::string demoSansBoldFace();
// The font pack (constant string 146 names it with a leading '/'): fonts 0
// to 2 at entries 0 to 2, their character maps at entries 3 to 5, made
// from these glyph tables in these styles.
inline constexpr std::u16string_view kFontPackFile = u"fonts.pak";
struct DemoFont {
    datakit::GlyphTable glyphs;
    datakit::FontStyle style;
};
std::vector<DemoFont> demoFonts();
void produceFontPack(ProgramFolder& folder);

// The sprite pack (constant string 145 names it with a leading '/'): entry
// n is slot n of the sprite table (game/framework/SpriteSlots.h). It holds
// what the splash, the title, the menus and the menus' load draw (among
// them the question box with a frame and box points for each count of
// answers, the menus' bar and gauge, the menu items and answers), a car in
// each car slot for the racers' sprite sets, the particles at the cars'
// wheels (with a second palette and an animation of the smoke, which the
// race load reads), the player's car's shadow, the race's display, start
// and touch buttons, and the tracks' backdrops; the race set fills what the
// race load reads beyond them, and the other entries are empty.
inline constexpr std::u16string_view kSpritePackFile = u"sprites.pak";
std::vector<std::optional<datakit::PaintedSprite>> demoSprites();
// A racer's sprite set: the car model rendered at every angle its painters
// draw, palette 0 in the racer's `body` colour (0xRRGGBB).
datakit::PaintedSprite demoCar(std::uint32_t body);
// The shadows under the player's car (`game::kCarShadowSprite`): a frame
// under each body frame for each column of sprite sets, and one under the
// car's animated state (game/framework/CarFrames.h).
datakit::PaintedSprite demoCarShadows();
// The particles at the rear wheels (`game::kWheelParticleSprite`): two
// phases of what each of the seven surfaces throws up, then the two phases
// of tyre smoke (game/framework/CarFrames.h).
datakit::PaintedSprite demoWheelParticles();
// The car in `body` colour turned by `yawDegrees` (0 seen from behind,
// positive turning right) at `pixelsPerMetre`, in full colour with smooth
// edges and lit by a dusk sky, placed against its ground point, for the title.
ArtPiece demoCarArt(std::uint32_t body, double yawDegrees, double pixelsPerMetre);
void produceSpritePack(ProgramFolder& folder);
// What the race load reads beyond the front end and the cars: the race's
// sprites and each track's backdrop (`addDemoRaceSprites` fills the empty
// slots of `demoSprites`), the second sprite table (constant string 155
// names its file with a leading '/') with the slots the tracks' objects
// mark, and the race image pack: `demoRaceImages`, then a road picture for
// each image id a track names past them.
inline constexpr std::u16string_view kObjectSpritePackFile = u"objects.pak";
void addDemoRaceSprites(std::vector<std::optional<datakit::PaintedSprite>>& sprites);
// The splash's pictures, the menus' frame pieces (the header and footer
// bar, the name plate, the settings gauge, the emblem) and the menu items,
// answers and soft keys, painted, into their slots.
void addDemoMenuArt(std::vector<std::optional<datakit::PaintedSprite>>& sprites);
// The race's head-up display and start into their slots: the place and lap
// numbers, the places' endings and finishing banners, the item icons with
// their slot and the player's markers, the collected gauge, the racers'
// helmets, the countdown and the racers' name tags and the touch buttons.
void addDemoHudArt(std::vector<std::optional<datakit::PaintedSprite>>& sprites);
// Track `track`'s backdrop and the sprite slot that holds it: frame 0 a
// panorama as wide as the screen standing on the horizon (its images above
// y = 0), the frames after it overlays that the race cycles over it.
int demoBackdropSlot(int track);
datakit::PaintedSprite demoBackdrop(int track);
void produceObjectSprites(ProgramFolder& folder);
void produceRaceImagePack(ProgramFolder& folder);
// The promotion file (constant string 19 names it with a leading '/') and
// the application properties that give its pages their addresses.
inline constexpr std::u16string_view kPromoFile = u"promo.bin";
datakit::PromoModel demoPromoModel();
// The promotion's pictures, screen images and font, into `model` (whose
// two languages are in place).
void paintPromoArt(datakit::PromoModel& model);
std::vector<datakit::Property> demoPromoProperties();
void producePromotion(ProgramFolder& folder);

// The demo set's text of every catalogued constant string.
std::vector<datakit::ConstantText> demoConstantTexts();

} // namespace mkdata
