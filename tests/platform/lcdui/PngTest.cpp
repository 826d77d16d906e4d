#include "classlib/io/ByteArrayInputStream.h"
#include "classlib/io/InputStream.h"
#include "platform/lcdui/PngDecoder.h"
#include "tests/platform/lcdui/LcduiFixture.h"
#include "tests/support/PngFixtures.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <functional>
#include <string>
#include <vector>

namespace {

using namespace lcdui_testing;
using testing_support::PngColour;
using testing_support::PngPicture;

struct PngTest : LcduiTest {
    static rt::ByteArray* bytesOf(const std::vector<std::uint8_t>& data, std::int32_t before = 0,
                                  std::int32_t after = 0) {
        rt::ByteArray* bytes = rt::newByteArray(static_cast<std::int32_t>(data.size()) + before + after);
        std::copy(data.begin(), data.end(), reinterpret_cast<std::uint8_t*>(bytes->elements()) + before);
        return bytes;
    }
    static Image* decode(const std::vector<std::uint8_t>& data) {
        return Image::createImage(bytesOf(data), 0, static_cast<std::int32_t>(data.size()));
    }
};

struct Rgba {
    std::uint32_t r, g, b, a;
};

// What a pixel of `picture` is, as 8-bit red, green, blue and alpha: low
// depths scaled up, 16-bit samples cut to their high byte, grey repeated,
// and transparency from the alpha channel or the tRNS entries.
Rgba pixelOf(const PngPicture& picture, std::int32_t index) {
    const int channels = picture.colour == PngColour::Rgb         ? 3
                         : picture.colour == PngColour::RgbAlpha  ? 4
                         : picture.colour == PngColour::GreyAlpha ? 2
                                                                  : 1;
    const std::uint16_t* s = &picture.samples[static_cast<std::size_t>(index * channels)];
    auto to8 = [&](std::uint32_t v) {
        return picture.bitDepth == 16 ? v >> 8 : v * 255 / ((1u << picture.bitDepth) - 1);
    };
    auto transparent = [&](std::initializer_list<std::uint16_t> values) {
        if (!picture.transparentColour)
            return false;
        std::size_t i = 0;
        for (std::uint16_t v : values) {
            if (v != (*picture.transparentColour)[i++])
                return false;
        }
        return true;
    };
    switch (picture.colour) {
    case PngColour::Grey:
        return {to8(s[0]), to8(s[0]), to8(s[0]), transparent({s[0]}) ? 0u : 255u};
    case PngColour::GreyAlpha:
        return {to8(s[0]), to8(s[0]), to8(s[0]), to8(s[1])};
    case PngColour::Rgb:
        return {to8(s[0]), to8(s[1]), to8(s[2]), transparent({s[0], s[1], s[2]}) ? 0u : 255u};
    case PngColour::RgbAlpha:
        return {to8(s[0]), to8(s[1]), to8(s[2]), to8(s[3])};
    case PngColour::Palette: {
        const auto& entry = picture.palette[s[0]];
        std::uint32_t alpha = s[0] < picture.paletteAlpha.size() ? picture.paletteAlpha[s[0]] : 255u;
        return {entry[0], entry[1], entry[2], alpha};
    }
    }
    return {};
}

std::uint32_t widened565(std::uint32_t r, std::uint32_t g, std::uint32_t b) {
    return 0xFF000000u | (r >> 3) * 255 / 31 << 16 | (g >> 2) * 255 / 63 << 8 | (b >> 3) * 255 / 31;
}

struct Expected {
    std::int32_t pixelType;
    std::vector<std::uint32_t> argb;
};

// The decoder's packing, from the picture's own description: with a tRNS
// chunk alpha 0 is the colour key and the rest opaque; truecolour with
// alpha keeps 4 bits a channel; everything else is opaque 565, keyed when a
// pixel comes out as the key's value.
Expected expectedImage(const PngPicture& picture) {
    const bool hasTrns = !picture.paletteAlpha.empty() || picture.transparentColour.has_value();
    Expected expected{picture.colour == PngColour::RgbAlpha ? Image::kArgb4444 : Image::kRgb565, {}};
    bool keyed = false;
    for (std::int32_t i = 0; i < picture.width * picture.height; ++i) {
        Rgba p = pixelOf(picture, i);
        std::uint32_t value;
        if (hasTrns && p.a == 0) {
            value = 0;
            keyed = true;
        } else if (!hasTrns && expected.pixelType == Image::kArgb4444) {
            value = (p.a >> 4) * 17 << 24 | (p.r >> 4) * 17 << 16 | (p.g >> 4) * 17 << 8 | (p.b >> 4) * 17;
        } else {
            value = widened565(p.r, p.g, p.b);
            if (value == 0xFFFF00FF) {
                value = 0;
                keyed = true;
            }
        }
        expected.argb.push_back(value);
    }
    if (keyed && expected.pixelType == Image::kRgb565)
        expected.pixelType = Image::kRgb565Keyed;
    return expected;
}

// Samples that differ from pixel to pixel, below 2^depth.
std::vector<std::uint16_t> varied(std::int32_t count, int depth, std::uint32_t seed) {
    std::vector<std::uint16_t> samples;
    std::uint32_t state = seed;
    for (std::int32_t i = 0; i < count; ++i) {
        state = state * 1103515245u + 12345u;
        samples.push_back(static_cast<std::uint16_t>((state >> 8) & ((1u << depth) - 1)));
    }
    return samples;
}

PngPicture makePicture(PngColour colour, int depth, std::int32_t width, std::int32_t height, int channels,
                       bool interlaced = false) {
    PngPicture p;
    p.colour = colour;
    p.bitDepth = depth;
    p.width = width;
    p.height = height;
    p.interlaced = interlaced;
    p.samples = varied(width * height * channels, depth, static_cast<std::uint32_t>(width * 31 + depth));
    return p;
}

PngPicture paletted(int depth, std::int32_t width, std::int32_t height, std::vector<std::uint8_t> alphas,
                    bool interlaced = false) {
    PngPicture p = makePicture(PngColour::Palette, depth, width, height, 1, interlaced);
    std::size_t entries = std::min<std::size_t>(1u << depth, 6);
    for (std::size_t i = 0; i < entries; ++i)
        p.palette.push_back(
            {static_cast<std::uint8_t>(40 * i), static_cast<std::uint8_t>(255 - 30 * i), 0x5A});
    for (std::uint16_t& sample : p.samples)
        sample = static_cast<std::uint16_t>(sample % entries);
    p.paletteAlpha = std::move(alphas);
    return p;
}

TEST_F(PngTest, EveryKindDecodesToItsPixelTypeAndValues) {
    struct Case {
        const char* name;
        PngPicture picture;
    };
    PngPicture magenta = makePicture(PngColour::Rgb, 8, 3, 2, 3);
    magenta.samples[6] = 255, magenta.samples[7] = 0, magenta.samples[8] = 255;
    PngPicture greyKey = makePicture(PngColour::Grey, 8, 5, 3, 1);
    greyKey.transparentColour = std::array<std::uint16_t, 3>{greyKey.samples[4], 0, 0};
    PngPicture rgbKey = makePicture(PngColour::Rgb, 16, 3, 3, 3);
    rgbKey.transparentColour =
        std::array<std::uint16_t, 3>{rgbKey.samples[3], rgbKey.samples[4], rgbKey.samples[5]};
    const Case cases[] = {
        {"rgb", makePicture(PngColour::Rgb, 8, 3, 2, 3)},
        {"rgb with magenta", magenta},
        {"rgb 16-bit", makePicture(PngColour::Rgb, 16, 5, 4, 3)},
        {"rgb with a transparent colour", rgbKey},
        {"rgba", makePicture(PngColour::RgbAlpha, 8, 3, 3, 4)},
        {"rgba 16-bit", makePicture(PngColour::RgbAlpha, 16, 4, 2, 4)},
        {"palette", paletted(8, 5, 3, {})},
        {"palette with tRNS", paletted(8, 5, 3, {255, 0, 128})},
        {"palette 4-bit", paletted(4, 7, 2, {0})},
        {"palette 2-bit", paletted(2, 9, 2, {})},
        {"palette 1-bit", paletted(1, 11, 3, {255, 0})},
        {"grey", makePicture(PngColour::Grey, 8, 4, 4, 1)},
        {"grey 1-bit", makePicture(PngColour::Grey, 1, 9, 2, 1)},
        {"grey 2-bit", makePicture(PngColour::Grey, 2, 5, 2, 1)},
        {"grey 4-bit", makePicture(PngColour::Grey, 4, 3, 3, 1)},
        {"grey 16-bit", makePicture(PngColour::Grey, 16, 3, 3, 1)},
        {"grey with a transparent value", greyKey},
        {"grey with alpha", makePicture(PngColour::GreyAlpha, 8, 5, 2, 2)},
        {"grey with alpha 16-bit", makePicture(PngColour::GreyAlpha, 16, 3, 2, 2)},
        {"interlaced rgb", makePicture(PngColour::Rgb, 8, 13, 11, 3, true)},
        {"interlaced rgba", makePicture(PngColour::RgbAlpha, 8, 9, 10, 4, true)},
        {"interlaced palette with tRNS", paletted(4, 10, 9, {0, 255, 7}, true)},
        {"interlaced grey 2-bit", makePicture(PngColour::Grey, 2, 17, 5, 1, true)},
    };
    for (const Case& c : cases) {
        Image* image = decode(testing_support::encodePng(c.picture));
        ASSERT_NE(image, nullptr) << c.name;
        Expected expected = expectedImage(c.picture);
        EXPECT_FALSE(image->isMutable());
        EXPECT_EQ(image->getWidth(), c.picture.width) << c.name;
        EXPECT_EQ(image->getHeight(), c.picture.height) << c.name;
        EXPECT_EQ(image->pixelType(), expected.pixelType) << c.name;
        EXPECT_EQ(argb(image), expected.argb) << c.name;
    }
    EXPECT_TRUE(log.lines().empty());
}

TEST_F(PngTest, TheChunkScanSummarisesTheHeader) {
    std::vector<std::uint8_t> data = testing_support::encodePng(paletted(4, 7, 5, {0, 128}));
    platform::PngSummary summary = platform::scanPngChunks(data);
    EXPECT_EQ(summary.width, 7);
    EXPECT_EQ(summary.height, 5);
    EXPECT_EQ(summary.bitDepth, 4);
    EXPECT_EQ(summary.colourType, 3);
    EXPECT_EQ(summary.paletteEntries, 6);
    EXPECT_TRUE(summary.hasTransparency);
    // Cut inside the palette: the header was read, the rest was not.
    platform::PngSummary cut = platform::scanPngChunks(std::span(data).first(40));
    EXPECT_EQ(cut.width, 7);
    EXPECT_FALSE(cut.hasTransparency);
}

// The peak resident memory, in MB, of a child process that runs `work`.
long childPeakMb(const std::function<void()>& work) {
    pid_t child = ::fork();
    if (child == 0) {
        work();
        ::_exit(0);
    }
    int status = 0;
    rusage usage{};
    ::wait4(child, &status, 0, &usage);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    return usage.ru_maxrss / 1024;
}

long ownPeakMb() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

TEST_F(PngTest, AChunkLongerThanTheDataCostsNoMoreThanTheData) {
    PngPicture p = makePicture(PngColour::Rgb, 8, 16, 16, 3);
    std::vector<std::uint8_t> data = testing_support::encodePng(p);
    // A chunk that claims almost 2 GB and brings 3 bytes: after the header
    // (44 bytes in all), or after the whole picture in place of its end.
    auto claiming = [](std::vector<std::uint8_t> bytes, const char* type) {
        for (std::uint8_t byte : {0x7F, 0xFF, 0xFF, 0xF0})
            bytes.push_back(byte);
        bytes.insert(bytes.end(), type, type + 4);
        bytes.insert(bytes.end(), {0x78, 0x9C, 0x01});
        return bytes;
    };
    const std::vector<std::uint8_t> header(data.begin(), data.begin() + 33);
    const std::vector<std::uint8_t> withoutEnd(data.begin(), data.end() - 12);
    for (const char* type : {"tEXt", "zTXt", "iTXt", "sPLT", "iCCP", "IDAT", "quIt"}) {
        for (bool afterPixels : {false, true}) {
            SCOPED_TRACE(std::string(type) + (afterPixels ? " after the pixels" : " after the header"));
            std::vector<std::uint8_t> hostile = claiming(afterPixels ? withoutEnd : header, type);
            long before = ownPeakMb();
            long peak = childPeakMb([&] {
                Image* image = decode(hostile);
                bool intact = image && image->getWidth() == 16 && image->getHeight() == 16;
                // Pixels that came before the claim are all there.
                if (afterPixels && std::string(type) != "IDAT")
                    intact = intact && argb(image) == expectedImage(p).argb;
                ::_exit(intact ? 0 : 1);
            });
            EXPECT_LT(peak, before + 64);
        }
    }
}

TEST_F(PngTest, DataInsideALargerArrayDecodesFromItsOffset) {
    PngPicture p = makePicture(PngColour::Rgb, 8, 3, 3, 3);
    std::vector<std::uint8_t> data = testing_support::encodePng(p);
    rt::ByteArray* bytes = bytesOf(data, 7, 5);
    Image* image = Image::createImage(bytes, 7, static_cast<std::int32_t>(data.size()));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(argb(image), expectedImage(p).argb);
}

TEST_F(PngTest, BadArgumentsAndRefusedSizesAnswerNull) {
    std::vector<std::uint8_t> data = testing_support::encodePng(makePicture(PngColour::Rgb, 8, 2, 2, 3));
    rt::ByteArray* bytes = bytesOf(data);
    const auto size = static_cast<std::int32_t>(data.size());
    auto withSize = [&](std::uint32_t width, std::uint32_t height) {
        std::vector<std::uint8_t> patched = data;
        for (int i = 0; i < 4; ++i) {
            patched[16 + i] = static_cast<std::uint8_t>(width >> (24 - 8 * i));
            patched[20 + i] = static_cast<std::uint8_t>(height >> (24 - 8 * i));
        }
        return bytesOf(patched);
    };
    struct Case {
        rt::ByteArray* bytes;
        std::int32_t offset, length;
        const char* line;
    };
    const Case cases[] = {
        {nullptr, 0, 0, "NullPointer"},
        {bytes, -1, 4, "ArrayIndexOutOfBounds index=-1"},
        {bytes, 4, size, "ArrayIndexOutOfBounds"},
        {bytes, 0, INT_MAX, "ArrayIndexOutOfBounds"},
        {bytes, 0, 0, "createImage: PNG of 0 x 0 pixels refused"},
        {bytes, 8, size - 8, "createImage: PNG of 0 x 0 pixels refused"},
        {withSize(100000, 100000), 0, size, "createImage: PNG of 100000 x 100000 pixels refused"},
        {withSize(3000, 3000), 0, size, "createImage: PNG of 3000 x 3000 pixels refused"},
        {withSize(5000, 1), 0, size, "createImage: PNG of 5000 x 1 pixels refused"},
        {withSize(0x80000000u, 2), 0, size, "createImage: PNG of -2147483648 x 2 pixels refused"},
    };
    for (const Case& c : cases) {
        log.clear();
        EXPECT_EQ(Image::createImage(c.bytes, c.offset, c.length), nullptr) << c.line;
        ASSERT_FALSE(log.lines().empty()) << c.line;
        EXPECT_EQ(log.lines()[0].rfind(c.line, 0), 0u) << log.lines()[0];
    }
}

TEST_F(PngTest, CorruptDataGivesWhatWasDecodedAndNeverMore) {
    PngPicture p = makePicture(PngColour::Rgb, 8, 40, 40, 3);
    std::vector<std::uint8_t> data = testing_support::encodePng(p);
    Expected expected = expectedImage(p);

    // Cut short: the image keeps its size; the rows decoded before the cut
    // are exact, the rest stay black.
    std::vector<std::uint8_t> cut(data.begin(),
                                  data.begin() + static_cast<std::ptrdiff_t>(data.size() * 2 / 3));
    Image* partial = decode(cut);
    ASSERT_NE(partial, nullptr);
    EXPECT_EQ(partial->getWidth(), 40);
    std::vector<std::uint32_t> pixels = argb(partial);
    // Noise does not compress: two thirds of the file hold more than 20 rows.
    EXPECT_TRUE(std::equal(pixels.begin(), pixels.begin() + 20 * 40, expected.argb.begin()));
    EXPECT_EQ(pixels.back(), kBlack);

    // A damaged checksum of the pixel data, and pixel data that is not
    // deflate at all: whatever libpng made of it, and no crash.
    for (std::size_t at : {data.size() - 20, std::size_t{60}}) {
        std::vector<std::uint8_t> damaged = data;
        damaged[at] ^= 0x55;
        Image* image = decode(damaged);
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(image->getHeight(), 40);
    }
    // A header that disagrees with the pixel data.
    std::vector<std::uint8_t> lying = data;
    lying[25] = 6; // claims RGBA: the image is ARGB4444, libpng fails on the CRC
    Image* image = decode(lying);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->pixelType(), Image::kArgb4444);
    EXPECT_TRUE(log.lines().empty());
}

// An input stream that hands out `data` in reads of at most `largestRead`
// bytes, may claim bytes it never gives, and may raise on a chosen call.
class ScriptedStream final : public lib::java_io_InputStream {
public:
    ScriptedStream()
        : java_io_InputStream(rt::ClassId::java_io_InputStream) {}

    using java_io_InputStream::read;
    std::int32_t read() override { return -1; }
    std::int32_t available() override {
        if (calls++ == raiseOnCall)
            return rt::raise(rt::ClassId::java_io_IOException);
        return keepsPromising ? 1 : static_cast<std::int32_t>(data.size() - position);
    }
    std::int32_t read(rt::ByteArray* buffer, std::int32_t offset, std::int32_t length) override {
        if (calls++ == raiseOnCall)
            return rt::raise(rt::ClassId::java_io_IOException);
        readLengths.push_back(length);
        if (overstates)
            return length + 1;
        auto count = static_cast<std::int32_t>(
            std::min<std::size_t>({static_cast<std::size_t>(length), static_cast<std::size_t>(largestRead),
                                   data.size() - position}));
        std::copy_n(data.begin() + static_cast<std::ptrdiff_t>(position), count,
                    reinterpret_cast<std::uint8_t*>(buffer->elements()) + offset);
        position += static_cast<std::size_t>(count);
        return count;
    }

    std::vector<std::uint8_t> data;
    std::size_t position = 0;
    std::int32_t largestRead = 1 << 30;
    bool keepsPromising = false;
    bool overstates = false;
    int raiseOnCall = -1;
    int calls = 0;
    std::vector<std::int32_t> readLengths;

    RT_NO_REFERENCE_FIELDS(ScriptedStream, java_io_InputStream)
};

TEST_F(PngTest, StreamsAreReadInChunksUntilTheyRunDry) {
    PngPicture p = makePicture(PngColour::RgbAlpha, 8, 30, 20, 4);
    std::vector<std::uint8_t> data = testing_support::encodePng(p);
    auto* stream = rt::make<ScriptedStream>();
    stream->data = data;
    stream->largestRead = 300;
    Image* image = Image::createImage(stream);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(argb(image), expectedImage(p).argb);
    EXPECT_GT(stream->readLengths.size(), 2u);
    for (std::int32_t length : stream->readLengths)
        EXPECT_EQ(length, 512);

    // The memory stream of the class library, from an offset.
    rt::ByteArray* bytes = bytesOf(data, 3);
    Image* fromMemory = Image::createImage(
        rt::make<lib::java_io_ByteArrayInputStream>(bytes, 3, static_cast<std::int32_t>(data.size())));
    ASSERT_NE(fromMemory, nullptr);
    EXPECT_EQ(argb(fromMemory), expectedImage(p).argb);
    EXPECT_TRUE(log.lines().empty());

    // A stream that keeps saying a byte is there but gives none, or that
    // says it gave more than was asked, is left at that read: what came
    // before is all there is.
    for (bool overstates : {false, true}) {
        auto* liar = rt::make<ScriptedStream>();
        liar->data = std::vector<std::uint8_t>(data.begin(), data.begin() + 40);
        liar->keepsPromising = true;
        liar->overstates = overstates;
        Image* cut = Image::createImage(liar);
        EXPECT_LE(liar->readLengths.size(), 2u);
        EXPECT_EQ(cut == nullptr, overstates);
    }

    // An exception from available() or read() answers null and stays pending.
    for (int call : {0, 1, 2}) {
        auto* failing = rt::make<ScriptedStream>();
        failing->data = data;
        failing->raiseOnCall = call;
        EXPECT_EQ(Image::createImage(failing), nullptr);
        EXPECT_NE(rt::catchException(rt::ClassId::java_io_IOException), nullptr);
    }
    log.clear();
    EXPECT_EQ(Image::createImage(static_cast<lib::java_io_InputStream*>(nullptr)), nullptr);
    EXPECT_TRUE(log.contains("NullPointer"));
}

} // namespace
