#include "platform/app/PlatformServices.h"

#include "host/Host.h"
#include "platform/io/ConnectionUi.h"
#include "platform/io/fileio.h"
#include "platform/lcdui/Font.h"
#include "platform/media/MediaServices.h"

namespace platform {

rt::RuntimeOptions runtimeOptionsFor(host::Host& host) {
    rt::RuntimeOptions options;
    options.threads = &host.threads();
    options.clock = &host.clock();
    options.device = &host.device();
    return options;
}

void connectPlatformServices(host::Host& host, ConnectionUi* screen) {
    javax_microedition_lcdui_Font::setTextService(&host.text());
    setFileFolders(&host.folders());
    setMediaServices({&host.audio(), &host.mediaGraphs(), &host.threads(), host.folders().tempFolder()});
    setConnectionUi(screen);
}

void disconnectPlatformServices(ConnectionUi* screen) {
    // Another owner may have put its own screen in place meanwhile (a test); that one stays.
    if (&connectionUi() == screen)
        setConnectionUi(nullptr);
    setMediaServices({});
    setFileFolders(nullptr);
    javax_microedition_lcdui_Font::setTextService(nullptr);
}

} // namespace platform
