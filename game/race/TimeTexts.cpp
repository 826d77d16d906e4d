#include "game/race/TimeTexts.h"

#include "classlib/lang/StringBuffer.h"
#include "game/framework/StartupLoad.h"
#include "game/race/RaceKernel.h"
#include "runtime/StaticClass.h"

namespace game {

TimeTextStatics& timeTextStatics() {
    return rt::getStaticClass().statics<TimeTextStatics>();
}

namespace {

lib::StringBuffer* clearedTextBuffer() {
    lib::StringBuffer*& buffer = startupStatics().s_textBuffer;
    if (!buffer)
        buffer = rt::make<lib::StringBuffer>(16);
    buffer->setLength(0);
    return buffer;
}

void appendTwoDigits(lib::StringBuffer* buffer, std::uint32_t value) {
    if (value < 10)
        buffer->append(u'0');
    buffer->append(static_cast<std::int64_t>(value));
}

} // namespace

lib::StringBuffer* formatTime(std::int32_t t, bool forceMinutes, bool withFraction, bool withSign) {
    lib::StringBuffer* buffer = clearedTextBuffer();
    if (withSign)
        buffer->append(t < 1 ? u'-' : u'+');
    // The magnitude is taken unsigned so that the most negative time reads
    // as its size, not as a negative one.
    std::uint32_t magnitude = unsignedMagnitude(t);
    std::uint32_t seconds = magnitude >> 12;
    std::uint32_t minutes = seconds / 60;
    if (minutes != 0 || forceMinutes) {
        // Minutes are not padded: 65.5 s reads 1:05.500.
        buffer->append(static_cast<std::int64_t>(minutes));
        buffer->append(u':');
    }
    appendTwoDigits(buffer, seconds - 60 * minutes);
    if (withFraction) {
        buffer->append(timeTextStatics().s_timeFractionColon ? u':' : u'.');
        appendTwoDigits(buffer, (magnitude & 4095u) * 100u / 4096u);
        buffer->append(u'0');
    }
    return buffer;
}

lib::StringBuffer* formatNumber(std::int32_t value, char16_t separator, bool keepFour) {
    lib::StringBuffer* buffer = clearedTextBuffer();
    if (value < 0)
        buffer->append(u'-');
    std::uint32_t magnitude = unsignedMagnitude(value);
    char digits[12];
    std::int32_t length = 0;
    do {
        digits[length++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    bool separate = !(keepFour && length == 4);
    for (std::int32_t i = length - 1; i >= 0; --i) {
        buffer->append(static_cast<char16_t>(digits[i]));
        if (separate && i > 0 && i % 3 == 0)
            buffer->append(separator);
    }
    return buffer;
}

} // namespace game
