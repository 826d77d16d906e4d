#pragma once

// The catalogue of constant strings: every number that code reads through
// `StaticClass::getConstantString`, with the role of the text it finds there.
// The texts themselves belong to the data set ("/constants.bin" in the
// resource archive, string i being constant i); the numbers belong to the
// code, which was translated with them as its string literals, so they never
// change. Code names a constant string only through this catalogue, and
// datakit's constants writer lays its texts out by it, so a test's data set
// and the demo data set put each text where the code looks for it.
//
// Some numbers serve more than one purpose (14 is the default message, the
// record-store vendor and the text of a missing zone ID); each is listed once,
// with all its uses. A range names its first number and its length.
// The game's own numbers join the catalogue with the code that reads them.

#include <cstdint>
#include <iterator>
#include <string_view>

namespace rt::constants {

// The content type of the game's sound players (the sounds are WAVE).
inline constexpr std::int32_t kSoundContentType = 6;
// The text in front of what ended the sound engine's thread.
inline constexpr std::int32_t kSoundThreadFailed = 12;
// The message of every throwable made without one; also the vendor and suite
// name of a record store opened by name alone (the ordinary file form when it
// is empty), the text in front of the index of a bad record enumeration, the
// text of a time zone without an ID in a Date's text, and the text the game
// shows in place of a text whose bytes are malformed.
inline constexpr std::int32_t kDefaultMessage = 14;
// The promotion screen's data file (a resource name).
inline constexpr std::int32_t kPromoDataFile = 19;
// The promotion's "off" words, compared in upper case: a value equal to the
// first is kept as a field's value but shows no link button; the second (like
// the digit 0) switches a page off.
inline constexpr std::int32_t kPromoNoneWord = 29;
inline constexpr std::int32_t kPromoOffWord = 30;
// The digit 0; as the whole value of the sound-question property it skips
// the game's question whether to play sound.
inline constexpr std::int32_t kZeroDigit = 31;
// Between a key and its value in a Hashtable's text.
inline constexpr std::int32_t kHashtableKeyValue = 32;
// Between the fields of a promotion property ("key=value" fields).
inline constexpr std::int32_t kPromoFieldSeparator = 33;
// The promotion field key of the portal page; its value is taken as it is.
inline constexpr std::int32_t kPromoPortalKey = 34;
// The place in an address template where a field's value goes.
inline constexpr std::int32_t kPromoTemplateSlot = 35;
// The prefix of a per-page promotion property (pages read one property each).
inline constexpr std::int32_t kPromoPagePropertyPrefix = 36;
// Put before a page's two-digit number in an address with a language.
inline constexpr std::int32_t kPromoPageNumberPrefix = 37;
// Put after the portal address of a list's last row in an address with a language.
inline constexpr std::int32_t kPromoPortalRowSuffix = 38;
// The promotion property of the portal fields.
inline constexpr std::int32_t kPromoPortalProperty = 39;
// A list row of this name links to the portal address.
inline constexpr std::int32_t kPromoPortalRowName = 41;
// The promotion font variant whose glyph rows are wide (16-bit x and y).
inline constexpr std::int32_t kPromoWideFontVariant = 44;
// The promotion properties: the address base (48 marks the language inside
// it), the page fields, the portal address, the portal text, the property
// page's address and the fields of list 0 and list 1.
inline constexpr std::int32_t kPromoAddressBaseProperty = 47;
inline constexpr std::int32_t kPromoLanguageMarker = 48;
inline constexpr std::int32_t kPromoPagesProperty = 49;
inline constexpr std::int32_t kPromoPortalAddressProperty = 50;
inline constexpr std::int32_t kPromoPortalTextProperty = 51;
inline constexpr std::int32_t kPromoFeaturedProperty = 53;
inline constexpr std::int32_t kPromoList0Property = 54;
inline constexpr std::int32_t kPromoList1Property = 55;
// What a wrapped text puts where a line was wrapped (a newline).
inline constexpr std::int32_t kLineSeparator = 62;
// The name of the character set of the game's texts; texts in it are read by
// the game's own UTF-8 decoder.
inline constexpr std::int32_t kTextEncoding = 63;
// The two languages that have a second portal picture.
inline constexpr std::int32_t kPromoPortalLanguages = 64;
inline constexpr std::int32_t kPromoPortalLanguageCount = 2;
// The language parameter of a chosen address; the two characters after it
// are replaced by the language code.
inline constexpr std::int32_t kPromoLanguageParameter = 66;
// The record store whose existence records a visit of the promotion screen.
inline constexpr std::int32_t kPromoVisitStore = 67;
// The language written without spaces, and the break sign put in the middle
// of its unbreakable texts.
inline constexpr std::int32_t kPromoUnspacedLanguage = 81;
inline constexpr std::int32_t kPromoMiddleBreak = 82;
// The name of a player's volume control.
inline constexpr std::int32_t kVolumeControlName = 88;
// Record stores: the message of a full store, the separator of the folder
// path, the prefix and suffix of a store's index file, the message of a
// failed write, and what joins a store's file name to a record id.
inline constexpr std::int32_t kRecordStoreFull = 98;
inline constexpr std::int32_t kRecordStorePathSeparator = 99;
inline constexpr std::int32_t kRecordStorePrefix = 100;
inline constexpr std::int32_t kRecordStoreSuffix = 101;
inline constexpr std::int32_t kRecordStoreWriteFailed = 102;
inline constexpr std::int32_t kRecordStoreRecordInfix = 103;
// The game's orientation: the application property it reads, and the value
// of it that draws the game's screen upright instead of turned by a quarter.
inline constexpr std::int32_t kOrientationProperty = 104;
inline constexpr std::int32_t kOrientationUpright = 105;
// Between a count and its target in the race's head-up display ("3/10").
inline constexpr std::int32_t kHudCountSeparator = 106;
// What joins a pack's name to the number of one of its part files; also the
// decimal point of the frame-rate display.
inline constexpr std::int32_t kPackPartSeparator = 110;
// The text in front of the reason when a saved record cannot be read.
inline constexpr std::int32_t kRecordReadFailed = 112;
// The application property that can skip the sound question.
inline constexpr std::int32_t kSoundQuestionProperty = 127;
// The label in front of the game's debug number.
inline constexpr std::int32_t kDebugNumberLabel = 128;
// The resource of the sound channels' content types, and the pack of the
// game's sounds.
inline constexpr std::int32_t kSoundContentTypesResource = 129;
inline constexpr std::int32_t kSoundPack = 130;
// The record stores of the saved progress: the event results and progress
// values, the event records, and the unlock state.
inline constexpr std::int32_t kEventResultsStore = 135;
inline constexpr std::int32_t kEventRecordsStore = 136;
inline constexpr std::int32_t kUnlocksStore = 137;
// The frame-rate display: the text in front of the frame's rate, in front of
// the average rate, and in front of the player's car value.
inline constexpr std::int32_t kFpsLabel = 140;
inline constexpr std::int32_t kFpsAverageLabel = 141;
inline constexpr std::int32_t kFpsCarLabel = 142;
// The pack of the fixed-point tables (the cosine table and its companion),
// and the game's text pack.
inline constexpr std::int32_t kFixedPointPack = 143;
inline constexpr std::int32_t kTextPack = 144;
// The pack of the front end's and the race's sprites: entry n is slot n of
// the sprite table.
inline constexpr std::int32_t kSpritePack = 145;
// The pack of the bitmap fonts: the three font sprites at entries 0 to 2,
// their character maps at entries 3 to 5.
inline constexpr std::int32_t kFontPack = 146;
// The race's packs: racer definitions, race images, the game tables, the
// tracks, the events and the track zones.
inline constexpr std::int32_t kRacerPack = 153;
inline constexpr std::int32_t kRaceImagePack = 154;
// The pack of the second sprite table: entry n is its slot n (the track
// objects that the object flag table marks).
inline constexpr std::int32_t kObjectSpritePack = 155;
inline constexpr std::int32_t kGameTablesPack = 157;
inline constexpr std::int32_t kTrackPack = 158;
inline constexpr std::int32_t kEventPack = 159;
// In front of the objects collected since the guided race's step began.
inline constexpr std::int32_t kGuideCollectedLabel = 160;
inline constexpr std::int32_t kZonePack = 161;
// In front of the player's collected count beside the head-up display's gauge.
inline constexpr std::int32_t kHudCollectedLabel = 163;
// In front of what stopped the weather layer (the text is built, not shown).
inline constexpr std::int32_t kWeatherFailed = 164;
// The message of a Vector made with a negative capacity.
inline constexpr std::int32_t kNegativeCapacity = 182;
// Time zones: the message of a daylight saving amount that is not positive,
// the text in front of a bad month, the ID of the first built-in zone (also
// the start of a custom zone's ID), and the separator of hours and minutes in
// a custom ID.
inline constexpr std::int32_t kNonPositiveDaylightSavings = 183;
inline constexpr std::int32_t kBadMonth = 184;
inline constexpr std::int32_t kGmtZone = 185;
inline constexpr std::int32_t kZoneIdSeparator = 186;
// The texts in front of a bad value of a daylight rule, five per rule in the
// order month, time, day of week, week, day: the start rule's, then the end
// rule's.
inline constexpr std::int32_t kStartRuleMessages = 187;
inline constexpr std::int32_t kEndRuleMessages = 192;
inline constexpr std::int32_t kRuleMessageCount = 5;
// The ID of the second built-in zone.
inline constexpr std::int32_t kSecondZone = 197;
// Timer messages: a negative delay, a period not above 0, a negative time, a
// cancelled timer, a task scheduled twice.
inline constexpr std::int32_t kNegativeDelay = 198;
inline constexpr std::int32_t kNonPositivePeriod = 199;
inline constexpr std::int32_t kNegativeTime = 200;
inline constexpr std::int32_t kTimerCancelled = 201;
inline constexpr std::int32_t kTaskNotNew = 202;
// The message of `Random.nextInt` with a bound not above 0.
inline constexpr std::int32_t kBadRandomBound = 203;
// A Hashtable's text: the opening, the separator of entries, the closing; and
// the message of an exhausted enumerator.
inline constexpr std::int32_t kHashtableOpen = 204;
inline constexpr std::int32_t kHashtableEntrySeparator = 205;
inline constexpr std::int32_t kHashtableClose = 206;
inline constexpr std::int32_t kNoMoreElements = 207;
// The text of a Date without a Calendar.
inline constexpr std::int32_t kNoCalendar = 208;
// A Date's text: the month names, January first, and the day names, Sunday first.
inline constexpr std::int32_t kMonthNames = 209;
inline constexpr std::int32_t kMonthNameCount = 12;
inline constexpr std::int32_t kDayNames = 221;
inline constexpr std::int32_t kDayNameCount = 7;
// The text in front of the index of an `ArrayIndexOutOfBoundsException(int)`.
inline constexpr std::int32_t kArrayIndexMessage = 229;
// The one built-in system property: its key and its value.
inline constexpr std::int32_t kPlatformPropertyKey = 233;
inline constexpr std::int32_t kPlatformPropertyValue = 234;
// The texts of true and false (Boolean and PrintStream).
inline constexpr std::int32_t kTrue = 241;
inline constexpr std::int32_t kFalse = 242;
// Audio clips: the content types of clip types 3, 1 and 2 (a clip's player is
// always made with the first), and the texts in front of a bad type, loop
// count and volume.
inline constexpr std::int32_t kClipContentTypes = 243;
inline constexpr std::int32_t kClipContentTypeCount = 3;
inline constexpr std::int32_t kBadClipType = 246;
inline constexpr std::int32_t kBadClipLoop = 247;
inline constexpr std::int32_t kBadClipVolume = 248;

// One entry of the catalogue: `count` numbers from `first` with one role.
struct Entry {
    std::int32_t first;
    std::int32_t count;
    std::string_view name;
    std::string_view role;
};

// Every catalogued number, in rising order, no two entries overlapping.
inline constexpr Entry kCatalogue[] = {
    {kSoundContentType, 1, "sound content type", "content type of the sound engine's players"},
    {kSoundThreadFailed, 1, "sound thread failed", "in front of what ended the sound engine's thread"},
    {kDefaultMessage, 1, "default message",
     "exception message; record-store vendor; missing zone ID; malformed game text"},
    {kPromoDataFile, 1, "promotion data file", "resource of the promotion pages"},
    {kPromoNoneWord, 1, "promotion none word", "a field value kept without a link button"},
    {kPromoOffWord, 1, "promotion off word", "a value that switches a promotion page off"},
    {kZeroDigit, 1, "zero digit", "the digit 0; the sound-question property's value that skips it"},
    {kHashtableKeyValue, 1, "hashtable key-value", "between a key and its value"},
    {kPromoFieldSeparator, 1, "promotion field separator", "between the fields of a promotion property"},
    {kPromoPortalKey, 1, "promotion portal key", "field key of the portal page"},
    {kPromoTemplateSlot, 1, "promotion template slot", "where a field's value goes in an address"},
    {kPromoPagePropertyPrefix, 1, "promotion page property prefix", "prefix of a per-page property"},
    {kPromoPageNumberPrefix, 1, "promotion page number prefix", "before a page's number in an address"},
    {kPromoPortalRowSuffix, 1, "promotion portal row suffix",
     "after the portal address of a list's last row"},
    {kPromoPortalProperty, 1, "promotion portal property", "property of the portal fields"},
    {kPromoPortalRowName, 1, "promotion portal row name", "a list row linking to the portal address"},
    {kPromoWideFontVariant, 1, "promotion wide font", "font variant with wide glyph rows"},
    {kPromoAddressBaseProperty, 1, "promotion address base property", "property of the address template"},
    {kPromoLanguageMarker, 1, "promotion language marker", "marks an address template that takes a language"},
    {kPromoPagesProperty, 1, "promotion pages property", "property of the regular pages' fields"},
    {kPromoPortalAddressProperty, 1, "promotion portal address property", "property of the portal address"},
    {kPromoPortalTextProperty, 1, "promotion portal text property", "property of the portal text"},
    {kPromoFeaturedProperty, 1, "promotion featured property", "property of the property page's address"},
    {kPromoList0Property, 1, "promotion list 0 property", "property of list 0's fields"},
    {kPromoList1Property, 1, "promotion list 1 property", "property of list 1's fields"},
    {kLineSeparator, 1, "line separator", "inserted where a wrapped text was wrapped"},
    {kTextEncoding, 1, "text encoding", "character set of the game's texts"},
    {kPromoPortalLanguages, kPromoPortalLanguageCount, "promotion portal languages",
     "languages with a second portal picture"},
    {kPromoLanguageParameter, 1, "promotion language parameter", "language parameter of a chosen address"},
    {kPromoVisitStore, 1, "promotion visit store", "record store recording a visit"},
    {kPromoUnspacedLanguage, 1, "promotion unspaced language", "language written without spaces"},
    {kPromoMiddleBreak, 1, "promotion middle break", "break sign put in an unbreakable text"},
    {kVolumeControlName, 1, "volume control name", "name of a player's volume control"},
    {kRecordStoreFull, 1, "record store full", "message of a full store"},
    {kRecordStorePathSeparator, 1, "record store path separator", "between the folders of a store's path"},
    {kRecordStorePrefix, 1, "record store prefix", "start of a store's file name"},
    {kRecordStoreSuffix, 1, "record store suffix", "end of a store's and a record's file name"},
    {kRecordStoreWriteFailed, 1, "record store write failed", "message of a failed write"},
    {kRecordStoreRecordInfix, 1, "record store record infix", "between a store's file name and a record id"},
    {kOrientationProperty, 1, "orientation property", "application property of the game's orientation"},
    {kOrientationUpright, 1, "orientation upright", "its value that draws the screen upright"},
    {kHudCountSeparator, 1, "hud count separator", "between a count and its target in the head-up display"},
    {kPackPartSeparator, 1, "pack part separator",
     "between a pack's name and a part number; decimal point of the frame-rate display"},
    {kRecordReadFailed, 1, "record read failed", "in front of why a saved record cannot be read"},
    {kSoundQuestionProperty, 1, "sound question property",
     "application property that can skip the sound question"},
    {kDebugNumberLabel, 1, "debug number label", "in front of the game's debug number"},
    {kSoundContentTypesResource, 1, "sound content types resource",
     "resource of the channels' content types"},
    {kSoundPack, 1, "sound pack", "pack of the game's sounds"},
    {kEventResultsStore, 1, "event results store", "record store of the event results and progress values"},
    {kEventRecordsStore, 1, "event records store", "record store of the event records"},
    {kUnlocksStore, 1, "unlocks store", "record store of the unlock state"},
    {kFpsLabel, 1, "fps label", "in front of the frame's rate"},
    {kFpsAverageLabel, 1, "fps average label", "in front of the average frame rate"},
    {kFpsCarLabel, 1, "fps car label", "in front of the player's car value in the frame-rate display"},
    {kFixedPointPack, 1, "fixed-point pack", "pack of the cosine table and its companion"},
    {kTextPack, 1, "text pack", "pack of the game's texts"},
    {kSpritePack, 1, "sprite pack", "pack of the sprites, one entry per slot of the sprite table"},
    {kFontPack, 1, "font pack", "pack of the font sprites and their character maps"},
    {kRacerPack, 1, "racer pack", "pack of the racer definitions, one entry per racer"},
    {kRaceImagePack, 1, "race image pack", "pack of the roadside and scenery images"},
    {kObjectSpritePack, 1, "object sprite pack", "pack of the second sprite table, one entry per slot"},
    {kGameTablesPack, 1, "game tables pack", "pack of the record, race, list and block tables"},
    {kTrackPack, 1, "track pack", "pack of the tracks, one entry per track"},
    {kEventPack, 1, "event pack", "pack of the event tables, one entry per track"},
    {kGuideCollectedLabel, 1, "guide collected label", "in front of the guided race's collected count"},
    {kZonePack, 1, "zone pack", "pack of the track zones, one entry per track"},
    {kHudCollectedLabel, 1, "hud collected label", "in front of the collected count beside the gauge"},
    {kWeatherFailed, 1, "weather failed", "in front of what stopped the weather layer"},
    {kNegativeCapacity, 1, "negative capacity", "message of a Vector made with a negative capacity"},
    {kNonPositiveDaylightSavings, 1, "daylight savings", "message of a saving amount not above 0"},
    {kBadMonth, 1, "bad month", "in front of a month outside 0..11"},
    {kGmtZone, 1, "GMT zone", "ID of the first built-in zone and start of a custom ID"},
    {kZoneIdSeparator, 1, "zone ID separator", "between hours and minutes of a custom ID"},
    {kStartRuleMessages, kRuleMessageCount, "start rule messages", "in front of a bad start-rule value"},
    {kEndRuleMessages, kRuleMessageCount, "end rule messages", "in front of a bad end-rule value"},
    {kSecondZone, 1, "second zone", "ID of the second built-in zone"},
    {kNegativeDelay, 1, "negative delay", "timer message"},
    {kNonPositivePeriod, 1, "non-positive period", "timer message"},
    {kNegativeTime, 1, "negative time", "timer message"},
    {kTimerCancelled, 1, "timer cancelled", "timer message"},
    {kTaskNotNew, 1, "task not new", "timer message"},
    {kBadRandomBound, 1, "bad random bound", "message of a bound not above 0"},
    {kHashtableOpen, 1, "hashtable open", "start of a Hashtable's text"},
    {kHashtableEntrySeparator, 1, "hashtable entry separator", "between the entries of a Hashtable's text"},
    {kHashtableClose, 1, "hashtable close", "end of a Hashtable's text"},
    {kNoMoreElements, 1, "no more elements", "message of an exhausted enumerator"},
    {kNoCalendar, 1, "no calendar", "text of a Date without a Calendar"},
    {kMonthNames, kMonthNameCount, "month names", "January first"},
    {kDayNames, kDayNameCount, "day names", "Sunday first"},
    {kArrayIndexMessage, 1, "array index message", "in front of a bad array index"},
    {kPlatformPropertyKey, 1, "platform property key", "key of the built-in system property"},
    {kPlatformPropertyValue, 1, "platform property value", "value of the built-in system property"},
    {kTrue, 1, "true", "text of true"},
    {kFalse, 1, "false", "text of false"},
    {kClipContentTypes, kClipContentTypeCount, "clip content types", "content types of clip types 3, 1, 2"},
    {kBadClipType, 1, "bad clip type", "in front of a bad clip type"},
    {kBadClipLoop, 1, "bad clip loop", "in front of a bad loop count"},
    {kBadClipVolume, 1, "bad clip volume", "in front of a bad volume"},
};

// The entry that holds `number`; null when no code reads it.
constexpr const Entry* find(std::int32_t number) {
    for (const Entry& entry : kCatalogue) {
        if (number >= entry.first && number - entry.first < entry.count)
            return &entry;
    }
    return nullptr;
}

// One more than the highest catalogued number: the fewest strings a data set
// must hold for every read to find its text.
constexpr std::int32_t tableLength() {
    const Entry& last = kCatalogue[std::size(kCatalogue) - 1];
    return last.first + last.count;
}

// Rising order without overlap keeps `find` and `tableLength` right.
constexpr bool isOrdered() {
    for (std::size_t i = 1; i < std::size(kCatalogue); ++i) {
        if (kCatalogue[i].first < kCatalogue[i - 1].first + kCatalogue[i - 1].count)
            return false;
    }
    return true;
}
static_assert(isOrdered(), "catalogue entries must rise and must not overlap");

} // namespace rt::constants
