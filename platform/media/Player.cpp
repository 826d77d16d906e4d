#include "platform/media/Player.h"

#include "platform/media/SoundPlayerNULL.h"
#include "runtime/checks.h"

namespace platform {

rt::Object* controlByName(rt::Object* player, rt::String* controlType, bool rateAndTempo) {
    if (!controlType) {
        rt::reportNullPointer();
        return nullptr;
    }
    if (controlType->equalsIgnoreCaseCString("VolumeControl"))
        return player;
    if (rateAndTempo && (controlType->equalsIgnoreCaseCString("RateControl") ||
                         controlType->equalsIgnoreCaseCString("TempoControl")))
        return player;
    return nullptr;
}

void* SoundPlayerNULL::getInterface(rt::ClassId interfaceId) {
    void* view = playerView(this, interfaceId);
    return view ? view : Object::getInterface(interfaceId);
}

} // namespace platform
