#include "tests/support/DemoSet.h"

#include "tools/mkdata/DemoSet.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

namespace testing_support {

namespace {

// The file: a tag, then every archive entry (name, bytes), every file beside
// the archive (name, bytes) and the record-store names; each length a 32-bit
// count before its units, little-endian, names in 16-bit units where the
// archive's are. The demo set has no damaged index fields to keep.
constexpr std::string_view kTag = "vorlax demo set 1\n";

class Writer {
public:
    void count(std::size_t n) {
        for (int shift = 0; shift < 32; shift += 8)
            m_bytes.push_back(static_cast<char>((n >> shift) & 0xFF));
    }
    void text(std::string_view s) {
        count(s.size());
        m_bytes.append(s);
    }
    void name(std::u16string_view s) {
        count(s.size());
        for (char16_t unit : s) {
            m_bytes.push_back(static_cast<char>(unit & 0xFF));
            m_bytes.push_back(static_cast<char>(unit >> 8));
        }
    }
    void bytes(const datakit::Bytes& b) {
        count(b.size());
        m_bytes.append(reinterpret_cast<const char*>(b.data()), b.size());
    }
    std::string m_bytes{kTag};
};

class Reader {
public:
    explicit Reader(std::string bytes)
        : m_bytes(std::move(bytes)) {}
    std::optional<std::size_t> count() {
        if (m_bytes.size() - m_at < 4)
            return std::nullopt;
        std::size_t n = 0;
        for (int i = 0; i < 4; ++i)
            n |= static_cast<std::size_t>(static_cast<unsigned char>(m_bytes[m_at++])) << (8 * i);
        return n;
    }
    std::optional<std::string> text() {
        std::optional<std::size_t> n = count();
        if (!n || m_bytes.size() - m_at < *n)
            return std::nullopt;
        std::string s = m_bytes.substr(m_at, *n);
        m_at += *n;
        return s;
    }
    std::optional<std::u16string> name() {
        std::optional<std::size_t> n = count();
        if (!n || (m_bytes.size() - m_at) / 2 < *n)
            return std::nullopt;
        std::u16string s;
        for (std::size_t i = 0; i < *n; ++i, m_at += 2)
            s.push_back(static_cast<char16_t>(static_cast<unsigned char>(m_bytes[m_at]) |
                                              static_cast<unsigned char>(m_bytes[m_at + 1]) << 8));
        return s;
    }
    std::optional<datakit::Bytes> bytes() {
        std::optional<std::string> s = text();
        if (!s)
            return std::nullopt;
        return datakit::Bytes(s->begin(), s->end());
    }
    bool tagged() {
        if (!m_bytes.starts_with(kTag))
            return false;
        m_at = kTag.size();
        return true;
    }
    bool atEnd() const { return m_at == m_bytes.size(); }

private:
    std::string m_bytes;
    std::size_t m_at = 0;
};

std::optional<mkdata::ProgramFolder> readDemoSetFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return std::nullopt;
    Reader reader{std::string(std::istreambuf_iterator<char>(in), {})};
    if (!reader.tagged())
        return std::nullopt;
    mkdata::ProgramFolder folder;
    std::optional<std::size_t> entries = reader.count();
    for (std::size_t i = 0; entries && i < *entries; ++i) {
        std::optional<std::u16string> name = reader.name();
        std::optional<datakit::Bytes> bytes = reader.bytes();
        if (!name || !bytes)
            return std::nullopt;
        folder.archive.push_back({std::move(*name), std::move(*bytes), {}, {}});
    }
    std::optional<std::size_t> files = reader.count();
    for (std::size_t i = 0; files && i < *files; ++i) {
        std::optional<std::string> name = reader.text();
        std::optional<datakit::Bytes> bytes = reader.bytes();
        if (!name || !bytes)
            return std::nullopt;
        folder.files.emplace_back(std::move(*name), std::move(*bytes));
    }
    std::optional<std::string> prefix = reader.text();
    std::optional<std::string> suffix = reader.text();
    if (!entries || !files || !prefix || !suffix || !reader.atEnd())
        return std::nullopt;
    folder.recordStorePrefix = std::move(*prefix);
    folder.recordStoreSuffix = std::move(*suffix);
    return folder;
}

mkdata::ProgramFolder readOrMakeDemoSet() {
    if (const char* file = std::getenv("VORLAX_TEST_DEMO_SET")) {
        if (std::optional<mkdata::ProgramFolder> read = readDemoSetFile(file))
            return std::move(*read);
        std::fprintf(stderr, "the demo set in %s cannot be read: making it here\n", file);
    }
    return mkdata::makeDemoSet();
}

} // namespace

const mkdata::ProgramFolder& demoSet() {
    static const mkdata::ProgramFolder s_set = readOrMakeDemoSet();
    return s_set;
}

bool writeDemoSetFile(const mkdata::ProgramFolder& folder, const std::filesystem::path& file) {
    Writer writer;
    writer.count(folder.archive.size());
    for (const datakit::ArchiveEntry& entry : folder.archive) {
        writer.name(entry.name);
        writer.bytes(entry.bytes);
    }
    writer.count(folder.files.size());
    for (const auto& [name, bytes] : folder.files) {
        writer.text(name);
        writer.bytes(bytes);
    }
    writer.text(folder.recordStorePrefix);
    writer.text(folder.recordStoreSuffix);
    // Written beside and renamed: a test starting meanwhile reads the whole
    // file or none.
    std::filesystem::path temporary = file;
    temporary += ".new";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(writer.m_bytes.data(), static_cast<std::streamsize>(writer.m_bytes.size()));
        if (!out.flush())
            return false;
    }
    std::error_code error;
    std::filesystem::rename(temporary, file, error);
    return !error;
}

} // namespace testing_support
