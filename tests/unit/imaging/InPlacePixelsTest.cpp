// A bitmap that keeps the pipeline's 24-bit buffer: the buffer is taken over, not copied, the
// readers use it in place, and everything that needs 32-bit pixels still sees the same picture.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>

#include "Pictures.h"
#include "TestSupport.h"
#include "app/PictureFile.h"
#include "imaging/BmpFile.h"
#include "imaging/DIB.h"
#include "imaging/Frame.h"
#include "imaging/ImageLib.h"
#include "imaging/JpegWriter.h"
#include "imaging/SoftwareBitmap.h"
#include "platform/FileSystem.h"

namespace {

// The picture as a 24-bit buffer, read out of a plain (32-bit) software bitmap.
DibBits BufferOf(const MemoryBitmap& picture, DibInfo& info) {
    DibBits bits;
    ReadDIB24(SoftwareBitmap(picture), info, bits);
    return bits;
}

// A bitmap of the picture's size holding the picture as an adopted 24-bit buffer.
SoftwareBitmap AdoptedBitmapOf(const MemoryBitmap& picture) {
    DibInfo info{};
    DibBits bits = BufferOf(picture, info);
    SoftwareBitmap bitmap;
    bitmap.SetSize(picture.Width(), picture.Height());
    EXPECT_TRUE(bitmap.AdoptDIB24(info, bits));
    return bitmap;
}

TEST(InPlacePixels, AnAdoptedBufferIsKeptAndReadInPlace) {
    std::mt19937 random(7);
    const MemoryBitmap picture = RandomPicture(random, 7, 5);  // 21 bytes a row: padding too
    DibInfo info{};
    DibBits bits = BufferOf(picture, info);
    const uint8_t* buffer = bits.get();
    SoftwareBitmap bitmap;
    bitmap.SetSize(7, 5);
    ASSERT_TRUE(bitmap.AdoptDIB24(info, bits));
    EXPECT_FALSE(bits);
    EXPECT_EQ(bitmap.DIB24Pixels(), buffer);
    EXPECT_EQ(bitmap.Width(), 7);
    EXPECT_EQ(bitmap.Height(), 5);

    DibInfo readInfo{};
    DibBits read;
    EXPECT_EQ(DIB24PixelsOf(bitmap, readInfo, read), buffer);
    EXPECT_FALSE(read);
    EXPECT_EQ(readInfo.bmiHeader.biWidth, 7);
    EXPECT_EQ(readInfo.bmiHeader.biHeight, 5);
    EXPECT_EQ(readInfo.bmiHeader.biSizeImage, info.bmiHeader.biSizeImage);

    // A copy through the transfer has the same pixel bytes and zero padding.
    DibBits exported;
    ReadDIB24(bitmap, readInfo, exported);
    const DibBits expected = BufferOf(picture, info);
    EXPECT_EQ(std::memcmp(exported.get(), expected.get(), info.bmiHeader.biSizeImage), 0);

    // The 32-bit pixels, when asked for, are the picture; the buffer is then given up.
    EXPECT_EQ(bitmap.Pixels(), picture);
    EXPECT_EQ(bitmap.DIB24Pixels(), nullptr);
}

TEST(InPlacePixels, ABufferOfAnotherSizeIsNotTaken) {
    DibInfo info{};
    DibBits bits = BufferOf(FPicture(), info);  // 6 x 5
    const MemoryBitmap before = FilledPicture(5, 5, kBlue);
    SoftwareBitmap bitmap(before);
    EXPECT_FALSE(bitmap.AdoptDIB24(info, bits));
    EXPECT_TRUE(bits);
    EXPECT_EQ(bitmap.DIB24Pixels(), nullptr);
    EXPECT_EQ(bitmap.Pixels(), before);

    DibInfo deeper = info;
    deeper.bmiHeader.biBitCount = 32;
    SoftwareBitmap sixByFive;
    sixByFive.SetSize(6, 5);
    EXPECT_FALSE(sixByFive.AdoptDIB24(deeper, bits));
    EXPECT_TRUE(bits);
}

TEST(InPlacePixels, APlainBitmapIsReadIntoABufferOfItsOwn) {
    const SoftwareBitmap bitmap(FPicture());
    EXPECT_EQ(bitmap.DIB24Pixels(), nullptr);
    DibInfo info{};
    DibBits bits;
    const uint8_t* pixels = DIB24PixelsOf(bitmap, info, bits);
    ASSERT_TRUE(bits);
    EXPECT_EQ(pixels, bits.get());
    EXPECT_EQ(info.bmiHeader.biWidth, 6);
}

TEST(InPlacePixels, DrawingAndImportingWorkOnTheSamePicture) {
    const MemoryBitmap picture = FPicture();
    SoftwareBitmap framed = AdoptedBitmapOf(picture);
    DrawFrame(framed, 1);
    SoftwareBitmap expected(picture);
    DrawFrame(expected, 1);
    EXPECT_EQ(framed.Pixels(), expected.Pixels());

    // An import of a smaller picture replaces only the pixels it covers.
    SoftwareBitmap imported = AdoptedBitmapOf(picture);
    DibInfo info{};
    const DibBits small = BufferOf(FilledPicture(2, 2, kRed), info);
    ASSERT_TRUE(WriteDIB24(imported, info, small.get()));
    MemoryBitmap want = picture;
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 2; ++x) want.SetPixel(x, y, MemoryBitmap::Pack(kRed));
    }
    EXPECT_EQ(imported.Pixels(), want);
}

TEST(InPlacePixels, TheWritersGiveTheSameFilesFromAnAdoptedBuffer) {
    std::mt19937 random(11);
    const MemoryBitmap picture = RandomPicture(random, 37, 23);
    TempDir dir;
    const SoftwareBitmap plain(picture);
    const SoftwareBitmap adopted = AdoptedBitmapOf(picture);
    ASSERT_NE(adopted.DIB24Pixels(), nullptr);
    WritePictureFile(dir.File("plain.jpg"), plain);
    WritePictureFile(dir.File("adopted.jpg"), adopted);
    WritePictureFile(dir.File("plain.bmp"), plain);
    WritePictureFile(dir.File("adopted.bmp"), adopted);
    const auto plainJpeg = ReadTestFile(dir.File("plain.jpg"));
    const auto plainBmp = ReadTestFile(dir.File("plain.bmp"));
    ASSERT_TRUE(plainJpeg && plainBmp);
    EXPECT_EQ(ReadTestFile(dir.File("adopted.jpg")), plainJpeg);
    EXPECT_EQ(ReadTestFile(dir.File("adopted.bmp")), plainBmp);
    EXPECT_EQ(DecodeBmp(*plainBmp), picture);
}

TEST(InPlacePixels, TheTrimPipelineHandsItsBufferToASoftwareDestination) {
    std::mt19937 random(5);
    const MemoryBitmap picture = RandomPicture(random, 40, 30);
    TrimSettings settings;
    settings.TrimType = 2;
    settings.Width = 13;
    settings.Height = 9;
    SoftwareBitmap source(picture);
    SoftwareBitmap result;
    TrimImage(source, result, Rect{3, 2, 30, 25}, settings);
    EXPECT_NE(result.DIB24Pixels(), nullptr);

    // The result, used as the source of another run, is read in place: the same output as from
    // the same pixels held as 32-bit ones.
    SoftwareBitmap again;
    SoftwareBitmap plainAgain;
    const SoftwareBitmap plainSource(MemoryBitmap(result.Pixels()));
    const SoftwareBitmap adoptedSource = AdoptedBitmapOf(plainSource.Pixels());
    settings.Width = 5;
    settings.Height = 5;
    TrimImage(adoptedSource, again, Rect{0, 0, 11, 8}, settings);
    TrimImage(plainSource, plainAgain, Rect{0, 0, 11, 8}, settings);
    EXPECT_EQ(again.Pixels(), plainAgain.Pixels());
}

}  // namespace
