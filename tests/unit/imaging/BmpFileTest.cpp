#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "Pictures.h"
#include "TestSupport.h"
#include "app/PictureFile.h"
#include "imaging/BmpFile.h"
#include "platform/AppError.h"

namespace {

uint32_t U32(const std::string& s, size_t at) {
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<uint8_t>(s.at(at + static_cast<size_t>(i)));
    return v;
}

uint16_t U16(const std::string& s, size_t at) {
    return static_cast<uint16_t>(static_cast<uint8_t>(s.at(at)) | static_cast<uint8_t>(s.at(at + 1)) << 8);
}

struct Header {
    uint32_t fileSize, offset, infoSize, width, height;
    uint16_t planes, bitCount;
    uint32_t compression, imageSize, xPels, yPels, colorsUsed, colorsImportant;
};

Header Parse(const std::string& file) {
    EXPECT_EQ(file.substr(0, 2), "BM");
    EXPECT_EQ(U32(file, 6), 0u) << "reserved";
    return {U32(file, 2),  U32(file, 10), U32(file, 14), U32(file, 18), U32(file, 22), U16(file, 26), U16(file, 28),
            U32(file, 30), U32(file, 34), U32(file, 38), U32(file, 42), U32(file, 46), U32(file, 50)};
}

TEST(BmpFile, TwentyFourBitHeaderFieldsAndRowsAreExact) {
    const SoftwareBitmap f(FPicture());
    DibInfo info{};
    DibBits bits;
    ReadDIB24(f, info, bits);
    // Filler bytes of the buffer are not the picture's: the file gets zeros whatever they hold.
    for (int row = 0; row < 5; ++row) std::memset(bits.get() + row * 20 + 18, 0xEE, 2);
    const std::string file = EncodeBmp24(info, bits.get());
    ASSERT_EQ(file.size(), 54u + 100u);
    const Header h = Parse(file);
    EXPECT_EQ(h.fileSize, 154u);
    EXPECT_EQ(h.offset, 54u);
    EXPECT_EQ(h.infoSize, 40u);
    EXPECT_EQ(h.width, 6u);
    EXPECT_EQ(h.height, 5u);
    EXPECT_EQ(h.planes, 1);
    EXPECT_EQ(h.bitCount, 24);
    EXPECT_EQ(h.compression, 0u);
    EXPECT_EQ(h.imageSize, 100u);
    EXPECT_EQ(h.colorsUsed, 0u);
    EXPECT_EQ(h.colorsImportant, 0u);
    for (int row = 0; row < 5; ++row) {
        SCOPED_TRACE(row);
        EXPECT_EQ(file.substr(54 + static_cast<size_t>(row) * 20, 18),
                  std::string(reinterpret_cast<char*>(bits.get()) + row * 20, 18));
        EXPECT_EQ(file.substr(54 + static_cast<size_t>(row) * 20 + 18, 2), std::string(2, '\0'));
    }
    // The top row (blue, red x 4, blue) is the last in the file.
    EXPECT_EQ(file.substr(54 + 80, 6), std::string("\xFF\0\0\0\0\xFF", 6));
    EXPECT_EQ(DecodeBmp(file), FPicture());
}

TEST(BmpFile, ThirtyTwoBitFilesCarryThePixelsWithoutAColourTable) {
    std::mt19937 random(8);
    const MemoryBitmap picture = RandomPicture(random, 7, 4);
    // The memory bitmap's rows are top-down 0x00RRGGBB: bottom-up copy for the file.
    std::vector<uint32_t> rows;
    for (int y = picture.Height() - 1; y >= 0; --y) rows.insert(rows.end(), picture.Row(y), picture.Row(y) + 7);
    BmpImage image;
    image.width = 7;
    image.height = 4;
    image.bitCount = 32;
    image.bits = reinterpret_cast<const uint8_t*>(rows.data());
    image.stride = 28;
    const std::string file = EncodeBmp(image);
    const Header h = Parse(file);
    EXPECT_EQ(h.bitCount, 32);
    EXPECT_EQ(h.offset, 54u);
    EXPECT_EQ(h.imageSize, 112u);
    EXPECT_EQ(h.fileSize, 54u + 112u);
    EXPECT_EQ(h.colorsUsed, 0u);
    EXPECT_EQ(file.substr(54), std::string(reinterpret_cast<const char*>(rows.data()), 112));
    EXPECT_EQ(DecodeBmp(file), picture);
}

TEST(BmpFile, IndexedDepthsCarryTheirColourTableAndPadEveryRow) {
    const DibColor table[3] = {{0, 0, 0, 0}, {255, 0, 0, 0}, {0, 255, 255, 0}};
    // 8 bits, 5 wide: 5 bytes used, rows of 8.
    const uint8_t eight[2 * 5] = {0, 1, 2, 1, 0, 2, 2, 2, 1, 1};
    BmpImage image;
    image.width = 5;
    image.height = 2;
    image.bitCount = 8;
    image.bits = eight;
    image.stride = 5;
    image.colorTable = table;
    std::string file = EncodeBmp(image);
    Header h = Parse(file);
    EXPECT_EQ(h.bitCount, 8);
    EXPECT_EQ(h.offset, 54u + 12u);
    EXPECT_EQ(h.colorsUsed, 3u);
    EXPECT_EQ(h.imageSize, 16u);
    EXPECT_EQ(h.fileSize, 54u + 12u + 16u);
    EXPECT_EQ(file.substr(54, 12), std::string("\0\0\0\0\xFF\0\0\0\0\xFF\xFF\0", 12));
    EXPECT_EQ(file.substr(66), std::string("\0\1\2\1\0\0\0\0\2\2\2\1\1\0\0\0", 16));

    // 1 bit, 10 wide: two bytes used, the six bits past the last pixel cleared, rows of 4.
    const uint8_t one[2] = {0xA5, 0xFF};
    image.width = 10;
    image.height = 1;
    image.bitCount = 1;
    image.bits = one;
    image.stride = 2;
    image.colorTable = std::span<const DibColor>(table, 2);
    file = EncodeBmp(image);
    h = Parse(file);
    EXPECT_EQ(h.offset, 54u + 8u);
    EXPECT_EQ(h.imageSize, 4u);
    EXPECT_EQ(file.substr(62), std::string("\xA5\xC0\0\0", 4));
}

TEST(BmpFile, DescriptionsNoBitmapFileCanCarryAreRefused) {
    const DibColor table[3] = {};
    const uint8_t pixels[64] = {};
    auto image = [&](uint16_t bits, size_t colours, int32_t stride = 16) {
        BmpImage i;
        i.width = 4;
        i.height = 2;
        i.bitCount = bits;
        i.bits = pixels;
        i.stride = stride;
        i.colorTable = std::span<const DibColor>(table, colours);
        return i;
    };
    EXPECT_THROW(EncodeBmp(image(7, 0)), AppError);
    EXPECT_THROW(EncodeBmp(image(8, 0)), AppError);      // indexed without a table
    EXPECT_THROW(EncodeBmp(image(1, 3)), AppError);      // more colours than 1 bit can index
    EXPECT_THROW(EncodeBmp(image(24, 2)), AppError);     // a table where none belongs
    EXPECT_THROW(EncodeBmp(image(32, 0, 8)), AppError);  // rows shorter than their pixels
    EXPECT_NO_THROW(EncodeBmp(image(16, 0, 8)));
}

TEST(BmpFile, DecodingReadsTopDownFilesAndRefusesOthers) {
    const SoftwareBitmap f(FPicture());
    DibInfo info{};
    DibBits bits;
    ReadDIB24(f, info, bits);
    const std::string file = EncodeBmp24(info, bits.get());
    // The same rows in the opposite order under a negative height.
    std::string topDown = file.substr(0, 54);
    const int32_t negative = -5;
    std::memcpy(topDown.data() + 22, &negative, 4);
    for (int row = 4; row >= 0; --row) topDown += file.substr(54 + static_cast<size_t>(row) * 20, 20);
    EXPECT_EQ(DecodeBmp(topDown), FPicture());

    EXPECT_THROW(DecodeBmp(file.substr(0, 100)), AppError);  // cut short
    EXPECT_THROW(DecodeBmp("GIF89a"), AppError);
    std::string sixteen = file;
    sixteen[28] = 16;
    EXPECT_THROW(DecodeBmp(sixteen), AppError);
    std::string compressed = file;
    compressed[30] = 1;
    EXPECT_THROW(DecodeBmp(compressed), AppError);
}

TEST(BmpFile, WritingGoesThroughAWholeFileReplacement) {
    TempDir dir;
    const std::string path = dir.File("picture.bmp");
    WriteTestFile(path, "old picture");
    WritePictureFile(path, SoftwareBitmap(FPicture()));
    const auto written = ReadTestFile(path);
    ASSERT_TRUE(written);
    EXPECT_EQ(DecodeBmp(*written), FPicture());
    EXPECT_EQ(Parse(*written).bitCount, 24);
    EXPECT_EQ(CountFiles(dir.Path()), 1u);

    const std::string missing = (std::filesystem::path(dir.Path()) / "missing" / "picture.bmp").string();
    EXPECT_THROW(WritePictureFile(missing, SoftwareBitmap(FPicture())), AppError);
}

}  // namespace
