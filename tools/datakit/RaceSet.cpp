#include "tools/datakit/RaceSet.h"

#include "game/framework/CarFrames.h"
#include "game/framework/HudFrames.h"
#include "game/framework/RaceIconFrames.h"
#include "game/framework/RaceSceneFrames.h"
#include "game/race/EventType.h"
#include "tools/datakit/PackWriter.h"
#include "tools/datakit/PngWriter.h"
#include "tools/datakit/TrackRing.h"

#include <utility>

namespace datakit {

namespace {

// Constant strings that name the packs.
constexpr int kRacerPack = 153;
constexpr int kRaceImagePack = 154;
constexpr int kObjectSpritePack = 155;
constexpr int kSpritePack = 145;
constexpr int kGameTablesPack = 157;
constexpr int kTrackPack = 158;
constexpr int kEventPack = 159;
constexpr int kZonePack = 161;

// Frame and animation counts the race load reads of each sprite: up to
// the cars' last slide and their fall, the track effects' animations (the
// gates, those under the car, the player's burst and sparks), the icons up
// to the held item's zoomed one, the start up to its zoomed "go".
constexpr int kCarFrames = game::kLastSlideFrame + 1;
constexpr int kCarAnims = game::kCarFallAnim + 1;
constexpr int kGateAnims = game::kTrackEffectAnims;
constexpr int kMarkerFrames = game::kHeldItemIconFrame + 1;
constexpr int kStartFrames = game::kStartZoomFrame + 1;
// Frames of every other sprite: the race's overlays draw up to frame 6
// (the head-up display's panel, the touch controls).
constexpr int kPlainFrames = 8;
// The countdown's digits, one animation each.
constexpr int kCountdownAnims = game::kCountAnims;
// The race paints a car's shadow frame by steering view and sprite-set
// column, and one for a car in its animated state.
constexpr int kShadowFrames = game::kAnimatedCarShadowFrame + 1;
constexpr std::uint32_t kTarmac = 0x505058;

// A sprite of `frames` frames, each a 6 x 4 image in two colours of its
// own, two palettes (the second a darker copy, for the loads that rebuild
// palette 0's alpha from palette 1), and `anims` animations of up to three
// frames each.
PaintedSprite smallSprite(int frames, int anims, std::uint32_t colour) {
    PaintedSprite s;
    s.palettes = {{0x00FF00FF, 0xFF000000 | colour, 0xFF202020},
                  {0x00FF00FF, 0xFF000000 | ((colour >> 1) & 0x7F7F7F), 0xFF101010}};
    for (int f = 0; f < frames; ++f) {
        PaintedFrame frame;
        frame.images = {paintImage(-3, -4, 6, 4, [f](int x, int y) { return (x + y + f) % 3 == 0 ? 2 : 1; })};
        s.frames.push_back(frame);
    }
    for (int a = 0; a < anims; ++a) {
        std::vector<std::uint8_t> anim;
        for (int k = 0; k < 3 && k < frames; ++k)
            anim.push_back(static_cast<std::uint8_t>((a + k) % frames));
        s.anims.push_back(anim);
    }
    return s;
}

TrackModel trackOf(int number, std::uint32_t sky) {
    TrackRing ring;
    if (number == 0)
        ring.straight(60);
    else
        ring.straight(20).right(180, 12).straight(20).right(180, 12);
    TrackModel t = ring.model(900, 300, 2);
    setSkyAndFog(t, sky, 0x808890, 0x707880);
    t.colourA = sky;
    t.colourB = 0xFFFFFF;
    t.colourC = 0xE0C020;
    t.imageIds = {kRaceSetRoadImage};
    t.sceneryImage = kRaceSetSceneryImage;
    t.ambience = {0, 100, 0, 20, 60};
    t.backdropSprite = kRaceSetBackdropSprite;
    t.backdropMode = 1;
    t.backdropBase = 160;
    t.hasDecor = false;
    for (auto& segment : t.segments)
        segment.surface = 1;
    // The marks of the second sprite table: slot 3 animated (a kind-6 shape
    // whose tenth value is set), slot 17 in steps, and slot 40 as plain
    // frames (a start post, kind 0, whose banner, kind 2, carries 0x1000).
    const auto slot = [](int n) { return static_cast<std::uint16_t>(n); };
    t.objects = {{{0, 40}, {{6, {slot(kRaceSetMarkedSlots[0]), 0, 0, 0, 0, 0, 0, 0, 0, 1, 0}}}},
                 {{}, {{6, {slot(kRaceSetMarkedSlots[1]), 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}}}},
                 {{},
                  {{0, {0, 1, static_cast<std::uint8_t>(kRaceSetMarkedSlots[2])}},
                   {2, {0, 0, 300, 120, 0, 0, 0, 0, 0, 0, 0x1000}}}}};
    t.cameraPaths = {{0, 300, 90, 10, 8, 240, 45, 12, 16, 200, 0, 14}};
    t.startRanges = {0, 5, 0, 1};
    t.endRanges = {static_cast<std::int16_t>(t.segments.size() - 5),
                   static_cast<std::int16_t>(t.segments.size() - 1), 0, 1};
    return t;
}

// The type (the game mode it is raced in) and racers of each track's event.
struct EventPlan {
    game::EventType type;
    int racers;
};
constexpr game::EventType kLaps = game::EventType::Laps;
constexpr std::array<EventPlan, kRaceSetTracks> kEvents = {{{kLaps, 3},
                                                            {kLaps, 3},
                                                            {kLaps, 3},
                                                            {game::EventType::Distance, 2},
                                                            {kLaps, 3},
                                                            {game::EventType::Guided, 2}}};

EventEntry eventOf(int track) {
    EventEntry e;
    for (std::uint16_t p = 0; p < 2; ++p)
        e.path.push_back(
            {static_cast<std::uint16_t>(p * 20), 0, 300, static_cast<std::uint8_t>(p), 4096, 0, 0, 1, 0, 0});
    EventVariant variant;
    const EventPlan plan = kEvents[static_cast<std::size_t>(track)];
    variant.row = {game::eventTypeNumber(plan.type),
                   90000,
                   100000,
                   110000,
                   0,
                   3,
                   -1,
                   -1,
                   0,
                   0,
                   0,
                   0,
                   0,
                   0,
                   0,
                   0,
                   plan.racers};
    variant.shorts = {0, 1, 2};
    e.variants = {variant};
    return e;
}

RacerDefinition racerOf(int id) {
    RacerDefinition r;
    r.spriteSet = static_cast<std::uint8_t>(kRaceSetFirstCar + id);
    // The second set, which the menus keep for the racer list, is the next
    // racer's car: a slot the set always holds.
    r.values = {0, static_cast<std::uint8_t>(kRaceSetFirstCar + (id + 1) % kRaceSetRacers),
                static_cast<std::uint8_t>(id)};
    r.nameText = static_cast<std::uint16_t>(200 + id);
    r.speed = static_cast<std::uint16_t>(200 + 5 * id);
    for (int gear = 1; gear <= 4; ++gear) {
        r.speedSteps.push_back(static_cast<std::uint16_t>(r.speed * gear / 4));
        r.timesMs.push_back(static_cast<std::uint16_t>(800 + gear * 400));
    }
    r.braking = 6;
    r.grip88 = 0x0140;
    r.turnDegrees = 50;
    r.weight = 1200;
    r.value11 = 3;
    r.widthProfile = {100, 97, 93, 87, 82, 120, 82, 87, 93, 97, 100};
    r.widthTail = 24;
    return r;
}

std::vector<std::optional<PaintedSprite>> raceSprites() {
    std::vector<std::optional<PaintedSprite>> sprites(kRaceSetSpriteSlots);
    const auto put = [&](int slot, int frames, int anims, std::uint32_t colour) {
        sprites[static_cast<std::size_t>(slot)] = smallSprite(frames, anims, colour);
    };
    const auto plainColour = [](int slot) { return 0x4080C0 + static_cast<std::uint32_t>(slot) * 0x010203; };
    for (int slot : {game::kQuestionBoxSprite,  game::kHudNumberSprite,   game::kGuideSprite,
                     game::kHudPanelSprite,     game::kPlaceSprite,       game::kItemBoxSprite,
                     game::kRaceEffectSpriteA,  game::kPathMarkerSprite,  game::kCoinSprite,
                     game::kHeldItemSprite,     game::kStrikeSprite,      game::kRaceEffectSpriteB,
                     game::kRaceEffectSpriteC,  game::kRaceEffectSpriteD, game::kStopGoSprite,
                     game::kHudFlashSprite,     game::kNitroFlameSprite,  game::kHudFlashFarSprite,
                     game::kRaceEffectSpriteE,  game::kSnowflakeSprite,   game::kRaindropSprite,
                     game::kWeatherStripSprite, game::kRaceTouchSprite})
        put(slot, kPlainFrames, 1, plainColour(slot));
    put(game::kTrackEffectSprite, kGateAnims, kGateAnims, 0xF0F0F0);
    put(game::kRaceIconSprite, kMarkerFrames, 1, 0x40C0F0);
    put(game::kWheelParticleSprite, game::kZoomedParticleFrames, 1, 0xC0A080);
    put(game::kCarShadowSprite, kShadowFrames, 1, plainColour(game::kCarShadowSprite));
    put(game::kStartSprite, kStartFrames, kCountdownAnims, 0xE0E0E0);
    for (int id = 0; id < kRaceSetRacers; ++id)
        put(kRaceSetFirstCar + id, kCarFrames, kCarAnims,
            0xC02020 + static_cast<std::uint32_t>(id) * 0x003040);
    sprites[kRaceSetBackdropSprite] = racePanorama(0x708060);
    return sprites;
}

std::vector<Picture> raceImages() {
    std::vector<Picture> images;
    for (const Picture& lane : laneObjectPictures(16))
        images.push_back(lane);
    RoadLook look;
    look.tarmac = kTarmac;
    look.lanes = 2;
    images.push_back(roadSurfacePicture(look, 64, 8));
    Picture scenery{.width = 32, .height = 8, .pixels = {}};
    for (std::uint32_t i = 0; i < scenery.width * scenery.height; ++i)
        scenery.pixels.push_back(i % 7 == 0 ? 0xFF306030 : 0xFF5A8A4A);
    images.push_back(scenery);
    // The badge the menus' load takes from the same pack.
    Picture badge{.width = 16, .height = 16, .pixels = {}};
    for (std::uint32_t i = 0; i < badge.width * badge.height; ++i)
        badge.pixels.push_back(0xFFF0D040);
    images.push_back(badge);
    return images;
}

} // namespace

PaintedSprite racePanorama(std::uint32_t colour) {
    PaintedSprite s;
    s.palettes = {{0x00FF00FF, 0xFF000000 | colour, 0xFFF0F0F0},
                  {0x00FF00FF, 0xFF000000 | colour, 0xFFD0D0D0}};
    const auto frameOf = [](PaintedImage image) {
        PaintedFrame frame;
        frame.images = {std::move(image)};
        return frame;
    };
    s.frames.push_back(
        frameOf(paintImage(0, -12, 96, 12, [](int x, int y) { return y > 12 - (x % 24) / 3 ? 1 : 0; })));
    s.frames.push_back(frameOf(paintImage(10, -20, 8, 3, [](int, int) { return 2; })));
    s.frames.push_back(frameOf(paintImage(50, -22, 8, 3, [](int, int) { return 2; })));
    return s;
}

RaceSet makeRaceSet() {
    RaceSet set;
    set.tracks.resize(kRaceSetTracks);
    constexpr std::array<std::uint32_t, kRaceSetTracks> skies = {0x6AA8E0, 0, 0, 0xE0A060, 0, 0x9098B0};
    for (int number : kRaceSetTrackNumbers) {
        const auto n = static_cast<std::size_t>(number);
        set.tracks[n] = trackOf(number, skies[n]);
        set.sky[n] = skies[n];
        set.road[n] = kTarmac;
    }
    for (int track = 0; track < kRaceSetTracks; ++track) {
        set.events.push_back(eventOf(track));
        set.zones.push_back({{0, 0, 1}, {10, 1, -1}});
    }
    RecordChunk chunk;
    for (int id = 0; id < kRaceSetRacers; ++id) {
        set.racers.push_back(racerOf(id));
        TableRecord record;
        record.fields = {static_cast<std::uint8_t>(id),
                         static_cast<std::uint8_t>(kRaceSetFirstCar + id),
                         0,
                         0,
                         0,
                         0,
                         0,
                         0,
                         0};
        record.field9 = static_cast<std::uint16_t>(1000 + id);
        chunk.records.push_back(record);
    }
    set.tables.chunks = {chunk};
    for (int race = 0; race < kRaceSetTracks; ++race) {
        const auto r = static_cast<std::int8_t>(race);
        set.tables.races.push_back({{r, r, r, static_cast<std::int8_t>(race + 1), 0, 0, 0, -1}});
    }
    set.sprites = raceSprites();
    set.objectSprites.resize(kRaceSetObjectSlots);
    for (int slot : kRaceSetMarkedSlots)
        set.objectSprites[static_cast<std::size_t>(slot)] = smallSprite(2, 1, 0x806040);
    set.images = raceImages();
    return set;
}

std::vector<RaceSetPack> raceSetPacks(const RaceSet& set) {
    std::vector<RaceSetPack> packs;
    RaceSetPack tracks{kTrackPack, {}, false}, events{kEventPack, {}, false}, zones{kZonePack, {}, false};
    for (int track = 0; track < kRaceSetTracks; ++track) {
        const auto n = static_cast<std::size_t>(track);
        tracks.entries.push_back(set.tracks[n] ? writeTrack(*set.tracks[n]) : Bytes{});
        events.entries.push_back(writeEventEntry(set.events[n]));
        zones.entries.push_back(writeZones(set.zones[n]));
    }
    RaceSetPack racers{kRacerPack, {}, false};
    for (const RacerDefinition& racer : set.racers)
        racers.entries.push_back(writeRacer(racer));
    RaceSetPack images{kRaceImagePack, {}, false};
    for (const Picture& picture : set.images)
        images.entries.push_back(writePng(picture.width, picture.height, picture.pixels));
    packs.push_back(std::move(tracks));
    packs.push_back(std::move(events));
    packs.push_back(std::move(zones));
    packs.push_back(std::move(racers));
    packs.push_back({kGameTablesPack, {writeGameTables(set.tables)}, false});
    packs.push_back(std::move(images));
    packs.push_back({kObjectSpritePack, spritePackEntries(set.objectSprites), true});
    packs.push_back({kSpritePack, spritePackEntries(set.sprites), true});
    return packs;
}

} // namespace datakit
