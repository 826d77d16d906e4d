// The demo promotion's pictures as the screen reads them: each behind a
// 16-bit byte count, so a picture of 64 KB or more would be cut short and
// show only its first rows.

#include "tools/mkdata/DemoSet.h"

#include <gtest/gtest.h>

namespace {

TEST(DemoPromoArt, EveryPictureFitsItsSixteenBitLength) {
    const datakit::PromoModel model = mkdata::demoPromoModel();
    std::vector<const datakit::Bytes*> pictures = {&model.font.sheet, &model.propertyPicture,
                                                   &model.portalPicture};
    for (const auto* list :
         {&model.screenImages, &model.pagePictures, &model.list0Pictures, &model.list1Pictures})
        for (const datakit::Bytes& picture : *list)
            pictures.push_back(&picture);
    for (const datakit::PromoLanguage& language : model.languages)
        pictures.push_back(&language.picture);
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        EXPECT_FALSE(pictures[i]->empty()) << "picture " << i;
        EXPECT_LT(pictures[i]->size(), 65536U) << "picture " << i;
    }
}

} // namespace
