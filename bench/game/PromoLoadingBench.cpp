// The whole loading of the demo set's promotion file, step by step as
// state 46 runs it (texts, font with two recoloured sheets, every picture)
// and the text layout after it; beside it, the baseline of reading the same
// file start to end through the archive.

#include "classlib/io/InputStream.h"
#include "game/promo/PromoData.h"
#include "game/promo/PromoLoading.h"
#include "game/promo/PromoPaint.h"
#include "game/promo/PromoScreen.h"
#include "host/system/SystemFolders.h"
#include "platform/Platform.h"
#include "platform/io/Class.h"
#include "platform/io/fileio.h"
#include "runtime/Exceptions.h"
#include "runtime/Runtime.h"
#include "runtime/StaticClass.h"
#include "runtime/constantStrings.h"
#include "tests/support/FreeThreads.h"
#include "tests/support/PropertyMidlet.h"
#include "tests/support/TemporaryFolder.h"
#include "tools/datakit/Archive.h"
#include "tools/datakit/Files.h"
#include "tools/mkdata/DemoSet.h"

#include <benchmark/benchmark.h>

#include <filesystem>

namespace {

namespace fs = std::filesystem;

// The platform over a program folder whose archive holds the demo promotion
// and its app.jad, set up as the game sets it up.
struct PromoFolder {
    testing_support::TemporaryFolder root{"vorlax-promo-bench"};
    fs::path programFolder = root.path() / "pf" / "Brivanta" / "Vorlax Rally";
    host::SystemFolders folders{host::FolderOptions{programFolder.string(), (root.path() / "pf").string(),
                                                    (root.path() / "temp").string()}};
    testing_support::FreeThreads host;
    rt::Runtime runtime{rt::RuntimeOptions{32 << 20, 32 << 20, &host.threads, &host.clock}};
    std::int64_t fileBytes = 0;
    bool ready = false;

    PromoFolder() {
        platform::installPlatform(runtime);
        platform::setFileFolders(&folders);
        fs::create_directories(programFolder);
        fs::create_directories(root.path() / "temp");
        testing_support::installDemoConstantStrings();
        datakit::Bytes file = datakit::writePromo(mkdata::demoPromoModel());
        fileBytes = static_cast<std::int64_t>(file.size());
        ready =
            datakit::writeFile(
                (programFolder / "data.bar").string(),
                datakit::writeArchive(
                    {datakit::archiveEntry("promo.bin", file),
                     datakit::archiveEntry("app.jad", datakit::writeAppJad(mkdata::demoPromoProperties()))}))
                .ok();
        auto* midlet = rt::make<testing_support::PropertyMidlet>();
        game::promo::setup(midlet, midlet, 640, 480);
        ready = ready && game::promo::isAvailable();
    }
};

void BM_PromoWholeLoading(benchmark::State& state) {
    PromoFolder folder;
    if (!folder.ready) {
        state.SkipWithError("the promotion could not be set up");
        return;
    }
    game::PromoStatics& statics = game::promoStatics();
    game::PromoScreenStatics& screen = game::promoScreenStatics();
    for (auto _ : state) {
        screen.s_textLineWidths = rt::newIntArray(game::promo::kPromoLineWidthSlots);
        for (std::int32_t step = -1; step < statics.s_pageCount + 4; ++step)
            game::promo::loadResources(step);
        game::promo::layoutTexts();
        benchmark::DoNotOptimize(screen.s_texts);
        game::promo::freeResources(true);
    }
    state.SetBytesProcessed(state.iterations() * folder.fileBytes);
}
BENCHMARK(BM_PromoWholeLoading)->Unit(benchmark::kMillisecond);

void BM_PromoPlainRead(benchmark::State& state) {
    PromoFolder folder;
    rt::ByteArray* buffer = rt::newByteArray(64 << 10);
    std::int64_t read = 0;
    for (auto _ : state) {
        lib::java_io_InputStream* in =
            platform::Class::getResourceAsStream(rt::String::newFromCString("/promo.bin"));
        for (std::int32_t n; in && (n = in->read(buffer, 0, buffer->length())) > 0;)
            read += n;
        if (in)
            in->close();
    }
    if (read != state.iterations() * folder.fileBytes)
        state.SkipWithError("the plain read did not see every byte");
    state.SetBytesProcessed(read);
}
BENCHMARK(BM_PromoPlainRead)->Unit(benchmark::kMillisecond);

} // namespace
