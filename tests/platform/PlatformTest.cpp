#include "platform/Platform.h"

#include "classlib/lang/Throwable.h"
#include "platform/io/File.h"
#include "platform/io/RecordEnumeration.h"
#include "platform/io/RecordStore.h"
#include "platform/io/ResourceInputStream.h"
#include "platform/lcdui/Command.h"
#include "platform/lcdui/Display.h"
#include "platform/lcdui/Font.h"
#include "platform/lcdui/Graphics.h"
#include "platform/lcdui/Image.h"
#include "runtime/Class.h"
#include "runtime/ClassTable.h"
#include "runtime/ObjectManager.h"
#include "tests/platform/io/IoFixture.h"
#include "tests/support/DeadFrames.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace {

using rt::ClassId;

// The device platform's class ids; the game's start after them.
constexpr int kFirstPlatformId = 72;
constexpr int kFirstGameId = 115;

bool isInstantiable(int id) {
    return std::find(rt::kInstantiableClassIds.begin(), rt::kInstantiableClassIds.end(), id) !=
           rt::kInstantiableClassIds.end();
}

template <class T>
T* newInstance(ClassId id) {
    return static_cast<T*>(rt::java_lang_Class::newInstanceById(rt::toInt(id)));
}

struct NewInstanceTest : io_testing::IoTest {
    // Makes an object of class `id` and lets go of it; kept out of line so
    // that no word of the caller's frame still points at it afterwards.
    [[gnu::noinline]] static ::testing::AssertionResult makesObjectOfItsClass(rt::Runtime& runtime, int id) {
        rt::Object* made = rt::java_lang_Class::newInstanceById(id);
        if (!made)
            return ::testing::AssertionFailure() << "no object";
        if (made->rawClassId() != id)
            return ::testing::AssertionFailure() << "an object of class " << made->rawClassId();
        if (!runtime.objectHeap().contains(made))
            return ::testing::AssertionFailure() << "an object outside the object heap";
        return ::testing::AssertionSuccess();
    }

    std::size_t liveObjectsAfterCollecting() {
        testing_support::clearDeadFrames();
        (void)runtime.objectManager().gc(rt::ObjectManager::kImmediate);
        return runtime.objectManager().objectCount();
    }
};

// Every instantiable platform id makes a zeroed object of exactly its class,
// which a collection frees when nothing holds it (its destructor runs on the
// zero state); every other platform id answers null.
TEST_F(NewInstanceTest, EveryInstantiableIdOfThePlatformMakesAnObjectTheCollectorFrees) {
    int instantiable = 0;
    for (int id = kFirstPlatformId; id < kFirstGameId; ++id) {
        if (!isInstantiable(id)) {
            EXPECT_EQ(rt::java_lang_Class::newInstanceById(id), nullptr) << "class id " << id;
            continue;
        }
        ++instantiable;
        std::size_t before = liveObjectsAfterCollecting();
        EXPECT_TRUE(makesObjectOfItsClass(runtime, id)) << "class id " << id;
        // The next call's frame lies where the maker's lay: cleared from here.
        testing_support::clearDeadFrames();
        EXPECT_EQ(liveObjectsAfterCollecting(), before) << "class id " << id << " is not freed";
        EXPECT_FALSE(rt::exceptionPending()) << "class id " << id;
    }
    EXPECT_EQ(instantiable, 12);
    EXPECT_FALSE(log.contains("NullPointer"));
}

TEST_F(NewInstanceTest, ZeroFilesStreamsAndImagesAreEmpty) {
    auto* file = newInstance<platform::javax_microedition_io_File>(ClassId::javax_microedition_io_File);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->path(), nullptr);
    EXPECT_FALSE(file->exists());
    EXPECT_EQ(file->length(), 0);
    EXPECT_EQ(file->openInputStream(), nullptr);
    EXPECT_EQ(file->readAll(), nullptr);
    EXPECT_FALSE(file->create());
    EXPECT_FALSE(file->replaceContents(rt::newByteArray(4), 0, 4));

    auto* stream = newInstance<platform::javax_microedition_io_ResourceInputStream>(
        ClassId::javax_microedition_io_ResourceInputStream);
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(stream->available(), 0);
    EXPECT_EQ(stream->read(), -1);
    EXPECT_EQ(stream->skip(8), 0);
    stream->close();

    auto* image =
        newInstance<platform::javax_microedition_lcdui_Image>(ClassId::javax_microedition_lcdui_Image);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->getWidth(), 0);
    EXPECT_EQ(image->getHeight(), 0);
    EXPECT_FALSE(image->surface());
    EXPECT_FALSE(image->isMutable());
    // Drawn, or drawn into, it changes no pixel.
    auto* screen = platform::javax_microedition_lcdui_Image::createImage(2, 2);
    auto* graphics = screen->getGraphics();
    graphics->drawImage(image, 0, 0, 0);
    image->getGraphics()->fillRect(0, 0, 2, 2);
    rt::IntArray* pixels = rt::newIntArray(4);
    screen->getRGB(pixels, 0, 2, 0, 0, 2, 2);
    for (std::int32_t i = 0; i < 4; ++i)
        EXPECT_EQ(static_cast<std::uint32_t>(pixels->elements()[i]), 0xFF000000u) << "pixel " << i;
    EXPECT_FALSE(rt::exceptionPending());
    EXPECT_FALSE(log.contains("NullPointer"));
}

TEST_F(NewInstanceTest, ZeroFontsCommandsAndDisplaysHoldTheirDefaults) {
    auto* font = newInstance<platform::javax_microedition_lcdui_Font>(ClassId::javax_microedition_lcdui_Font);
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(font->getHeight(), 0);
    EXPECT_EQ(font->getSize(), 0);
    EXPECT_EQ(font->getFace(), platform::javax_microedition_lcdui_Font::FACE_SYSTEM);
    EXPECT_TRUE(font->isPlain());

    auto* command =
        newInstance<platform::javax_microedition_lcdui_Command>(ClassId::javax_microedition_lcdui_Command);
    ASSERT_NE(command, nullptr);
    EXPECT_EQ(command->label(), nullptr);
    EXPECT_EQ(command->longLabel(), nullptr);
    EXPECT_EQ(command->commandType(), 0);
    EXPECT_EQ(command->getPriority(), 0);

    auto* display =
        newInstance<platform::javax_microedition_lcdui_Display>(ClassId::javax_microedition_lcdui_Display);
    ASSERT_NE(display, nullptr);
    EXPECT_FALSE(display->vibrate(100));

    for (ClassId id : {ClassId::javax_microedition_rms_InvalidRecordIDException,
                       ClassId::javax_microedition_rms_RecordStoreException,
                       ClassId::javax_microedition_rms_RecordStoreFullException,
                       ClassId::javax_microedition_rms_RecordStoreNotFoundException}) {
        auto* exception = newInstance<lib::java_lang_Throwable>(id);
        ASSERT_NE(exception, nullptr) << "class id " << rt::toInt(id);
        EXPECT_EQ(exception->getMessage(), nullptr) << "class id " << rt::toInt(id);
    }
}

// A store made by `newInstanceById` was never opened: it has no records and
// no files, and every operation on it raises `RecordStoreNotOpenException`
// and writes nothing.
TEST_F(NewInstanceTest, AZeroRecordStoreIsNotOpen) {
    auto* store = newInstance<platform::javax_microedition_rms_RecordStore>(
        ClassId::javax_microedition_rms_RecordStore);
    ASSERT_NE(store, nullptr);
    constexpr int kNotOpen = rt::toInt(ClassId::javax_microedition_rms_RecordStoreNotOpenException);

    EXPECT_EQ(store->addRecord(io_testing::byteArray({1, 2, 3}), 0, 3), 0);
    EXPECT_EQ(takePending(), kNotOpen) << "addRecord";
    store->setRecord(1, io_testing::byteArray({1}), 0, 1);
    EXPECT_EQ(takePending(), kNotOpen) << "setRecord";
    EXPECT_EQ(store->getRecord(1), nullptr);
    EXPECT_EQ(takePending(), kNotOpen) << "getRecord";
    EXPECT_EQ(store->getRecord(1, rt::newByteArray(4), 0), 0);
    EXPECT_EQ(takePending(), kNotOpen) << "getRecord into a buffer";
    EXPECT_EQ(store->getRecordSize(1), 0);
    EXPECT_EQ(takePending(), kNotOpen) << "getRecordSize";
    EXPECT_EQ(store->getSize(), 0);
    EXPECT_EQ(takePending(), kNotOpen) << "getSize";
    store->deleteRecord(1);
    EXPECT_EQ(takePending(), kNotOpen) << "deleteRecord";
    EXPECT_EQ(store->enumerateRecords(), nullptr);
    EXPECT_EQ(takePending(), kNotOpen) << "enumerateRecords";
    store->closeRecordStore();
    EXPECT_EQ(takePending(), kNotOpen) << "closeRecordStore";

    EXPECT_TRUE(std::filesystem::is_empty(programFolder()));
    EXPECT_FALSE(log.contains("NullPointer"));
}

TEST_F(NewInstanceTest, AZeroRecordEnumerationHasNoRecords) {
    auto* records = newInstance<platform::javax_microedition_rms_RecordEnumerationImpl>(
        ClassId::javax_microedition_rms_RecordEnumerationImpl);
    ASSERT_NE(records, nullptr);
    auto* view = rt::interfaceOf<platform::javax_microedition_rms_RecordEnumeration>(records);
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->numRecords(), 0);
    EXPECT_FALSE(view->hasNextElement());
    EXPECT_FALSE(view->hasPreviousElement());
    EXPECT_EQ(view->nextRecordId(), 0);
    EXPECT_EQ(takePending(), rt::toInt(ClassId::javax_microedition_rms_InvalidRecordIDException));
    EXPECT_EQ(view->previousRecord(), nullptr);
    EXPECT_EQ(takePending(), rt::toInt(ClassId::javax_microedition_rms_InvalidRecordIDException));
}

} // namespace
