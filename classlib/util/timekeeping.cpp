#include "classlib/util/timekeeping.h"

#include "classlib/util/Calendar.h"
#include "classlib/util/Date.h"
#include "classlib/util/TaskQueue.h"
#include "classlib/util/TimeZoneImpl.h"
#include "classlib/util/TimerThread.h"
#include "runtime/Runtime.h"

namespace lib {

namespace {

template <class T>
rt::Object* makeNewInstance() {
    return rt::make<T>(NewInstance{});
}

} // namespace

void installTimekeeping(rt::Runtime& runtime) {
    rt::ClassTable& classes = runtime.classTable();
    classes.setFactory(rt::ClassId::java_util_Calendar, &makeNewInstance<java_util_Calendar>);
    classes.setFactory(rt::ClassId::java_util_Date, &makeNewInstance<java_util_Date>);
    classes.setFactory(rt::ClassId::java_util_TaskQueue, &makeNewInstance<java_util_TaskQueue>);
    classes.setFactory(rt::ClassId::java_util_TimerThread, &makeNewInstance<java_util_TimerThread>);
    classes.setFactory(rt::ClassId::java_util_TimeZoneImpl, &makeNewInstance<java_util_TimeZoneImpl>);
}

} // namespace lib
