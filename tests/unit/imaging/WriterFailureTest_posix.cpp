#include <sys/resource.h>

#include <gtest/gtest.h>

#include <csignal>

#include "Pictures.h"
#include "TestSupport.h"
#include "imaging/BmpFile.h"
#include "imaging/JpegWriter.h"
#include "platform/AppError.h"

namespace {

// The file-size limit stands in for a full disk and binds root too.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &old_);
        rlimit limit = old_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &old_); }

private:
    rlimit old_{};
};

TEST(PictureFilesOnDisk, AWriteThatFailsPartWayKeepsTheOldFile) {
    std::mt19937 random(2);
    const SoftwareBitmap picture(RandomPicture(random, 64, 64));
    TempDir dir;
    for (const char* name : {"p.jpg", "p.bmp"}) {
        const std::string path = dir.File(name);
        WriteTestFile(path, "old picture");
        {
            FileSizeLimit limit(512);
            if (std::string(name) == "p.jpg") {
                EXPECT_THROW(WriteJpegFile(path, picture), AppError);
            } else {
                EXPECT_THROW(WriteBmpFile(path, picture), AppError);
            }
        }
        EXPECT_EQ(ReadTestFile(path), "old picture") << name;
    }
    EXPECT_EQ(CountFiles(dir.Path()), 2u);  // no temporary file left behind
}

}  // namespace
