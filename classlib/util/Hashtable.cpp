#include "classlib/util/Hashtable.h"

#include "classlib/lang/StringBuffer.h"
#include "runtime/Exceptions.h"
#include "runtime/Monitor.h"
#include "runtime/StaticClass.h"

namespace lib {

// --- enumerator ---

java_util_Hashtable_HashtableEnumerator::java_util_Hashtable_HashtableEnumerator(java_util_Hashtable* table,
                                                                                 rt::ObjectArray* buckets,
                                                                                 bool keys)
    : Object(kClassId)
    , m_keys(keys ? 1 : 0)
    , m_index(buckets ? buckets->length() : 0)
    , m_table(buckets)
    , m_hashtable(table) {
}

bool java_util_Hashtable_HashtableEnumerator::hasMoreElements() {
    while (!m_entry) {
        if (m_index <= 0)
            return false;
        --m_index;
        m_entry = static_cast<java_util_HashtableEntry*>(m_table->elements()[m_index]);
    }
    return true;
}

rt::Object* java_util_Hashtable_HashtableEnumerator::nextElement() {
    if (!hasMoreElements())
        return rt::raise(rt::ClassId::java_util_NoSuchElementException,
                         rt::getStaticClass().getConstantString(java_util_Hashtable::kNoMoreElementsText));
    java_util_HashtableEntry* entry = m_entry;
    m_entry = entry->m_next;
    return m_keys ? entry->m_key : entry->m_value;
}

void* java_util_Hashtable_HashtableEnumerator::getInterface(rt::ClassId interfaceId) {
    if (interfaceId == java_util_Enumeration::kInterfaceId)
        return static_cast<java_util_Enumeration*>(this);
    return Object::getInterface(interfaceId);
}

// --- table ---

java_util_Hashtable::java_util_Hashtable()
    : Object(kClassId)
    , m_table(rt::newObjectArray(11))
    , m_threshold(8) {
}

java_util_Hashtable::java_util_Hashtable(std::int32_t initialCapacity)
    : Object(kClassId) {
    if (initialCapacity < 0) {
        rt::raise(rt::ClassId::java_lang_IllegalArgumentException);
        return;
    }
    if (initialCapacity == 0)
        initialCapacity = 1;
    m_table = rt::newObjectArray(initialCapacity);
    m_threshold = thresholdFor(initialCapacity);
}

std::int32_t java_util_Hashtable::thresholdFor(std::int32_t buckets) {
    return static_cast<std::int32_t>(std::int64_t{buckets} * 75 / 100);
}

java_util_HashtableEntry* java_util_Hashtable::find(rt::Object* key, std::int32_t hash) {
    std::int32_t buckets = bucketCount();
    if (buckets == 0)
        return nullptr;
    auto* entry = static_cast<java_util_HashtableEntry*>(m_table->elements()[bucketOf(hash, buckets)]);
    for (; entry; entry = entry->m_next) {
        if (entry->m_hash == hash && entry->m_key->equals(key))
            return entry;
    }
    return nullptr;
}

rt::Object* java_util_Hashtable::get(rt::Object* key) {
    rt::MonitorScope lock(this);
    if (!key)
        return rt::raise(rt::ClassId::java_lang_NullPointerException);
    java_util_HashtableEntry* entry = find(key, key->hashCode());
    return entry ? entry->m_value : nullptr;
}

bool java_util_Hashtable::containsKey(rt::Object* key) {
    rt::MonitorScope lock(this);
    if (!key)
        return rt::raise(rt::ClassId::java_lang_NullPointerException);
    return find(key, key->hashCode()) != nullptr;
}

bool java_util_Hashtable::contains(rt::Object* value) {
    rt::MonitorScope lock(this);
    if (!value)
        return rt::raise(rt::ClassId::java_lang_NullPointerException);
    // The bucket count is read again on each pass: `equals` may have rehashed.
    for (std::int32_t i = bucketCount() - 1; i >= 0; --i) {
        if (i >= bucketCount())
            continue;
        auto* entry = static_cast<java_util_HashtableEntry*>(m_table->elements()[i]);
        for (; entry; entry = entry->m_next) {
            if (entry->m_value->equals(value))
                return true;
        }
    }
    return false;
}

rt::Object* java_util_Hashtable::put(rt::Object* key, rt::Object* value) {
    rt::MonitorScope lock(this);
    if (!key || !value)
        return rt::raise(rt::ClassId::java_lang_NullPointerException);
    std::int32_t hash = key->hashCode();
    if (java_util_HashtableEntry* entry = find(key, hash)) {
        rt::Object* previous = entry->m_value;
        entry->m_value = value;
        return previous;
    }
    while (m_count >= m_threshold)
        rehash();
    auto* entry = rt::make<java_util_HashtableEntry>(hash, key, value, nullptr);
    // The new entry may have moved the buckets: index them only now.
    rt::Object*& head = m_table->elements()[bucketOf(hash, bucketCount())];
    entry->m_next = static_cast<java_util_HashtableEntry*>(head);
    head = entry;
    ++m_count;
    return nullptr;
}

rt::Object* java_util_Hashtable::remove(rt::Object* key) {
    rt::MonitorScope lock(this);
    if (!key)
        return rt::raise(rt::ClassId::java_lang_NullPointerException);
    java_util_HashtableEntry* found = find(key, key->hashCode());
    if (!found)
        return nullptr;
    // Unlinked by identity, without guest code, from the chain it is in now.
    rt::Object** link = &m_table->elements()[bucketOf(found->m_hash, bucketCount())];
    while (*link && *link != found)
        link = reinterpret_cast<rt::Object**>(&static_cast<java_util_HashtableEntry*>(*link)->m_next);
    if (*link) {
        *link = found->m_next;
        found->m_next = nullptr;
        --m_count;
    }
    return found->m_value;
}

void java_util_Hashtable::clear() {
    rt::MonitorScope lock(this);
    for (std::int32_t i = bucketCount() - 1; i >= 0; --i)
        m_table->elements()[i] = nullptr;
    m_count = 0;
}

void java_util_Hashtable::rehash() {
    rt::ObjectArray* old = m_table;
    std::int32_t oldBuckets = bucketCount();
    std::int32_t buckets = oldBuckets * 2 + 1;
    rt::ObjectArray* fresh = rt::newObjectArray(buckets);
    m_table = fresh;
    m_threshold = thresholdFor(buckets);
    // Nothing below allocates, so the bucket pointers stay put.
    rt::Object** from = oldBuckets > 0 ? old->elements() : nullptr;
    rt::Object** to = fresh->elements();
    for (std::int32_t i = oldBuckets - 1; i >= 0; --i) {
        auto* entry = static_cast<java_util_HashtableEntry*>(from[i]);
        while (entry) {
            java_util_HashtableEntry* next = entry->m_next;
            rt::Object*& head = to[bucketOf(entry->m_hash, buckets)];
            entry->m_next = static_cast<java_util_HashtableEntry*>(head);
            head = entry;
            entry = next;
        }
    }
}

java_util_Hashtable_HashtableEnumerator* java_util_Hashtable::keys() {
    rt::MonitorScope lock(this);
    return rt::make<java_util_Hashtable_HashtableEnumerator>(this, m_table, true);
}

java_util_Hashtable_HashtableEnumerator* java_util_Hashtable::elements() {
    rt::MonitorScope lock(this);
    return rt::make<java_util_Hashtable_HashtableEnumerator>(this, m_table, false);
}

rt::String* java_util_Hashtable::toString() {
    rt::MonitorScope lock(this);
    rt::StaticClass& constants = rt::getStaticClass();
    std::int32_t last = size() - 1;
    StringBuffer* text = rt::make<StringBuffer>(16);
    java_util_Enumeration* keyWalk = rt::interfaceOf<java_util_Enumeration>(keys());
    java_util_Enumeration* valueWalk = rt::interfaceOf<java_util_Enumeration>(elements());
    text->append(constants.getConstantString(kOpenText));
    for (std::int32_t i = 0; i <= last; ++i) {
        rt::Object* key = keyWalk->nextElement();
        if (rt::exceptionPending())
            return nullptr;
        rt::Object* value = valueWalk->nextElement();
        if (rt::exceptionPending())
            return nullptr;
        StringBuffer* entryText = rt::make<StringBuffer>(16);
        entryText->append(key);
        entryText->append(constants.getConstantString(kKeyValueText));
        entryText->append(value);
        text->append(entryText->toString());
        if (i < last)
            text->append(constants.getConstantString(kEntrySeparatorText));
    }
    text->append(constants.getConstantString(kCloseText));
    return text->toString();
}

} // namespace lib
