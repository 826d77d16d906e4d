// The demo set's promotion file: three fictional offers of other racing
// games, two lists of more of them and a portal, in English and French,
// with pictures painted by code (DemoPromoArt.cpp) and the glyphs of DejaVu
// Sans Bold. Their addresses (app.jad) all lie under ".example".

#include "tools/mkdata/DemoSet.h"

#include <algorithm>

namespace mkdata {

namespace {

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
        t("ALL OUR GAMES IN ONE PLACE", "TOUS NOS JEUX EN UN LIEU"),
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
    model.languages = {{"EN", texts(false), {}}, {"FR", texts(true), {}}};
    model.pageNames = {"DUNE", "REEF", "PEAK"};
    model.list0Names = {"KART", "BIKE", "MORE"};
    model.list1Names = {"SOLO", "DUO"};
    model.extraNames = {"NEWS"};
    paintPromoArt(model);
    return model;
}

std::vector<datakit::Property> demoPromoProperties() {
    return {
        {"Vorlax-Promo-Base", "https://offers.vorlax.example/%s?lang=xx"},
        {"Vorlax-Promo-Pages", "DUNE=dune-rally;REEF=reef-run;PEAK=0"},
        {"Vorlax-Promo-Featured", "https://featured.vorlax.example/"},
        {"Vorlax-Promo-Portal-Url", "https://portal.vorlax.example/"},
        {"Vorlax-Promo-Portal", "PORTAL=https://portal.vorlax.example/home;MORE=more"},
        {"Vorlax-Promo-Portal-Text", "NEW RACES EVERY WEEK"},
        {"Vorlax-Promo-List-1", "KART=kart-cup;BIKE=bike-trail"},
        {"Vorlax-Promo-List-2", "SOLO=solo-sprint"},
    };
}

void producePromotion(ProgramFolder& folder) {
    folder.archive.push_back(datakit::archiveEntry(std::string(kPromoFile.begin(), kPromoFile.end()),
                                                   datakit::writePromo(demoPromoModel())));
}

} // namespace mkdata
