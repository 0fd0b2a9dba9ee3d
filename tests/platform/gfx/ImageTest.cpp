#include "platform/gfx/Image.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

using namespace plat;

namespace {

uint32_t Crc32(const uint8_t* data, std::size_t n, uint32_t crc = 0) {
    crc = ~crc;
    for (std::size_t i = 0; i < n; ++i) {
        crc ^= data[i];
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return ~crc;
}

void Put32(std::vector<uint8_t>& out, uint32_t v) {
    for (int s = 24; s >= 0; s -= 8)
        out.push_back(static_cast<uint8_t>(v >> s));
}

void Chunk(std::vector<uint8_t>& png, const char* type, const std::vector<uint8_t>& data) {
    Put32(png, static_cast<uint32_t>(data.size()));
    std::vector<uint8_t> body(type, type + 4);
    body.insert(body.end(), data.begin(), data.end());
    png.insert(png.end(), body.begin(), body.end());
    Put32(png, Crc32(body.data(), body.size()));
}

// A PNG of the given header whose image data is `raw` (filter bytes included), stored in
// uncompressed deflate blocks, so tests can make any image, honest or hostile.
std::vector<uint8_t> MakePng(uint32_t w, uint32_t h, int bitDepth, int colourType,
                             const std::vector<uint8_t>& raw) {
    std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> ihdr;
    Put32(ihdr, w);
    Put32(ihdr, h);
    ihdr.insert(ihdr.end(),
                {static_cast<uint8_t>(bitDepth), static_cast<uint8_t>(colourType), 0, 0, 0});
    Chunk(png, "IHDR", ihdr);
    std::vector<uint8_t> z = {0x78, 0x01};
    std::size_t pos = 0;
    do {
        std::size_t n = std::min<std::size_t>(65535, raw.size() - pos);
        z.push_back(pos + n == raw.size() ? 1 : 0);
        z.push_back(static_cast<uint8_t>(n));
        z.push_back(static_cast<uint8_t>(n >> 8));
        z.push_back(static_cast<uint8_t>(~n));
        z.push_back(static_cast<uint8_t>(~n >> 8));
        z.insert(z.end(), raw.begin() + pos, raw.begin() + pos + n);
        pos += n;
    } while (pos < raw.size());
    uint32_t a = 1, b = 0;
    for (uint8_t c : raw) {
        a = (a + c) % 65521;
        b = (b + a) % 65521;
    }
    Put32(z, (b << 16) | a);
    Chunk(png, "IDAT", z);
    Chunk(png, "IEND", {});
    return png;
}

std::vector<uint8_t> Rgba(int w, int h, const std::vector<uint8_t>& pixels) {
    std::vector<uint8_t> raw;
    for (int y = 0; y < h; ++y) {
        raw.push_back(0);
        raw.insert(raw.end(), pixels.begin() + y * w * 4, pixels.begin() + (y + 1) * w * 4);
    }
    return MakePng(w, h, 8, 6, raw);
}

} // namespace

TEST(Image, DecodePng_PremultipliesTranslucentPixelsAndReportsAlpha) {
    auto png = Rgba(2, 1, {200, 100, 50, 128, 10, 20, 30, 255});
    Bitmap bmp;
    bool alpha = false;
    ASSERT_TRUE(DecodePng(png.data(), png.size(), &bmp, &alpha));
    ASSERT_EQ(bmp.width, 2);
    ASSERT_EQ(bmp.height, 1);
    // 200 * 128 / 255 = 100, 100 * 128 / 255 = 50, 50 * 128 / 255 = 25 (integer division).
    EXPECT_EQ(bmp.At(0, 0), 0x80643219u);
    EXPECT_EQ(bmp.At(1, 0), 0xFF0A141Eu);
    EXPECT_TRUE(alpha);

    RgbaImage raw;
    ASSERT_TRUE(DecodePngRgba(png.data(), png.size(), &raw));
    EXPECT_EQ(raw.rgba, (std::vector<uint8_t>{200, 100, 50, 128, 10, 20, 30, 255}));

    auto opaque = Rgba(1, 2, {1, 2, 3, 255, 4, 5, 6, 255});
    ASSERT_TRUE(DecodePng(opaque.data(), opaque.size(), &bmp, &alpha));
    EXPECT_FALSE(alpha);
    EXPECT_EQ(bmp.At(0, 1), 0xFF040506u);
}

// The mask names the decoded, premultiplied pixel: magenta as drawn, not as stored in the file.
TEST(Image, DecodePng_MaskClearsPixelsOfTheMaskColour) {
    auto png = Rgba(3, 1, {255, 0, 255, 255, 255, 0, 254, 255, 255, 0, 255, 128});
    Bitmap bmp;
    bool alpha = false;
    ASSERT_TRUE(DecodePng(png.data(), png.size(), &bmp, &alpha, nullptr, 0xFFFF00FFu));
    EXPECT_EQ(bmp.At(0, 0), 0u);
    EXPECT_EQ(bmp.At(1, 0), 0xFFFF00FEu);
    EXPECT_EQ(bmp.At(2, 0), 0x80800080u); // translucent magenta is another colour
    EXPECT_TRUE(alpha);
    auto opaque = Rgba(1, 1, {1, 2, 3, 255});
    ASSERT_TRUE(DecodePng(opaque.data(), opaque.size(), &bmp, &alpha, nullptr, 0xFFFF00FFu));
    EXPECT_FALSE(alpha);
}

TEST(Image, DecodePng_ThreeChannelImagesGainOpaqueAlpha) {
    auto png = MakePng(1, 1, 8, 2, {0, 9, 8, 7});
    Bitmap bmp;
    bool alpha = true;
    ASSERT_TRUE(DecodePng(png.data(), png.size(), &bmp, &alpha));
    EXPECT_EQ(bmp.At(0, 0), 0xFF090807u);
    EXPECT_FALSE(alpha);
}

TEST(Image, HostileImagesAreRefusedCleanly) {
    const auto good = Rgba(3, 3, std::vector<uint8_t>(36, 77));
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
    };
    // A data chunk that claims two gigabytes the file does not hold.
    std::vector<uint8_t> claims(good.begin(), good.begin() + 33);
    Put32(claims, 0x7FFFFFF0u);
    claims.insert(claims.end(), {'I', 'D', 'A', 'T', 0x78, 0x01, 0, 0, 0});
    const std::vector<Case> cases = {
        {"chunk longer than the file", claims},
        {"no end chunk", std::vector<uint8_t>(good.begin(), good.end() - 12)},
        {"empty", {}},
        {"signature only", std::vector<uint8_t>(good.begin(), good.begin() + 8)},
        {"not a PNG", {0xFF, 0xD8, 0xFF, 0xE0, 0, 0x10, 'J', 'F', 'I', 'F'}},
        {"too wide", MakePng(kMaxImageSide + 1, 1, 8, 6, std::vector<uint8_t>(1 + 4 * 4097))},
        {"too tall", MakePng(1, 100000, 8, 6, std::vector<uint8_t>(5))},
        {"huge and empty", MakePng(0x7FFFFFFF, 0x7FFFFFFF, 8, 6, {})},
        {"zero size", MakePng(0, 0, 8, 6, {})},
        {"16 bits a channel", MakePng(1, 1, 16, 6, std::vector<uint8_t>(9))},
        {"data shorter than the header says", MakePng(4, 4, 8, 6, std::vector<uint8_t>(20))},
    };
    for (const Case& c : cases) {
        Bitmap bmp(1, 1, 5);
        bool alpha = true;
        std::string error;
        EXPECT_FALSE(DecodePng(c.bytes.data(), c.bytes.size(), &bmp, &alpha, &error)) << c.what;
        EXPECT_TRUE(bmp.Empty()) << c.what;
        EXPECT_FALSE(alpha) << c.what;
        EXPECT_FALSE(error.empty()) << c.what;
    }
    // Every truncation of a good image is refused.
    for (std::size_t n = 0; n < good.size() - 12; ++n) {
        Bitmap bmp;
        ASSERT_FALSE(DecodePng(good.data(), n, &bmp)) << n;
    }
    Bitmap bmp;
    EXPECT_TRUE(DecodePng(good.data(), good.size(), &bmp));
}

TEST(Image, FilesLoadAndMissingFilesFail) {
    const std::string path = testing::TempDir() + "image_test.png";
    auto png = Rgba(1, 1, {255, 0, 0, 255});
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(png.data(), 1, png.size(), f);
    std::fclose(f);
    Bitmap bmp;
    ASSERT_TRUE(LoadImageFile(path, &bmp));
    EXPECT_EQ(bmp.At(0, 0), 0xFFFF0000u);
    EXPECT_FALSE(LoadImageFile(path + ".missing", &bmp));
    EXPECT_FALSE(LoadImageFile(testing::TempDir(), &bmp)); // a folder
    std::remove(path.c_str());
}

TEST(Image, EmptyImageDataChunksAreSkipped) {
    auto png = Rgba(2, 1, {1, 2, 3, 255, 4, 5, 6, 255});
    std::vector<uint8_t> empty;
    Chunk(empty, "IDAT", {});
    // After the header chunk (8 + 25 bytes), before the real data, and once more at the end.
    png.insert(png.begin() + 33, empty.begin(), empty.end());
    png.insert(png.end() - 12, empty.begin(), empty.end());
    Bitmap bmp;
    ASSERT_TRUE(DecodePng(png.data(), png.size(), &bmp));
    EXPECT_EQ(bmp.At(1, 0), 0xFF040506u);
    // A file of nothing but an empty data chunk stays refused.
    auto bare = MakePng(1, 1, 8, 6, {0, 0, 0, 0, 0});
    std::vector<uint8_t> broken(bare.begin(), bare.begin() + 33);
    broken.insert(broken.end(), empty.begin(), empty.end());
    EXPECT_FALSE(DecodePng(broken.data(), broken.size(), &bmp));
}
