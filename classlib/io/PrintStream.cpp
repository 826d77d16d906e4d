#include "classlib/io/PrintStream.h"

#include "classlib/io/ConsoleOutputStream.h"
#include "runtime/Exceptions.h"
#include "runtime/StaticClass.h"
#include "runtime/checks.h"

namespace lib {

namespace {

struct SystemStreamStatics {
    java_io_PrintStream* m_stream = nullptr;
    RT_REFERENCE_FIELDS(SystemStreamStatics, rt::NoReferenceBase, m_stream)
};

constexpr std::int32_t kLineFeed = 10;

} // namespace

java_io_PrintStream* ensureSystemStream() {
    auto& statics = rt::getStaticClass().statics<SystemStreamStatics>();
    if (!statics.m_stream)
        statics.m_stream = rt::make<java_io_PrintStream>(rt::make<java_io_ConsoleOutputStream>());
    return statics.m_stream;
}

java_io_PrintStream::java_io_PrintStream(java_io_OutputStream* out)
    : java_io_OutputStream(kClassId)
    , m_out(out) {
}

bool java_io_PrintStream::survived() {
    if (!rt::exceptionPending())
        return true;
    rt::catchException(rt::ClassId::java_io_IOException);
    return !rt::exceptionPending();
}

java_io_OutputStream* java_io_PrintStream::sink() {
    if (!m_out)
        rt::reportNullPointer();
    return m_out;
}

void java_io_PrintStream::close() {
    if (java_io_OutputStream* out = sink()) {
        out->close();
        survived();
    }
}

void java_io_PrintStream::flush() {
    if (java_io_OutputStream* out = sink()) {
        out->flush();
        survived();
    }
}

void java_io_PrintStream::write(std::int32_t b) {
    if (java_io_OutputStream* out = sink()) {
        out->write(b);
        survived();
    }
}

void java_io_PrintStream::write(rt::ByteArray* b, std::int32_t off, std::int32_t len) {
    if (java_io_OutputStream* out = sink()) {
        out->write(b, off, len);
        survived();
    }
}

void java_io_PrintStream::print(rt::String* s) {
    java_io_OutputStream* out = sink();
    if (!out)
        return;
    rt::ByteArray* bytes = (s ? s : rt::String::newFromCString("null"))->getBytes();
    out->write(bytes);
    survived();
}

void java_io_PrintStream::print(rt::Object* o) {
    print(rt::String::valueOf(o));
}

void java_io_PrintStream::print(rt::CharArray* s) {
    if (!s || s->isFreed()) {
        rt::reportNullPointer();
        return;
    }
    for (std::int32_t i = 0; i < s->length(); ++i) {
        write(s->elements()[i]);
        if (rt::exceptionPending())
            return;
    }
}

void java_io_PrintStream::print(char16_t c) {
    write(static_cast<std::int32_t>(c));
}

void java_io_PrintStream::print(bool b) {
    print(rt::getStaticClass().getConstantString(b ? kTrueText : kFalseText));
}

void java_io_PrintStream::print(std::int32_t i) {
    print(rt::String::valueOf(i));
}

void java_io_PrintStream::print(std::int64_t l) {
    print(rt::String::valueOf(l));
}

void java_io_PrintStream::println() {
    write(kLineFeed);
}

void java_io_PrintStream::println(rt::String* s) {
    printLine(s);
}

void java_io_PrintStream::println(rt::Object* o) {
    printLine(o);
}

void java_io_PrintStream::println(char16_t c) {
    printLine(c);
}

void java_io_PrintStream::println(bool b) {
    printLine(b);
}

void java_io_PrintStream::println(std::int32_t i) {
    printLine(i);
}

} // namespace lib
