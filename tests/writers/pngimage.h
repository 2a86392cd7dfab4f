// A PNG file read back as pixels, enough for the pictures a renderer writes (8 bits a sample,
// grey, grey and alpha, RGB or RGBA, not interlaced), so that a test can look at what a person
// would see.
#pragma once

#include <zlib.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

struct PngImage {
    int width = 0;
    int height = 0;
    int channels = 0;
    std::vector<std::uint8_t> pixels; // rows top to bottom, channels interleaved
    std::string error;                // why the file could not be read; empty when it was

    /// Whether the pixel at (x, y), blended over white, is clearly darker than white: a drawn
    /// line or text, not a light grid line.
    bool ink(int x, int y) const {
        const std::uint8_t* p =
            &pixels[(std::size_t(y) * std::size_t(width) + std::size_t(x)) * std::size_t(channels)];
        const int alpha = channels == 2 || channels == 4 ? p[channels - 1] : 255;
        for (int c = 0; c < (channels >= 3 ? 3 : 1); ++c) {
            if (255 - (255 - p[c]) * alpha / 255 < 160) {
                return true;
            }
        }
        return false;
    }
};

inline PngImage readpng(const std::string& bytes) {
    PngImage img;
    auto be32 = [&](std::size_t at) {
        return std::uint32_t(std::uint8_t(bytes[at])) << 24 |
               std::uint32_t(std::uint8_t(bytes[at + 1])) << 16 |
               std::uint32_t(std::uint8_t(bytes[at + 2])) << 8 |
               std::uint32_t(std::uint8_t(bytes[at + 3]));
    };
    if (bytes.size() < 8 || bytes.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0) {
        img.error = "not a PNG file";
        return img;
    }
    std::string idat;
    int depth = 0, colour = 0, interlace = 0;
    for (std::size_t at = 8; at + 8 <= bytes.size();) {
        const std::uint32_t length = be32(at);
        const std::string type = bytes.substr(at + 4, 4);
        if (at + 12 + length > bytes.size()) {
            img.error = "chunk " + type + " cut off";
            return img;
        }
        if (type == "IHDR") {
            img.width = int(be32(at + 8));
            img.height = int(be32(at + 12));
            depth = std::uint8_t(bytes[at + 16]);
            colour = std::uint8_t(bytes[at + 17]);
            interlace = std::uint8_t(bytes[at + 20]);
        } else if (type == "IDAT") {
            idat += bytes.substr(at + 8, length);
        }
        at += 12 + length;
    }
    img.channels = colour == 0 ? 1 : colour == 2 ? 3 : colour == 4 ? 2 : colour == 6 ? 4 : 0;
    if (depth != 8 || img.channels == 0 || interlace != 0) {
        img.error = "unsupported PNG layout";
        return img;
    }
    const std::size_t stride = std::size_t(img.width) * std::size_t(img.channels);
    std::vector<std::uint8_t> raw((stride + 1) * std::size_t(img.height));
    uLongf rawsize = uLongf(raw.size());
    if (uncompress(raw.data(), &rawsize, reinterpret_cast<const Bytef*>(idat.data()),
                   uLong(idat.size())) != Z_OK ||
        rawsize != raw.size()) {
        img.error = "image data do not inflate to the image's size";
        return img;
    }
    // Undo the row filters: none, sub, up, average, Paeth.
    img.pixels.assign(stride * std::size_t(img.height), 0);
    const std::size_t bpp = std::size_t(img.channels);
    for (std::size_t y = 0; y < std::size_t(img.height); ++y) {
        const std::uint8_t filter = raw[y * (stride + 1)];
        const std::uint8_t* in = &raw[y * (stride + 1) + 1];
        std::uint8_t* out = &img.pixels[y * stride];
        const std::uint8_t* up = y > 0 ? out - stride : nullptr;
        for (std::size_t i = 0; i < stride; ++i) {
            const int a = i >= bpp ? out[i - bpp] : 0;
            const int b = up != nullptr ? up[i] : 0;
            const int c = i >= bpp && up != nullptr ? up[i - bpp] : 0;
            int predicted = 0;
            switch (filter) {
            case 1:
                predicted = a;
                break;
            case 2:
                predicted = b;
                break;
            case 3:
                predicted = (a + b) / 2;
                break;
            case 4: {
                const int p = a + b - c;
                const int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
                predicted = pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
                break;
            }
            default:
                break;
            }
            out[i] = std::uint8_t(in[i] + predicted);
        }
    }
    return img;
}
