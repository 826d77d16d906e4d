#include "game/data/PackSource.h"

#include "platform/io/Class.h"

namespace game {

lib::java_io_InputStream* packOpenFile(rt::String* name) {
    if (!name)
        return nullptr;
    return platform::Class::getResourceAsStream(name);
}

} // namespace game
