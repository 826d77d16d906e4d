#include "tools/tour/Tour.h"

#include "game/Game.h"
#include "game/framework/SpriteSlots.h"
#include "game/framework/Touch.h"
#include "game/promo/PromoScreenStatics.h"
#include "host/headless/HeadlessHost.h"
#include "host/headless/HeadlessScript.h"
#include "host/png/PngWriter.h"
#include "platform/shell/Program.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace tour {

namespace {

// The device's screen is portrait; the game draws turned on it, so the game
// point (x, y) is the screen's (kGameHeight - y, x), as the stylus reports it.
constexpr std::int32_t kScreenWidth = kGameHeight;

// A step looks at the screen no sooner than this after the last one acted
// (a tap or a key takes effect as it is released, frames later).
constexpr std::uint64_t kSettleAfterAct = 400;

// The drawing calls kept as what the screen shows (a race draws thousands a frame).
constexpr std::size_t kShownLimit = 20000;

// A key event as a script line writes it ("key-down F1"): the script's key
// names are the keyboard's codes.
host::WindowEvent scriptedEvent(const std::string& line) {
    auto script = host::parseScript("0 " + line + "\n");
    return script ? script.value().events.front().event : host::WindowEvent{};
}

std::string narrow(std::u16string_view text) {
    std::string out;
    for (char16_t c : text)
        out += c < 0x80 ? static_cast<char>(c) : '?';
    return out;
}

// The record stores a run leaves in the program folder (the player's progress).
bool isRecordStore(const std::filesystem::path& file) {
    return file.filename().string().starts_with("rms_");
}

int s_runs = 0;

} // namespace

class TourRun final : public game::DrawingTap {
public:
    explicit TourRun(const std::vector<Step>& steps)
        : m_steps(steps) {}

    void record(const game::DrawRecord& record) override { m_draws.push_back(record); }

    std::vector<host::WindowEvent> presented(std::span<const std::uint16_t> portrait, std::uint64_t now) {
        Frame frame;
        const game::StateStatics& states = game::stateStatics();
        frame.state = states.s_state;
        frame.stackDepth = states.s_stateStackDepth;
        // The time on the screen counts from the first frame the tour saw in
        // the state (the game's own count starts a frame later).
        if (m_result.states.empty() || m_result.states.back() != frame.state) {
            m_result.states.push_back(frame.state);
            m_stateSince = now;
            m_shown.clear();
        }
        if (m_trace == '2')
            for (const game::DrawRecord& draw : m_draws)
                if (draw.depth == 0 || draw.call == game::DrawCall::DrawText) {
                    std::fprintf(stderr, "tour:   %d:%d", draw.depth, static_cast<int>(draw.call));
                    for (std::int32_t i = 0; i < draw.argCount; ++i)
                        std::fprintf(stderr, " %d", draw.args[static_cast<std::size_t>(i)]);
                    std::fprintf(stderr, " %s\n", narrow(draw.text).c_str());
                }
        // Screens draw what changes only: what is shown is everything drawn
        // since the state began, the latest last.
        for (const game::DrawRecord& draw : m_draws)
            if (draw.call == game::DrawCall::DrawText)
                m_textHistory.push_back(draw);
        if (m_textHistory.size() > kShownLimit)
            m_textHistory.erase(m_textHistory.begin(), m_textHistory.end() - kShownLimit);
        frame.textHistory = m_textHistory;
        m_shown.insert(m_shown.end(), std::make_move_iterator(m_draws.begin()),
                       std::make_move_iterator(m_draws.end()));
        m_draws.clear();
        trimShown();
        frame.draws = m_shown;
        frame.portrait = portrait;
        frame.now = now;
        frame.stateTime = static_cast<std::int32_t>(now - m_stateSince);
        if (frame.state == game::State::Race)
            ++m_result.raceFrames;

        if (m_trace)
            std::fprintf(stderr, "tour: %llu ms, state %d for %d ms, step %zu, texts %s\n",
                         static_cast<unsigned long long>(now), game::stateNumber(frame.state),
                         frame.stateTime, m_step, frame.texts().c_str());
        std::vector<host::WindowEvent> events = duePlayerEvents();
        if (m_done || !m_player.m_pending.empty())
            return given(events, now);
        if (m_step == m_steps.size()) {
            m_result.finished = true;
            finish(events);
            return given(events, now);
        }
        const Step& step = m_steps[m_step];
        if (m_stepStart == 0)
            m_stepStart = now + 1;
        m_player.m_step = m_step;
        if (now < m_lastActAt + kSettleAfterAct || !step.ready(frame)) {
            if (step.during)
                step.during(frame, m_player);
            if (now + 1 - m_stepStart > static_cast<std::uint64_t>(step.timeoutMs)) {
                fail(frame, "waited " + std::to_string(step.timeoutMs / 1000) + " s for " + step.what +
                                "; the screen shows state " + std::to_string(game::stateNumber(frame.state)) +
                                ", texts: " + frame.texts());
                finish(events);
            }
            return given(events, now);
        }
        if (!step.shot.empty())
            m_result.pictures.push_back({step.shot, frame.landscape(), frame.cutTexts(), frame.cutFrames()});
        std::string problem;
        if (step.act && !step.act(frame, m_player, problem)) {
            fail(frame, step.what + ": " + problem);
            finish(events);
            return given(events, now);
        }
        ++m_step;
        m_stepStart = 0;
        m_lastActAt = now;
        if (m_step == m_steps.size())
            m_result.finished = true;
        for (const host::WindowEvent& event : duePlayerEvents())
            events.push_back(event);
        return given(events, now);
    }

    TourResult& result() { return m_result; }

private:
    // Notes the events handed to the window after the present at `now`:
    // the player's as they fell due, then the closing quit.
    std::vector<host::WindowEvent>& given(std::vector<host::WindowEvent>& events, std::uint64_t now) {
        for (std::size_t i = 0; i < events.size(); ++i)
            m_result.inputs.push_back(
                {now, events[i], i < m_dueSteps.size() ? m_dueSteps[i] : m_steps.size()});
        m_dueSteps.clear();
        return events;
    }

    // Holds what is shown to its bound: the oldest calls go first, texts
    // last, since a screen draws its labels once and a busy screen's other
    // calls would soon push them out.
    void trimShown() {
        if (m_shown.size() <= kShownLimit)
            return;
        std::size_t excess = m_shown.size() - kShownLimit;
        std::size_t kept = 0;
        for (std::size_t i = 0; i < m_shown.size(); ++i) {
            if (excess > 0 && m_shown[i].call != game::DrawCall::DrawText) {
                --excess;
                continue;
            }
            if (kept != i)
                m_shown[kept] = std::move(m_shown[i]);
            ++kept;
        }
        m_shown.resize(kept);
        if (m_shown.size() > kShownLimit)
            m_shown.erase(m_shown.begin(), m_shown.end() - kShownLimit);
    }

    std::vector<host::WindowEvent> duePlayerEvents() {
        std::vector<host::WindowEvent> due;
        auto& pending = m_player.m_pending;
        for (auto it = pending.begin(); it != pending.end();) {
            if (it->afterFrames-- > 0) {
                ++it;
                continue;
            }
            host::WindowEvent event;
            event.type = static_cast<host::WindowEventType>(it->event[0]);
            event.key = it->event[1];
            event.x = it->event[2];
            event.y = it->event[3];
            due.push_back(event);
            m_dueSteps.push_back(it->step);
            it = pending.erase(it);
        }
        return due;
    }

    void fail(const Frame& frame, const std::string& problem) {
        m_result.problem = problem;
        m_result.pictures.push_back({"stuck", frame.landscape(), frame.cutTexts(), frame.cutFrames()});
    }

    void finish(std::vector<host::WindowEvent>& events) {
        m_done = true;
        host::WindowEvent quit;
        quit.type = host::WindowEventType::Quit;
        events.push_back(quit);
    }

    const std::vector<Step>& m_steps;
    // VORLAX_TOUR_TRACE=1: a line per frame on standard error; 2: also
    // each call the frame drew itself (its kind and arguments).
    const char m_trace = std::getenv("VORLAX_TOUR_TRACE") ? *std::getenv("VORLAX_TOUR_TRACE") : '\0';
    std::size_t m_step = 0;
    std::uint64_t m_stepStart = 0;
    std::uint64_t m_lastActAt = 0;
    bool m_done = false;
    Player m_player;
    std::vector<game::DrawRecord> m_draws;
    std::vector<std::size_t> m_dueSteps; // the steps of the events due this frame, in order
    std::vector<game::DrawRecord> m_shown;
    std::vector<game::DrawRecord> m_textHistory;
    std::uint64_t m_stateSince = 0;
    TourResult m_result;
};

std::vector<std::uint16_t> Frame::landscape() const {
    std::vector<std::uint16_t> out(static_cast<std::size_t>(kGameWidth * kGameHeight));
    if (portrait.size() < out.size())
        return out;
    for (std::int32_t y = 0; y < kGameHeight; ++y)
        for (std::int32_t x = 0; x < kGameWidth; ++x)
            out[static_cast<std::size_t>(y * kGameWidth + x)] =
                portrait[static_cast<std::size_t>(x * kScreenWidth + (kScreenWidth - 1 - y))];
    return out;
}

std::vector<std::string> Frame::cutTexts() const {
    std::vector<std::string> cut;
    for (std::size_t i = 0; i < draws.size(); ++i) {
        const game::DrawRecord& draw = draws[i];
        if (draw.call != game::DrawCall::DrawText || draw.text.empty())
            continue;
        // The text as the screen shows it: its latest drawing.
        const auto later =
            std::find_if(draws.begin() + static_cast<std::ptrdiff_t>(i) + 1, draws.end(),
                         [&draw](const game::DrawRecord& other) {
                             return other.call == game::DrawCall::DrawText && other.text == draw.text;
                         });
        if (later != draws.end())
            continue;
        const auto [x, y, width, height] = draw.box;
        if (x >= 0 && y >= 0 && x + width <= kGameWidth && y + height <= kGameHeight)
            continue;
        // A text drawn elsewhere too (a ticker, a menu sliding in or out) moves.
        const bool moves =
            std::any_of(textHistory.begin(), textHistory.end(), [&draw](const game::DrawRecord& other) {
                return other.text == draw.text &&
                       (other.box[0] != draw.box[0] || other.box[1] != draw.box[1]);
            });
        if (!moves)
            cut.push_back(narrow(draw.text));
    }
    return cut;
}

std::vector<std::string> Frame::cutFrames() const {
    std::vector<std::string> cut;
    using game::State;
    if (state == State::RacerIntro || state == State::TrackFlyover || state == State::RaceCountdown ||
        state == State::Race)
        return cut;
    for (const game::DrawRecord& draw : draws) {
        if (draw.call != game::DrawCall::PaintFrame || draw.depth != 0)
            continue;
        std::int32_t slot = 0;
        while (slot < game::kSpriteCount && game::spriteAt(slot) != draw.subject)
            ++slot;
        const auto [left, top, width, height] = draw.box;
        const std::int32_t right = left + width;
        const std::int32_t bottom = top + height;
        const bool inside = left >= 0 && top >= 0 && right <= kGameWidth && bottom <= kGameHeight;
        const bool outside = right <= 0 || bottom <= 0 || left >= kGameWidth || top >= kGameHeight;
        if (slot == game::kSpriteCount || width <= 0 || inside || outside)
            continue;
        // A frame drawn at other places too (scenery, a sliding panel) moves.
        const bool moves = std::any_of(draws.begin(), draws.end(), [&draw](const game::DrawRecord& other) {
            return other.call == game::DrawCall::PaintFrame && other.subject == draw.subject &&
                   other.args[0] == draw.args[0] &&
                   (other.args[1] != draw.args[1] || other.args[2] != draw.args[2]);
        });
        if (moves)
            continue;
        const std::string what = "frame " + std::to_string(draw.args[0]) + " of sprite " +
                                 std::to_string(slot) + " at (" + std::to_string(draw.args[1]) + ", " +
                                 std::to_string(draw.args[2]) + ")";
        if (std::find(cut.begin(), cut.end(), what) == cut.end())
            cut.push_back(what);
    }
    return cut;
}

const game::DrawRecord* Frame::findText(std::u16string_view text) const {
    for (auto draw = draws.rbegin(); draw != draws.rend(); ++draw)
        if (draw->call == game::DrawCall::DrawText && draw->text == text)
            return &*draw;
    return nullptr;
}

std::string Frame::texts() const {
    std::vector<std::u16string_view> seen;
    std::string out;
    for (const game::DrawRecord& draw : draws)
        if (draw.call == game::DrawCall::DrawText && !draw.text.empty() &&
            std::find(seen.begin(), seen.end(), draw.text) == seen.end()) {
            seen.push_back(draw.text);
            out += (out.empty() ? "\"" : " | \"") + narrow(draw.text) + "\"";
        }
    return out.empty() ? "none" : out;
}

void Player::tap(std::int32_t x, std::int32_t y) {
    hold(x, y, 2);
}

void Player::hold(std::int32_t x, std::int32_t y, std::int32_t frames) {
    const std::int32_t sx = kScreenWidth - y;
    const std::int32_t sy = x;
    give(0, {static_cast<std::int32_t>(host::WindowEventType::StylusDown), 0, sx, sy});
    give(frames, {static_cast<std::int32_t>(host::WindowEventType::StylusUp), 0, sx, sy});
}

void Player::hold(std::int32_t x, std::int32_t y) {
    if (m_holding && x == m_heldX && y == m_heldY)
        return;
    letGo();
    give(0, {static_cast<std::int32_t>(host::WindowEventType::StylusDown), 0, kScreenWidth - y, x});
    m_holding = true;
    m_heldX = x;
    m_heldY = y;
}

void Player::letGo() {
    if (!m_holding)
        return;
    give(0, {static_cast<std::int32_t>(host::WindowEventType::StylusUp), 0, kScreenWidth - m_heldY, m_heldX});
    m_holding = false;
}

void Player::press(SoftKey key) {
    const char* name = key == SoftKey::Left ? "F1" : "F2";
    const host::WindowEvent down = scriptedEvent(std::string("key-down ") + name);
    const host::WindowEvent up = scriptedEvent(std::string("key-up ") + name);
    give(0, {static_cast<std::int32_t>(down.type), down.key, 0, 0});
    give(2, {static_cast<std::int32_t>(up.type), up.key, 0, 0});
}

void Player::quit() {
    give(0, {static_cast<std::int32_t>(host::WindowEventType::Quit), 0, 0, 0});
}

TourResult runTour(const std::filesystem::path& programFolder, const std::vector<Step>& steps,
                   std::int64_t seed, TourPlayer player, std::int32_t raceRow) {
    TourRun run(steps);
    game::setDrawingTap(&run);
    platform::ProgramParts parts;
    parts.startup = game::startupHooks();
    parts.applyOptions = [](const platform::ProgramOptions& options) {
        if (options.raceRow >= 0)
            game::startWithQuickRace(options.raceRow);
    };
    parts.adjustHeadless = [&run](host::HeadlessOptions& options) {
        options.afterPresent = [&run](std::span<const std::uint16_t> frame, std::uint64_t now) {
            return run.presented(frame, now);
        };
    };
    // A player who has never played: a copy of the data set without the
    // record stores an earlier run left.
    std::error_code error;
    const bool firstTime = player == TourPlayer::FirstTime;
    const std::filesystem::path fresh =
        firstTime ? std::filesystem::temp_directory_path() /
                        ("vorlax-tour-" + std::to_string(::getpid()) + "-" + std::to_string(s_runs++))
                  : programFolder;
    if (firstTime) {
        std::filesystem::remove_all(fresh, error);
        std::filesystem::create_directories(fresh, error);
        for (const auto& entry : std::filesystem::directory_iterator(programFolder, error))
            if (entry.is_regular_file() && !isRecordStore(entry.path()))
                std::filesystem::copy_file(entry.path(), fresh / entry.path().filename(), error);
    }
    const std::string seedText = std::to_string(seed);
    const std::string folder = fresh.string();
    const std::string rowText = std::to_string(raceRow);
    std::vector<const char*> argv = {"vorlax", "--headless", "--seed", seedText.c_str()};
    if (raceRow >= 0) {
        argv.push_back("--race");
        argv.push_back(rowText.c_str());
    }
    argv.push_back(folder.c_str());
    const int status = platform::runProgram(argv, parts);
    game::setDrawingTap(nullptr);
    if (firstTime)
        std::filesystem::remove_all(fresh, error);
    TourResult result = std::move(run.result());
    result.exitStatus = status;
    if (result.finished && status != 0)
        result.problem = "the program ended with status " + std::to_string(status);
    return result;
}

bool writePicture(const Picture& picture, const std::filesystem::path& path, std::string& problem) {
    auto written = host::writePng(path.string(), picture.pixels, kGameWidth, kGameHeight);
    if (!written)
        problem = written.error().message;
    return written.ok();
}

namespace steps {

std::function<bool(const Frame&)> inState(game::State state, std::int32_t settleMs) {
    return
        [state, settleMs](const Frame& frame) { return frame.state == state && frame.stateTime >= settleMs; };
}

std::function<bool(const Frame&)> showing(game::State state, std::u16string text, std::int32_t settleMs) {
    return [state, text = std::move(text), settleMs](const Frame& frame) {
        return frame.state == state && frame.stateTime >= settleMs && frame.findText(text);
    };
}

std::function<bool(const Frame&, Player&, std::string&)> tapText(std::u16string text) {
    return holdText(std::move(text), 2);
}

std::function<bool(const Frame&, Player&, std::string&)> holdText(std::u16string text, std::int32_t frames) {
    return [text = std::move(text), frames](const Frame& frame, Player& player, std::string& problem) {
        const game::DrawRecord* drawn = frame.findText(text);
        if (!drawn) {
            problem = "\"" + narrow(text) + "\" is not drawn; texts: " + frame.texts();
            return false;
        }
        const auto [x, y, width, height] = drawn->box;
        player.hold(x + width / 2, y + height / 2, frames);
        return true;
    };
}

std::function<bool(const Frame&, Player&, std::string&)> tapFrame(std::int32_t slot, std::int32_t frame) {
    return holdFrame(slot, frame, 2);
}

std::function<bool(const Frame&, Player&, std::string&)> holdFrame(std::int32_t slot, std::int32_t frame,
                                                                   std::int32_t frames) {
    return [slot, frame, frames](const Frame& shown, Player& player, std::string& problem) {
        rt::Object* sprite = game::spriteAt(slot);
        for (auto draw = shown.draws.rbegin(); sprite && draw != shown.draws.rend(); ++draw) {
            if (draw->call != game::DrawCall::PaintFrame || draw->depth != 0 || draw->subject != sprite ||
                draw->args[0] != frame)
                continue;
            const auto [x, y, width, height] = draw->box;
            player.hold(x + width / 2, y + height / 2, frames);
            return true;
        }
        problem = "frame " + std::to_string(frame) + " of sprite " + std::to_string(slot) + " is not drawn";
        return false;
    };
}

std::function<bool(const Frame&, Player&, std::string&)> tapPromoImage(std::vector<std::int32_t> images,
                                                                       std::string name) {
    return [images = std::move(images), name = std::move(name)](const Frame& frame, Player& player,
                                                                std::string& problem) {
        const rt::ObjectArray* screenImages = game::promoScreenStatics().s_screenImages;
        for (auto draw = frame.draws.rbegin(); screenImages && draw != frame.draws.rend(); ++draw)
            for (std::int32_t image : images)
                if (draw->call == game::DrawCall::DrawImage && image < screenImages->length() &&
                    draw->subject == rt::ObjectArray::get(screenImages, image)) {
                    player.tap(draw->box[0] + draw->box[2] / 2, draw->box[1] + draw->box[3] / 2);
                    return true;
                }
        problem = "the " + name + " is not drawn";
        return false;
    };
}

std::function<bool(const Frame&, Player&, std::string&)> tapAt(std::int32_t x, std::int32_t y) {
    return [x, y](const Frame&, Player& player, std::string&) {
        player.tap(x, y);
        return true;
    };
}

std::function<bool(const Frame&, Player&, std::string&)> press(SoftKey key) {
    return [key](const Frame&, Player& player, std::string&) {
        player.press(key);
        return true;
    };
}

std::function<bool(const Frame&, Player&, std::string&)> nothing() {
    return [](const Frame&, Player&, std::string&) { return true; };
}

} // namespace steps

} // namespace tour
