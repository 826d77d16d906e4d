#include "platform/io/RecordEnumeration.h"

#include "classlib/lang/Integer.h"
#include "classlib/util/Vector.h"
#include "platform/io/RecordStore.h"
#include "runtime/Exceptions.h"
#include "runtime/StaticClass.h"
#include "runtime/constantStrings.h"

namespace platform {

javax_microedition_rms_RecordEnumerationImpl::javax_microedition_rms_RecordEnumerationImpl(
    javax_microedition_rms_RecordStore* store)
    : Object(kClassId)
    , m_store(store) {
}

void* javax_microedition_rms_RecordEnumerationImpl::getInterface(rt::ClassId interfaceId) {
    if (interfaceId == javax_microedition_rms_RecordEnumeration::kInterfaceId)
        return static_cast<javax_microedition_rms_RecordEnumeration*>(this);
    return Object::getInterface(interfaceId);
}

lib::java_util_Vector* javax_microedition_rms_RecordEnumerationImpl::ids() const {
    return m_store ? m_store->recordIds() : nullptr;
}

std::int32_t javax_microedition_rms_RecordEnumerationImpl::numRecords() {
    lib::java_util_Vector* ids = this->ids();
    return ids ? ids->size() : 0;
}

std::int32_t javax_microedition_rms_RecordEnumerationImpl::idAtCursor() {
    lib::java_util_Vector* ids = this->ids();
    if (m_index < 0 || m_index >= numRecords()) {
        rt::String* message = rt::getStaticClass().getConstantString(rt::constants::kDefaultMessage);
        rt::String* index = rt::String::valueOf(m_index);
        return rt::raise(rt::ClassId::javax_microedition_rms_InvalidRecordIDException,
                         message ? message->concat(index) : index);
    }
    rt::Object* element = ids->elementAt(m_index);
    return element && element->classId() == rt::ClassId::java_lang_Integer
               ? static_cast<lib::java_lang_Integer*>(element)->intValue()
               : 0;
}

std::int32_t javax_microedition_rms_RecordEnumerationImpl::takeId(std::int32_t step) {
    std::int32_t id = idAtCursor();
    if (rt::exceptionPending())
        return 0;
    m_index += step;
    return id;
}

rt::ByteArray* javax_microedition_rms_RecordEnumerationImpl::takeRecord(std::int32_t step) {
    std::int32_t id = takeId(step);
    if (rt::exceptionPending())
        return nullptr;
    return m_store->getRecord(id);
}

rt::ByteArray* javax_microedition_rms_RecordEnumerationImpl::nextRecord() {
    return takeRecord(1);
}

std::int32_t javax_microedition_rms_RecordEnumerationImpl::nextRecordId() {
    return takeId(1);
}

rt::ByteArray* javax_microedition_rms_RecordEnumerationImpl::previousRecord() {
    return takeRecord(-1);
}

std::int32_t javax_microedition_rms_RecordEnumerationImpl::previousRecordId() {
    return takeId(-1);
}

bool javax_microedition_rms_RecordEnumerationImpl::hasNextElement() {
    return m_index < numRecords();
}

bool javax_microedition_rms_RecordEnumerationImpl::hasPreviousElement() {
    return m_index > 0;
}

void javax_microedition_rms_RecordEnumerationImpl::reset() {
    m_index = 0;
}

} // namespace platform
