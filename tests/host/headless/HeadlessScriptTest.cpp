#include "host/headless/HeadlessScript.h"

#include <gtest/gtest.h>

namespace {

using host::WindowEvent;
using host::WindowEventType;

WindowEvent event(WindowEventType type) {
    WindowEvent e;
    e.type = type;
    return e;
}

WindowEvent key(WindowEventType type, std::int32_t code) {
    WindowEvent e = event(type);
    e.key = code;
    return e;
}

WindowEvent stylus(WindowEventType type, std::int32_t x, std::int32_t y) {
    WindowEvent e = event(type);
    e.x = x;
    e.y = y;
    return e;
}

TEST(HeadlessScript, ReadsEveryKindOfLine) {
    auto parsed = host::parseScript(R"(# a run
0 activate
0   focus-gained       # trailing comment
100 key-down f1
+50 key-up F1
+0 key-down a
160 key-down 7
170 key-down #229
180 key-up RETURN
200 stylus-down 120 -5
210 stylus-move 130 170
220 stylus-up 130 170
300 deactivate
300 focus-lost
400 settings-changed
500 power unattended
600 orientation 1
+100 orientation 0
90 quit
answer yes
answer no
fault no-ddraw-library
hash-frames
)");
    ASSERT_TRUE(parsed.ok()) << parsed.error().message;
    const host::Script& script = parsed.value();

    WindowEvent active = event(WindowEventType::Activate);
    active.active = true;
    WindowEvent power = event(WindowEventType::Power);
    power.power = host::PowerTransition::Unattended;
    std::vector<std::pair<std::uint64_t, WindowEvent>> expected = {
        {0, active},
        {0, event(WindowEventType::FocusGained)},
        {90, event(WindowEventType::Quit)},
        {100, key(WindowEventType::KeyDown, host::vk::F1)},
        {150, key(WindowEventType::KeyUp, host::vk::F1)},
        {150, key(WindowEventType::KeyDown, 'A')},
        {160, key(WindowEventType::KeyDown, '7')},
        {170, key(WindowEventType::KeyDown, host::vk::ProcessKey)},
        {180, key(WindowEventType::KeyUp, host::vk::Return)},
        {200, stylus(WindowEventType::StylusDown, 120, -5)},
        {210, stylus(WindowEventType::StylusMove, 130, 170)},
        {220, stylus(WindowEventType::StylusUp, 130, 170)},
        {300, event(WindowEventType::Activate)},
        {300, event(WindowEventType::FocusLost)},
        {400, event(WindowEventType::DisplaySettingsChanged)},
        {500, power},
    };
    ASSERT_EQ(script.events.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(script.events[i].time, expected[i].first) << "event " << i;
        EXPECT_EQ(script.events[i].event, expected[i].second) << "event " << i;
    }
    EXPECT_EQ(script.orientations, (std::vector<host::ScriptedOrientation>{{600, 1}, {700, 0}}));
    EXPECT_EQ(script.answers, (std::vector<bool>{true, false}));
    EXPECT_EQ(script.faults, (std::vector<host::DisplayFault>{host::DisplayFault::NoDirectDrawLibrary}));
    EXPECT_TRUE(script.hashFrames);
    EXPECT_FALSE(host::parseScript("0 activate\n").value().hashFrames);
}

TEST(HeadlessScript, NamesTheLineAndTheReasonOfAnError) {
    struct Case {
        const char* text;
        const char* message;
    };
    const Case cases[] = {
        {"0 activate\nten key-down A\n", "script line 2: a line starts with a time"},
        {"5 jump\n", "script line 1: unknown event 'jump'"},
        {"5 key-down\n", "script line 1: 'key-down' takes 1 argument(s)"},
        {"5 key-down F13\n", "script line 1: unknown key 'F13'"},
        {"5 key-down #300\n", "script line 1: unknown key '#300'"},
        {"5 stylus-up 1 x\n", "script line 1: stylus positions are whole numbers"},
        {"5 power off\n", "script line 1: unknown power transition 'off'"},
        {"5\n", "script line 1: a time needs an event"},
        {"answer maybe\n", "script line 1: 'answer' takes yes or no"},
        {"fault everything\n", "script line 1: unknown fault 'everything'"},
        {"4294967296 quit\n", "script line 1: a line starts with a time"},
        {"5 quit now\n", "script line 1: 'quit' takes 0 argument(s)"},
        {"5 orientation 3\n", "script line 1: 'orientation' takes 0, 1, 2 or 4"},
        {"5 orientation\n", "script line 1: 'orientation' takes 0, 1, 2 or 4"},
        {"hash-frames all\n", "script line 1: 'hash-frames' takes no argument"},
        {"4294967295 quit\n+1 quit\n", "script line 2: a script's times end at 4294967295 ms"},
        {"seed\n", "script line 1: 'seed' takes a whole number"},
        {"seed 1.5\n", "script line 1: 'seed' takes a whole number"},
        {"frame\n", "script line 1: 'frame' takes its milliseconds"},
        {"frame -40\n", "script line 1: 'frame' takes its milliseconds"},
        {"frame 40 key-down\n", "script line 1: 'key-down' takes 1 argument(s)"},
        {"frame 40 key-down A key-up A\n", "script line 1: 'key-down' takes 1 argument(s)"},
        {"frame 40 key-down A,, key-up A\n",
         "script line 1: a frame's events are separated by single commas"},
        {"frame 40 quit,\n", "script line 1: a frame line ends with an event, not a comma"},
        {"frame 40 , quit\n", "script line 1: a frame's events are separated by single commas"},
    };
    for (const Case& c : cases) {
        auto parsed = host::parseScript(c.text);
        ASSERT_FALSE(parsed.ok()) << c.text;
        EXPECT_TRUE(parsed.error().message.starts_with(c.message)) << parsed.error().message;
    }
    EXPECT_FALSE(host::loadScript("/nonexistent/script.txt").ok());
}

} // namespace

namespace {

TEST(HeadlessScript, FormattedScriptsReadBackEqual) {
    host::Script script;
    script.answers = {true, false};
    script.faults = {host::DisplayFault::NoDirectDrawLibrary};
    script.hashFrames = true;
    script.seed = -9007199254740993;
    script.events = {{0, event(WindowEventType::FocusGained)}, {4294967295u, event(WindowEventType::Quit)}};
    script.orientations = {{600, 1}, {700, 0}};
    WindowEvent power = event(WindowEventType::Power);
    power.power = host::PowerTransition::Idle;
    WindowEvent inactive = event(WindowEventType::Activate);
    script.frames = {
        {0, {}},
        {40,
         {key(WindowEventType::KeyDown, 'a'), key(WindowEventType::KeyUp, host::vk::F12),
          key(WindowEventType::KeyDown, host::vk::Left), key(WindowEventType::KeyDown, '#'),
          stylus(WindowEventType::StylusDown, -3, 640), stylus(WindowEventType::StylusMove, 0, 0),
          stylus(WindowEventType::StylusUp, 479, 1)}},
        {4294967295u,
         {power, inactive, event(WindowEventType::DisplaySettingsChanged), event(WindowEventType::Quit)}},
    };
    auto text = host::formatScript(script);
    ASSERT_TRUE(text.ok()) << text.error().message;
    auto parsed = host::parseScript(text.value());
    ASSERT_TRUE(parsed.ok()) << parsed.error().message << "\n" << text.value();
    const host::Script& back = parsed.value();
    EXPECT_EQ(back.answers, script.answers);
    EXPECT_EQ(back.faults, script.faults);
    EXPECT_EQ(back.hashFrames, script.hashFrames);
    EXPECT_EQ(back.seed, script.seed);
    ASSERT_EQ(back.events.size(), script.events.size());
    for (std::size_t i = 0; i < script.events.size(); ++i) {
        EXPECT_EQ(back.events[i].time, script.events[i].time);
        EXPECT_EQ(back.events[i].event, script.events[i].event);
    }
    EXPECT_EQ(back.orientations, script.orientations);
    EXPECT_EQ(back.frames, script.frames) << text.value();

    EXPECT_EQ(host::formatFrame(script.frames[1]).value(),
              "frame 40 key-down #97, key-up F12, key-down LEFT, key-down #35, stylus-down -3 640, "
              "stylus-move 0 0, "
              "stylus-up 479 1");
    EXPECT_FALSE(host::formatFrame({0, {key(WindowEventType::KeyDown, 256)}}).ok());
    host::Script late;
    late.events = {{4294967296u, event(WindowEventType::Quit)}};
    EXPECT_FALSE(host::formatScript(late).ok());
}

} // namespace
