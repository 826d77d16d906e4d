// The demo set's texts of the constant strings: plain English, written for
// this game.

#include "runtime/constantStrings.h"
#include "tools/mkdata/DemoSet.h"

#include <initializer_list>
#include <string>
#include <string_view>

namespace mkdata {

namespace {

using namespace rt::constants;

// A resource name of the archive's root: '/' and `file`. Built by append:
// GCC 12 at -O3 takes `u"/" + string` for an overlapping copy and warns.
std::u16string rooted(std::u16string_view file) {
    std::u16string name(u"/");
    name.append(file);
    return name;
}

// Texts for the numbers from `first` on, one each.
void addRange(std::vector<datakit::ConstantText>& texts, std::int32_t first,
              std::initializer_list<const char16_t*> range) {
    for (const char16_t* text : range)
        texts.push_back({first++, text});
}

} // namespace

std::vector<datakit::ConstantText> demoConstantTexts() {
    std::vector<datakit::ConstantText> texts = {
        // Empty: record stores opened by name alone then live in the program
        // folder itself, where the game keeps its progress.
        {kSoundContentType, u"audio/x-wav"},
        {kSoundThreadFailed, u"The sound thread stopped: "},
        {kDefaultMessage, u""},
        {kZeroDigit, u"0"},
        {kPromoDataFile, rooted(kPromoFile)},
        {kPromoNoneWord, u"NONE"},
        {kPromoOffWord, u"OFF"},
        {kPromoFieldSeparator, u";"},
        {kPromoPortalKey, u"PORTAL"},
        {kPromoTemplateSlot, u"%s"},
        {kPromoPagePropertyPrefix, u"Vorlax-Promo-"},
        {kPromoPageNumberPrefix, u"&page="},
        {kPromoPortalRowSuffix, u"&from=list"},
        {kPromoPortalProperty, u"Vorlax-Promo-Portal"},
        {kPromoPortalRowName, u"PORTAL"},
        {kPromoWideFontVariant, u"WIDE"},
        {kPromoAddressBaseProperty, u"Vorlax-Promo-Base"},
        {kPromoLanguageMarker, u"lang="},
        {kPromoPagesProperty, u"Vorlax-Promo-Pages"},
        {kPromoPortalAddressProperty, u"Vorlax-Promo-Portal-Url"},
        {kPromoPortalTextProperty, u"Vorlax-Promo-Portal-Text"},
        {kPromoFeaturedProperty, u"Vorlax-Promo-Featured"},
        {kPromoList0Property, u"Vorlax-Promo-List-1"},
        {kPromoList1Property, u"Vorlax-Promo-List-2"},
        {kPromoLanguageParameter, u"lang="},
        {kPromoVisitStore, u"VorlaxPromoSeen"},
        {kPromoUnspacedLanguage, u"JA"},
        {kPromoMiddleBreak, u"|"},
        {kHashtableKeyValue, u"="},
        {kLineSeparator, u"\n"},
        {kTextEncoding, u"UTF-8"},
        {kRecordStoreFull, u"The record store is full"},
        {kRecordStorePathSeparator, u"\\"},
        {kRecordStorePrefix, u"rms_"},
        {kRecordStoreSuffix, u".dat"},
        {kRecordStoreWriteFailed, u"The record could not be written"},
        {kRecordStoreRecordInfix, u"_"},
        {kVolumeControlName, u"VolumeControl"},
        {kOrientationProperty, u"Vorlax-Orientation"},
        {kOrientationUpright, u"upright"},
        {kHudCountSeparator, u"/"},
        {kPackPartSeparator, std::u16string(kPackPartSeparatorText)},
        {kRecordReadFailed, u"The saved record could not be read: "},
        {kSoundQuestionProperty, u"Vorlax-Sound-Question"},
        {kSoundContentTypesResource, rooted(kSoundContentTypesFile)},
        {kSoundPack, rooted(kSoundPackFile)},
        {kDebugNumberLabel, u"dbg "},
        {kEventResultsStore, u"VorlaxResults"},
        {kEventRecordsStore, u"VorlaxRecords"},
        {kUnlocksStore, u"VorlaxProgress"},
        {kFpsLabel, u"FPS "},
        {kFpsAverageLabel, u" avg "},
        {kFpsCarLabel, u" car "},
        {kFixedPointPack, rooted(kFixedPointPackFile)},
        {kTextPack, rooted(kTextPackFile)},
        {kSpritePack, rooted(kSpritePackFile)},
        {kFontPack, rooted(kFontPackFile)},
        {kRacerPack, u"/racers.pak"},
        {kRaceImagePack, rooted(kRaceImagePackFile)},
        {kObjectSpritePack, rooted(kObjectSpritePackFile)},
        {kGameTablesPack, u"/tables.pak"},
        {kTrackPack, u"/tracks.pak"},
        {kEventPack, u"/events.pak"},
        {kGuideCollectedLabel, u"Collected: "},
        {kZonePack, u"/zones.pak"},
        {kHudCollectedLabel, u"x"},
        {kWeatherFailed, u"Weather layer stopped: "},
        {kNegativeCapacity, u"Capacity below zero"},
        {kNonPositiveDaylightSavings, u"Daylight saving must be above zero"},
        {kBadMonth, u"Month out of range: "},
        {kGmtZone, u"GMT"},
        {kZoneIdSeparator, u":"},
        {kSecondZone, u"UTC"},
        {kNegativeDelay, u"Delay below zero"},
        {kNonPositivePeriod, u"Period must be above zero"},
        {kNegativeTime, u"Time below zero"},
        {kTimerCancelled, u"The timer was cancelled"},
        {kTaskNotNew, u"The task is already scheduled or cancelled"},
        {kBadRandomBound, u"Bound must be above zero"},
        {kHashtableOpen, u"{"},
        {kHashtableEntrySeparator, u", "},
        {kHashtableClose, u"}"},
        {kNoMoreElements, u"No more elements"},
        {kNoCalendar, u"(no date)"},
        {kArrayIndexMessage, u"Array index out of range: "},
        {kPlatformPropertyKey, u"microedition.platform"},
        {kPlatformPropertyValue, u"Vorlax Rally"},
        {kTrue, u"true"},
        {kFalse, u"false"},
        {kBadClipType, u"Unknown clip type: "},
        {kBadClipLoop, u"Loop count out of range: "},
        {kBadClipVolume, u"Volume out of range: "},
    };
    addRange(texts, kStartRuleMessages,
             {u"Bad start month: ", u"Bad start time: ", u"Bad start day of week: ", u"Bad start week: ",
              u"Bad start day: "});
    addRange(texts, kEndRuleMessages,
             {u"Bad end month: ", u"Bad end time: ", u"Bad end day of week: ", u"Bad end week: ",
              u"Bad end day: "});
    addRange(
        texts, kMonthNames,
        {u"Jan", u"Feb", u"Mar", u"Apr", u"May", u"Jun", u"Jul", u"Aug", u"Sep", u"Oct", u"Nov", u"Dec"});
    addRange(texts, kDayNames, {u"Sun", u"Mon", u"Tue", u"Wed", u"Thu", u"Fri", u"Sat"});
    addRange(texts, kPromoPortalLanguages, {u"JA", u"ZH"});
    addRange(texts, kClipContentTypes, {u"audio/x-wav", u"audio/midi", u"audio/amr"});
    return texts;
}

} // namespace mkdata
