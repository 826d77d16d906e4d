// The demo set's promotion file: three fictional offers of other racing
// games, two lists of more of them and a portal, in English and French,
// with pictures painted by code and the glyphs of DejaVu Sans. Their
// addresses (app.jad) all lie under ".example".

#include "tools/datakit/PngWriter.h"
#include "tools/mkdata/DemoSet.h"

#include <algorithm>

namespace mkdata {

namespace {

// A picture of `width` x `height`: a vertical ramp from `top` to `bottom`
// with a band of `band` across its middle third, opaque.
datakit::Bytes picture(std::uint32_t width, std::uint32_t height, std::uint32_t top, std::uint32_t bottom,
                       std::uint32_t band) {
    std::vector<std::uint32_t> pixels;
    pixels.reserve(static_cast<std::size_t>(width) * height);
    for (std::uint32_t y = 0; y < height; ++y) {
        auto mix = [&](int shift) {
            std::uint32_t a = (top >> shift) & 0xFF;
            std::uint32_t b = (bottom >> shift) & 0xFF;
            return (a * (height - 1 - y) + b * y) / std::max<std::uint32_t>(height - 1, 1);
        };
        std::uint32_t ramp = 0xFF000000u | (mix(16) << 16) | (mix(8) << 8) | mix(0);
        for (std::uint32_t x = 0; x < width; ++x)
            pixels.push_back(y >= height / 3 && y < 2 * height / 3 && x % 8 < 6 ? 0xFF000000u | band : ramp);
    }
    return datakit::writePng(width, height, pixels);
}

// The screen's texts after the three page texts: three unused, the portal
// text, the fixed texts 1 to 13, the rows of both lists, two closing texts.
// The fixed texts start four places after the last page text.
std::vector<std::string> texts(bool french) {
    auto t = [french](const char* english, const char* frenchText) {
        return std::string(french ? frenchText : english);
    };
    return {
        t("DUNE RALLY: RACE THE DESERT AT NIGHT", "DUNE RALLY: COURSE DANS LE D\xC3\x89SERT LA NUIT"),
        t("REEF RUN: BOATS, WAVES AND JUMPS", "REEF RUN: BATEAUX, VAGUES ET SAUTS"),
        t("PEAK CLIMB: ONE MOUNTAIN, NO BRAKES", "PEAK CLIMB: UNE MONTAGNE, SANS FREINS"),
        "",
        "",
        "",
        t("ALL OUR RACING GAMES IN ONE PLACE", "TOUS NOS JEUX DE COURSE EN UN LIEU"),
        t("MORE GAMES", "PLUS DE JEUX"),
        t("THANK YOU FOR PLAYING", "MERCI D'AVOIR JOU\xC3\x89"),
        t("VISIT THE PORTAL FOR NEWS AND UPDATES", "VISITEZ LE PORTAIL POUR LES NOUVEAUT\xC3\x89S"),
        t("FEATURED", "\xC3\x80 LA UNE"),
        t("OPEN THE PAGE IN YOUR BROWSER", "OUVRIR LA PAGE DANS LE NAVIGATEUR"),
        t("NEW", "NOUVEAU"),
        t("SELECT", "CHOISIR"),
        t("BACK", "RETOUR"),
        t("VISIT", "VISITER"),
        t("GET IT", "L'AVOIR"),
        t("TOP", "TOP"),
        t("HOT", "CHAUD"),
        t("FREE", "GRATUIT"),
        t("KART CUP", "COUPE KART"),
        t("BIKE TRAIL", "PISTE V\xC3\x89LO"),
        t("MORE RACES", "PLUS DE COURSES"),
        t("SOLO SPRINT", "SPRINT SOLO"),
        t("DUO DRIFT", "DRIFT DUO"),
        t("SOON", "BIENT\xC3\x94T"),
        t("END", "FIN"),
    };
}

} // namespace

datakit::PromoModel demoPromoModel() {
    datakit::PromoModel model;
    model.headerText = "Vorlax Rally offers";
    model.languages = {{"EN", texts(false), picture(24, 16, 0x203080, 0x102040, 0xFFFFFF)},
                       {"FR", texts(true), picture(24, 16, 0x2040A0, 0x102050, 0xE03030)}};
    model.pageNames = {"DUNE", "REEF", "PEAK"};
    model.list0Names = {"KART", "BIKE", "MORE"};
    model.list1Names = {"SOLO", "DUO"};
    model.extraNames = {"NEWS"};
    std::vector<std::uint16_t> codes;
    for (std::uint16_t code = 32; code < 127; ++code)
        codes.push_back(code);
    for (std::uint16_t code : {0xC0, 0xC9, 0xD4})
        codes.push_back(code);
    // DejaVu at 10 px has lines 13 px high: the screen's metrics are made
    // for a space glyph of that height.
    model.font = datakit::renderPromoFont(demoSansBoldFace(), codes, 10);
    // Arrows (normal and lit), the back key's icon, frames and titles.
    const std::uint32_t colours[14] = {0x404040, 0x404040, 0x606060, 0x606060, 0xF0A020, 0x2080F0, 0xF0A020,
                                       0x2080F0, 0xFFFFFF, 0x808080, 0xE04010, 0xC0C0C0, 0x303030, 0x505050};
    for (int i = 0; i < 14; ++i) {
        std::uint32_t width = i >= 4 && i <= 7 ? 16 : i >= 12 ? 48 : i == 10 ? 160 : 20;
        std::uint32_t height = i >= 4 && i <= 7 ? 32 : i >= 12 ? 24 : i == 10 ? 24 : 20;
        model.screenImages.push_back(picture(width, height, colours[i], colours[i] / 2, 0xFFFFFF));
    }
    model.pagePictures = {picture(96, 64, 0xF0C060, 0xA05010, 0x402000),
                          picture(96, 64, 0x40C0F0, 0x104080, 0xFFFFFF),
                          picture(96, 64, 0xE0E0F0, 0x606080, 0x202020)};
    model.propertyPicture = picture(88, 56, 0xF06040, 0x802010, 0xFFF0C0);
    model.list0Pictures = {picture(32, 24, 0xF0F040, 0x808000, 0x000000),
                           picture(32, 24, 0x40F040, 0x008000, 0x000000)};
    model.list1Pictures = {picture(32, 24, 0xF040F0, 0x800080, 0xFFFFFF)};
    model.portalPicture = picture(120, 64, 0x202020, 0x000000, 0xFAD12D);
    return model;
}

std::vector<datakit::Property> demoPromoProperties() {
    return {
        {"Vorlax-Promo-Base", "https://offers.vorlax.example/%s?lang=xx"},
        {"Vorlax-Promo-Pages", "DUNE=dune-rally;REEF=reef-run;PEAK=0"},
        {"Vorlax-Promo-Featured", "https://featured.vorlax.example/"},
        {"Vorlax-Promo-Portal-Url", "https://portal.vorlax.example/"},
        {"Vorlax-Promo-Portal", "PORTAL=https://portal.vorlax.example/home;MORE=more"},
        {"Vorlax-Promo-Portal-Text", "MORE RACES\\nEVERY WEEK"},
        {"Vorlax-Promo-List-1", "KART=kart-cup;BIKE=bike-trail"},
        {"Vorlax-Promo-List-2", "SOLO=solo-sprint"},
    };
}

void producePromotion(ProgramFolder& folder) {
    folder.archive.push_back(datakit::archiveEntry(std::string(kPromoFile.begin(), kPromoFile.end()),
                                                   datakit::writePromo(demoPromoModel())));
}

} // namespace mkdata
