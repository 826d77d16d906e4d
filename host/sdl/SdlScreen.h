#pragma once

#include "host/Screen.h"
#include "host/sdl/SdlFrameHandoff.h"

#include <vector>

namespace host {

// The screen of the sdl host: presenting hands a copy to the window thread.
class SdlScreen final : public Screen {
public:
    SdlScreen(ScreenSize size, SdlFrameHandoff& handoff)
        : m_size(size)
        , m_pixels(static_cast<std::size_t>(size.width) * static_cast<std::size_t>(size.height))
        , m_handoff(handoff) {}

    ScreenSize size() const override { return m_size; }
    std::span<std::uint16_t> pixels() override { return m_pixels; }
    void present() override {
        notifyPresented(m_pixels);
        m_handoff.put(m_pixels);
    }

private:
    ScreenSize m_size;
    std::vector<std::uint16_t> m_pixels;
    SdlFrameHandoff& m_handoff;
};

} // namespace host
