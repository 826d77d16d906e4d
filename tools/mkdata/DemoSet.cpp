#include "tools/mkdata/DemoSet.h"

#include "tools/datakit/AppJad.h"

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
    {"race images", produceRaceImages},
    {"font pack", produceFontPack},
    {"sprite pack", produceSpritePack},
    {"promotion", producePromotion},
};

} // namespace

std::span<const Producer> producers() {
    return kProducers;
}

ProgramFolder makeDemoSet() {
    ProgramFolder folder;
    for (const Producer& producer : producers())
        producer.produce(folder);
    return folder;
}

} // namespace mkdata
