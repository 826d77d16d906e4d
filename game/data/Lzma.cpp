#include "game/data/Lzma.h"

#include "classlib/io/InputStream.h"
#include "game/framework/OrvelLibConfig.h"
#include "game/framework/Streams.h"
#include "host/Log.h"
#include "runtime/Exceptions.h"
#include "runtime/StaticClass.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <span>

namespace game {

LzmaStatics& lzmaStatics() {
    return rt::getStaticClass().statics<LzmaStatics>();
}

namespace {

// Where each group of probabilities starts. The groups with a state or a
// position-state index have 12 or 12 x 16 entries; the length coders hold
// two choice bits, 16 x 8 low, 16 x 8 middle and 256 high probabilities.
// A distance of slot 4 to 13 takes its low bits from the trees at
// `kMiddleDistance`; a longer one takes its lowest four from `kAlign`.
constexpr std::uint32_t kIsMatch = 0;
constexpr std::uint32_t kIsRep = 192;
constexpr std::uint32_t kIsRepG0 = 204;
constexpr std::uint32_t kIsRepG1 = 216;
constexpr std::uint32_t kIsRepG2 = 228;
constexpr std::uint32_t kIsRep0Long = 240;
constexpr std::uint32_t kPosSlot = 432;
constexpr std::uint32_t kMiddleDistance = 688;
constexpr std::uint32_t kAlign = 802;
constexpr std::uint32_t kLenCoder = 818;
constexpr std::uint32_t kRepLenCoder = 1332;
constexpr std::uint32_t kLiteral = 1846;
static_assert(kLiteral == static_cast<std::uint32_t>(kLzmaBaseProbabilities));

constexpr std::uint32_t kLenChoice2 = 1;
constexpr std::uint32_t kLenLow = 2;
constexpr std::uint32_t kLenMid = 130;
constexpr std::uint32_t kLenHigh = 258;

// lc + lp: 8 + 4.
constexpr std::uint32_t kMostContextBits = 12;
constexpr std::uint32_t kProbabilityBits = 11;
constexpr std::uint16_t kProbabilityHalf = 1 << (kProbabilityBits - 1);
constexpr std::uint32_t kMoveBits = 5;
constexpr std::uint32_t kTop = 1u << 24;
// States 0 to 6 follow a literal, 7 to 11 a match or rep.
constexpr std::uint32_t kFirstMatchState = 7;

// The range decoder over the compressed bytes. It renormalises before each
// bit rather than after the previous one: the bits are the same, but a byte
// is read only when a bit needs it, so the decoder never asks a stream for
// more than its encoder wrote, and reading past the end means the stream was
// cut short. Past the end it reads 0xFF and remembers it.
class RangeDecoder {
public:
    RangeDecoder(std::span<const std::uint8_t> input, std::uint32_t position, std::uint32_t range,
                 std::uint32_t code)
        : m_input(input)
        , m_position(position)
        , m_range(range)
        , m_code(code) {}

    // Shifts the five bytes that open a stream into the code.
    void start() {
        m_range = 0xFFFFFFFFu;
        m_code = 0;
        for (int i = 0; i < 5; ++i)
            m_code = (m_code << 8) | nextByte();
    }

    std::uint32_t bit(std::uint16_t& probability) {
        normalize();
        std::uint32_t bound = (m_range >> kProbabilityBits) * probability;
        if (m_code < bound) {
            m_range = bound;
            probability = static_cast<std::uint16_t>(probability +
                                                     (((1u << kProbabilityBits) - probability) >> kMoveBits));
            return 0;
        }
        m_range -= bound;
        m_code -= bound;
        probability = static_cast<std::uint16_t>(probability - (probability >> kMoveBits));
        return 1;
    }

    // A symbol of `bits` bits, highest first, from the tree at `tree` (entries 1 to 2^bits - 1).
    std::uint32_t tree(std::uint16_t* tree, std::uint32_t bits) {
        std::uint32_t m = 1;
        for (std::uint32_t i = 0; i < bits; ++i)
            m = (m << 1) | bit(tree[m]);
        return m - (1u << bits);
    }

    // The same, lowest bit first.
    std::uint32_t reverseTree(std::uint16_t* tree, std::uint32_t bits) {
        std::uint32_t m = 1;
        std::uint32_t symbol = 0;
        for (std::uint32_t i = 0; i < bits; ++i) {
            std::uint32_t b = bit(tree[m]);
            m = (m << 1) | b;
            symbol |= b << i;
        }
        return symbol;
    }

    // `count` bits of even probability, highest first.
    std::uint32_t directBits(std::uint32_t count) {
        std::uint32_t value = 0;
        for (std::uint32_t i = 0; i < count; ++i) {
            normalize();
            m_range >>= 1;
            std::uint32_t b = m_code >= m_range ? 1 : 0;
            if (b)
                m_code -= m_range;
            value = (value << 1) | b;
        }
        return value;
    }

    bool exhausted() const { return m_exhausted; }
    std::uint32_t position() const { return m_position; }
    std::uint32_t range() const { return m_range; }
    std::uint32_t code() const { return m_code; }

private:
    void normalize() {
        if (m_range < kTop) {
            m_range <<= 8;
            m_code = (m_code << 8) | nextByte();
        }
    }
    std::uint32_t nextByte() {
        if (m_position < m_input.size())
            return m_input[m_position++];
        m_exhausted = true;
        return 0xFF;
    }

    std::span<const std::uint8_t> m_input;
    std::uint32_t m_position;
    std::uint32_t m_range;
    std::uint32_t m_code;
    bool m_exhausted = false;
};

// A match or rep length less 2 (0 to 271), from the length coder at `coder`.
std::uint32_t decodeLength(RangeDecoder& rc, std::uint16_t* coder, std::uint32_t posState) {
    if (!rc.bit(coder[0]))
        return rc.tree(coder + kLenLow + (posState << 3), 3);
    if (!rc.bit(coder[kLenChoice2]))
        return 8 + rc.tree(coder + kLenMid + (posState << 3), 3);
    return 16 + rc.tree(coder + kLenHigh, 8);
}

// A match distance less 1, for a match of `length` + 2 bytes.
std::uint32_t decodeDistance(RangeDecoder& rc, std::uint16_t* probs, std::uint32_t length) {
    std::uint32_t lengthState = std::min<std::uint32_t>(length, 3);
    std::uint32_t slot = rc.tree(probs + kPosSlot + (lengthState << 6), 6);
    if (slot < 4)
        return slot;
    std::uint32_t directCount = (slot >> 1) - 1;
    std::uint32_t distance = (2 | (slot & 1)) << directCount;
    if (slot < 14)
        return distance + rc.reverseTree(probs + kMiddleDistance + distance - slot - 1, directCount);
    distance += rc.directBits(directCount - 4) << 4;
    return distance + rc.reverseTree(probs + kAlign, 4);
}

std::span<const std::uint8_t> bytesOf(rt::ByteArray* array) {
    std::span<std::int8_t> elements = rt::ByteArray::span(array);
    return {reinterpret_cast<const std::uint8_t*>(elements.data()), elements.size()};
}

// Reads `length` bytes into `array` with the framework's full read, which
// ends at the stream's end, at a read that makes no progress and at an
// exception (dropped, as every resource read drops it). Answers whether all
// of them came.
bool readBytes(lib::java_io_InputStream* in, rt::ByteArray* array, std::int32_t length) {
    (void)streamReadFully(in, array, 0, length);
    return !rt::exceptionPending() && streamStatics().s_streamShortfall == 0;
}

// Drops what only the unpack needs and collects when the configuration asks.
void releaseWorkingState(LzmaStatics& statics) {
    statics.s_lzmaProbs = nullptr;
    statics.s_lzmaInput = nullptr;
    collectAfterUnload();
}

} // namespace

bool lzmaDecode(std::int32_t probabilityBytes, std::int32_t lc, std::int32_t lp, std::int32_t pb,
                rt::ByteArray* input, std::int32_t outSize) {
    LzmaStatics& statics = lzmaStatics();
    if (lc < 0 || lc > 8 || lp < 0 || lp > 4 || pb < 0 || pb > 4 || outSize < 0)
        return false;
    std::int32_t needed = lzmaProbabilityCount(lc, lp);
    std::span<std::int16_t> probabilities = rt::ShortArray::span(statics.s_lzmaProbs);
    if (probabilityBytes / 2 < needed || static_cast<std::int64_t>(probabilities.size()) < needed)
        return false;
    if (outSize > 0 && (!statics.s_lzmaOutput || statics.s_lzmaOutput->length() < outSize))
        return false;
    statics.s_lzmaInput = input;
    statics.s_lzmaInputPos = 0;
    // The literal probabilities of a context are set when the context first
    // decodes a byte: a stream with many context bits uses few of its up to
    // 4,096 contexts, and setting all of them (6 MB at most) would cost more
    // than most decodes.
    std::fill(probabilities.begin(), probabilities.begin() + kLiteral,
              static_cast<std::int16_t>(kProbabilityHalf));
    if (outSize == 0)
        return true;
    std::array<std::uint64_t, (1u << kMostContextBits) / 64> contextReady{};

    // Plain pointers from here on: nothing below allocates, and these locals
    // keep the three arrays in place while the loop runs.
    auto* probs = reinterpret_cast<std::uint16_t*>(probabilities.data());
    auto* out = reinterpret_cast<std::uint8_t*>(statics.s_lzmaOutput->elements());
    RangeDecoder rc(bytesOf(input), 0, 0, 0);
    rc.start();

    const std::uint32_t size = static_cast<std::uint32_t>(outSize);
    const std::uint32_t posMask = (1u << pb) - 1;
    const std::uint32_t literalMask = (1u << lp) - 1;
    const std::uint32_t literalShift = 8 - static_cast<std::uint32_t>(lc);
    std::uint32_t state = 0;
    std::uint32_t rep0 = 0, rep1 = 0, rep2 = 0, rep3 = 0;
    std::uint32_t pos = 0;
    bool intact = true;

    while (pos < size) {
        if (rc.exhausted()) {
            intact = false;
            break;
        }
        std::uint32_t posState = pos & posMask;
        if (!rc.bit(probs[kIsMatch + (state << 4) + posState])) {
            std::uint32_t previous = pos > 0 ? out[pos - 1] : 0;
            std::uint32_t context = ((pos & literalMask) << lc) + (previous >> literalShift);
            std::uint16_t* literal = probs + kLiteral + kLzmaLiteralProbabilities * context;
            std::uint64_t& ready = contextReady[context / 64];
            if (!(ready & (std::uint64_t{1} << (context % 64)))) {
                std::fill(literal, literal + kLzmaLiteralProbabilities, kProbabilityHalf);
                ready |= std::uint64_t{1} << (context % 64);
            }
            std::uint32_t symbol = 1;
            if (state >= kFirstMatchState) {
                // Every state from 7 on was reached through a match whose
                // distance was checked, so this byte lies inside the output.
                std::uint32_t matchByte = out[pos - rep0 - 1];
                while (symbol < 0x100) {
                    std::uint32_t matchBit = (matchByte >> 7) & 1;
                    matchByte <<= 1;
                    std::uint32_t b = rc.bit(literal[((1 + matchBit) << 8) + symbol]);
                    symbol = (symbol << 1) | b;
                    if (b != matchBit)
                        break;
                }
            }
            while (symbol < 0x100)
                symbol = (symbol << 1) | rc.bit(literal[symbol]);
            out[pos++] = static_cast<std::uint8_t>(symbol);
            state = state < 4 ? 0 : state < 10 ? state - 3 : state - 6;
            continue;
        }

        std::uint32_t length = 0;
        if (!rc.bit(probs[kIsRep + state])) {
            rep3 = rep2;
            rep2 = rep1;
            rep1 = rep0;
            length = decodeLength(rc, probs + kLenCoder, posState);
            state = state < kFirstMatchState ? 7 : 10;
            rep0 = decodeDistance(rc, probs, length);
        } else if (!rc.bit(probs[kIsRepG0 + state])) {
            if (!rc.bit(probs[kIsRep0Long + (state << 4) + posState])) {
                if (rep0 >= pos) {
                    intact = false;
                    break;
                }
                state = state < kFirstMatchState ? 9 : 11;
                out[pos] = out[pos - rep0 - 1];
                ++pos;
                continue;
            }
            length = decodeLength(rc, probs + kRepLenCoder, posState);
            state = state < kFirstMatchState ? 8 : 11;
        } else {
            std::uint32_t distance;
            if (!rc.bit(probs[kIsRepG1 + state])) {
                distance = rep1;
            } else {
                if (!rc.bit(probs[kIsRepG2 + state])) {
                    distance = rep2;
                } else {
                    distance = rep3;
                    rep3 = rep2;
                }
                rep2 = rep1;
            }
            rep1 = rep0;
            rep0 = distance;
            length = decodeLength(rc, probs + kRepLenCoder, posState);
            state = state < kFirstMatchState ? 8 : 11;
        }

        // A distance reaching before the first byte (the end marker's among
        // them) is corrupt data: the output is complete only at `size`.
        if (rep0 >= pos) {
            intact = false;
            break;
        }
        std::uint32_t count = std::min(length + 2, size - pos);
        std::uint8_t* to = out + pos;
        const std::uint8_t* from = to - rep0 - 1;
        if (rep0 + 1 >= count) {
            std::memcpy(to, from, count);
        } else {
            for (std::uint32_t i = 0; i < count; ++i)
                to[i] = from[i];
        }
        pos += count;
    }

    statics.s_lzmaInputPos = static_cast<std::int32_t>(rc.position());
    statics.s_lzmaRange = rc.range();
    statics.s_lzmaCode = rc.code();
    return intact && !rc.exhausted();
}

void lzmaUnpack(lib::java_io_InputStream* in, std::int32_t payloadLength) {
    LzmaStatics& statics = lzmaStatics();
    statics.s_lzmaOutput = nullptr;
    if (!config().s_packLzma)
        return;
    if (!in || payloadLength < kLzmaHeaderSize) {
        host::logf(host::LogCategory::Game, "lzmaUnpack: a payload of %d bytes holds no header",
                   payloadLength);
        return;
    }
    rt::ByteArray* header = rt::newByteArray(kLzmaHeaderSize);
    if (!header || !readBytes(in, header, kLzmaHeaderSize)) {
        if (!rt::exceptionPending())
            host::logLine(host::LogCategory::Game, "lzmaUnpack: the stream ends inside the header");
        return;
    }
    std::span<const std::uint8_t> head = bytesOf(header);
    std::int32_t properties = head[0];
    std::uint32_t unpackedSize =
        static_cast<std::uint32_t>(head[5]) | static_cast<std::uint32_t>(head[6]) << 8 |
        static_cast<std::uint32_t>(head[7]) << 16 | static_cast<std::uint32_t>(head[8]) << 24;
    std::int32_t packedSize = payloadLength - kLzmaHeaderSize;
    if (properties >= 9 * 5 * 5) {
        host::logf(host::LogCategory::Game, "lzmaUnpack: properties byte %d is out of range", properties);
        return;
    }
    if (unpackedSize > static_cast<std::uint32_t>(kLzmaMaxSize) || packedSize > kLzmaMaxSize) {
        host::logf(host::LogCategory::Game, "lzmaUnpack: %u bytes packed into %d exceed the bound of %d",
                   unpackedSize, packedSize, kLzmaMaxSize);
        return;
    }
    if (unpackedSize > static_cast<std::uint64_t>(std::max(packedSize, 0)) * kLzmaMostPerPackedByte) {
        host::logf(host::LogCategory::Game,
                   "lzmaUnpack: %u bytes cannot be packed into %d: the packed data is corrupt", unpackedSize,
                   packedSize);
        return;
    }
    std::int32_t lc = properties % 9;
    std::int32_t lp = properties / 9 % 5;
    std::int32_t pb = properties / 45;

    statics.s_lzmaInput = rt::newByteArray(packedSize);
    if (!statics.s_lzmaInput || !readBytes(in, statics.s_lzmaInput, packedSize)) {
        if (!rt::exceptionPending())
            host::logf(host::LogCategory::Game, "lzmaUnpack: the stream ends before its %d packed bytes",
                       packedSize);
        releaseWorkingState(statics);
        return;
    }
    std::int32_t probabilityCount = lzmaProbabilityCount(lc, lp);
    statics.s_lzmaOutput = rt::newByteArray(static_cast<std::int32_t>(unpackedSize));
    statics.s_lzmaProbs = rt::newShortArray(probabilityCount);
    if (!lzmaDecode(probabilityCount * 2, lc, lp, pb, statics.s_lzmaInput,
                    static_cast<std::int32_t>(unpackedSize))) {
        host::logf(host::LogCategory::Game, "lzmaUnpack: the packed data of %u bytes is corrupt",
                   unpackedSize);
        statics.s_lzmaOutput = nullptr;
    }
    releaseWorkingState(statics);
}

} // namespace game
