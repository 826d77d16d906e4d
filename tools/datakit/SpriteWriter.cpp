#include "tools/datakit/SpriteWriter.h"

#include <algorithm>
#include <random>

namespace datakit {

namespace {

constexpr ByteOrder LE = ByteOrder::Little;

bool hasColour(std::uint8_t type) {
    return type != 0 && type != 5;
}
bool hasSize(std::uint8_t type) {
    return type <= 5;
}
std::size_t paramCount(std::uint8_t type) {
    return type == 3 || type == 4 ? 2 : type >= 6 ? 4 : 0;
}

// Index bits per pixel of the packed encodings; 0 for the others.
int packedBits(std::uint16_t encoding) {
    switch (encoding) {
    case 0x0200:
        return 1;
    case 0x0400:
        return 2;
    case 0x1600:
        return 4;
    default:
        return 0;
    }
}

// Runs of equal values: (value, length) pairs.
std::vector<std::pair<std::uint8_t, std::size_t>> runsOf(std::span<const std::uint8_t> values) {
    std::vector<std::pair<std::uint8_t, std::size_t>> runs;
    for (std::uint8_t v : values) {
        if (!runs.empty() && runs.back().first == v)
            ++runs.back().second;
        else
            runs.emplace_back(v, 1);
    }
    return runs;
}

void encodePacked(ByteWriter& out, int bits, std::span<const std::uint8_t> indexes) {
    int perByte = 8 / bits;
    for (std::size_t i = 0; i < indexes.size(); i += static_cast<std::size_t>(perByte)) {
        std::uint8_t byte = 0;
        for (int k = 0; k < perByte; ++k) {
            std::size_t at = i + static_cast<std::size_t>(k);
            std::uint8_t v = at < indexes.size() ? indexes[at] : 0;
            byte = static_cast<std::uint8_t>(byte | ((v & ((1 << bits) - 1)) << (8 - bits * (k + 1))));
        }
        out.u8(byte);
    }
}

void encodeRuns(ByteWriter& out, std::int32_t colourCount, std::span<const std::uint8_t> indexes) {
    int bits = 0;
    if (colourCount != 1)
        for (std::uint32_t v = static_cast<std::uint32_t>(colourCount - 1); v != 0; v >>= 1)
            ++bits;
    std::size_t longest = (255u >> bits) + 1;
    for (auto [index, length] : runsOf(indexes)) {
        while (length > 0) {
            std::size_t chunk = std::min(length, longest);
            out.u8(static_cast<std::uint8_t>(((chunk - 1) << bits) | index));
            length -= chunk;
        }
    }
}

void encodePixelsOrRuns(ByteWriter& out, std::span<const std::uint8_t> indexes) {
    for (auto [index, length] : runsOf(indexes)) {
        while (length > 0) {
            std::size_t chunk = std::min<std::size_t>(length, 127);
            if (chunk == 1 && index < 128) {
                out.u8(index);
            } else {
                out.u8(static_cast<std::uint8_t>(128 + chunk));
                out.u8(index);
            }
            length -= chunk;
        }
    }
}

void encodeRunsOrLiterals(ByteWriter& out, std::span<const std::uint8_t> indexes) {
    std::vector<std::uint8_t> literals;
    auto flush = [&] {
        for (std::size_t i = 0; i < literals.size(); i += 127) {
            std::size_t chunk = std::min<std::size_t>(literals.size() - i, 127);
            out.u8(static_cast<std::uint8_t>(128 + chunk));
            out.bytes(std::span(literals).subspan(i, chunk));
        }
        literals.clear();
    };
    for (auto [index, length] : runsOf(indexes)) {
        if (length < 3) {
            literals.insert(literals.end(), length, index);
            continue;
        }
        flush();
        while (length > 0) {
            std::size_t chunk = std::min<std::size_t>(length, 127);
            out.u8(static_cast<std::uint8_t>(chunk));
            out.u8(index);
            length -= chunk;
        }
    }
    flush();
}

void encodeAlpha(ByteWriter& out, std::span<const std::uint8_t> alphas) {
    for (auto [alpha, length] : runsOf(alphas)) {
        while (length > 0) {
            if (length == 1 && alpha != 254) {
                out.u8(alpha);
                break;
            }
            std::size_t chunk = std::min<std::size_t>(length, 255);
            out.u8(254);
            out.u8(static_cast<std::uint8_t>(chunk));
            out.u8(alpha);
            length -= chunk;
        }
    }
}

void writePixelSection(ByteWriter& out, const SpriteModel& model, const SpritePixels& pixels) {
    out.u16(LE, pixels.paletteFormat);
    out.u8(static_cast<std::uint8_t>(pixels.palettes.size()));
    out.u8(static_cast<std::uint8_t>(pixels.colourCount & 0xFF));
    for (const auto& palette : pixels.palettes) {
        for (std::uint32_t colour : palette) {
            if (pixels.paletteFormat == 0x5515)
                out.u16(LE, spriteColour1555(colour));
            else
                out.u32(LE, colour);
        }
    }
    out.u16(LE, pixels.encoding);
    bool sizes32 = (model.format & sprite_bits::kModuleDataSizes32) != 0;
    for (std::size_t m = 0; m < model.modules.size(); ++m) {
        Bytes data;
        if (m < pixels.indexes.size() && !pixels.indexes[m].empty()) {
            std::span<const std::uint8_t> alphas;
            if (m < pixels.alphas.size())
                alphas = pixels.alphas[m];
            data = encodeSpritePixels(pixels.encoding, pixels.colourCount, pixels.indexes[m], alphas);
        }
        if (sizes32)
            out.u32(LE, static_cast<std::uint32_t>(data.size()));
        else
            out.u16(LE, static_cast<std::uint16_t>(data.size()));
        out.bytes(data);
    }
}

} // namespace

std::uint8_t spriteModuleTypeByte(std::uint8_t type) {
    static constexpr std::uint8_t bytes[8] = {0x00, 0xFF, 0xFE, 0xFC, 0xFB, 0xFD, 0xFA, 0xF9};
    return type < 8 ? bytes[type] : 0x00;
}

std::uint16_t spriteColour1555(std::uint32_t argb) {
    std::uint32_t red = (argb >> 19) & 0x1F;
    std::uint32_t green = (argb >> 11) & 0x1F;
    std::uint32_t blue = (argb >> 3) & 0x1F;
    std::uint32_t opaque = (argb >> 24) == 0xFF ? 0x8000 : 0;
    return static_cast<std::uint16_t>(opaque | (red << 10) | (green << 5) | blue);
}

Bytes encodeSpritePixels(std::uint16_t encoding, std::int32_t colourCount,
                         std::span<const std::uint8_t> indexes, std::span<const std::uint8_t> alphas) {
    ByteWriter out;
    if (int bits = packedBits(encoding)) {
        encodePacked(out, bits, indexes);
    } else if (encoding == 0x64F0) {
        encodeRuns(out, colourCount, indexes);
    } else if (encoding == 0x27F1) {
        encodePixelsOrRuns(out, indexes);
    } else if (encoding == 0x56F2 || encoding == 0xA256) {
        encodeRunsOrLiterals(out, indexes);
        if (encoding == 0xA256) {
            std::vector<std::uint8_t> full(indexes.size(), 0xFF);
            std::copy_n(alphas.begin(), std::min(alphas.size(), full.size()), full.begin());
            encodeAlpha(out, full);
        }
    }
    return std::move(out).take();
}

Bytes writeSprite(const SpriteModel& model) {
    ByteWriter out;
    std::uint32_t format = model.format & ~sprite_bits::kUndefinedTables;
    out.u16(LE, model.header);
    out.u32(LE, format);

    bool sizeShorts = (format & sprite_bits::kModuleSizeShorts) != 0;
    out.i16(LE, static_cast<std::int16_t>(model.modules.size()));
    for (const SpriteModule& module : model.modules) {
        out.u8(spriteModuleTypeByte(module.type));
        if (hasColour(module.type))
            out.u32(LE, module.colour);
        if (hasSize(module.type)) {
            for (std::uint16_t side : {module.width, module.height}) {
                if (sizeShorts)
                    out.u16(LE, side);
                else
                    out.u8(static_cast<std::uint8_t>(side));
            }
        }
        for (std::size_t k = 0; k < paramCount(module.type); ++k)
            out.i16(LE, k < module.params.size() ? module.params[k] : 0);
    }

    bool offsetShorts = (format & sprite_bits::kOffsetShorts) != 0;
    auto offset = [&](std::int16_t value, bool shorts) {
        if (shorts)
            out.i16(LE, value);
        else
            out.i8(static_cast<std::int8_t>(value));
    };
    out.i16(LE, static_cast<std::int16_t>(model.fmodules.size()));
    for (const SpriteFModule& record : model.fmodules) {
        out.u8(record.module);
        offset(record.x, offsetShorts);
        offset(record.y, offsetShorts);
        out.u8(record.flags);
    }

    bool boxes = (format & sprite_bits::kFrameBoxes) != 0;
    if (boxes) {
        out.i16(LE, static_cast<std::int16_t>(model.boxes.size()));
        for (const SpriteBox& box : model.boxes)
            for (std::int16_t value :
                 {box.x, box.y, static_cast<std::int16_t>(box.width), static_cast<std::int16_t>(box.height)})
                offset(value, offsetShorts);
    }
    out.i16(LE, static_cast<std::int16_t>(model.frames.size()));
    for (const SpriteFrame& frame : model.frames) {
        out.u8(frame.fmoduleCount);
        out.i16(LE, frame.firstFModule);
        if (boxes)
            out.i8(frame.boxCount);
    }

    bool aframeShorts = (format & sprite_bits::kAFrameOffsetShorts) != 0;
    out.i16(LE, static_cast<std::int16_t>(model.aframes.size()));
    for (const SpriteAFrame& record : model.aframes) {
        out.u8(record.frame);
        out.u8(record.time);
        offset(record.x, aframeShorts);
        offset(record.y, aframeShorts);
        out.u8(record.flags);
    }

    out.i16(LE, static_cast<std::int16_t>(model.anims.size()));
    for (const SpriteAnim& anim : model.anims) {
        out.u8(anim.aframeCount);
        out.i16(LE, anim.firstAFrame);
    }

    if ((format & sprite_bits::kPixelSection) != 0 && model.pixels && !model.modules.empty())
        writePixelSection(out, model, *model.pixels);
    return std::move(out).take();
}

SpriteModel randomSprite(std::uint32_t seed, const RandomSpriteOptions& options) {
    std::mt19937 random(seed);
    auto pick = [&](std::int32_t low, std::int32_t high) {
        return std::uniform_int_distribution<std::int32_t>(low, high)(random);
    };
    SpriteModel model;
    model.header = static_cast<std::uint16_t>(pick(0, 0xFFFF));
    model.format = options.format & ~sprite_bits::kUndefinedTables;
    bool sizeShorts = (model.format & sprite_bits::kModuleSizeShorts) != 0;
    bool offsetShorts = (model.format & sprite_bits::kOffsetShorts) != 0;
    bool aframeShorts = (model.format & sprite_bits::kAFrameOffsetShorts) != 0;
    auto offsetValue = [&](bool shorts) {
        return static_cast<std::int16_t>(shorts ? pick(-2000, 2000) : pick(-128, 127));
    };

    std::int32_t moduleCount = pick(8, 20);
    for (std::int32_t m = 0; m < moduleCount; ++m) {
        SpriteModule module;
        // Every type appears; image modules are the most common.
        module.type = static_cast<std::uint8_t>(m < 8 ? m : (pick(0, 2) == 0 ? pick(1, 7) : 0));
        module.colour =
            static_cast<std::uint32_t>(pick(0, 0x7FFFFFFF)) * 2u + static_cast<std::uint32_t>(pick(0, 1));
        if (hasSize(module.type)) {
            std::int32_t side = sizeShorts ? options.maxModuleSide : std::min(options.maxModuleSide, 255);
            module.width = static_cast<std::uint16_t>(pick(0, side));
            module.height = static_cast<std::uint16_t>(pick(0, side));
            if (sizeShorts && pick(0, 4) == 0)
                module.width = static_cast<std::uint16_t>(pick(256, 300));
        }
        for (std::size_t k = 0; k < paramCount(module.type); ++k)
            module.params.push_back(static_cast<std::int16_t>(pick(-32768, 32767)));
        model.modules.push_back(module);
    }

    std::int32_t frameCount = pick(1, 12);
    for (std::int32_t f = 0; f < frameCount; ++f) {
        SpriteFrame frame;
        frame.fmoduleCount = static_cast<std::uint8_t>(pick(0, 5));
        frame.firstFModule = static_cast<std::int16_t>(model.fmodules.size());
        for (std::int32_t b = 0; b < frame.fmoduleCount; ++b)
            model.fmodules.push_back({static_cast<std::uint8_t>(pick(0, moduleCount - 1)),
                                      offsetValue(offsetShorts), offsetValue(offsetShorts),
                                      static_cast<std::uint8_t>(pick(0, 255))});
        if (model.format & sprite_bits::kFrameBoxes) {
            frame.boxCount = static_cast<std::int8_t>(pick(0, 3));
            for (std::int32_t b = 0; b < frame.boxCount; ++b)
                model.boxes.push_back({offsetValue(offsetShorts), offsetValue(offsetShorts),
                                       static_cast<std::uint16_t>(pick(0, offsetShorts ? 5000 : 255)),
                                       static_cast<std::uint16_t>(pick(0, offsetShorts ? 5000 : 255))});
        }
        model.frames.push_back(frame);
    }

    std::int32_t animCount = pick(0, 6);
    for (std::int32_t a = 0; a < animCount; ++a) {
        SpriteAnim anim;
        anim.aframeCount = static_cast<std::uint8_t>(pick(1, 6));
        anim.firstAFrame = static_cast<std::int16_t>(model.aframes.size());
        for (std::int32_t b = 0; b < anim.aframeCount; ++b)
            model.aframes.push_back({static_cast<std::uint8_t>(pick(0, frameCount - 1)),
                                     static_cast<std::uint8_t>(pick(0, 255)), offsetValue(aframeShorts),
                                     offsetValue(aframeShorts), static_cast<std::uint8_t>(pick(0, 255))});
        model.anims.push_back(anim);
    }

    if (model.format & sprite_bits::kPixelSection) {
        SpritePixels pixels;
        pixels.paletteFormat = options.paletteFormat;
        pixels.colourCount = options.colourCount;
        pixels.encoding = options.encoding;
        for (std::int32_t p = 0; p < options.paletteCount; ++p) {
            std::vector<std::uint32_t> palette;
            for (std::int32_t k = 0; k < options.colourCount; ++k) {
                auto colour = static_cast<std::uint32_t>(pick(0, 0x7FFFFFFF)) * 2u +
                              static_cast<std::uint32_t>(pick(0, 1));
                if (options.paletteFormat == 0x5515) {
                    // 5-bit channels, opaque or fully transparent; the
                    // transparent magenta reads back as the colour key.
                    colour &= 0x00F8F8F8u;
                    if (pick(0, 3) != 0)
                        colour |= 0xFF000000u;
                    else if (colour == 0x00F800F8u)
                        colour = 0x00FF00FFu;
                }
                palette.push_back(colour);
            }
            pixels.palettes.push_back(std::move(palette));
        }
        std::int32_t reach = options.colourCount;
        if (int bits = packedBits(options.encoding))
            reach = std::min(reach, 1 << bits);
        for (const SpriteModule& module : model.modules) {
            std::vector<std::uint8_t> indexes;
            std::vector<std::uint8_t> alphas;
            if (module.type == 0) {
                std::size_t count = static_cast<std::size_t>(module.width) * module.height;
                // Runs of random length, so the run encodings see both kinds.
                while (indexes.size() < count) {
                    auto index = static_cast<std::uint8_t>(pick(0, reach - 1));
                    std::size_t run = std::min<std::size_t>(
                        static_cast<std::size_t>(pick(1, pick(0, 1) ? 3 : 300)), count - indexes.size());
                    indexes.insert(indexes.end(), run, index);
                    auto alpha = static_cast<std::uint8_t>(pick(0, 3) == 0 ? 254 : pick(0, 255));
                    alphas.insert(alphas.end(), run, alpha);
                }
            }
            pixels.indexes.push_back(std::move(indexes));
            pixels.alphas.push_back(options.encoding == 0xA256 ? std::move(alphas)
                                                               : std::vector<std::uint8_t>{});
        }
        model.pixels = std::move(pixels);
    }
    return model;
}

} // namespace datakit
