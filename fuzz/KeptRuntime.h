#pragma once

// A runtime made once for the process and lent to each input, for harnesses
// whose inputs would otherwise spend most of their time making and freeing
// heaps. Between inputs it forgets what the input made: the pending
// exception and every static, so nothing an input made is reachable by the
// next, but for the objects a harness asks it to keep (`kept`). The objects
// left over are freed by a collection after every input (without the check
// for unlisted references, which would cost more than most inputs): objects
// that hold native memory or files give them back in the input that made
// them, so that libFuzzer, which counts an input's allocations and frees,
// takes no input for a leak and runs no leak check over the runtime's heaps.
// A runtime whose heaps stay more than half full after one (permanent
// objects inputs made) is made anew.

#include "classlib/ClassLibrary.h"
#include "fuzz/Harness.h"
#include "runtime/Exceptions.h"
#include "runtime/ObjectManager.h"
#include "runtime/Runtime.h"
#include "runtime/StaticClass.h"

#include <array>
#include <functional>
#include <memory>
#include <utility>

namespace fuzzing {

class KeptRuntime {
public:
    // What each new runtime gets before its first input (the platform, say).
    using Install = std::function<void(rt::Runtime&)>;

    KeptRuntime(rt::RuntimeOptions options, Install install)
        : m_options(options)
        , m_install(std::move(install)) {
        start();
    }
    KeptRuntime(const KeptRuntime&) = delete;
    KeptRuntime& operator=(const KeptRuntime&) = delete;

    rt::Runtime& runtime() { return *m_runtime; }

    // An object for the inputs that `make` builds, made once for each runtime
    // (at the first input that asks) and kept through the collections
    // between inputs, for what every input would otherwise make alike: a
    // MIDlet, a canvas. An input that changes a kept object leaves the
    // change for the next.
    template <class T>
    T* kept(T* (*make)()) {
        const auto key = reinterpret_cast<void (*)()>(make);
        for (KeptObject& slot : m_kept) {
            if (slot.key == key)
                return static_cast<T*>(slot.object);
        }
        for (KeptObject& slot : m_kept) {
            if (!slot.key) {
                slot.object = make();
                slot.key = key;
                return static_cast<T*>(slot.object);
            }
        }
        check(false);
        return nullptr;
    }

    // A table of constant strings for the inputs: the one `make` built, kept
    // as above. Constant strings are never collected, so a table made for
    // every input would fill the heap with them, and every collection would
    // then sweep them all.
    using MakeConstants = rt::ObjectArray* (*)();
    rt::ObjectArray* constants(MakeConstants make) { return kept(make); }

    // Forgets what the input made. `keep` runs once the statics are cleared
    // and before any collection, to root again what every input shares.
    template <class Keep>
    void endInput(Keep keep) {
        rt::clearPendingException();
        m_runtime->staticClass().clearStatics();
        keep();
        // The check for unlisted references is off for this collection: with
        // the statics cleared it would find only what `keep` rooted, at the
        // price of a walk over every statics block and registered object,
        // which costs more than most inputs.
        rt::ObjectManager& manager = m_runtime->objectManager();
        const rt::UnlistedReferenceCheck unlisted = manager.unlistedReferenceCheck();
        manager.setUnlistedReferenceCheck(rt::UnlistedReferenceCheck::Off);
        manager.gc(rt::ObjectManager::kImmediate);
        manager.setUnlistedReferenceCheck(unlisted);
        if (moreThanUsed(m_runtime->objectHeap(), 2) || moreThanUsed(m_runtime->bufferHeap(), 2)) {
            m_runtime.reset();
            start();
        }
    }
    void endInput() {
        endInput([] {});
    }

private:
    // Whether more than 1 / `part` of `heap` is in use.
    static bool moreThanUsed(rt::MemoryManager& heap, std::size_t part) {
        rt::HeapStats stats = heap.stats();
        return stats.heapUsed > stats.heapSize / part;
    }

    void start() {
        m_kept = {};
        m_runtime = std::make_unique<rt::Runtime>(m_options);
        for (KeptObject& slot : m_kept)
            m_runtime->objectManager().addHandle(&slot.object);
        m_install(*m_runtime);
    }

    // A kept object and the maker it came from (null for a free slot).
    struct KeptObject {
        void (*key)() = nullptr;
        // Held by a handle of the runtime.
        rt::Object* object = nullptr;
    };

    rt::RuntimeOptions m_options;
    Install m_install;
    std::unique_ptr<rt::Runtime> m_runtime;
    std::array<KeptObject, 4> m_kept{};
};

// The class library on a runtime whose inputs run no collection: without
// threads none starts on its own, so the objects held only by an input's
// frame stay, and a full heap falls back to the process heap instead of
// collecting.
inline void installClassLibraryWithoutCollections(rt::Runtime& runtime) {
    runtime.bufferHeap().setFailureHandler(nullptr);
    runtime.objectHeap().setFailureHandler(nullptr);
    lib::installClassLibrary(runtime);
}

// One input's use of a kept runtime: when it ends, what the input made is gone.
class KeptRuntimeInput {
public:
    explicit KeptRuntimeInput(KeptRuntime& kept)
        : m_kept(kept) {}
    ~KeptRuntimeInput() { m_kept.endInput(); }
    KeptRuntimeInput(const KeptRuntimeInput&) = delete;
    KeptRuntimeInput& operator=(const KeptRuntimeInput&) = delete;

private:
    KeptRuntime& m_kept;
};

} // namespace fuzzing
