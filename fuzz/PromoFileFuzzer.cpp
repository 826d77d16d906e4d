// Takes the input as the promotion file beside the demo set's app.jad and
// runs the screen over it as a visit does: the set-up and page table, every
// loading step, the text layout, then each page (up to a bound) selected,
// painted on a 640 x 480 image and tapped. Checked: no exception is left
// pending; the availability agrees with the page table; every loaded text
// is a string; a page that was painted answers taps without leaving the
// screen's bounds.

#include "fuzz/PlatformFiles.h"
#include "game/promo/PromoData.h"
#include "game/promo/PromoLoading.h"
#include "game/promo/PromoPaint.h"
#include "game/promo/PromoScreen.h"
#include "platform/lcdui/Image.h"
#include "tests/support/PropertyMidlet.h"
#include "tools/datakit/AppJad.h"
#include "tools/datakit/Archive.h"
#include "tools/mkdata/DemoSet.h"

namespace {

using fuzzing::check;

constexpr std::int32_t kWidth = 640;
constexpr std::int32_t kHeight = 480;
constexpr std::int32_t kMostPages = 12;
constexpr std::int32_t kMostSteps = 24;

// The archive's app.jad and its index, which names a promotion file of the
// input's size last: the input follows these bytes as they are. Written once;
// each input puts its size in the index's last field, which stands right
// before the app.jad's bytes.
class ArchiveHead {
public:
    ArchiveHead()
        : m_appJad(datakit::writeAppJad(mkdata::demoPromoProperties()))
        , m_bytes(write(0))
        , m_sizeField(m_bytes.size() - m_appJad.size() - 4) {
        check(withSize(0x10203) == write(0x10203));
    }

    const datakit::Bytes& withSize(std::size_t size) {
        for (std::size_t i = 0; i < 4; ++i)
            m_bytes[m_sizeField + i] = static_cast<std::uint8_t>(size >> (24 - 8 * i));
        return m_bytes;
    }

private:
    datakit::Bytes write(std::size_t size) const {
        datakit::ArchiveEntry promo = datakit::archiveEntry("promo.bin", datakit::Bytes{});
        promo.indexedSize = static_cast<std::int32_t>(size);
        return datakit::writeArchive({datakit::archiveEntry("app.jad", m_appJad), std::move(promo)});
    }

    datakit::Bytes m_appJad;
    datakit::Bytes m_bytes;
    std::size_t m_sizeField;
};

ArchiveHead& archiveHead() {
    static ArchiveHead s_head;
    return s_head;
}

// Made at the first input and kept: the MIDlet reads the same app.jad from
// every input's archive, and every page painted fills the canvas first.
testing_support::PropertyMidlet* makeMidlet() {
    return rt::make<testing_support::PropertyMidlet>();
}

platform::javax_microedition_lcdui_Image* makeCanvas() {
    return platform::javax_microedition_lcdui_Image::createImage(kWidth, kHeight);
}

} // namespace

// AddressSanitizer's quarantine at 16 MB rather than its 256. An input
// allocates about half a megabyte from the process heap (the picture
// decoder's state and rows, the text layout's temporaries), so a use after
// free inside an input, or in the next dozen, is still caught; at 256 MB
// every input's memory came from pages last touched hundreds of inputs
// before, which cost a fifth of each input's time.
extern "C" const char* __asan_default_options() {
    return "quarantine_size_mb=16";
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    (void)fuzzing::Session::get();
    (void)archiveHead();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > (1u << 16))
        return 0;
    fuzzing::putFile("data.bar", {archiveHead().withSize(size), std::span(data, size)});
    fuzzing::PlatformFiles platform(&testing_support::demoConstantStrings);
    auto* midlet = fuzzing::Session::get().kept(&makeMidlet);
    game::promo::setup(midlet, midlet, kWidth, kHeight);
    check(!rt::exceptionPending());
    game::PromoStatics& statics = game::promoStatics();
    check(game::promo::isAvailable() == (statics.s_enabled && game::promo::countAvailablePages() > 0));
    if (!statics.s_enabled)
        return 0;
    game::PromoScreenStatics& screen = game::promoScreenStatics();
    screen.s_langIndex = static_cast<std::int32_t>(size % 3) % std::max(statics.s_langCodes->length(), 1);
    screen.s_textLineWidths = rt::newIntArray(game::promo::kPromoLineWidthSlots);
    for (std::int32_t step = -1; step < std::min(statics.s_pageCount + 4, kMostSteps); ++step) {
        game::promo::loadResources(step);
        check(!rt::exceptionPending());
    }
    game::promo::layoutTexts();
    for (std::int32_t i = 0; screen.s_texts && i < screen.s_texts->length(); ++i) {
        rt::Object* text = rt::ObjectArray::get(screen.s_texts, i);
        check(!text || text->classId() == rt::ClassId::String);
    }
    screen.s_state.store(static_cast<std::int32_t>(game::PromoState::Browsing));
    screen.s_running.store(1);
    auto* canvas = fuzzing::Session::get().kept(&makeCanvas);
    for (std::int32_t page = 0; page < std::min(statics.s_pageCount, kMostPages); ++page) {
        screen.s_page = page;
        game::promo::selectPage();
        game::promo::paint(canvas->getGraphics());
        for (std::int32_t y = 1; y < kHeight; y += 97)
            game::promo::actionAtPoint(static_cast<std::int32_t>((size * 31 + y) % kWidth), y);
        check(!rt::exceptionPending());
        check(screen.s_listSelection >= 0 &&
              screen.s_listSelection <= std::max(screen.s_listRowCount - 1, 0));
    }
    screen.s_running.store(0);
    game::promo::freeResources(true);
    return 0;
}
