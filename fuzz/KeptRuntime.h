#pragma once

// A runtime made once for the process and lent to each input, for harnesses
// whose inputs would otherwise spend most of their time making and freeing
// heaps. Between inputs it forgets what the input made: the pending
// exception and every static, so nothing an input made is reachable by the
// next. The objects left over are freed by a collection after every input
// (without the check for unlisted references, which would cost more than
// most inputs): objects that hold native memory or files give them back in
// the input that made them, so that libFuzzer, which counts an input's
// allocations and frees, takes no input for a leak and runs no leak check
// over the runtime's heaps. A runtime whose heaps stay more than half full
// after one (permanent objects inputs made) is made anew.

#include "classlib/ClassLibrary.h"
#include "runtime/Exceptions.h"
#include "runtime/ObjectManager.h"
#include "runtime/Runtime.h"
#include "runtime/StaticClass.h"

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

    // A table of constant strings for the inputs: the one `make` built, made
    // once for each runtime and kept. Constant strings are never collected,
    // so a table made for every input would fill the heap with them, and every
    // collection would then sweep them all.
    using MakeConstants = rt::ObjectArray* (*)();
    rt::ObjectArray* constants(MakeConstants make) {
        if (m_constantsMaker != make || !m_constants) {
            m_constants = make();
            m_constantsMaker = make;
        }
        return m_constants;
    }

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
        m_constants = nullptr;
        m_constantsMaker = nullptr;
        m_runtime = std::make_unique<rt::Runtime>(m_options);
        m_runtime->objectManager().addHandle(reinterpret_cast<rt::Object**>(&m_constants));
        m_install(*m_runtime);
    }

    rt::RuntimeOptions m_options;
    Install m_install;
    std::unique_ptr<rt::Runtime> m_runtime;
    // Held by a handle of the runtime.
    rt::ObjectArray* m_constants = nullptr;
    MakeConstants m_constantsMaker = nullptr;
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
