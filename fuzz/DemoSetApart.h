// The demo set for harnesses (and whatever else a harness makes from it),
// made in a child process and handed over as bytes, so the memory its
// making takes never counts against a fuzzing run.

#pragma once

#include "fuzz/Harness.h"
#include "tools/datakit/Archive.h"
#include "tools/mkdata/DemoSet.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <string_view>

namespace fuzzing {
namespace detail {

inline void appendU32(datakit::Bytes& out, std::size_t value) {
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<std::uint8_t>(value >> shift));
}

inline void appendText(datakit::Bytes& out, std::span<const std::uint8_t> text) {
    appendU32(out, text.size());
    out.insert(out.end(), text.begin(), text.end());
}

inline void appendUnits(datakit::Bytes& out, std::u16string_view units) {
    appendText(out, std::span(reinterpret_cast<const std::uint8_t*>(units.data()), 2 * units.size()));
}

// The set as bytes: the archive's entries, then the files beside it, then
// the record stores' prefix and suffix, each a length and its bytes.
inline datakit::Bytes serialized(const mkdata::ProgramFolder& set) {
    datakit::Bytes out;
    appendU32(out, set.archive.size());
    for (const datakit::ArchiveEntry& entry : set.archive) {
        appendUnits(out, entry.name);
        appendText(out, entry.bytes);
    }
    appendU32(out, set.files.size());
    for (const auto& [name, bytes] : set.files) {
        appendText(out, std::span(reinterpret_cast<const std::uint8_t*>(name.data()), name.size()));
        appendText(out, bytes);
    }
    appendText(out, std::span(reinterpret_cast<const std::uint8_t*>(set.recordStorePrefix.data()),
                              set.recordStorePrefix.size()));
    appendText(out, std::span(reinterpret_cast<const std::uint8_t*>(set.recordStoreSuffix.data()),
                              set.recordStoreSuffix.size()));
    return out;
}

class Reader {
public:
    explicit Reader(const datakit::Bytes& bytes)
        : m_bytes(bytes) {}
    std::size_t u32() {
        check(m_at + 4 <= m_bytes.size());
        std::size_t value = 0;
        for (int shift = 0; shift < 32; shift += 8)
            value |= static_cast<std::size_t>(m_bytes[m_at++]) << shift;
        return value;
    }
    datakit::Bytes text() {
        std::size_t length = u32();
        check(m_at + length <= m_bytes.size());
        datakit::Bytes text(m_bytes.begin() + static_cast<std::ptrdiff_t>(m_at),
                            m_bytes.begin() + static_cast<std::ptrdiff_t>(m_at + length));
        m_at += length;
        return text;
    }
    std::u16string units() {
        datakit::Bytes bytes = text();
        std::u16string units(bytes.size() / 2, u'\0');
        std::memcpy(units.data(), bytes.data(), 2 * units.size());
        return units;
    }
    std::string string() {
        datakit::Bytes bytes = text();
        return std::string(bytes.begin(), bytes.end());
    }

private:
    const datakit::Bytes& m_bytes;
    std::size_t m_at = 0;
};

// Reads a set that `serialized` wrote, from `in`'s place on.
inline mkdata::ProgramFolder readFolder(Reader& in) {
    mkdata::ProgramFolder set;
    set.archive.resize(in.u32());
    for (datakit::ArchiveEntry& entry : set.archive) {
        entry.name = in.units();
        entry.bytes = in.text();
    }
    set.files.resize(in.u32());
    for (auto& [name, content] : set.files) {
        name = in.string();
        content = in.text();
    }
    set.recordStorePrefix = in.string();
    set.recordStoreSuffix = in.string();
    return set;
}

inline mkdata::ProgramFolder deserialized(const datakit::Bytes& bytes) {
    Reader in(bytes);
    return readFolder(in);
}

// What `make` returns, made in a child process that hands it over through a
// pipe: making the sets allocates hundreds of megabytes more than they hold
// (pictures, packed entries), and under AddressSanitizer memory this process
// frees stays held (the quarantine) and resident for the whole run. The
// bytes come after their count, so that they are read into one buffer of
// their size, with no growing copies left behind either.
template <class Make>
datakit::Bytes bytesMadeApart(Make make) {
    int ends[2];
    check(::pipe(ends) == 0);
    const pid_t child = ::fork();
    check(child >= 0);
    if (child == 0) {
        ::close(ends[0]);
        const datakit::Bytes made = make();
        datakit::Bytes bytes;
        appendU32(bytes, made.size());
        bytes.insert(bytes.end(), made.begin(), made.end());
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t wrote = ::write(ends[1], bytes.data() + done, bytes.size() - done);
            if (wrote <= 0)
                ::_exit(1);
            done += static_cast<std::size_t>(wrote);
        }
        // No exit handlers: the leak check would read the whole heap again.
        ::_exit(0);
    }
    ::close(ends[1]);
    auto readFully = [&](std::uint8_t* into, std::size_t size) {
        for (std::size_t done = 0; done < size;) {
            const ssize_t got = ::read(ends[0], into + done, size - done);
            if (got < 0 && errno == EINTR)
                continue;
            check(got > 0);
            done += static_cast<std::size_t>(got);
        }
    };
    std::uint8_t count[4];
    readFully(count, sizeof count);
    std::size_t size = 0;
    for (int i = 0; i < 4; ++i)
        size |= static_cast<std::size_t>(count[i]) << (8 * i);
    datakit::Bytes bytes(size);
    readFully(bytes.data(), size);
    ::close(ends[0]);
    int status = 0;
    check(::waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0);
    return bytes;
}

} // namespace detail

// The demo set, made once per process (apart, as above).
inline const mkdata::ProgramFolder& demoSetMadeApart() {
    static const mkdata::ProgramFolder demo = detail::deserialized(
        detail::bytesMadeApart([] { return detail::serialized(mkdata::makeDemoSet()); }));
    return demo;
}

} // namespace fuzzing
