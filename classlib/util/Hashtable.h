#pragma once

// `java_util_Hashtable`: object keys to object values, by separate chaining.
//
// The bucket of a key is (hashCode AND 0x7FFFFFFF) modulo the bucket count;
// a key matches an entry when the entry's stored hash equals the key's and
// the stored key's `equals` accepts the key. A new entry goes to the head of
// its chain. The threshold is (buckets * 75) / 100: inserting a new key when
// `count` has reached it first rehashes to 2 * buckets + 1 buckets, moving
// every entry by its stored hash (hashCode is not called again). Enumerators
// walk the buckets from the highest index down, each chain in order, over the
// bucket array that existed when they were made.
//
// Null keys and null values are refused: a `NullPointerException` is set
// pending and nothing changes. Every operation but `size` and `isEmpty`
// holds the table's monitor for its whole run; enumerators take no lock.
// `hashCode` and `equals` are guest code and may allocate: the buckets are
// read afresh after every call to them.

#include "classlib/ClassLibrary.h"
#include "classlib/util/Enumeration.h"
#include "runtime/Array.h"
#include "runtime/Object.h"
#include "runtime/constantStrings.h"

#include <cstdint>

namespace lib {

class java_util_Hashtable_HashtableEnumerator;

// One entry of a chain.
class java_util_HashtableEntry final : public rt::Object {
public:
    static constexpr rt::ClassId kClassId = rt::ClassId::java_util_HashtableEntry;

    java_util_HashtableEntry()
        : Object(kClassId) {}
    java_util_HashtableEntry(std::int32_t hash, rt::Object* key, rt::Object* value,
                             java_util_HashtableEntry* next)
        : Object(kClassId)
        , m_hash(hash)
        , m_key(key)
        , m_value(value)
        , m_next(next) {}

    std::int32_t m_hash = 0;
    rt::Object* m_key = nullptr;
    rt::Object* m_value = nullptr;
    java_util_HashtableEntry* m_next = nullptr;

    RT_REFERENCE_FIELDS(java_util_HashtableEntry, Object, m_key, m_value, m_next)
};

class java_util_Hashtable final : public rt::Object {
public:
    static constexpr rt::ClassId kClassId = rt::ClassId::java_util_Hashtable;
    // Constant strings of `toString`: the opening, the separator between key
    // and value, between entries, the closing; and the enumerator's message.
    static constexpr std::int32_t kOpenText = rt::constants::kHashtableOpen;
    static constexpr std::int32_t kKeyValueText = rt::constants::kHashtableKeyValue;
    static constexpr std::int32_t kEntrySeparatorText = rt::constants::kHashtableEntrySeparator;
    static constexpr std::int32_t kCloseText = rt::constants::kHashtableClose;
    static constexpr std::int32_t kNoMoreElementsText = rt::constants::kNoMoreElements;

    // 11 buckets, threshold 8.
    java_util_Hashtable();
    // `initialCapacity` buckets (1 for 0); a negative capacity sets an
    // `IllegalArgumentException` pending and leaves a table without buckets,
    // which grows on its first `put`.
    explicit java_util_Hashtable(std::int32_t initialCapacity);
    // What `newInstanceById` makes: no buckets, threshold 0; the first `put` grows it.
    explicit java_util_Hashtable(NewInstance)
        : Object(kClassId) {}

    virtual std::int32_t size() { return m_count; }
    virtual bool isEmpty() { return m_count == 0; }
    std::int32_t bucketCount() const { return m_table ? m_table->length() : 0; }
    std::int32_t threshold() const { return m_threshold; }

    [[nodiscard]] rt::Object* get(rt::Object* key);
    [[nodiscard]] bool containsKey(rt::Object* key);
    // True when some value `equals` `value`.
    [[nodiscard]] virtual bool contains(rt::Object* value);
    // The key's previous value, or null.
    [[nodiscard]] rt::Object* put(rt::Object* key, rt::Object* value);
    // The removed value, or null when the key was absent.
    [[nodiscard]] rt::Object* remove(rt::Object* key);
    virtual void clear();
    java_util_Hashtable_HashtableEnumerator* keys();
    java_util_Hashtable_HashtableEnumerator* elements();
    // Constant string 204, then "key" 32 "value" for each entry in enumeration
    // order separated by 205, then 206.
    rt::String* toString() override;

    RT_REFERENCE_FIELDS(java_util_Hashtable, Object, m_table)

private:
    static std::int32_t thresholdFor(std::int32_t buckets);
    // The bucket index of `hash` among `buckets` (> 0) buckets.
    static std::int32_t bucketOf(std::int32_t hash, std::int32_t buckets) {
        return (hash & 0x7FFFFFFF) % buckets;
    }
    // The entry of `key` (whose hash is `hash`), or null. Monitor held.
    java_util_HashtableEntry* find(rt::Object* key, std::int32_t hash);
    void rehash();

    rt::ObjectArray* m_table = nullptr;
    std::int32_t m_count = 0;
    std::int32_t m_threshold = 0;
};

// The keys or the values of a Hashtable, one after the other.
class java_util_Hashtable_HashtableEnumerator final : public rt::Object, public java_util_Enumeration {
public:
    static constexpr rt::ClassId kClassId = rt::ClassId::java_util_Hashtable_HashtableEnumerator;

    // Enumerates nothing.
    java_util_Hashtable_HashtableEnumerator()
        : Object(kClassId) {}
    java_util_Hashtable_HashtableEnumerator(java_util_Hashtable* table, rt::ObjectArray* buckets, bool keys);

    bool hasMoreElements() override;
    // When none remains: a `NoSuchElementException` (constant string 207).
    [[nodiscard]] rt::Object* nextElement() override;

    void* getInterface(rt::ClassId interfaceId) override;

    RT_REFERENCE_FIELDS(java_util_Hashtable_HashtableEnumerator, Object, m_table, m_entry, m_hashtable)

private:
    std::int32_t m_keys = 0;
    // The next bucket to look at is `m_index` - 1.
    std::int32_t m_index = 0;
    rt::ObjectArray* m_table = nullptr;
    java_util_HashtableEntry* m_entry = nullptr;
    java_util_Hashtable* m_hashtable = nullptr;
};

} // namespace lib
