#include <windows.h>

#include <gtest/gtest.h>

#include "GdiBitmapKind_win.h"
#include "Pictures.h"
#include "TestSupport.h"
#include "app/PictureFile.h"
#include "imaging/BmpFile.h"
#include "imaging/JpegWriter.h"
#include "platform/AppError.h"

namespace {

TEST(PictureFilesOnWindows, ALockedTargetIsAnErrorAndKeepsItsBytes) {
    TempDir dir;
    const SoftwareBitmap picture(FPicture());
    for (const char* name : {"p.jpg", "p.bmp"}) {
        const std::string path = dir.File(name);
        WriteTestFile(path, "old picture");
        HANDLE lock = ::CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(lock, INVALID_HANDLE_VALUE);
        EXPECT_THROW(WritePictureFile(path, picture), AppError);
        ::CloseHandle(lock);
        EXPECT_EQ(ReadTestFile(path), "old picture") << name;
    }
    EXPECT_EQ(CountFiles(dir.Path()), 2u);
}

TEST(PictureFilesOnWindows, AGdiPictureWritesTheSameFilesAsAMemoryPicture) {
    std::mt19937 random(12);
    const MemoryBitmap pixels = RandomPicture(random, 23, 11);
    const auto gdi = GdiBitmapKind::Make(pixels);
    const SoftwareBitmap memory(pixels);
    TempDir dir;
    WritePictureFile(dir.File("g.jpg"), *gdi);
    WritePictureFile(dir.File("m.jpg"), memory);
    EXPECT_EQ(ReadTestFile(dir.File("g.jpg")), ReadTestFile(dir.File("m.jpg")));
    WritePictureFile(dir.File("g.bmp"), *gdi);
    EXPECT_EQ(DecodeBmp(*ReadTestFile(dir.File("g.bmp"))), pixels);
}

}  // namespace
