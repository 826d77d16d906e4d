#include "platform/Platform.h"

#include "classlib/ClassLibrary.h"
#include "platform/io/File.h"
#include "platform/io/RecordEnumeration.h"
#include "platform/io/RecordStore.h"
#include "platform/io/ResourceInputStream.h"
#include "platform/lcdui/Command.h"
#include "platform/lcdui/Display.h"
#include "platform/lcdui/Font.h"
#include "platform/lcdui/Image.h"
#include "runtime/ClassTable.h"
#include "runtime/Runtime.h"

namespace platform {

namespace {

template <class T>
rt::Object* makeNewInstance() {
    return rt::make<T>(lib::NewInstance{});
}

// A Display holds nothing of its own (the current Displayable is the
// application's), so the plain one `getDisplay` makes is its zero state too.
rt::Object* makeDisplay() {
    return rt::make<javax_microedition_lcdui_Display>();
}

} // namespace

void installPlatform(rt::Runtime& runtime) {
    // The record-store exceptions among the platform's instantiable classes
    // are registered by the class library with every other throwable.
    lib::installClassLibrary(runtime);
    rt::ClassTable& classes = runtime.classTable();
    classes.setFactory(rt::ClassId::javax_microedition_io_File, &makeNewInstance<javax_microedition_io_File>);
    classes.setFactory(rt::ClassId::javax_microedition_io_ResourceInputStream,
                       &makeNewInstance<javax_microedition_io_ResourceInputStream>);
    classes.setFactory(rt::ClassId::javax_microedition_lcdui_Command,
                       &makeNewInstance<javax_microedition_lcdui_Command>);
    classes.setFactory(rt::ClassId::javax_microedition_lcdui_Display, &makeDisplay);
    classes.setFactory(rt::ClassId::javax_microedition_lcdui_Font,
                       &makeNewInstance<javax_microedition_lcdui_Font>);
    classes.setFactory(rt::ClassId::javax_microedition_lcdui_Image,
                       &makeNewInstance<javax_microedition_lcdui_Image>);
    classes.setFactory(rt::ClassId::javax_microedition_rms_RecordEnumerationImpl,
                       &makeNewInstance<javax_microedition_rms_RecordEnumerationImpl>);
    classes.setFactory(rt::ClassId::javax_microedition_rms_RecordStore,
                       &makeNewInstance<javax_microedition_rms_RecordStore>);
}

} // namespace platform
