#pragma once

// Running out of memory where nothing can go on: operator new, and an object
// heap that cannot hold one more object even after a collection.

#include <new>

namespace rt {

// What the failure throws; its text is "bad allocation".
class OutOfStore : public std::bad_alloc {
public:
    const char* what() const noexcept override { return "bad allocation"; }
};

// Logs "ERROR: Operator new failed: out of store." and throws `OutOfStore`.
[[noreturn]] void outOfStore();

// Makes `outOfStore` the handler of every failed operator new. The shell calls it at start-up.
void installOutOfStoreHandler();

} // namespace rt
