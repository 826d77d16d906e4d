#include "tools/mkdata/DemoSet.h"

#include "runtime/constantStrings.h"
#include "tools/datakit/AppJad.h"

#include <cstdio>

namespace mkdata {

namespace {

void produceConstants(ProgramFolder& folder) {
    folder.archive.push_back(
        datakit::archiveEntry("constants.bin", datakit::writeConstantTable(demoConstantTexts())));
}

void produceAppDescriptor(ProgramFolder& folder) {
    std::vector<datakit::Property> properties = {
        {"MIDlet-Name", "Vorlax Rally"},
        {"MIDlet-Vendor", "Brivanta"},
        {"MIDlet-Version", "0.1.0"},
        {"MIDlet-Description", "Race the dunes of Vorlax"},
    };
    for (datakit::Property& property : demoPromoProperties())
        properties.push_back(std::move(property));
    folder.archive.push_back(
        datakit::archiveEntry("app.jad", datakit::writeAppJad(properties, datakit::LineEnding::CrLf)));
}

constexpr Producer kProducers[] = {
    {"constant strings", produceConstants},
    {"application properties", produceAppDescriptor},
    {"fixed-point pack", produceFixedPointPack},
    {"text pack", produceTextPack},
    {"sounds", produceSounds},
    {"race data", produceRaceData},
    {"race images", produceRaceImagePack},
    {"object sprites", produceObjectSprites},
    {"font pack", produceFontPack},
    {"sprite pack", produceSpritePack},
    {"promotion", producePromotion},
};

// The 8-bit text of constant string `number` in the demo set.
std::string constantText(std::int32_t number) {
    for (const datakit::ConstantText& entry : demoConstantTexts()) {
        if (entry.number == number)
            return std::string(entry.text.begin(), entry.text.end());
    }
    return {};
}

// FNV-1a, 64 bits, over `bytes` and then over their count, so that two
// entries cannot trade bytes across their border unseen.
void addToDigest(std::uint64_t& digest, std::span<const std::uint8_t> bytes) {
    auto add = [&digest](std::uint8_t byte) {
        digest ^= byte;
        digest *= 0x100000001b3ull;
    };
    for (std::uint8_t byte : bytes)
        add(byte);
    for (int shift = 0; shift < 64; shift += 8)
        add(static_cast<std::uint8_t>(bytes.size() >> shift));
}

} // namespace

std::string demoSetDigest(const ProgramFolder& folder) {
    std::uint64_t digest = 0xcbf29ce484222325ull;
    for (const datakit::ArchiveEntry& entry : folder.archive) {
        std::string name(entry.name.begin(), entry.name.end());
        addToDigest(digest, std::span(reinterpret_cast<const std::uint8_t*>(name.data()), name.size()));
        addToDigest(digest, entry.bytes);
    }
    for (const auto& [name, bytes] : folder.files) {
        addToDigest(digest, std::span(reinterpret_cast<const std::uint8_t*>(name.data()), name.size()));
        addToDigest(digest, bytes);
    }
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(digest));
    return text;
}

std::span<const Producer> producers() {
    return kProducers;
}

ProgramFolder makeDemoSet() {
    ProgramFolder folder;
    for (const Producer& producer : producers())
        producer.produce(folder);
    folder.recordStorePrefix = constantText(rt::constants::kRecordStorePrefix);
    folder.recordStoreSuffix = constantText(rt::constants::kRecordStoreSuffix);
    // The stamp goes last, as one more property line of "app.jad".
    std::string digest = demoSetDigest(folder);
    for (datakit::ArchiveEntry& entry : folder.archive) {
        if (entry.name == u"app.jad") {
            datakit::Bytes line = datakit::writeAppJad({{std::string(kDigestProperty), digest}});
            entry.bytes.insert(entry.bytes.end(), line.begin(), line.end());
        }
    }
    return folder;
}

} // namespace mkdata
