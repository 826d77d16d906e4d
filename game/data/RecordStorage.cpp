#include "game/data/RecordStorage.h"

#include "classlib/io/ByteArrayInputStream.h"
#include "classlib/lang/Integer.h"
#include "classlib/util/Vector.h"
#include "host/Log.h"
#include "runtime/Exceptions.h"
#include "runtime/StaticClass.h"
#include "runtime/constantStrings.h"

#include <string>

namespace game {

namespace {

constexpr rt::ClassId kStoreFailure = rt::ClassId::javax_microedition_rms_RecordStoreException;

std::string utf8(rt::String* text) {
    return text ? text->toUtf8() : std::string("(null)");
}

// The reason an exception carries, for a log line.
std::string reasonOf(rt::Object* failure) {
    rt::String* text = failure ? failure->toString() : nullptr;
    return text ? text->toUtf8() : std::string("no reason given");
}

// The first id the store lists; 0 when it lists none.
std::int32_t firstRecordId(RecordStore* store) {
    lib::java_util_Vector* ids = store->recordIds();
    if (!ids || ids->size() == 0)
        return 0;
    rt::Object* first = ids->elementAt(0);
    if (!first || first->classId() != rt::ClassId::java_lang_Integer)
        return 0;
    return static_cast<lib::java_lang_Integer*>(first)->intValue();
}

// Closes the open store; false when its index could not be written.
bool closeOpenStore() {
    RecordStorageStatics& storage = recordStorageStatics();
    RecordStore* store = storage.s_recordStore;
    storage.s_recordStore = nullptr;
    // A pending exception of another kind belongs to the caller: closing would
    // turn it into a store failure.
    if (!store || rt::exceptionPending())
        return true;
    store->closeRecordStore();
    return rt::catchException(kStoreFailure) == nullptr;
}

} // namespace

RecordStorageStatics& recordStorageStatics() {
    return rt::getStaticClass().statics<RecordStorageStatics>();
}

void rmsOpen(rt::String* name) {
    recordStorageStatics().s_recordStore = RecordStore::openRecordStore(name, true);
}

void rmsClose() {
    (void)closeOpenStore();
}

rt::ByteArray* rmsReadRecord(rt::String* name) {
    rmsOpen(name);
    rt::ByteArray* record = nullptr;
    RecordStore* store = recordStorageStatics().s_recordStore;
    if (store && !rt::exceptionPending()) {
        std::int32_t id = firstRecordId(store);
        if (id != 0)
            record = store->getRecord(id);
    }
    if (rt::Object* failure = rt::catchException(kStoreFailure)) {
        rt::String* lead = rt::getStaticClass().getConstantString(rt::constants::kRecordReadFailed);
        host::logf(host::LogCategory::Game, "record store %s: %s%s", utf8(name).c_str(), utf8(lead).c_str(),
                   reasonOf(failure).c_str());
        record = nullptr;
    }
    rmsClose();
    return record;
}

rt::ByteArray* rmsRead(rt::String* name) {
    return rmsReadRecord(name);
}

bool rmsWrite(rt::String* name, rt::ByteArray* data, std::int32_t offset, std::int32_t length) {
    rmsOpen(name);
    RecordStore* store = recordStorageStatics().s_recordStore;
    if (store && !rt::exceptionPending()) {
        std::int32_t id = firstRecordId(store);
        if (id != 0)
            store->setRecord(id, data, offset, length);
        else
            (void)store->addRecord(data, offset, length);
    }
    rt::Object* failure = rt::catchException(kStoreFailure);
    bool closed = closeOpenStore();
    if (!failure && closed && !rt::exceptionPending())
        return true;
    host::logf(host::LogCategory::Game, "record store %s: the record of %d bytes was not written (%s)",
               utf8(name).c_str(), length, failure ? reasonOf(failure).c_str() : "the store did not close");
    return false;
}

bool rmsWriteSplit(rt::String* name, rt::ByteArray* data) {
    return rmsWrite(name, data, 0, data ? data->length() : 0);
}

lib::java_io_InputStream* rmsOpenInputStream(rt::String* name) {
    RecordStorageStatics& storage = recordStorageStatics();
    storage.s_recordStreamData = nullptr;
    rt::ByteArray* record = rmsRead(name);
    storage.s_recordStreamData = record;
    if (!record)
        return nullptr;
    return rt::make<lib::java_io_ByteArrayInputStream>(record, 0, record->length());
}

} // namespace game
