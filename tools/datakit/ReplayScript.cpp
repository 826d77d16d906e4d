#include "tools/datakit/ReplayScript.h"

#include "host/Verify.h"

namespace datakit {

namespace {

host::WindowEvent ofType(host::WindowEventType type) {
    host::WindowEvent event;
    event.type = type;
    return event;
}

host::WindowEvent keyEvent(host::WindowEventType type, std::int32_t key) {
    host::WindowEvent event = ofType(type);
    event.key = key;
    return event;
}

host::WindowEvent stylusEvent(host::WindowEventType type, std::int32_t x, std::int32_t y) {
    host::WindowEvent event = ofType(type);
    event.x = x;
    event.y = y;
    return event;
}

} // namespace

ReplayScript::ReplayScript(std::int64_t seed) {
    m_script.seed = seed;
}

ReplayScript& ReplayScript::idle(std::uint32_t count, std::uint32_t milliseconds) {
    for (std::uint32_t i = 0; i < count; ++i) {
        std::vector<host::WindowEvent> events;
        if (m_script.frames.empty()) {
            host::WindowEvent activate = ofType(host::WindowEventType::Activate);
            activate.active = true;
            events = {activate, ofType(host::WindowEventType::FocusGained)};
        }
        frame(milliseconds, std::move(events));
    }
    return *this;
}

ReplayScript& ReplayScript::frame(std::uint32_t milliseconds, std::vector<host::WindowEvent> events) {
    m_script.frames.push_back({milliseconds, std::move(events)});
    return *this;
}

ReplayScript& ReplayScript::keyTap(std::int32_t key, std::uint32_t milliseconds) {
    frame(milliseconds, {keyEvent(host::WindowEventType::KeyDown, key)});
    return frame(milliseconds, {keyEvent(host::WindowEventType::KeyUp, key)});
}

ReplayScript& ReplayScript::stylusTap(std::int32_t x, std::int32_t y, std::uint32_t milliseconds) {
    frame(milliseconds, {stylusEvent(host::WindowEventType::StylusDown, x, y)});
    return frame(milliseconds, {stylusEvent(host::WindowEventType::StylusUp, x, y)});
}

ReplayScript& ReplayScript::quit() {
    return frame(0, {ofType(host::WindowEventType::Quit)});
}

std::string ReplayScript::text() const {
    auto text = host::formatScript(m_script);
    HOST_VERIFY_MSG(text.ok(), "a replay script holds a value no script carries");
    return std::move(text).value();
}

Bytes ReplayScript::bytes() const {
    std::string written = text();
    return Bytes(written.begin(), written.end());
}

} // namespace datakit
