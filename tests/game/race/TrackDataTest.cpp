// Tracks written by datakit load into the track statics, field by field,
// and no entry, however cut or lying, makes the loader read past it.

#include "game/race/TrackData.h"
#include "classlib/util/Random.h"
#include "game/framework/GameRandom.h"
#include "game/race/EntryReader.h"
#include "tests/game/race/RaceDataFixture.h"

// Its own namespace: this file compiles in one batch with its neighbours.
namespace track_data_test {

namespace {

using datakit::Bytes;
using race_testing::RaceDataTest;
using race_testing::randomTrack;

std::int32_t argb(std::uint32_t rgb) {
    return static_cast<std::int32_t>(0xFF000000u | rgb);
}

std::vector<std::int32_t> ints(rt::IntArray* array) {
    auto span = rt::IntArray::span(array);
    return {span.begin(), span.end()};
}
std::vector<std::int32_t> shorts(rt::ShortArray* array) {
    auto span = rt::ShortArray::span(array);
    return {span.begin(), span.end()};
}
std::vector<std::int32_t> bytes(rt::ByteArray* array) {
    auto span = rt::ByteArray::span(array);
    return {span.begin(), span.end()};
}
template <class T>
std::vector<std::int32_t> widen(const std::vector<T>& values) {
    return {values.begin(), values.end()};
}

// Every static `loadTrack` fills, against the model in the loader's units.
void expectTrack(const datakit::TrackModel& m, bool optionFlag) {
    const game::TrackStatics& t = game::trackStatics();
    ASSERT_EQ(t.s_trackLoaded, 1);
    std::vector<std::int32_t> style(14);
    const int styleSlots[8] = {5, 6, 7, 8, 9, 10, 11, 12};
    for (int i = 0; i < 8; ++i)
        style[styleSlots[i]] = argb(m.styleColours[i]);
    style[0] = m.style0;
    for (int i = 0; i < 3; ++i)
        style[2 + i] = m.styleValues[i];
    style[13] = m.sceneryImage;
    EXPECT_EQ(ints(t.s_trackStyle), style);
    EXPECT_EQ(t.s_trackColourA, argb(m.colourA));
    EXPECT_EQ(t.s_trackColourB, argb(m.colourB));
    EXPECT_EQ(t.s_trackColourC, argb(m.colourC));
    EXPECT_EQ(t.s_trackHeaderValue, m.headerValue);
    EXPECT_EQ(shorts(t.s_trackImageIds), widen(m.imageIds));
    EXPECT_EQ(t.s_roadHalfWidth, m.roadHalfWidth);
    EXPECT_EQ(t.s_roadMargin, m.roadMargin);
    EXPECT_EQ(t.s_laneCount, m.laneByte >> 4);
    EXPECT_EQ(t.s_laneWidth, 2 * m.roadHalfWidth / (m.laneByte >> 4));
    EXPECT_EQ(t.s_trackExtraCount, static_cast<int>(m.extraItems.size()));
    EXPECT_EQ((std::vector<std::int32_t>{t.s_ambienceChanceA, t.s_ambienceThreshold, t.s_ambienceChanceB,
                                         t.s_ambienceRangeLow, t.s_ambienceRangeHigh}),
              widen(std::vector<std::uint8_t>(m.ambience.begin(), m.ambience.end())));
    // Objects.
    ASSERT_EQ(t.s_objectCount, static_cast<int>(m.objects.size()));
    for (std::size_t i = 0; i < m.objects.size(); ++i) {
        const auto& object = m.objects[i];
        auto* points =
            static_cast<rt::ShortArray*>(rt::ObjectArray::get(t.s_objectPoints, static_cast<int>(i)));
        if (object.points.empty())
            EXPECT_EQ(points, nullptr);
        else
            EXPECT_EQ(shorts(points),
                      widen(std::vector<std::int16_t>(object.points.begin(), object.points.end())));
        auto* shapes =
            static_cast<rt::ObjectArray*>(rt::ObjectArray::get(t.s_objectShapes, static_cast<int>(i)));
        ASSERT_EQ(rt::IntArray::get(t.s_objectShapeCounts, static_cast<int>(i)),
                  static_cast<int>(object.shapes.size()));
        for (std::size_t j = 0; j < object.shapes.size(); ++j) {
            const auto& shape = object.shapes[j];
            auto* got = static_cast<rt::ShortArray*>(rt::ObjectArray::get(shapes, static_cast<int>(j)));
            std::vector<std::int32_t> want;
            auto v = [&](std::size_t k) {
                return static_cast<std::int32_t>(static_cast<std::int16_t>(shape.values[k]));
            };
            switch (shape.type) {
            case 0:
                want = {0, v(0), v(1), v(2)};
                break;
            case 1:
            case 3:
                want = {shape.type, 0, v(0), v(1), v(2), v(3), v(4), v(5), v(6)};
                break;
            case 2:
                want = {2, v(10), v(0), v(1), v(2), v(3), v(4), v(5), v(6), v(7), v(8), v(9)};
                break;
            case 6:
                want = {6, v(8), v(1), v(2), v(3), v(4), v(5), v(6), v(0), v(7), v(9), v(10)};
                break;
            default:
                EXPECT_EQ(got, nullptr) << "shape type " << int(shape.type);
                continue;
            }
            EXPECT_EQ(shorts(got), want) << "object " << i << " shape " << j;
        }
    }
    // Sections, side profiles, spots.
    ASSERT_EQ(t.s_sectionCount, static_cast<int>(m.sections.size()));
    for (std::size_t i = 0; i < m.sections.size(); ++i) {
        EXPECT_EQ(rt::IntArray::get(t.s_sectionValues, int(i)), m.sections[i].start);
        EXPECT_EQ(rt::ByteArray::get(t.s_sectionBytes, int(i)), m.sections[i].value);
        auto* colours = static_cast<rt::IntArray*>(rt::ObjectArray::get(t.s_sectionColours, int(i)));
        EXPECT_EQ(ints(colours),
                  (std::vector<std::int32_t>{argb(m.sections[i].colourA), argb(m.sections[i].colourB)}));
    }
    std::vector<std::int32_t> profiles;
    for (const auto& p : m.sideProfiles) {
        std::vector<std::int32_t> row = {
            argb(p.colours[0]), argb(p.colours[1]), argb(p.colours[2]), 0, 0, p.valueA, p.valueB, p.width};
        row.insert(row.end(), p.bytes.begin(), p.bytes.end());
        profiles.insert(profiles.end(), row.begin(), row.end());
    }
    EXPECT_EQ(ints(t.s_sideProfiles), profiles);
    EXPECT_EQ(t.s_spotCount, static_cast<int>(m.spots.size()));
    for (std::size_t i = 0; i < m.spots.size(); ++i) {
        EXPECT_EQ(rt::ByteArray::get(t.s_spotBytes, int(i)), m.spots[i].value);
        EXPECT_EQ(rt::ShortArray::get(t.s_spotValues, int(i)), m.spots[i].position);
    }
    // The ring.
    const int n = static_cast<int>(m.segments.size());
    EXPECT_EQ(t.s_segmentCount, n);
    EXPECT_EQ(t.s_triggersPerSegment, m.triggersPerSegment);
    EXPECT_EQ(t.s_backdropOffset, m.backdropOffset);
    EXPECT_EQ(ints(t.s_targetTimes),
              (std::vector<std::int32_t>{m.targetSeconds[0] * 4096, m.targetSeconds[1] * 4096,
                                         m.targetSeconds[2] * 4096}));
    std::vector<std::int32_t> curve, height, edges, laneA, laneB, shade, decor, attributes, codes, bytesA,
        bytesB;
    for (const auto& s : m.segments) {
        curve.push_back(s.curve * 2048 / 360);
        height.push_back(s.slope * 2048 / 360);
        edges.push_back(s.edgeFlags);
        laneA.push_back(s.laneProfileA);
        laneB.push_back(s.laneProfileB);
        shade.push_back(s.shade);
        decor.push_back(s.decor);
        attributes.push_back(static_cast<std::int8_t>(s.attribute));
        attributes.push_back(static_cast<std::int8_t>(s.surface));
        codes.insert(codes.end(), s.triggers.begin(), s.triggers.end());
        bytesA.push_back(s.byteA);
        bytesB.push_back(s.byteB);
    }
    EXPECT_EQ(ints(t.s_segmentCurve), curve);
    EXPECT_EQ(ints(t.s_segmentHeight), height);
    EXPECT_EQ(bytes(t.s_segmentEdgeFlags), edges);
    EXPECT_EQ(t.s_trackOption, m.option);
    if (!m.trackShorts.empty()) {
        EXPECT_EQ(shorts(t.s_trackShorts), widen(m.trackShorts));
    }
    if (!m.trackInts.empty()) {
        EXPECT_EQ(ints(t.s_trackInts), m.trackInts);
    }
    if (!m.trackIntPairs.empty()) {
        EXPECT_EQ(ints(t.s_trackIntPairs), m.trackIntPairs);
    }
    EXPECT_EQ(ints(t.s_segmentLaneProfileA), laneA);
    EXPECT_EQ(ints(t.s_segmentLaneProfileB), laneB);
    EXPECT_EQ(t.s_shadeValue, m.shadeValue);
    EXPECT_EQ(bytes(t.s_segmentShade), shade);
    if (m.hasDecor) {
        EXPECT_EQ(bytes(t.s_segmentDecor), decor);
    }
    EXPECT_EQ(bytes(t.s_segmentAttributes), attributes);
    EXPECT_EQ(shorts(t.s_triggerCodes), codes);
    EXPECT_EQ(bytes(t.s_segmentBytesA), bytesA);
    EXPECT_EQ(bytes(t.s_segmentBytesB), bytesB);
    if (!m.cameraPaths.empty()) {
        ASSERT_EQ(t.s_cameraPaths->length(), static_cast<int>(m.cameraPaths.size()));
        for (std::size_t i = 0; i < m.cameraPaths.size(); ++i)
            EXPECT_EQ(shorts(static_cast<rt::ShortArray*>(rt::ObjectArray::get(t.s_cameraPaths, int(i)))),
                      widen(m.cameraPaths[i]));
    }
    if (optionFlag) {
        std::vector<std::int32_t> triples;
        for (const auto& triple : m.optionTriples)
            triples.insert(triples.end(), {static_cast<std::int16_t>(triple.value), triple.a, triple.b});
        EXPECT_EQ(shorts(t.s_optionTriples), triples);
    } else {
        EXPECT_EQ(t.s_optionTriples, nullptr);
    }
    EXPECT_EQ(t.s_backdropSprite, m.backdropSprite);
    EXPECT_EQ(t.s_backdropMode, m.backdropMode);
    EXPECT_EQ(t.s_backdropBase, m.backdropBase);
    EXPECT_EQ(t.s_backdropBase2, m.backdropBase);
    for (auto [got, want] :
         {std::pair{t.s_startRanges, &m.startRanges}, std::pair{t.s_endRanges, &m.endRanges}}) {
        if (want->empty())
            continue;
        std::vector<std::int32_t> values = widen(*want);
        values.resize(4 * want->size());
        EXPECT_EQ(ints(got), values);
    }
    EXPECT_EQ(t.s_backdropSprite2, -1);
    EXPECT_EQ(bytes(t.s_segmentFlagsA), std::vector<std::int32_t>(n));
    EXPECT_EQ(ints(t.s_segmentState), std::vector<std::int32_t>(n));
}

struct RandomTrackCase {
    int segments;
    int triggers;
    bool decor;
    bool optionFlag;
};

TEST_F(RaceDataTest, RandomTracksLoadAsTheirModels) {
    const RandomTrackCase cases[] = {{1, 0, false, false},
                                     {7, 3, true, true},
                                     {300, 8, true, false},
                                     {2000, 2, false, true},
                                     {2000, 0, true, true}};
    std::mt19937 rng(29);
    std::vector<datakit::TrackModel> models;
    std::vector<Bytes> entries;
    for (const RandomTrackCase& c : cases) {
        models.push_back(randomTrack(rng, c.segments, c.triggers, c.decor));
        entries.push_back(datakit::writeTrack(models.back()));
    }
    putPacks({{"tracks.pak", entries}});
    for (std::size_t i = 0; i < models.size(); ++i) {
        const RandomTrackCase& c = cases[i];
        const datakit::TrackModel& model = models[i];
        SCOPED_TRACE(testing::Message() << "N " << c.segments << " K " << c.triggers);
        game::trackStatics().s_raceOptionFlag = c.optionFlag;
        game::trackStatics().s_optionTriples = nullptr;
        lib::java_util_Random::seedSharedRandom(5);
        game::loadTrack(static_cast<std::int32_t>(i));
        EXPECT_TRUE(log.lines().empty()) << log.lines().front();
        expectTrack(model, c.optionFlag);
        // The draws, replayed from the same seed.
        lib::java_util_Random::seedSharedRandom(5);
        std::int32_t value = game::getRandom(model.ambience[3], model.ambience[4]);
        (void)game::getRandom(2, 5);
        (void)game::getRandom(0, 100);
        EXPECT_EQ(game::trackStatics().s_ambienceValue, value);
        EXPECT_EQ(game::trackStatics().s_trackAmbienceLevel, game::getRandom(50, 150));
    }
}

// One small track whose fields the edge cases change.
datakit::TrackModel smallTrack() {
    std::mt19937 rng(7);
    datakit::TrackModel model = randomTrack(rng, 4, 1, true);
    return model;
}

TEST_F(RaceDataTest, TrackEdgeValues) {
    datakit::TrackModel model = smallTrack();
    model.laneByte = 0x40;
    model.roadHalfWidth = 200;
    model.segments[0].curve = static_cast<std::int8_t>(0xF0);
    model.segments[1].slope = -1; // bits 7..11 = 31
    model.targetSeconds = {60, 90, 120};
    model.optionTriples.assign(5, {0xFFFF, 0xFF, 0xFF});
    model.objects[0].shapes = {{4, {}}, {0, {1, 2, 3}}};
    model.backdropBase = -1234;
    std::vector<Bytes> entries(6, datakit::writeTrack(model));
    datakit::TrackModel withoutTriples = model;
    withoutTriples.optionTriples.clear();
    entries.push_back(datakit::writeTrack(withoutTriples));
    putPacks({{"tracks.pak", entries}});
    game::trackStatics().s_raceOptionFlag = 0;
    game::loadTrack(2);
    const game::TrackStatics& t = game::trackStatics();
    ASSERT_EQ(t.s_trackLoaded, 1);
    EXPECT_EQ(t.s_laneCount, 4);
    EXPECT_EQ(t.s_laneWidth, 100);
    EXPECT_EQ(t.s_firstLaneX, -150);
    EXPECT_EQ(rt::IntArray::get(t.s_segmentCurve, 0), -91);
    EXPECT_EQ(rt::IntArray::get(t.s_segmentHeight, 1), -5);
    EXPECT_EQ(ints(t.s_targetTimes), (std::vector<std::int32_t>{245760, 368640, 491520}));
    // Five triples with the flag clear are skipped as 20 bytes: what follows reads right.
    EXPECT_EQ(t.s_optionTriples, nullptr);
    EXPECT_EQ(t.s_backdropBase, -1234);
    // A shape of type 4 takes its type byte alone and leaves its slot null.
    auto* shapes = static_cast<rt::ObjectArray*>(rt::ObjectArray::get(t.s_objectShapes, 0));
    EXPECT_EQ(rt::ObjectArray::get(shapes, 0), nullptr);
    EXPECT_EQ(shorts(static_cast<rt::ShortArray*>(rt::ObjectArray::get(shapes, 1))),
              (std::vector<std::int32_t>{0, 1, 2, 3}));
    // Tracks 0, 3 and 5 force their ambience whatever the draw.
    for (auto [track, ambience] : {std::pair{0, 1}, std::pair{3, 0}, std::pair{5, 0}}) {
        for (std::int64_t seed : {1, 2, 3, 4}) {
            lib::java_util_Random::seedSharedRandom(seed);
            game::loadTrack(track);
            EXPECT_EQ(t.s_trackAmbience, ambience) << "track " << track;
            EXPECT_EQ(t.s_trackModeValue, track == 0 ? 23 : -1);
        }
    }
    // A track without triples clears the option flag.
    game::trackStatics().s_raceOptionFlag = 1;
    game::loadTrack(6);
    EXPECT_EQ(t.s_raceOptionFlag, 0);
}

// The ambience range is drawn from as it stands: one that does not rise
// keeps its low end as the value and leaves the shared generator where a
// rising one would, so the draws after the load do not depend on it.
TEST_F(RaceDataTest, AnAmbienceRangeThatDoesNotRiseKeepsTheDrawsInStep) {
    std::vector<Bytes> entries;
    for (auto [low, high] : {std::pair{20, 60}, std::pair{60, 20}}) {
        datakit::TrackModel model = smallTrack();
        model.ambience = {15, 70, 10, static_cast<std::uint8_t>(low), static_cast<std::uint8_t>(high)};
        entries.push_back(datakit::writeTrack(model));
    }
    putPacks({{"tracks.pak", entries}});
    std::vector<std::int64_t> after;
    for (std::int32_t track = 0; track < 2; ++track) {
        lib::java_util_Random::seedSharedRandom(9);
        game::loadTrack(track);
        after.push_back(lib::java_util_Random::shared()->state());
    }
    EXPECT_EQ(after[0], after[1]);
    EXPECT_EQ(game::trackStatics().s_ambienceValue, 60);
}

TEST_F(RaceDataTest, EveryPrefixOfATrackStopsInsideIt) {
    datakit::TrackModel model = smallTrack();
    Bytes entry = datakit::writeTrack(model);
    for (std::size_t length = game::kWireModelBytes; length <= entry.size(); ++length) {
        game::EntryReader reader(
            std::vector<std::uint8_t>(entry.begin(), entry.begin() + static_cast<long>(length)),
            "track pack");
        reader.skip(game::kWireModelBytes);
        bool loaded = game::loadTrackEntry(reader, 1);
        ASSERT_EQ(loaded, length == entry.size()) << "prefix of " << length << " bytes";
        EXPECT_EQ(game::trackStatics().s_trackLoaded, loaded ? 1 : 0);
        EXPECT_LE(reader.position(), reader.size());
    }
    // Through the pack: a cut entry stays not loaded.
    entry.resize(entry.size() - 3);
    putPacks({{"tracks.pak", {entry}}});
    game::loadTrack(0);
    EXPECT_EQ(game::trackStatics().s_trackLoaded, 0);
    EXPECT_TRUE(log.contains("track 0 is not loaded"));
}

TEST_F(RaceDataTest, BrokenTrackValuesAreLoggedAndSurvived) {
    datakit::TrackModel model = smallTrack();
    // A lane nibble of 0 takes one lane.
    model.laneByte = 0x07;
    model.roadHalfWidth = 300;
    // A type-6 shape naming flag entry 200 is skipped.
    model.objects[0].shapes = {{6, {200, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0}}};
    Bytes entry = datakit::writeTrack(model);
    // A segment count whose bytes do not fit stops the load, naming pack and
    // field: find the count by writing one more segment and comparing.
    Bytes lying = entry;
    datakit::TrackModel longer = model;
    longer.segments.push_back(model.segments[0]);
    Bytes other = datakit::writeTrack(longer);
    std::size_t countAt = 0;
    while (countAt < entry.size() && entry[countAt] == other[countAt])
        ++countAt;
    ASSERT_LT(countAt + 1, entry.size());
    lying[countAt] = 0xFF;
    lying[countAt + 1] = 0xFF;
    // A ring of no segments: the race indexes the segment every position wraps to.
    Bytes empty = entry;
    empty[countAt] = 0;
    empty[countAt + 1] = 0;
    putPacks({{"tracks.pak", {entry, lying, empty}}});
    game::loadTrack(0);
    const game::TrackStatics& t = game::trackStatics();
    EXPECT_EQ(t.s_trackLoaded, 1);
    EXPECT_EQ(t.s_laneCount, 1);
    EXPECT_EQ(t.s_laneWidth, 600);
    EXPECT_TRUE(log.contains("lane count of 0"));
    EXPECT_TRUE(log.contains("object flag entry 200"));

    game::loadTrack(1);
    EXPECT_EQ(t.s_trackLoaded, 0);
    EXPECT_TRUE(log.contains("track pack: segments: a count of 65535"));

    game::loadTrack(2);
    EXPECT_EQ(t.s_trackLoaded, 0);
    EXPECT_TRUE(log.contains("track pack: segments: the ring has none"));
}

TEST_F(RaceDataTest, WireModelsAreScaledIntoTheirSlots) {
    datakit::TrackModel model = smallTrack();
    model.wireModel[0] = {1000, -3, 5};
    model.wireModel[35] = {65535, 127, -128};
    putPacks({{"tracks.pak", std::vector<Bytes>(6, datakit::writeTrack(model))}});
    game::TrackStatics& t = game::trackStatics();
    t.s_wireModelSize = 3;
    t.s_wireModelUnit = 2; // S = 6144
    game::loadTrackArrays(4);
    game::loadTrackArrays(6);
    EXPECT_TRUE(log.contains("wire model of track 6 is outside 0..5"));
    auto* slot = static_cast<rt::ObjectArray*>(rt::ObjectArray::get(t.s_wireModels, 4));
    auto part = [&](int i) { return static_cast<rt::IntArray*>(rt::ObjectArray::get(slot, i)); };
    EXPECT_EQ(rt::IntArray::get(part(0), 0), 1000);
    EXPECT_EQ(rt::IntArray::get(part(1), 0), -3 * 6144);
    EXPECT_EQ(rt::IntArray::get(part(2), 0), 5 * 6144);
    EXPECT_EQ(rt::IntArray::get(part(0), 35), 65535);
    EXPECT_EQ(rt::IntArray::get(part(2), 35), -128 * 6144);
    EXPECT_EQ(rt::ObjectArray::get(static_cast<rt::ObjectArray*>(rt::ObjectArray::get(t.s_wireModels, 3)), 0),
              nullptr);
}

} // namespace

} // namespace track_data_test
