#include "imaging/BmpFile.h"

#include <cstring>
#include <limits>

#include "platform/AppError.h"
#include "platform/FileSystem.h"

namespace {

constexpr uint32_t kFileHeaderSize = 14;
constexpr uint32_t kInfoHeaderSize = 40;

void Put16(std::string& out, size_t at, uint16_t v) {
    out[at] = static_cast<char>(v & 0xFF);
    out[at + 1] = static_cast<char>(v >> 8);
}

void Put32(std::string& out, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) out[at + static_cast<size_t>(i)] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

uint16_t Get16(std::string_view in, size_t at) {
    return static_cast<uint16_t>(static_cast<uint8_t>(in[at]) | (static_cast<uint8_t>(in[at + 1]) << 8));
}

uint32_t Get32(std::string_view in, size_t at) {
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<uint8_t>(in[at + static_cast<size_t>(i)]);
    return v;
}

// Only the developer console and the tests read bitmap files, so the reasons are in English.
[[noreturn]] void NotABitmap(const std::string& reason) {
    throw AppError("ビットマップファイルとして読めません: " + reason);
}

}  // namespace

namespace {
AppError NotForABitmapFile() { return AppError("ビットマップファイルにできない画像です"); }
}  // namespace

std::string EncodeBmp(const BmpImage& image) {
    const uint16_t depth = image.bitCount;
    const bool indexed = depth <= 8;
    const bool known = depth == 1 || depth == 4 || depth == 8 || depth == 16 || depth == 24 || depth == 32;
    const size_t colors = image.colorTable.size();
    if (!known || image.width < 0 || image.height < 0 || (indexed && (colors == 0 || colors > (size_t{1} << depth))) ||
        (!indexed && colors != 0)) {
        throw NotForABitmapFile();
    }
    const uint64_t used = (uint64_t{static_cast<uint32_t>(image.width)} * depth + 7) / 8;
    const uint64_t fileStride = (uint64_t{static_cast<uint32_t>(image.width)} * depth + 31) / 32 * 4;
    const uint64_t imageSize = fileStride * static_cast<uint32_t>(image.height);
    const uint64_t offset = kFileHeaderSize + kInfoHeaderSize + 4 * colors;
    if (offset + imageSize > std::numeric_limits<int32_t>::max())
        throw AppError("画像が大きすぎてビットマップファイルにできません");
    if (image.height > 0 && used > 0 && (!image.bits || static_cast<uint64_t>(image.stride) < used)) {
        throw NotForABitmapFile();
    }

    // The headers first, then each row and its zero padding appended: every byte of the file is
    // written once (a string of zeros filled in afterwards would be two passes over the picture).
    std::string out(static_cast<size_t>(offset), '\0');
    out.reserve(static_cast<size_t>(offset + imageSize));
    out[0] = 'B';
    out[1] = 'M';
    Put32(out, 2, static_cast<uint32_t>(offset + imageSize));
    Put32(out, 10, static_cast<uint32_t>(offset));
    Put32(out, 14, kInfoHeaderSize);
    Put32(out, 18, static_cast<uint32_t>(image.width));
    Put32(out, 22, static_cast<uint32_t>(image.height));
    Put16(out, 26, 1);
    Put16(out, 28, depth);
    Put32(out, 30, 0);  // BI_RGB
    Put32(out, 34, static_cast<uint32_t>(imageSize));
    Put32(out, 46, indexed ? static_cast<uint32_t>(colors) : 0);  // biClrUsed
    size_t at = kFileHeaderSize + kInfoHeaderSize;
    for (const DibColor& c : image.colorTable) {
        out[at++] = static_cast<char>(c.rgbBlue);
        out[at++] = static_cast<char>(c.rgbGreen);
        out[at++] = static_cast<char>(c.rgbRed);
        out[at++] = static_cast<char>(c.rgbReserved);
    }
    const auto keep = static_cast<int>(uint64_t{static_cast<uint32_t>(image.width)} * depth % 8);
    const auto padding = static_cast<size_t>(fileStride - used);
    for (int32_t row = 0; row < image.height; ++row) {
        if (used > 0) {
            out.append(reinterpret_cast<const char*>(image.bits) +
                           static_cast<size_t>(row) * static_cast<size_t>(image.stride),
                       static_cast<size_t>(used));
        }
        if (keep != 0) {
            // Bits past the last pixel in its byte are not the picture's: clear them too.
            char& last = out.back();
            last = static_cast<char>(static_cast<uint8_t>(last) & static_cast<uint8_t>(0xFF << (8 - keep)));
        }
        out.append(padding, '\0');
    }
    return out;
}

std::string EncodeBmp24(const DibInfo& info, const uint8_t* bits) {
    const DibHeader& header = info.bmiHeader;
    if (header.biBitCount != 24) throw NotForABitmapFile();
    BmpImage image;
    image.width = header.biWidth;
    image.height = header.biHeight;
    image.bitCount = 24;
    image.bits = bits;
    image.stride = DibStride(header.biWidth);
    return EncodeBmp(image);
}

BmpLayout ReadBmpLayout(std::string_view bytes) {
    if (bytes.size() < kFileHeaderSize + kInfoHeaderSize || bytes[0] != 'B' || bytes[1] != 'M')
        NotABitmap("no BM header");
    const uint32_t offset = Get32(bytes, 10);
    const uint32_t headerSize = Get32(bytes, 14);
    if (headerSize < kInfoHeaderSize) NotABitmap("unsupported info header");
    BmpLayout layout;
    layout.width = static_cast<int32_t>(Get32(bytes, 18));
    const auto signedHeight = static_cast<int32_t>(Get32(bytes, 22));
    layout.bitCount = Get16(bytes, 28);
    const uint32_t compression = Get32(bytes, 30);
    if (layout.bitCount != 24 && layout.bitCount != 32) {
        NotABitmap(std::to_string(layout.bitCount) + " bits per pixel (24 or 32 expected)");
    }
    if (compression != 0) NotABitmap("compressed pixels");
    if (layout.width <= 0 || signedHeight == 0 || signedHeight == std::numeric_limits<int32_t>::min()) {
        NotABitmap("empty or invalid size");
    }
    layout.topDown = signedHeight < 0;
    layout.height = layout.topDown ? -signedHeight : signedHeight;
    const uint64_t stride = (uint64_t{static_cast<uint32_t>(layout.width)} * layout.bitCount + 31) / 32 * 4;
    if (offset > bytes.size() || stride * static_cast<uint64_t>(layout.height) > bytes.size() - offset)
        NotABitmap("file too short");
    layout.offset = offset;
    layout.stride = static_cast<size_t>(stride);
    return layout;
}

MemoryBitmap DecodeBmp(std::string_view bytes) {
    const BmpLayout layout = ReadBmpLayout(bytes);
    MemoryBitmap picture(layout.width, layout.height);
    const size_t step = layout.bitCount / 8;
    for (int32_t y = 0; y < layout.height; ++y) {
        const int32_t fileRow = layout.topDown ? y : layout.height - 1 - y;
        const auto* in = reinterpret_cast<const uint8_t*>(bytes.data() + layout.offset +
                                                          static_cast<size_t>(fileRow) * layout.stride);
        uint32_t* out = picture.Row(y);
        for (int32_t x = 0; x < layout.width; ++x, in += step)
            out[x] = in[0] | (uint32_t{in[1]} << 8) | (uint32_t{in[2]} << 16);
    }
    return picture;
}
