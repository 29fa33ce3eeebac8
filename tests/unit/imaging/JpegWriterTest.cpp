#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

// jpeglib.h needs size_t and FILE declared first.
#include <jerror.h>
#include <jpeglib.h>

#include "Pictures.h"
#include "TestSupport.h"
#include "app/PictureFile.h"
#include "imaging/JpegWriter.h"
#include "imaging/SoftwareBitmap.h"
#include "platform/AppError.h"

namespace {

// A picture with smooth gradients, hard edges and flat areas, odd-sized so that the last MCUs
// are partial. Integer arithmetic only, so it is the same on every platform.
MemoryBitmap GoldenPicture() {
    MemoryBitmap picture(97, 61);
    for (int y = 0; y < 61; ++y) {
        for (int x = 0; x < 97; ++x) {
            Color c{static_cast<uint8_t>(x * 255 / 96), static_cast<uint8_t>(y * 255 / 60),
                    static_cast<uint8_t>(x * y / 23)};
            if (x >= 10 && x < 40 && y >= 8 && y < 30) c = Color{230, 20, 10};  // a red block
            if ((x / 3 + y / 3) % 7 == 0 && x > 50) c = kBlack;                 // thin diagonal strokes
            if (y > 50) c = kWhite;
            picture.SetPixel(x, y, MemoryBitmap::Pack(c));
        }
    }
    return picture;
}

std::string GoldenPath() {
    return (std::filesystem::path(FRAMLET_SOURCE_DIR) / "tests" / "data" / "imaging" / "golden-97x61.jpg").string();
}

std::string Encode(const MemoryBitmap& picture) {
    const SoftwareBitmap bitmap(picture);
    DibInfo info{};
    DibBits bits;
    ReadDIB24(bitmap, info, bits);
    return EncodeJpeg(info, bits.get());
}

// The same parameters, stated again and given to libjpeg on a plain top-down RGB buffer.
std::string EncodeDirectly(const MemoryBitmap& picture) {
    std::vector<unsigned char> rgb;
    for (int y = 0; y < picture.Height(); ++y) {
        for (int x = 0; x < picture.Width(); ++x) {
            const Color c = MemoryBitmap::Unpack(picture.Pixel(x, y));
            rgb.insert(rgb.end(), {c.red, c.green, c.blue});
        }
    }
    jpeg_compress_struct c{};
    jpeg_error_mgr errors{};
    c.err = jpeg_std_error(&errors);
    jpeg_create_compress(&c);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &out, &size);
    c.image_width = static_cast<JDIMENSION>(picture.Width());
    c.image_height = static_cast<JDIMENSION>(picture.Height());
    c.input_components = 3;
    c.in_color_space = JCS_RGB;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, 90, TRUE);
    c.dct_method = JDCT_FLOAT;
    jpeg_start_compress(&c, TRUE);
    while (c.next_scanline < c.image_height) {
        JSAMPROW row = rgb.data() + static_cast<size_t>(c.next_scanline) * static_cast<size_t>(picture.Width()) * 3;
        jpeg_write_scanlines(&c, &row, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    std::string stream(reinterpret_cast<char*>(out), size);
    std::free(out);
    return stream;
}

struct Segment {
    int marker;
    std::string body;  // without the length field
};

// The marker segments up to the start of the scan, then the scan header, then EOI.
std::vector<Segment> Segments(const std::string& jpeg) {
    std::vector<Segment> segments;
    size_t at = 2;
    while (at + 4 <= jpeg.size() && static_cast<uint8_t>(jpeg[at]) == 0xFF) {
        const int marker = static_cast<uint8_t>(jpeg[at + 1]);
        const size_t length =
            static_cast<size_t>(static_cast<uint8_t>(jpeg[at + 2]) << 8 | static_cast<uint8_t>(jpeg[at + 3]));
        segments.push_back({marker, jpeg.substr(at + 4, length - 2)});
        at += 2 + length;
        if (marker == 0xDA) break;
    }
    return segments;
}

std::vector<int> Bytes(const std::string& s) { return std::vector<int>(s.begin(), s.end()); }

uint8_t Byte(const std::string& s, size_t i) { return static_cast<uint8_t>(s.at(i)); }

TEST(JpegWriter, TheSamePixelsGiveTheCommittedBytesOnEveryPlatform) {
    const std::string stream = Encode(GoldenPicture());
    if (std::getenv("FRAMLET_UPDATE_GOLDEN")) WriteTestFile(GoldenPath(), stream);
    const auto golden = ReadTestFile(GoldenPath());
    ASSERT_TRUE(golden) << GoldenPath();
    EXPECT_EQ(stream.size(), golden->size());
    EXPECT_TRUE(stream == *golden) << "the encoder's bytes differ from " << GoldenPath();
}

TEST(JpegWriter, GivesTheSameBytesAsLibjpegOnAPlainRgbBuffer) {
    EXPECT_TRUE(Encode(GoldenPicture()) == EncodeDirectly(GoldenPicture()));
    std::mt19937 random(4);
    const MemoryBitmap noise = RandomPicture(random, 33, 17);
    EXPECT_TRUE(Encode(noise) == EncodeDirectly(noise));
}

TEST(JpegWriter, HeadersAreBaselineJfifWithTheStandardTablesOfQuality90) {
    const std::string jpeg = Encode(GoldenPicture());
    ASSERT_GE(jpeg.size(), 4u);
    EXPECT_EQ(Byte(jpeg, 0), 0xFF);
    EXPECT_EQ(Byte(jpeg, 1), 0xD8);
    EXPECT_EQ(Byte(jpeg, jpeg.size() - 2), 0xFF);
    EXPECT_EQ(Byte(jpeg, jpeg.size() - 1), 0xD9);

    const std::vector<Segment> segments = Segments(jpeg);
    ASSERT_FALSE(segments.empty());
    // JFIF 1.01 first: density unit 0, density 1 x 1, no thumbnail.
    ASSERT_EQ(segments[0].marker, 0xE0);
    EXPECT_EQ(Bytes(segments[0].body), (std::vector<int>{'J', 'F', 'I', 'F', 0, 1, 1, 0, 0, 1, 0, 1, 0, 0}));

    static const int kNaturalOrder[64] = {0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,
                                          12, 19, 26, 33, 40, 48, 41, 34, 27, 20, 13, 6,  7,  14, 21, 28,
                                          35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23, 30, 37, 44, 51,
                                          58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};
    static const int kLuminance[64] = {16, 11, 10, 16, 24,  40,  51,  61,  12, 12, 14, 19, 26,  58,  60,  55,
                                       14, 13, 16, 24, 40,  57,  69,  56,  14, 17, 22, 29, 51,  87,  80,  62,
                                       18, 22, 37, 56, 68,  109, 103, 77,  24, 35, 55, 64, 81,  104, 113, 92,
                                       49, 64, 78, 87, 103, 121, 120, 101, 72, 92, 95, 98, 112, 100, 103, 99};
    static const int kChrominance[64] = {17, 18, 24, 47, 99, 99, 99, 99, 18, 21, 26, 66, 99, 99, 99, 99,
                                         24, 26, 56, 99, 99, 99, 99, 99, 47, 66, 99, 99, 99, 99, 99, 99,
                                         99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99,
                                         99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99};
    auto scaled = [](const int* table, int id) {
        // Quality 90 scales the standard tables by 20 % (200 - 2 x 90), rounded, at least 1.
        std::vector<int> body{id};
        for (int k = 0; k < 64; ++k) body.push_back(std::max(1, (table[kNaturalOrder[k]] * 20 + 50) / 100));
        return body;
    };
    std::vector<std::vector<int>> quantisation, huffman;
    const Segment* frame = nullptr;
    const Segment* scan = nullptr;
    for (const Segment& s : segments) {
        EXPECT_NE(s.marker, 0xEE) << "an Adobe marker";
        EXPECT_NE(s.marker, 0xDD) << "a restart interval";
        EXPECT_TRUE(s.marker < 0xC1 || s.marker > 0xCF || s.marker == 0xC4)
            << "a frame other than baseline: " << s.marker;
        if (s.marker == 0xDB) {
            // One table per segment or both in one: split at 65 bytes.
            for (size_t at = 0; at + 65 <= s.body.size(); at += 65)
                quantisation.push_back(Bytes(s.body.substr(at, 65)));
        }
        if (s.marker == 0xC4) huffman.push_back(Bytes(s.body));
        if (s.marker == 0xC0) frame = &s;
        if (s.marker == 0xDA) scan = &s;
    }
    ASSERT_EQ(quantisation.size(), 2u);
    EXPECT_EQ(quantisation[0], scaled(kLuminance, 0));
    EXPECT_EQ(quantisation[1], scaled(kChrominance, 1));

    // SOF0: 8 bits, 61 x 97, components 1 (2 x 2, table 0), 2 and 3 (1 x 1, table 1).
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(Bytes(frame->body), (std::vector<int>{8, 0, 61, 0, 97, 3, 1, 0x22, 0, 2, 0x11, 1, 3, 0x11, 1}));

    // One sequential scan over all three components: Y on Huffman tables 0, chroma on 1.
    ASSERT_NE(scan, nullptr);
    EXPECT_EQ(Bytes(scan->body), (std::vector<int>{3, 1, 0x00, 2, 0x11, 3, 0x11, 0, 63, 0}));
    int scans = 0;
    for (size_t i = 0; i + 1 < jpeg.size(); ++i) {
        if (Byte(jpeg, i) == 0xFF && Byte(jpeg, i + 1) == 0xDA) ++scans;
    }
    EXPECT_EQ(scans, 1);

    // The standard Huffman tables (the counts of codes per length give them away; optimised
    // tables would differ), each with all its symbols.
    struct Table {
        int classAndId;
        std::vector<int> counts;
        int symbols;
    };
    const Table standard[] = {
        {0x00, {0, 1, 5, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0}, 12},
        {0x10, {0, 2, 1, 3, 3, 2, 4, 3, 5, 5, 4, 4, 0, 0, 1, 0x7D}, 162},
        {0x01, {0, 3, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0}, 12},
        {0x11, {0, 2, 1, 2, 4, 4, 3, 4, 7, 5, 4, 4, 0, 1, 2, 0x77}, 162},
    };
    std::vector<int> allHuffman;
    for (const auto& h : huffman) allHuffman.insert(allHuffman.end(), h.begin(), h.end());
    size_t at = 0;
    for (const Table& t : standard) {
        ASSERT_LT(at + 17, allHuffman.size() + 1);
        EXPECT_EQ(allHuffman[at], t.classAndId);
        EXPECT_EQ(std::vector<int>(allHuffman.begin() + static_cast<ptrdiff_t>(at) + 1,
                                   allHuffman.begin() + static_cast<ptrdiff_t>(at) + 17),
                  t.counts);
        at += 17 + static_cast<size_t>(t.symbols);
    }
    EXPECT_EQ(at, allHuffman.size());
}

TEST(JpegWriter, DecodesToThePictureItWasMadeFrom) {
    const MemoryBitmap picture = GoldenPicture();
    const std::string jpeg = Encode(picture);
    jpeg_decompress_struct d{};
    jpeg_error_mgr errors{};
    d.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&d);
    jpeg_mem_src(&d, reinterpret_cast<const unsigned char*>(jpeg.data()), static_cast<unsigned long>(jpeg.size()));
    ASSERT_EQ(jpeg_read_header(&d, TRUE), JPEG_HEADER_OK);
    EXPECT_EQ(d.jpeg_color_space, JCS_YCbCr);
    EXPECT_FALSE(d.progressive_mode);
    EXPECT_TRUE(d.saw_JFIF_marker);
    EXPECT_FALSE(d.saw_Adobe_marker);
    d.out_color_space = JCS_RGB;
    jpeg_start_decompress(&d);
    ASSERT_EQ(d.output_width, 97u);
    ASSERT_EQ(d.output_height, 61u);
    std::vector<unsigned char> row(97 * 3);
    long long error = 0;
    int y = 0;
    while (d.output_scanline < d.output_height) {
        JSAMPROW rows[1] = {row.data()};
        jpeg_read_scanlines(&d, rows, 1);
        for (int x = 0; x < 97; ++x) {
            const Color c = MemoryBitmap::Unpack(picture.Pixel(x, y));
            error +=
                std::abs(row[x * 3] - c.red) + std::abs(row[x * 3 + 1] - c.green) + std::abs(row[x * 3 + 2] - c.blue);
        }
        if (y == 20) {
            // Inside the red block: red, not blue (a swap of the channels would show here).
            EXPECT_GT(row[25 * 3], 200);
            EXPECT_LT(row[25 * 3 + 2], 50);
        }
        ++y;
    }
    jpeg_finish_decompress(&d);
    jpeg_destroy_decompress(&d);
    EXPECT_LT(error / (97 * 61 * 3), 6) << "mean error per channel";
}

TEST(JpegWriter, LibraryErrorsBecomeTheJpegErrorText) {
    // Wider than JPEG allows, and empty: libjpeg's own checks refuse both.
    const SoftwareBitmap tooWide(FilledPicture(70000, 1, kWhite));
    DibInfo info{};
    DibBits bits;
    ReadDIB24(tooWide, info, bits);
    try {
        EncodeJpeg(info, bits.get());
        ADD_FAILURE() << "no error";
    } catch (const AppError& error) {
        EXPECT_EQ(std::string(error.what()), "JPEG エラー #" + std::to_string(JERR_IMAGE_TOO_BIG));
    }
    const SoftwareBitmap empty;
    ReadDIB24(empty, info, bits);
    try {
        EncodeJpeg(info, bits.get());
        ADD_FAILURE() << "no error";
    } catch (const AppError& error) {
        EXPECT_EQ(std::string(error.what()), "JPEG エラー #" + std::to_string(JERR_EMPTY_IMAGE));
    }
}

TEST(JpegWriter, AnEncoderErrorLeavesTheOldFileAlone) {
    TempDir dir;
    const std::string path = dir.File("picture.jpg");
    WriteTestFile(path, "old picture");
    EXPECT_THROW(WritePictureFile(path, SoftwareBitmap(FilledPicture(70000, 1, kWhite))), AppError);
    EXPECT_EQ(ReadTestFile(path), "old picture");
    EXPECT_EQ(CountFiles(dir.Path()), 1u);
}

TEST(JpegWriter, WritesTheWholeFileAndReplacesAnOldOne) {
    TempDir dir;
    const std::string path = dir.File("picture.jpg");
    WriteTestFile(path, "old picture");
    WritePictureFile(path, SoftwareBitmap(GoldenPicture()));
    EXPECT_EQ(ReadTestFile(path), Encode(GoldenPicture()));
    EXPECT_EQ(CountFiles(dir.Path()), 1u);
}

TEST(JpegWriter, AFolderThatCannotBeWrittenIsAnError) {
    TempDir dir;
    const std::string path = (std::filesystem::path(dir.Path()) / "missing" / "picture.jpg").string();
    EXPECT_THROW(WritePictureFile(path, SoftwareBitmap(GoldenPicture())), AppError);
    EXPECT_EQ(CountFiles(dir.Path()), 0u);
}

}  // namespace
