#pragma once

// A log of every drawing wrapper and sprite paint a painter calls, kept
// beside the pixels: installed as the game's drawing tap for its lifetime.
// Tests compare it as text lines, one per call, e.g.
//   "fillRect 0 0 640 20 clip 0 0 640 480 colour 3d2d47"
// and keep to the painter's own calls (depth 0) unless they ask for more.

#include "game/framework/DrawingTap.h"

#include <cstdio>
#include <string>
#include <vector>

namespace testing_support {

class DrawingLog final : public game::DrawingTap {
public:
    DrawingLog() { game::setDrawingTap(this); }
    ~DrawingLog() override { game::setDrawingTap(nullptr); }
    DrawingLog(const DrawingLog&) = delete;
    DrawingLog& operator=(const DrawingLog&) = delete;

    void record(const game::DrawRecord& record) override { m_records.push_back(record); }
    void clear() { m_records.clear(); }

    const std::vector<game::DrawRecord>& records() const { return m_records; }
    // The calls a painter made itself, optionally of one kind only.
    std::vector<game::DrawRecord> outer() const {
        std::vector<game::DrawRecord> out;
        for (const game::DrawRecord& r : m_records)
            if (r.depth == 0)
                out.push_back(r);
        return out;
    }
    std::vector<game::DrawRecord> outer(game::DrawCall call) const {
        std::vector<game::DrawRecord> out;
        for (const game::DrawRecord& r : outer())
            if (r.call == call)
                out.push_back(r);
        return out;
    }

    static const char* name(game::DrawCall call) {
        static const char* const names[] = {
            "fillRect",    "fillRectAlpha", "drawLine",       "drawRect",        "drawRegion",  "drawImage",
            "drawRGB",     "drawString",    "fillGradient",   "fillTriangle",    "paintModule", "paintFrame",
            "paintAFrame", "paintZoomed",   "paintPreZoomed", "paintZoomedAnim", "drawText"};
        return names[static_cast<int>(call)];
    }
    // The call and its arguments only.
    static std::string call(const game::DrawRecord& r) {
        std::string out = name(r.call);
        for (std::int32_t i = 0; i < r.argCount; ++i)
            out += " " + std::to_string(r.args[i]);
        if (!r.text.empty()) {
            out += " '";
            for (char16_t c : r.text)
                out += c < 0x80 ? static_cast<char>(c) : '?';
            out += "'";
        }
        return out;
    }
    // The call with the clip and the colour it met.
    static std::string line(const game::DrawRecord& r) {
        char tail[96];
        std::snprintf(tail, sizeof tail, " clip %d %d %d %d colour %06x", r.clip[0], r.clip[1], r.clip[2],
                      r.clip[3], static_cast<unsigned>(r.colour) & 0xFFFFFFu);
        return call(r) + tail;
    }
    std::vector<std::string> lines() const {
        std::vector<std::string> out;
        for (const game::DrawRecord& r : outer())
            out.push_back(line(r));
        return out;
    }
    std::vector<std::string> calls() const {
        std::vector<std::string> out;
        for (const game::DrawRecord& r : outer())
            out.push_back(call(r));
        return out;
    }

private:
    std::vector<game::DrawRecord> m_records;
};

} // namespace testing_support
