#pragma once

// The application properties: the lines of the descriptor "app.jad", a
// resource of the archive, each a key, a ':' and a value. The MIDlet reads
// them once, when it is made, and answers them through `getAppProperty`;
// afterwards they are only read.
//
// Format, as read here: one character per byte (Latin-1); lines end with LF,
// optionally preceded by CR, and the last needs no line end. The key is what
// comes before the line's first ':', the value everything after it (it may
// hold ':' too); both are trimmed of leading and trailing characters up to
// code 32. Keys are case-sensitive, and a later line with the same key
// replaces the earlier value. A line without ':' (an empty line among them)
// is skipped.

#include "runtime/String.h"

#include <cstdint>
#include <string>

namespace lib {
class java_util_Hashtable;
}

namespace platform {

// The bounds of "app.jad". The game's descriptor is a few dozen short lines;
// one beyond these is a broken file, whose properties would only fill the
// object heap.
inline constexpr std::int32_t kMaxAppDescriptorBytes = 64 * 1024;
inline constexpr std::int32_t kMaxAppDescriptorLines = 1024;

// The bytes of "app.jad" as a String, one unit per byte; null when the
// archive has no such resource, the empty String when it holds nothing.
// Null too when it is refused: more than `kMaxAppDescriptorBytes` bytes or
// more than `kMaxAppDescriptorLines` lines (the text after the last LF counts
// as a line), with one log line saying which.
rt::String* readAppDescriptor();

// Whether "app.jad" is within its bounds (or missing, which is no fault);
// false after the refusal's log line, with `problem` (when given) set to its
// reason ("1500 lines, more than the 1024 it may have"). For start-up, which
// then ends with the broken-data status rather than run without the properties.
[[nodiscard]] bool checkAppDescriptor(std::string* problem = nullptr);

// The properties of `descriptor` (may be null: no properties) in a new table
// of 11 buckets, threshold 8, mapping key Strings to value Strings. Takes
// time in proportion to the descriptor's length; sets no bound of its own.
lib::java_util_Hashtable* parseApplicationProperties(rt::String* descriptor);

// `parseApplicationProperties(readAppDescriptor())`: what the MIDlet's
// constructor keeps. Never null.
lib::java_util_Hashtable* readApplicationProperties();

// The value of `key` in `properties` (as `readApplicationProperties` made
// them), or a new String "PROPERTY VALUE EMPTY" when it has none; never null.
// A null key or table is reported and answers that text too.
rt::String* getApplicationProperty(lib::java_util_Hashtable* properties, rt::String* key);

} // namespace platform
