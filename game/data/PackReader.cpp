#include "game/data/PackReader.h"

#include "classlib/io/ByteArrayInputStream.h"
#include "classlib/io/InputStream.h"
#include "game/data/Lzma.h"
#include "game/data/PackSource.h"
#include "game/data/TypedArrayReader.h"
#include "game/framework/OrvelLibConfig.h"
#include "game/framework/Streams.h"
#include "host/Log.h"
#include "platform/lcdui/Image.h"
#include "runtime/Exceptions.h"
#include "runtime/StaticClass.h"
#include "runtime/constantStrings.h"

#include <string>

namespace game {

namespace {

// A header byte from this value up marks a packed entry when packing is on.
constexpr std::int32_t kPackedHeader = 127;

std::string nameOf(rt::String* name) {
    return name ? name->toUtf8() : std::string("(none)");
}

void logPack(const char* what) {
    host::logf(host::LogCategory::Game, "pack %s: %s", nameOf(packStatics().s_packName).c_str(), what);
}

std::int32_t firstEntry(const PackStatics& packs, std::int32_t part) {
    return rt::ShortArray::get(packs.s_packPartFirstEntry, part) & 0xFFFF;
}

// Entries of `part`: up to the next part's first entry, or to E for the last.
std::int32_t entriesOfPart(const PackStatics& packs, std::int32_t part) {
    std::int32_t end =
        part + 1 < packs.s_packPartCount ? firstEntry(packs, part + 1) : packs.s_packEntryCount;
    return end - firstEntry(packs, part);
}

rt::String* partFileName(rt::String* pack, std::int32_t part) {
    if (part == 0 || !pack)
        return pack;
    rt::String* separator = rt::getStaticClass().getConstantString(rt::constants::kPackPartSeparator);
    return pack->concat(separator)->concat(rt::String::valueOf(part));
}

// Opens the file of `part` as the current stream at position 0 and notes its
// size; false, with a log line, when the archive has no such file. A stream
// that keeps marks is marked there, for `rewindPart`.
bool openPart(std::int32_t part) {
    PackStatics& packs = packStatics();
    StreamStatics& streams = streamStatics();
    rt::String* name = partFileName(packs.s_packName, part);
    streams.s_packStream = packOpenFile(name);
    streams.s_packPosition = 0;
    if (!streams.s_packStream) {
        host::logf(host::LogCategory::Game, "pack %s: the file %s is missing",
                   nameOf(packs.s_packName).c_str(), nameOf(name).c_str());
        return false;
    }
    packs.s_packPartSize = streams.s_packStream->available();
    if (rt::catchException(rt::ClassId::java_lang_Exception))
        packs.s_packPartSize = 0;
    if (streams.s_packStream->markSupported())
        streams.s_packStream->mark(packs.s_packPartSize);
    return true;
}

// Puts the current part's stream back at position 0: through the mark its
// open set, where the stream keeps one (the archive's entries do, and then a
// seek back reads no file again), else by opening the part again.
bool rewindPart() {
    StreamStatics& streams = streamStatics();
    lib::java_io_InputStream* stream = streams.s_packStream;
    if (stream && stream->markSupported()) {
        stream->reset();
        if (!rt::catchException(rt::ClassId::java_lang_Exception)) {
            streams.s_packPosition = 0;
            return true;
        }
    }
    closeStream();
    return openPart(packStatics().s_packPart);
}

// Reads E, P and the first entries of the parts; false when they cannot
// describe a pack of this file.
bool readHeader(PackStatics& packs) {
    if (packs.s_packPartSize < 4) {
        logPack("the file is too short for a header");
        return false;
    }
    packs.s_packEntryCount = readShortLE();
    packs.s_packPartCount = static_cast<std::int16_t>(readShortLE());
    std::int32_t parts = packs.s_packPartCount;
    if (parts <= 0) {
        logPack("the part count is not above 0");
        return false;
    }
    if (4 + 2 * parts > packs.s_packPartSize) {
        logPack("the header runs past the file");
        return false;
    }
    packs.s_packPartFirstEntry = rt::newShortArray(parts);
    for (std::int32_t i = 0; i < parts; ++i)
        rt::ShortArray::set(packs.s_packPartFirstEntry, i, static_cast<std::int16_t>(readShortLE()));
    bool rising = firstEntry(packs, 0) == 0;
    for (std::int32_t i = 1; i < parts && rising; ++i)
        rising = firstEntry(packs, i) >= firstEntry(packs, i - 1);
    if (!rising || firstEntry(packs, parts - 1) > packs.s_packEntryCount) {
        logPack("the parts' first entries do not rise from 0 to the entry count");
        return false;
    }
    return true;
}

// Opens part 0 again and reads its header and table, as a fresh open does.
bool reopenFirstPart() {
    PackStatics& packs = packStatics();
    rt::String* name = packs.s_packName;
    packs.s_packName = nullptr;
    packOpen(name);
    return packs.s_packHeaderRead && packs.s_packOffsets;
}

// Reopens the file of `part` (k >= 1), reading its table only when none is kept.
bool reopenPart(std::int32_t part) {
    if (part == 0)
        return reopenFirstPart();
    closeStream();
    if (!openPart(part))
        return false;
    return packStatics().s_packOffsets || packReadOffsets();
}

// A packed payload of `payloadLength` bytes at the stream's position,
// unpacked: the unpacker's output, taken and cleared, with the payload
// counted into the position. A throwable other than a `java_lang_Exception`
// stays pending for the caller. When the unpack fails the stream may stand
// anywhere inside the payload, so it is closed and the next seek reopens
// the part instead of trusting the counter.
rt::ByteArray* unpackPackedEntry(std::int32_t payloadLength) {
    StreamStatics& streams = streamStatics();
    lzmaUnpack(streams.s_packStream, payloadLength);
    LzmaStatics& lzma = lzmaStatics();
    rt::ByteArray* output = lzma.s_lzmaOutput;
    lzma.s_lzmaOutput = nullptr;
    if (!output) {
        logPack("a packed entry could not be unpacked");
        closeStream();
        return nullptr;
    }
    streams.s_packPosition += payloadLength;
    return output;
}

} // namespace

PackStatics& packStatics() {
    return rt::getStaticClass().statics<PackStatics>();
}

void packOpen(rt::String* name) {
    PackStatics& packs = packStatics();
    if (packs.s_packName && name && name->compareTo(packs.s_packName) == 0)
        return;
    closeStream();
    packs.s_packName = name;
    packs.s_packHeaderRead = 0;
    packs.s_packOffsets = nullptr;
    packs.s_packPart = 0;
    if (!name) {
        host::logf(host::LogCategory::Game, "packOpen: no pack name");
        return;
    }
    if (!openPart(0) || !readHeader(packs))
        return;
    packs.s_packHeaderRead = 1;
    (void)packReadOffsets();
}

bool packReadOffsets() {
    PackStatics& packs = packStatics();
    packs.s_packOffsets = nullptr;
    std::int32_t part = packs.s_packPart;
    std::int32_t entries = entriesOfPart(packs, part);
    std::int64_t headerBytes = (part == 0 ? 4 + 2 * packs.s_packPartCount : 0) + 4 * (entries + 1);
    if (headerBytes > packs.s_packPartSize) {
        logPack("an offset table runs past its file");
        return false;
    }
    rt::IntArray* offsets = rt::newIntArray(entries + 1);
    for (std::int32_t i = 0; i <= entries; ++i)
        offsets->elements()[i] = readIntLE();
    const std::int32_t* off = offsets->elements();
    bool sound = off[0] >= headerBytes && off[entries] <= packs.s_packPartSize;
    for (std::int32_t i = 0; i < entries && sound; ++i)
        sound = off[i + 1] >= off[i];
    if (!sound) {
        logPack("an offset table falls, starts inside the header or ends past its file");
        return false;
    }
    packs.s_packOffsets = offsets;
    return true;
}

std::int32_t packSeek(std::int32_t entry) {
    PackStatics& packs = packStatics();
    if (!packs.s_packName) {
        host::logf(host::LogCategory::Game, "packSeek: no pack is open");
        return -1;
    }
    if (!packs.s_packHeaderRead && !reopenFirstPart())
        return -1;
    if (entry < 0 || entry >= packs.s_packEntryCount) {
        host::logf(host::LogCategory::Game, "pack %s: no entry %d among %d", nameOf(packs.s_packName).c_str(),
                   entry, packs.s_packEntryCount);
        return -1;
    }
    std::int32_t part = packs.s_packPartCount - 1;
    while (part > 0 && firstEntry(packs, part) > entry)
        --part;
    if (part != packs.s_packPart) {
        packs.s_packPart = part;
        closeStream();
        packs.s_packOffsets = nullptr;
    }
    if ((!streamStatics().s_packStream || !packs.s_packOffsets) && !reopenPart(part))
        return -1;

    std::int32_t local = entry - firstEntry(packs, part);
    std::int32_t start = rt::IntArray::get(packs.s_packOffsets, local);
    std::int32_t size = rt::IntArray::get(packs.s_packOffsets, local + 1) - start;
    if (!packSkipTo(start))
        return -1;
    packs.s_packEntryPacked = 0;
    if (size < 1)
        return size;
    std::int32_t header = readByte() & 0xFF;
    packs.s_packEntryHeader = header;
    if (config().s_packLzma && header >= kPackedHeader) {
        packs.s_packEntryPacked = 1;
        packs.s_packEntryHeader = header - kPackedHeader;
    }
    return size - 1;
}

bool packSkipTo(std::int32_t position) {
    std::int32_t current = streamStatics().s_packPosition;
    if (position == current)
        return true;
    if (position < current) {
        if (!rewindPart())
            return false;
        packSkip(position);
        return true;
    }
    packSkip(position - current);
    return true;
}

void packSkip(std::int32_t count) {
    if (count <= 0)
        return;
    std::int32_t chunk = config().s_skipBufferSize;
    StreamStatics& streams = streamStatics();
    if (chunk <= 0) {
        streams.s_packPosition += count;
        std::int64_t left = count;
        while (left > 0 && streams.s_packStream) {
            std::int64_t skipped = streams.s_packStream->skip(left);
            if (rt::catchException(rt::ClassId::java_lang_Exception) || skipped <= 0)
                break;
            left -= skipped;
        }
        return;
    }
    PackStatics& packs = packStatics();
    if (!packs.s_packSkipBuffer || packs.s_packSkipBuffer->length() != chunk)
        packs.s_packSkipBuffer = rt::newByteArray(chunk);
    while (count > chunk) {
        readFully(packs.s_packSkipBuffer, 0, chunk);
        count -= chunk;
    }
    readFully(packs.s_packSkipBuffer, 0, count);
}

rt::ByteArray* packReadEntry(std::int32_t entry) {
    std::int32_t length = packSeek(entry);
    if (length < 0)
        return nullptr;
    if (packStatics().s_packEntryPacked)
        return unpackPackedEntry(length);
    rt::ByteArray* bytes = rt::newByteArray(length);
    readFully(bytes, 0, length);
    return bytes;
}

rt::Object* packReadArray(std::int32_t entry) {
    std::int32_t length = packSeek(entry);
    StreamStatics& streams = streamStatics();
    streams.s_arrayBytesRead = 0;
    if (length < 0)
        return nullptr;
    if (packStatics().s_packEntryPacked) {
        rt::ByteArray* bytes = packReadEntry(entry);
        if (!bytes)
            return nullptr;
        return readArray(rt::make<lib::java_io_ByteArrayInputStream>(bytes), bytes->length());
    }
    rt::Object* array = readArray(streams.s_packStream, length);
    streams.s_packPosition += streams.s_arrayBytesRead;
    return array;
}

platform::javax_microedition_lcdui_Image* loadImageFromPack(std::int32_t entry) {
    if (entry < 0)
        return nullptr;
    rt::ByteArray* bytes = packReadEntry(entry);
    if (!bytes)
        return nullptr;
    platform::javax_microedition_lcdui_Image* image =
        platform::javax_microedition_lcdui_Image::createImage(bytes, 0, bytes->length());
    collectAfterUnload();
    return image;
}

} // namespace game
