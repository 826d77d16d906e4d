#pragma once

// Record storage: the game keeps each logical record as the single record of
// a record store of its own, named by the record's name. These operations
// open, read and write such stores through the platform's
// `javax_microedition_rms_RecordStore`.
//
// A store the game wrote holds record 1; one written by other means may hold
// its record under another id, so readers take the first id the store lists
// and writers replace that record when there is one.
//
// The configuration that spreads one record over several numbered stores, and
// the one that opens stores with a vendor and a suite name, are off in this
// game and not built: `rmsRead` and `rmsWriteSplit` are the plain forms.
//
// Game thread only; one store is open at a time (`s_recordStore`).

#include "platform/io/RecordStore.h"
#include "runtime/Array.h"
#include "runtime/ReferenceFields.h"
#include "runtime/String.h"

#include <cstdint>

namespace lib {
class java_io_InputStream;
}

namespace game {

using RecordStore = platform::javax_microedition_rms_RecordStore;

struct RecordStorageStatics {
    // The store `rmsOpen` opened; null when none is open.
    RecordStore* s_recordStore = nullptr;
    // The bytes behind the last stream `rmsOpenInputStream` made.
    rt::ByteArray* s_recordStreamData = nullptr;

    RT_REFERENCE_FIELDS(RecordStorageStatics, rt::NoReferenceBase, s_recordStore, s_recordStreamData)
};

RecordStorageStatics& recordStorageStatics();

// Opens store `name`, made when missing, into `s_recordStore`. The store
// layer's exception is left pending for the caller (and the field null).
void rmsOpen(rt::String* name);
// Closes the open store (its index is written) and forgets it; a
// `RecordStoreException` of the close is caught. Nothing when none is open.
void rmsClose();
// The record of store `name` (made when missing); null when the store holds
// none or it cannot be read (one log line: C112 and the reason).
[[nodiscard]] rt::ByteArray* rmsReadRecord(rt::String* name);
// The logical record `name`; null when there is none.
[[nodiscard]] rt::ByteArray* rmsRead(rt::String* name);
// Makes `length` bytes of `data` from `offset` the record of store `name`:
// replaces the store's record, or adds it to an empty store. False, with one
// log line and nothing pending, when the store layer fails; the store then
// keeps what it held.
bool rmsWrite(rt::String* name, rt::ByteArray* data, std::int32_t offset, std::int32_t length);
// Writes the logical record `name`: all of `data`.
bool rmsWriteSplit(rt::String* name, rt::ByteArray* data);
// A stream over the logical record `name`, whose bytes `s_recordStreamData`
// keeps; null when there is none.
[[nodiscard]] lib::java_io_InputStream* rmsOpenInputStream(rt::String* name);

} // namespace game
