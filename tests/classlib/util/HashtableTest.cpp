#include "classlib/util/Hashtable.h"
#include "classlib/lang/Integer.h"
#include "tests/classlib/LangUtilFixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using lib::java_lang_Integer;
using lib::java_util_Enumeration;
using lib::java_util_Hashtable;
using rt::ClassId;
using testing_support::textOf;

// A key with a chosen hash code whose equality is by its number.
struct Key final : rt::Object {
    static constexpr ClassId kClassId = ClassId::Object;
    Key(std::int32_t number, std::int32_t hash)
        : m_number(number)
        , m_hash(hash) {}
    std::int32_t hashCode() override { return m_hash; }
    bool equals(Object* other) override {
        return other && other->rawClassId() == 0 && static_cast<Key*>(other)->m_number == m_number;
    }
    std::int32_t m_number;
    std::int32_t m_hash;
    RT_NO_REFERENCE_FIELDS(Key, Object)
};

struct HashtableTest : testing_support::LangUtilTest {
    static java_lang_Integer* integer(std::int32_t value) { return rt::make<java_lang_Integer>(value); }
    static rt::String* text(const char* chars) { return rt::String::newFromCString(chars); }

    // The texts of what an enumerator answers, in order.
    static std::vector<std::string> walk(rt::Object* enumerator) {
        std::vector<std::string> texts;
        auto* view = rt::interfaceOf<java_util_Enumeration>(enumerator);
        while (view->hasMoreElements())
            texts.push_back(textOf(view->nextElement()));
        return texts;
    }
    // Puts `key` -> the key's text.
    static void putAll(java_util_Hashtable* table, std::initializer_list<std::int32_t> keys) {
        for (std::int32_t key : keys)
            EXPECT_EQ(table->put(integer(key), java_lang_Integer::toString(key)), nullptr);
    }
};

TEST_F(HashtableTest, RehashesWhenANewKeyMeetsTheThreshold) {
    auto* table = rt::make<java_util_Hashtable>();
    EXPECT_EQ(table->bucketCount(), 11);
    EXPECT_EQ(table->threshold(), 8);
    putAll(table, {1, 2, 3, 4, 5, 6, 7, 8});
    EXPECT_EQ(table->bucketCount(), 11);
    EXPECT_EQ(table->size(), 8);
    // An existing key is replaced without counting or rehashing, even at the threshold.
    EXPECT_EQ(textOf(table->put(integer(8), text("eight"))), "8");
    EXPECT_EQ(table->bucketCount(), 11);
    EXPECT_EQ(table->size(), 8);
    putAll(table, {9});
    EXPECT_EQ(table->bucketCount(), 23);
    EXPECT_EQ(table->threshold(), 17);
    EXPECT_EQ(table->size(), 9);
    putAll(table, {10, 11, 12, 13, 14, 15, 16, 17, 18});
    EXPECT_EQ(table->bucketCount(), 47);
    EXPECT_EQ(table->threshold(), 35);
    for (std::int32_t key = 1; key <= 18; ++key)
        EXPECT_EQ(textOf(table->get(integer(key))), key == 8 ? "eight" : std::to_string(key)) << key;
    EXPECT_FALSE(rt::exceptionPending());
}

TEST_F(HashtableTest, SmallAndNegativeCapacities) {
    auto* zero = rt::make<java_util_Hashtable>(0);
    EXPECT_EQ(zero->bucketCount(), 1);
    EXPECT_EQ(zero->threshold(), 0);
    putAll(zero, {5});
    EXPECT_EQ(zero->bucketCount(), 3);
    EXPECT_EQ(zero->threshold(), 2);

    auto* hundred = rt::make<java_util_Hashtable>(100);
    EXPECT_EQ(hundred->threshold(), 75);

    auto* negative = rt::make<java_util_Hashtable>(-1);
    EXPECT_EQ(takePending(), ClassId::java_lang_IllegalArgumentException);
    EXPECT_EQ(negative->bucketCount(), 0);
    EXPECT_EQ(negative->get(integer(1)), nullptr);
    EXPECT_TRUE(walk(negative->keys()).empty());
    putAll(negative, {1});
    EXPECT_EQ(negative->bucketCount(), 3);
    EXPECT_EQ(textOf(negative->get(integer(1))), "1");
    EXPECT_FALSE(rt::exceptionPending());
}

TEST_F(HashtableTest, EnumerationRunsFromTheTopBucketDownAndChainsFromTheNewest) {
    auto* table = rt::make<java_util_Hashtable>();
    // 11 buckets: -1 hashes to bucket 2147483647 % 11 = 1, like 1, 12 and 23.
    putAll(table, {0, 1, 10, 12, -1, 2});
    EXPECT_EQ(walk(table->keys()), (std::vector<std::string>{"10", "2", "-1", "12", "1", "0"}));
    EXPECT_EQ(walk(table->elements()), (std::vector<std::string>{"10", "2", "-1", "12", "1", "0"}));
    EXPECT_EQ(textOf(table), "{10=10, 2=2, -1=-1, 12=12, 1=1, 0=0}");
    EXPECT_EQ(textOf(rt::make<java_util_Hashtable>()), "{}");

    // A negative hash code never gives a negative bucket.
    auto* keyed = rt::make<java_util_Hashtable>();
    EXPECT_EQ(keyed->put(rt::make<Key>(1, INT32_MIN), text("min")), nullptr);
    EXPECT_EQ(keyed->put(rt::make<Key>(2, -11), text("minus eleven")), nullptr);
    EXPECT_EQ(keyed->put(rt::make<Key>(3, 5), text("five")), nullptr);
    // INT32_MIN clears to 0 (bucket 0); -11 to 0x7FFFFFF5, 2147483637 % 11 = 2.
    EXPECT_EQ(walk(keyed->elements()), (std::vector<std::string>{"five", "minus eleven", "min"}));
    EXPECT_EQ(textOf(keyed->get(rt::make<Key>(2, -11))), "minus eleven");
    EXPECT_EQ(keyed->get(rt::make<Key>(2, -12)), nullptr) << "the stored hash must match too";
}

TEST_F(HashtableTest, AnExhaustedEnumeratorRaises) {
    auto* table = rt::make<java_util_Hashtable>();
    rt::Object* keys = table->keys();
    EXPECT_TRUE(rt::instanceOf(keys, ClassId::java_util_Enumeration));
    auto* view = rt::interfaceOf<java_util_Enumeration>(keys);
    EXPECT_FALSE(view->hasMoreElements());
    EXPECT_EQ(view->nextElement(), nullptr);
    EXPECT_EQ(pendingMessage(), "no more elements");
    EXPECT_EQ(takePending(), ClassId::java_util_NoSuchElementException);
    EXPECT_FALSE(view->hasMoreElements());
}

TEST_F(HashtableTest, RemovingFromAnyPlaceInAChainKeepsTheOthers) {
    // 1, 12 and 23 share bucket 1: the chain is 23, 12, 1.
    for (std::int32_t removed : {23, 12, 1}) {
        SCOPED_TRACE(removed);
        auto* table = rt::make<java_util_Hashtable>();
        putAll(table, {1, 12, 23});
        EXPECT_EQ(textOf(table->remove(integer(removed))), std::to_string(removed));
        EXPECT_EQ(table->size(), 2);
        EXPECT_EQ(table->remove(integer(removed)), nullptr);
        for (std::int32_t key : {1, 12, 23})
            EXPECT_EQ(table->containsKey(integer(key)), key != removed) << key;
        EXPECT_EQ(walk(table->keys()).size(), 2u);
    }
}

TEST_F(HashtableTest, NullKeysAndValuesAreRefusedAndChangeNothing) {
    auto* table = rt::make<java_util_Hashtable>();
    putAll(table, {1});
    EXPECT_EQ(table->put(integer(1), nullptr), nullptr);
    EXPECT_EQ(takePending(), ClassId::java_lang_NullPointerException);
    EXPECT_EQ(table->put(integer(2), nullptr), nullptr);
    EXPECT_EQ(takePending(), ClassId::java_lang_NullPointerException);
    EXPECT_EQ(table->put(nullptr, text("x")), nullptr);
    EXPECT_EQ(takePending(), ClassId::java_lang_NullPointerException);
    EXPECT_EQ(table->get(nullptr), nullptr);
    EXPECT_EQ(takePending(), ClassId::java_lang_NullPointerException);
    EXPECT_FALSE(table->containsKey(nullptr));
    EXPECT_EQ(takePending(), ClassId::java_lang_NullPointerException);
    EXPECT_EQ(table->remove(nullptr), nullptr);
    EXPECT_EQ(takePending(), ClassId::java_lang_NullPointerException);
    EXPECT_FALSE(table->contains(nullptr));
    EXPECT_EQ(takePending(), ClassId::java_lang_NullPointerException);
    EXPECT_EQ(table->size(), 1);
    EXPECT_EQ(textOf(table->get(integer(1))), "1");
    EXPECT_FALSE(table->containsKey(integer(2)));
}

TEST_F(HashtableTest, ValuesAndKeysMatchByEquals) {
    auto* table = rt::make<java_util_Hashtable>();
    EXPECT_EQ(table->put(text("name"), integer(7)), nullptr);
    EXPECT_TRUE(table->containsKey(text("name")));
    EXPECT_TRUE(table->contains(integer(7)));
    EXPECT_FALSE(table->contains(integer(8)));
    EXPECT_EQ(textOf(table->get(text("name"))), "7");
    table->clear();
    EXPECT_TRUE(table->isEmpty());
    EXPECT_EQ(table->get(text("name")), nullptr);
    EXPECT_EQ(table->bucketCount(), 11);
    EXPECT_FALSE(rt::exceptionPending());
}

} // namespace
