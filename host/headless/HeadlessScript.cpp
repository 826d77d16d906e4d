#include "host/headless/HeadlessScript.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <fstream>
#include <sstream>

namespace host {

namespace {

struct NamedKey {
    std::string_view name;
    std::int32_t key;
};

constexpr NamedKey kNamedKeys[] = {
    {"RETURN", vk::Return}, {"ESCAPE", vk::Escape}, {"HOME", vk::Home},        {"LEFT", vk::Left},
    {"UP", vk::Up},         {"RIGHT", vk::Right},   {"DOWN", vk::Down},        {"BACK", vk::Back},
    {"TAB", vk::Tab},       {"SPACE", vk::Space},   {"LWIN", vk::LeftWindows}, {"RWIN", vk::RightWindows},
};

std::string upper(std::string_view text) {
    std::string result(text);
    for (char& c : result)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return result;
}

template <class T>
bool parseNumber(std::string_view text, T& value) {
    if (text.empty())
        return false;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

bool parseKey(std::string_view word, std::int32_t& key) {
    std::string name = upper(word);
    if (name.size() == 1 && std::isalnum(static_cast<unsigned char>(name[0]))) {
        key = name[0];
        return true;
    }
    if (name.size() > 1 && name[0] == '#')
        return parseNumber(std::string_view(name).substr(1), key) && key >= 0 && key <= 255;
    if (name.size() > 1 && name[0] == 'F') {
        int number = 0;
        if (parseNumber(std::string_view(name).substr(1), number) && number >= 1 && number <= 12) {
            key = vk::F1 + number - 1;
            return true;
        }
    }
    for (const auto& named : kNamedKeys) {
        if (named.name == name) {
            key = named.key;
            return true;
        }
    }
    return false;
}

bool parsePower(std::string_view word, PowerTransition& power) {
    std::string name = upper(word);
    if (name == "ON")
        power = PowerTransition::On;
    else if (name == "IDLE")
        power = PowerTransition::Idle;
    else if (name == "SUSPEND")
        power = PowerTransition::Suspend;
    else if (name == "UNATTENDED")
        power = PowerTransition::Unattended;
    else
        return false;
    return true;
}

// Reads the event of a timed line from its words after the time; an empty
// string when it is fine, else the reason.
std::string parseEvent(const std::vector<std::string>& words, WindowEvent& event) {
    const std::string& name = words[1];
    std::size_t arguments = words.size() - 2;
    auto expect = [&](std::size_t count) -> std::string {
        if (arguments == count)
            return {};
        return "'" + name + "' takes " + std::to_string(count) + " argument(s)";
    };

    struct Simple {
        std::string_view name;
        WindowEventType type;
        bool active;
    };
    static constexpr Simple kSimple[] = {
        {"activate", WindowEventType::Activate, true},
        {"deactivate", WindowEventType::Activate, false},
        {"focus-gained", WindowEventType::FocusGained, false},
        {"focus-lost", WindowEventType::FocusLost, false},
        {"settings-changed", WindowEventType::DisplaySettingsChanged, false},
        {"quit", WindowEventType::Quit, false},
    };
    for (const auto& simple : kSimple) {
        if (simple.name == name) {
            event.type = simple.type;
            event.active = simple.active;
            return expect(0);
        }
    }
    if (name == "key-down" || name == "key-up") {
        event.type = name == "key-down" ? WindowEventType::KeyDown : WindowEventType::KeyUp;
        if (auto problem = expect(1); !problem.empty())
            return problem;
        if (!parseKey(words[2], event.key))
            return "unknown key '" + words[2] + "'";
        return {};
    }
    if (name == "stylus-down" || name == "stylus-move" || name == "stylus-up") {
        event.type = name == "stylus-down"   ? WindowEventType::StylusDown
                     : name == "stylus-move" ? WindowEventType::StylusMove
                                             : WindowEventType::StylusUp;
        if (auto problem = expect(2); !problem.empty())
            return problem;
        if (!parseNumber(words[2], event.x) || !parseNumber(words[3], event.y))
            return "stylus positions are whole numbers";
        return {};
    }
    if (name == "power") {
        event.type = WindowEventType::Power;
        if (auto problem = expect(1); !problem.empty())
            return problem;
        if (!parsePower(words[2], event.power))
            return "unknown power transition '" + words[2] + "'";
        return {};
    }
    return "unknown event '" + name + "'";
}

// Reads the events of a frame line, the words after its milliseconds split
// at commas; an empty string when they are fine, else the reason.
std::string parseFrameEvents(const std::vector<std::string>& words, std::vector<WindowEvent>& events) {
    std::vector<std::string> eventWords{"frame"};
    auto finishEvent = [&]() -> std::string {
        if (eventWords.size() < 2)
            return "a frame's events are separated by single commas";
        WindowEvent event;
        if (auto problem = parseEvent(eventWords, event); !problem.empty())
            return problem;
        events.push_back(event);
        eventWords.resize(1);
        return {};
    };
    bool pending = false;
    for (std::size_t i = 2; i < words.size(); ++i) {
        std::string_view word = words[i];
        while (!word.empty()) {
            std::size_t comma = word.find(',');
            if (comma != 0) {
                eventWords.emplace_back(word.substr(0, comma));
                pending = true;
            }
            if (comma == std::string_view::npos)
                break;
            if (auto problem = finishEvent(); !problem.empty())
                return problem;
            pending = false;
            word.remove_prefix(comma + 1);
        }
    }
    if (pending)
        return finishEvent();
    if (eventWords.size() == 1 && words.size() > 2)
        return "a frame line ends with an event, not a comma";
    return {};
}

std::string keyName(std::int32_t key) {
    if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9'))
        return std::string(1, static_cast<char>(key));
    if (key >= vk::F1 && key <= vk::F12)
        return "F" + std::to_string(key - vk::F1 + 1);
    for (const auto& named : kNamedKeys) {
        if (named.key == key)
            return std::string(named.name);
    }
    return "#" + std::to_string(key);
}

std::string_view powerName(PowerTransition power) {
    switch (power) {
    case PowerTransition::On:
        return "on";
    case PowerTransition::Idle:
        return "idle";
    case PowerTransition::Suspend:
        return "suspend";
    case PowerTransition::Unattended:
        return "unattended";
    }
    return "on";
}

} // namespace

Result<std::string> formatEvent(const WindowEvent& event) {
    auto stylus = [&](const char* name) {
        return std::string(name) + " " + std::to_string(event.x) + " " + std::to_string(event.y);
    };
    switch (event.type) {
    case WindowEventType::Activate:
        return std::string(event.active ? "activate" : "deactivate");
    case WindowEventType::FocusGained:
        return std::string("focus-gained");
    case WindowEventType::FocusLost:
        return std::string("focus-lost");
    case WindowEventType::KeyDown:
    case WindowEventType::KeyUp:
        if (event.key < 0 || event.key > 255)
            return Error::withMessage("a script carries key codes 0 to 255, not " +
                                      std::to_string(event.key));
        return std::string(event.type == WindowEventType::KeyDown ? "key-down " : "key-up ") +
               keyName(event.key);
    case WindowEventType::StylusDown:
        return stylus("stylus-down");
    case WindowEventType::StylusMove:
        return stylus("stylus-move");
    case WindowEventType::StylusUp:
        return stylus("stylus-up");
    case WindowEventType::DisplaySettingsChanged:
        return std::string("settings-changed");
    case WindowEventType::Power:
        return "power " + std::string(powerName(event.power));
    case WindowEventType::Quit:
        return std::string("quit");
    }
    return Error::withMessage("an event the script cannot carry");
}

Result<std::string> formatFrame(const ScriptedFrame& frame) {
    std::string line = "frame " + std::to_string(frame.milliseconds);
    const char* separator = " ";
    for (const WindowEvent& event : frame.events) {
        line += separator + HOST_TRY(formatEvent(event));
        separator = ", ";
    }
    return line;
}

Result<std::string> formatScript(const Script& script) {
    std::string text;
    for (bool answer : script.answers)
        text += answer ? "answer yes\n" : "answer no\n";
    for (DisplayFault fault : script.faults)
        text += "fault " + std::string(displayFaultName(fault)) + "\n";
    if (script.hashFrames)
        text += "hash-frames\n";
    if (script.seed)
        text += "seed " + std::to_string(*script.seed) + "\n";
    auto timeText = [](std::uint64_t time) -> Result<std::string> {
        if (time > 0xFFFFFFFFu)
            return Error::withMessage("a script's times end at 4294967295 ms");
        return std::to_string(time);
    };
    for (const ScriptedEvent& scripted : script.events)
        text += HOST_TRY(timeText(scripted.time)) + " " + HOST_TRY(formatEvent(scripted.event)) + "\n";
    for (const ScriptedOrientation& orientation : script.orientations)
        text += HOST_TRY(timeText(orientation.time)) + " orientation " +
                std::to_string(orientation.orientation) + "\n";
    for (const ScriptedFrame& frame : script.frames)
        text += HOST_TRY(formatFrame(frame)) + "\n";
    return text;
}

Result<Script> parseScript(std::string_view text) {
    Script script;
    std::uint64_t previousTime = 0;
    std::istringstream lines{std::string(text)};
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        if (auto hash = line.find('#'); hash != std::string::npos) {
            // '#' also starts a raw key code ("#65"); a comment is a '#' at the
            // start of the line or after white space that is not followed by
            // a digit.
            std::size_t at = hash;
            while (at != std::string::npos) {
                bool startsWord = at == 0 || std::isspace(static_cast<unsigned char>(line[at - 1]));
                bool isCode = at + 1 < line.size() && std::isdigit(static_cast<unsigned char>(line[at + 1]));
                if (startsWord && !isCode) {
                    line.erase(at);
                    break;
                }
                at = line.find('#', at + 1);
            }
        }
        std::istringstream wordStream(line);
        std::vector<std::string> words;
        for (std::string word; wordStream >> word;)
            words.push_back(word);
        if (words.empty())
            continue;
        auto fail = [&](const std::string& reason) {
            return Error::withMessage("script line " + std::to_string(number) + ": " + reason);
        };

        if (words[0] == "answer") {
            if (words.size() != 2 || (words[1] != "yes" && words[1] != "no"))
                return fail("'answer' takes yes or no");
            script.answers.push_back(words[1] == "yes");
            continue;
        }
        if (words[0] == "fault") {
            if (words.size() != 2)
                return fail("'fault' takes a fault name");
            auto fault = displayFaultByName(words[1]);
            if (!fault)
                return fail("unknown fault '" + words[1] + "'");
            script.faults.push_back(*fault);
            continue;
        }

        if (words[0] == "seed") {
            std::int64_t seed = 0;
            if (words.size() != 2 || !parseNumber(words[1], seed))
                return fail("'seed' takes a whole number");
            script.seed = seed;
            continue;
        }
        if (words[0] == "frame") {
            ScriptedFrame frame;
            if (words.size() < 2 || !parseNumber(words[1], frame.milliseconds))
                return fail("'frame' takes its milliseconds, then its events separated by commas");
            if (auto problem = parseFrameEvents(words, frame.events); !problem.empty())
                return fail(problem);
            script.frames.push_back(std::move(frame));
            continue;
        }

        if (words[0] == "hash-frames") {
            if (words.size() != 1)
                return fail("'hash-frames' takes no argument");
            script.hashFrames = true;
            continue;
        }

        std::string_view timeText = words[0];
        bool relative = timeText.starts_with('+');
        if (relative)
            timeText.remove_prefix(1);
        std::uint64_t time = 0;
        if (!parseNumber(timeText, time) || time > 0xFFFFFFFFu)
            return fail("a line starts with a time in milliseconds, 'answer', 'fault', 'hash-frames', 'seed' "
                        "or 'frame'");
        if (relative)
            time += previousTime;
        // The tick is 32 bits: a later time would never come.
        if (time > 0xFFFFFFFFu)
            return fail("a script's times end at 4294967295 ms");
        if (words.size() < 2)
            return fail("a time needs an event");
        if (words[1] == "orientation") {
            std::int32_t orientation = 0;
            if (words.size() != 3 || !parseNumber(words[2], orientation) ||
                (orientation != 0 && orientation != 1 && orientation != 2 && orientation != 4))
                return fail("'orientation' takes 0, 1, 2 or 4");
            script.orientations.push_back({time, orientation});
            previousTime = time;
            continue;
        }
        ScriptedEvent scripted;
        scripted.time = time;
        if (auto problem = parseEvent(words, scripted.event); !problem.empty())
            return fail(problem);
        script.events.push_back(scripted);
        previousTime = time;
    }
    std::stable_sort(script.events.begin(), script.events.end(),
                     [](const ScriptedEvent& a, const ScriptedEvent& b) { return a.time < b.time; });
    std::stable_sort(
        script.orientations.begin(), script.orientations.end(),
        [](const ScriptedOrientation& a, const ScriptedOrientation& b) { return a.time < b.time; });
    return script;
}

Result<Script> loadScript(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return Error::withMessage("cannot read the script " + path);
    std::ostringstream text;
    text << file.rdbuf();
    return parseScript(text.str());
}

} // namespace host
