#pragma once

// `javax_microedition_rms_RecordEnumeration`, the view through which a
// store's records are walked, and `javax_microedition_rms_RecordEnumerationImpl`,
// the one class that gives it: a cursor over the store's ids in the store's
// order, with neither filter nor comparator. Reached with
// `rt::interfaceOf<javax_microedition_rms_RecordEnumeration>(object)`.
//
// Taking the id at a cursor outside the ids is an `InvalidRecordIDException`
// whose message is constant string 14 followed by the cursor.

#include "classlib/ClassLibrary.h"
#include "platform/io/RecordStore.h"
#include "runtime/Array.h"
#include "runtime/Object.h"

#include <cstdint>

namespace platform {

class javax_microedition_rms_RecordEnumeration {
public:
    static constexpr rt::ClassId kInterfaceId = rt::ClassId::javax_microedition_rms_RecordEnumeration;

    virtual std::int32_t numRecords() = 0;
    // The record at the cursor, then the cursor moves on (back).
    [[nodiscard]] virtual rt::ByteArray* nextRecord() = 0;
    [[nodiscard]] virtual std::int32_t nextRecordId() = 0;
    [[nodiscard]] virtual rt::ByteArray* previousRecord() = 0;
    [[nodiscard]] virtual std::int32_t previousRecordId() = 0;
    virtual bool hasNextElement() = 0;
    virtual bool hasPreviousElement() = 0;
    virtual void reset() = 0;
    // These do nothing; nothing is kept updated.
    virtual void rebuild() = 0;
    virtual void keepUpdated(bool keepUpdated) = 0;
    virtual bool isKeptUpdated() = 0;
    virtual void destroy() = 0;

protected:
    ~javax_microedition_rms_RecordEnumeration() = default;
};

class javax_microedition_rms_RecordEnumerationImpl final : public rt::Object,
                                                           public javax_microedition_rms_RecordEnumeration {
public:
    static constexpr rt::ClassId kClassId = rt::ClassId::javax_microedition_rms_RecordEnumerationImpl;

    explicit javax_microedition_rms_RecordEnumerationImpl(javax_microedition_rms_RecordStore* store);
    // The zero state `newInstanceById` makes: no store, which walks no ids.
    explicit javax_microedition_rms_RecordEnumerationImpl(lib::NewInstance)
        : Object(kClassId) {}

    std::int32_t numRecords() override;
    [[nodiscard]] rt::ByteArray* nextRecord() override;
    [[nodiscard]] std::int32_t nextRecordId() override;
    [[nodiscard]] rt::ByteArray* previousRecord() override;
    [[nodiscard]] std::int32_t previousRecordId() override;
    bool hasNextElement() override;
    bool hasPreviousElement() override;
    void reset() override;
    void rebuild() override {}
    void keepUpdated(bool) override {}
    bool isKeptUpdated() override { return false; }
    void destroy() override {}

    void* getInterface(rt::ClassId interfaceId) override;

    RT_REFERENCE_FIELDS(javax_microedition_rms_RecordEnumerationImpl, Object, m_store)

private:
    // The store's ids; null for an enumeration without a store (or over one
    // never opened), which walks none.
    lib::java_util_Vector* ids() const;
    // The id at the cursor; an `InvalidRecordIDException` (0) outside the ids.
    [[nodiscard]] std::int32_t idAtCursor();
    // The id (the record) at the cursor, which then moves by `step`; the
    // cursor stays where it is when there is none.
    [[nodiscard]] std::int32_t takeId(std::int32_t step);
    [[nodiscard]] rt::ByteArray* takeRecord(std::int32_t step);

    std::int32_t m_index = 0;
    javax_microedition_rms_RecordStore* m_store = nullptr;
};

} // namespace platform
