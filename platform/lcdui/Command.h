#pragma once

// `javax_microedition_lcdui_Command`: a labelled command of a type and a
// priority. The platform stores commands and nothing more.

#include "classlib/ClassLibrary.h"
#include "runtime/Object.h"
#include "runtime/String.h"

#include <cstdint>

namespace platform {

class javax_microedition_lcdui_Command : public rt::Object {
public:
    static constexpr rt::ClassId kClassId = rt::ClassId::javax_microedition_lcdui_Command;

    // Command types as MIDP numbers them: 1 SCREEN, 2 BACK, 3 CANCEL, 4 OK,
    // 5 HELP, 6 STOP, 7 EXIT, 8 ITEM.
    static constexpr std::int32_t kFirstType = 1;
    static constexpr std::int32_t kLastType = 8;

    // Type and priority first, then the labels (the three-argument form has
    // no long label). Either step may leave its exception pending; the fields
    // it did not set stay clear.
    javax_microedition_lcdui_Command(rt::String* label, std::int32_t commandType, std::int32_t priority);
    javax_microedition_lcdui_Command(rt::String* shortLabel, rt::String* longLabel, std::int32_t commandType,
                                     std::int32_t priority);
    // The zero state `newInstanceById` makes: no labels, type and priority 0.
    explicit javax_microedition_lcdui_Command(lib::NewInstance)
        : Object(kClassId) {}

    // The operation after `Object`'s.
    virtual std::int32_t getPriority() { return m_priority; }

    // A null label raises `java_lang_NullPointerException` and stores nothing.
    void setLabels(rt::String* label, rt::String* longLabel);
    // A type outside 1..8 raises `java_lang_IllegalArgumentException` and stores nothing.
    void setTypeAndPriority(std::int32_t commandType, std::int32_t priority);

    rt::String* label() const { return m_label; }
    rt::String* longLabel() const { return m_longLabel; }
    std::int32_t commandType() const { return m_commandType; }

    RT_REFERENCE_FIELDS(javax_microedition_lcdui_Command, Object, m_label, m_longLabel)

private:
    rt::String* m_label = nullptr;
    rt::String* m_longLabel = nullptr;
    std::int32_t m_commandType = 0;
    std::int32_t m_priority = 0;
};

} // namespace platform
