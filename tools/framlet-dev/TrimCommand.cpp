// framlet-dev trim IN.bmp OUT --rect L,T,R,B --settings FILE.ini
// The Save command's picture path without the window: the same TrimImage and the same writers.
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "DevCommand.h"
#include "app/PictureFile.h"
#include "imaging/BmpFile.h"
#include "imaging/ImageLib.h"
#include "imaging/JpegWriter.h"
#include "imaging/SoftwareBitmap.h"
#include "platform/AppError.h"
#include "platform/FileSystem.h"
#include "settings/FLConfig.h"

namespace {

// The input file mapped into memory, read only.
class MappedFile {
public:
    explicit MappedFile(const std::string& path) {
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) throw UsageError("cannot read \"" + path + "\"");
        struct stat info {};
        if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size == 0) {
            ::close(fd);
            throw UsageError("cannot read \"" + path + "\"");
        }
        size_ = static_cast<size_t>(info.st_size);
        // Populated at once: every page is about to be read.
        void* data = ::mmap(nullptr, size_, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
        ::close(fd);
        if (data == MAP_FAILED) throw UsageError("cannot read \"" + path + "\"");
        data_ = static_cast<const char*>(data);
    }
    ~MappedFile() { ::munmap(const_cast<char*>(data_), size_); }
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;
    std::string_view Bytes() const { return {data_, size_}; }

private:
    const char* data_ = nullptr;
    size_t size_ = 0;
};

// A 24-bit bitmap file's pixels, which already have the buffer layout, as the source picture.
// A bottom-up file's rows are the pipeline's buffer as they lie in the mapping, so the pipeline
// reads them in place; a top-down file's rows are copied in reverse order. The picture is only
// read.
class BmpFileBitmap final : public Bitmap {
public:
    BmpFileBitmap(std::string_view file, const BmpLayout& layout) : file_(file), layout_(layout) {}

    int Width() const override { return layout_.width; }
    int Height() const override { return layout_.height; }
    void SetSize(int, int) override { throw AppError("the input picture is read only"); }
    bool ExportDIB24(const DibInfo& info, uint8_t* bits) const override {
        if (info.bmiHeader.biWidth != layout_.width || info.bmiHeader.biHeight != layout_.height) return false;
        const char* pixels = file_.data() + layout_.offset;
        if (!layout_.topDown) {
            std::memcpy(bits, pixels, layout_.stride * static_cast<size_t>(layout_.height));
            return true;
        }
        for (int32_t y = 0; y < layout_.height; ++y) {
            std::memcpy(bits + static_cast<size_t>(layout_.height - 1 - y) * layout_.stride,
                        pixels + static_cast<size_t>(y) * layout_.stride, layout_.stride);
        }
        return true;
    }
    bool ImportDIB24(const DibInfo&, const uint8_t*) override { return false; }
    const uint8_t* DIB24Pixels() const override {
        return layout_.topDown ? nullptr : reinterpret_cast<const uint8_t*>(file_.data() + layout_.offset);
    }
    std::unique_ptr<Canvas> CreateCanvas() override { throw AppError("the input picture is read only"); }
    std::unique_ptr<Bitmap> CreateEmpty() const override { return std::make_unique<SoftwareBitmap>(); }

private:
    std::string_view file_;
    BmpLayout layout_;
};

Rect ParseRect(const std::string& text) {
    int values[4];
    size_t start = 0;
    for (int i = 0; i < 4; ++i) {
        const size_t comma = text.find(',', start);
        if ((i < 3) != (comma != std::string::npos)) throw UsageError("--rect needs L,T,R,B, got \"" + text + "\"");
        values[i] = ParseIntArgument(text.substr(start, comma == std::string::npos ? std::string::npos : comma - start),
                                     "--rect");
        start = comma + 1;
    }
    Rect rect{values[0], values[1], values[2], values[3]};
    if (rect.Left > rect.Right || rect.Top > rect.Bottom) throw UsageError("--rect needs L <= R and T <= B");
    // As the Save command does: a one-pixel-wide or -high selection becomes two pixels.
    constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
    if ((rect.Left == rect.Right && rect.Right == kMax) || (rect.Top == rect.Bottom && rect.Bottom == kMax)) {
        throw UsageError("--rect is too large");
    }
    if (rect.Left == rect.Right) rect.Right = rect.Left + 1;
    if (rect.Top == rect.Bottom) rect.Bottom = rect.Top + 1;
    return rect;
}

int Run(const std::vector<std::string>& args) {
    if (args.size() < 2 || args[0].rfind("--", 0) == 0 || args[1].rfind("--", 0) == 0) {
        throw UsageError("expected IN.bmp OUT first");
    }
    const std::string& input = args[0];
    const std::string& output = args[1];
    std::optional<Rect> rect;
    std::optional<std::string> settingsPath;
    for (size_t i = 2; i < args.size(); ++i) {
        if (args[i] != "--rect" && args[i] != "--settings") throw UsageError("unexpected argument \"" + args[i] + "\"");
        if (i + 1 >= args.size()) throw UsageError(args[i] + " needs a value");
        if (args[i] == "--rect") {
            rect = ParseRect(args[++i]);
        } else {
            settingsPath = args[++i];
        }
    }
    if (!rect) throw UsageError("--rect L,T,R,B is required");
    if (!settingsPath) throw UsageError("--settings FILE.ini is required");

    const TFLConfig config(*settingsPath);
    const TrimSettings settings = config.Trim();
    if (settings.Width <= 0 || settings.Height <= 0 || settings.Scale <= 0) {
        throw UsageError("Width, Height and Scale must all be above 0 (the program does nothing otherwise)");
    }

    const MappedFile file(input);
    std::unique_ptr<Bitmap> source;
    try {
        const BmpLayout layout = ReadBmpLayout(file.Bytes());
        if (layout.bitCount == 24) {
            source = std::make_unique<BmpFileBitmap>(file.Bytes(), layout);
        } else {
            source = std::make_unique<SoftwareBitmap>(DecodeBmp(file.Bytes()));
        }
    } catch (const AppError& error) {
        throw UsageError("\"" + input + "\" is " + error.what());
    }

    SoftwareBitmap final;
    try {
        TrimImage(*source, final, *rect, settings);
    } catch (const AppError& error) {
        throw UsageError(error.what());
    }
    // The program's own writer: a JPEG or a bitmap file as the name's extension asks.
    WritePictureFile(output, final);
    return 0;
}

const DevCommandRegistrar registrar({"trim", "IN.bmp OUT --rect L,T,R,B --settings FILE.ini", Run});

}  // namespace
