#include "game/racepaint/RacePresentation.h"

#include "game/framework/OrvelLibConfig.h"
#include "game/race/RaceImages.h"
#include "game/race/TrackData.h"
#include "game/racepaint/CarPainting.h"
#include "game/racepaint/RaceScene.h"
#include "game/racepaint/RoadBands.h"
#include "game/racepaint/RoadsideTrack.h"
#include "game/racepaint/RoadsideView.h"
#include "game/racepaint/SceneryBuffer.h"
#include "game/racepaint/SectionModels.h"
#include "game/racepaint/VergesAndWalls.h"

namespace game {

void setupRacePresentation() {
    setupRoadside();
    RoadsideViewStatics& view = roadsideView();
    view.s_fogColour = trackStyle(TrackStyleSlot::GroundFogColour);
    view.s_wallFogColour = trackStyle(TrackStyleSlot::WallFogColour);
    const RaceImageStatics& images = raceImageStatics();
    const std::int32_t width =
        roadBandStatics().s_viewWidth > 0 ? roadBandStatics().s_viewWidth : config().s_gameScreenWidth;
    setupScenery(images.s_sceneryPixels, images.s_sceneryWidth, images.s_sceneryHeight, width,
                 config().s_gameScreenHeight);
    setupCarPainting();
}

} // namespace game
