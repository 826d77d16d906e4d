#pragma once

// `OrvelLibPlayer`: plays one animation of one sprite. It keeps the
// current animation frame and the milliseconds spent on it, steps frames by
// the frame times of the sprite data (in units of `s_aframeTimeUnit`
// milliseconds, Paint.h), loops or stops at the end of a pass, and paints
// the current frame with its hotspot at (m_x, m_y).
//
// The game starts an animation by writing the fields: m_anim, m_aframe 0,
// m_time 0, m_loops (further passes; negative loops forever) and m_stopped
// false. A frame whose time is 0 holds the player until the game moves it.
//
// The class is also the Runnable the framework runs as its sound thread;
// that loop belongs to the sound layer (game/data/SoundThread.h). Threads:
// the game thread only, apart from `run`, which is the sound thread.

#include "runtime/Object.h"
#include "runtime/ReferenceFields.h"

#include <cstdint>

namespace game {

class ASprite;

class OrvelLibPlayer final : public rt::Object, public rt::java_lang_Runnable {
public:
    static constexpr rt::ClassId kClassId = rt::ClassId::OrvelLibPlayer;

    // Every field 0.
    OrvelLibPlayer()
        : Object(kClassId) {}

    void* getInterface(rt::ClassId interfaceId) override;
    // The sound thread's body: drains the channel layer's commands every
    // period until the thread is told to stop.
    void run() override;

    // Idle: no animation, one further pass, stopped, no sprite, all else 0.
    void initFields();
    // Idle on `sprite` at (x, y), looping forever and not stopped.
    void initWithSprite(ASprite* sprite, std::int32_t x, std::int32_t y);
    // Back to the idle state of `initFields` (the sprite dropped too).
    void reset() { initFields(); }
    // Advances by `dt` ms: steps as many frames as the time already
    // accumulated covers, then adds `dt`, so a frame change shows one update
    // after its time was reached. Nothing while stopped, idle or held.
    void update(std::int32_t dt);
    // Paints the current frame on the frame's Graphics; nothing while idle
    // or stopped.
    void render();
    // True while idle or after the last pass; never while looping forever.
    bool isOver() const;
    // The animation's frame count, -1 while idle.
    std::int32_t getAFrameCount() const;
    // The current frame's duration in ms, 0 while idle.
    std::int32_t getFrameDuration() const;

    std::int32_t m_x = 0;
    std::int32_t m_y = 0;
    std::int32_t m_flags = 0;
    ASprite* m_sprite = nullptr;
    std::int32_t m_anim = 0;
    std::int32_t m_aframe = 0;
    std::int32_t m_time = 0;
    std::int32_t m_loops = 0;
    std::int8_t m_stopped = 0;
    // Render alpha and scale: used only by render effects this game does not have.
    std::int32_t m_alpha = 0;
    std::int32_t m_scale = 0;

    RT_REFERENCE_FIELDS(OrvelLibPlayer, Object, m_sprite)
};

} // namespace game
