#include "platform/lcdui/GameCanvas.h"

#include "platform/app/Application.h"
#include "platform/app/ApplicationImpl.h"
#include "platform/lcdui/Graphics.h"
#include "platform/lcdui/Image.h"

namespace platform {

javax_microedition_lcdui_game_GameCanvas::javax_microedition_lcdui_game_GameCanvas(rt::ClassId classId)
    : javax_microedition_lcdui_Canvas(classId) {
    m_offscreen = javax_microedition_lcdui_Image::createImage(getWidth(), getHeight());
}

void javax_microedition_lcdui_game_GameCanvas::flushGraphics(std::int32_t x, std::int32_t y,
                                                             std::int32_t width, std::int32_t height) {
    ApplicationImpl* impl = ApplicationImpl::current();
    Application* application = impl ? impl->getApplication() : nullptr;
    javax_microedition_lcdui_Graphics* screen = application ? application->screenGraphics() : nullptr;
    if (!screen)
        return;
    std::int32_t clipX = screen->getClipX();
    std::int32_t clipY = screen->getClipY();
    std::int32_t clipWidth = screen->getClipWidth();
    std::int32_t clipHeight = screen->getClipHeight();
    screen->setClip(x, y, width, height);
    screen->drawImage(m_offscreen, 0, 0, 0);
    screen->setClip(clipX, clipY, clipWidth, clipHeight);
}

void javax_microedition_lcdui_game_GameCanvas::flushGraphics() {
    flushGraphics(0, 0, getWidth(), getHeight());
}

} // namespace platform
