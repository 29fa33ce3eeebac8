#include <gtest/gtest.h>

#include "FileSizeLimit_posix.h"
#include "Pictures.h"
#include "TestSupport.h"
#include "app/PictureFile.h"
#include "imaging/BmpFile.h"
#include "imaging/JpegWriter.h"
#include "platform/AppError.h"

namespace {

TEST(PictureFilesOnDisk, AWriteThatFailsPartWayKeepsTheOldFile) {
    std::mt19937 random(2);
    const SoftwareBitmap picture(RandomPicture(random, 64, 64));
    TempDir dir;
    for (const char* name : {"p.jpg", "p.bmp"}) {
        const std::string path = dir.File(name);
        WriteTestFile(path, "old picture");
        {
            FileSizeLimit limit(512);
            EXPECT_THROW(WritePictureFile(path, picture), AppError);
        }
        EXPECT_EQ(ReadTestFile(path), "old picture") << name;
    }
    EXPECT_EQ(CountFiles(dir.Path()), 2u);  // no temporary file left behind
}

}  // namespace
