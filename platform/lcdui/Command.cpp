#include "platform/lcdui/Command.h"

#include "runtime/Exceptions.h"

namespace platform {

javax_microedition_lcdui_Command::javax_microedition_lcdui_Command(rt::String* label,
                                                                   std::int32_t commandType,
                                                                   std::int32_t priority)
    : javax_microedition_lcdui_Command(label, nullptr, commandType, priority) {
}

// A setter that throws ends the constructor with its exception pending, as
// a throw inside a constructor does.
javax_microedition_lcdui_Command::javax_microedition_lcdui_Command(rt::String* shortLabel,
                                                                   rt::String* longLabel,
                                                                   std::int32_t commandType,
                                                                   std::int32_t priority)
    : Object(kClassId) {
    setTypeAndPriority(commandType, priority);
    if (rt::exceptionPending())
        return;
    setLabels(shortLabel, longLabel);
}

void javax_microedition_lcdui_Command::setLabels(rt::String* label, rt::String* longLabel) {
    if (!label) {
        rt::raise(rt::ClassId::java_lang_NullPointerException);
        return;
    }
    m_label = label;
    m_longLabel = longLabel;
}

void javax_microedition_lcdui_Command::setTypeAndPriority(std::int32_t commandType, std::int32_t priority) {
    if (commandType < kFirstType || commandType > kLastType) {
        rt::raise(rt::ClassId::java_lang_IllegalArgumentException);
        return;
    }
    m_commandType = commandType;
    m_priority = priority;
}

} // namespace platform
