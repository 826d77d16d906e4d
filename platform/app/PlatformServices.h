#pragma once

// The one place where the platform's classes get the host services they reach
// at run time, and lose them again. `Application` makes its runtime with
// `runtimeOptionsFor` (threads, clock, and the device whose memory
// `Runtime.freeMemory` and `totalMemory` report), and once the class library
// stands calls `connectPlatformServices`: the text service of fonts and
// `drawString`, the folders of files, record stores and the resource
// archive, the audio and media graphs of the players, and what connections
// show. Its close calls `disconnectPlatformServices`.
//
// A service set here lives in the runtime's statics (text, files, media) or
// process-wide (the connection screen); all of it is set on the first thread
// before any other runtime thread runs, and taken back after they stopped.
// Tests that make a runtime of their own set only the services they use.

#include "runtime/Runtime.h"

namespace host {
class Host;
}

namespace platform {

class ConnectionUi;

// The options of the application's runtime on `host`.
rt::RuntimeOptions runtimeOptionsFor(host::Host& host);

// Hands `host`'s services to the platform's classes of the current runtime;
// `screen` (null: the default, which logs) becomes what connections show.
void connectPlatformServices(host::Host& host, ConnectionUi* screen);
// Takes them back: no text, files or media any more, and `screen` no longer
// shows connections.
void disconnectPlatformServices(ConnectionUi* screen);

} // namespace platform
