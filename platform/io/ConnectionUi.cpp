#include "platform/io/ConnectionUi.h"

#include "host/Log.h"

#include <atomic>

namespace platform {

namespace {

ConnectionUi g_defaultUi;
std::atomic<ConnectionUi*> g_ui{nullptr};

} // namespace

void ConnectionUi::showError(const std::string& caption, const std::string& text) {
    host::logf(host::LogCategory::Library, "%s: %s", caption.c_str(), text.c_str());
}

ConnectionUi& connectionUi() {
    ConnectionUi* ui = g_ui.load();
    return ui ? *ui : g_defaultUi;
}

void setConnectionUi(ConnectionUi* ui) {
    g_ui.store(ui);
}

} // namespace platform
