#pragma once

// Where the game's data files come from. This game reads every pack part
// from the resource archive; the record-store and single-index sources that
// the library could switch on are not built (their switches stay off).

#include "runtime/String.h"

namespace lib {
class java_io_InputStream;
}

namespace game {

// A stream at the first byte of the file named `name`, or null when the
// archive holds no such file (and for a null name).
lib::java_io_InputStream* packOpenFile(rt::String* name);

} // namespace game
