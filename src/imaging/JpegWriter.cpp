#include "imaging/JpegWriter.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string_view>

// jpeglib.h needs size_t and FILE declared first.
#include <jerror.h>
#include <jpeglib.h>

#include "platform/AppError.h"
#include "platform/FileSystem.h"

namespace {

// Everything libjpeg touches lives in this block of plain data, owned by the caller of
// Compress: a longjmp out of the library then skips no C++ destructor, and nothing that
// must survive it is an automatic variable of the function that called setjmp.
struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
    int code;
};

struct MemoryDestination {
    jpeg_destination_mgr base;
    unsigned char* data;
    size_t capacity;
    size_t size;
};

struct JpegSession {
    jpeg_compress_struct compressor;
    ErrorManager errors;
    MemoryDestination destination;
    const uint8_t* bits;
    int width;
    int height;
    size_t stride;
};

void ErrorExit(j_common_ptr info) {
    auto* errors = reinterpret_cast<ErrorManager*>(info->err);
    errors->code = errors->base.msg_code;
    std::longjmp(errors->jump, 1);
}

// libjpeg's default prints warnings to standard error; the program has no console.
void OutputMessage(j_common_ptr) {}

void InitDestination(j_compress_ptr info) {
    auto* destination = reinterpret_cast<MemoryDestination*>(info->dest);
    destination->capacity = 64 * 1024;
    destination->data = static_cast<unsigned char*>(std::malloc(destination->capacity));
    if (!destination->data) ERREXIT1(info, JERR_OUT_OF_MEMORY, 0);
    destination->base.next_output_byte = destination->data;
    destination->base.free_in_buffer = destination->capacity;
}

boolean EmptyOutputBuffer(j_compress_ptr info) {
    auto* destination = reinterpret_cast<MemoryDestination*>(info->dest);
    // libjpeg calls this only with the whole buffer full.
    const size_t used = destination->capacity;
    auto* grown = static_cast<unsigned char*>(std::realloc(destination->data, used * 2));
    if (!grown) ERREXIT1(info, JERR_OUT_OF_MEMORY, 1);
    destination->data = grown;
    destination->capacity = used * 2;
    destination->base.next_output_byte = grown + used;
    destination->base.free_in_buffer = destination->capacity - used;
    return TRUE;
}

void TermDestination(j_compress_ptr info) {
    auto* destination = reinterpret_cast<MemoryDestination*>(info->dest);
    destination->size = destination->capacity - destination->base.free_in_buffer;
}

// The only function with a setjmp. False when libjpeg reported an error (its code is in
// session->errors.code); the library's state is destroyed either way.
bool Compress(JpegSession* session) {
    jpeg_compress_struct* c = &session->compressor;
    c->err = jpeg_std_error(&session->errors.base);
    session->errors.base.error_exit = ErrorExit;
    session->errors.base.output_message = OutputMessage;
    if (setjmp(session->errors.jump)) {
        jpeg_destroy_compress(c);
        return false;
    }
    jpeg_create_compress(c);

    session->destination.base.init_destination = InitDestination;
    session->destination.base.empty_output_buffer = EmptyOutputBuffer;
    session->destination.base.term_destination = TermDestination;
    c->dest = &session->destination.base;

    c->image_width = static_cast<JDIMENSION>(session->width);
    c->image_height = static_cast<JDIMENSION>(session->height);
    c->input_components = 3;
    // RGB pixels in the buffer's own byte order (blue, green, red): the colour conversion is
    // the same as for JCS_RGB, byte for byte, without a copy of every row.
    c->in_color_space = JCS_EXT_BGR;
    jpeg_set_defaults(c);
    jpeg_set_colorspace(c, JCS_YCbCr);  // ids 1, 2, 3; Y 2 x 2 on tables 0, chroma 1 x 1 on tables 1
    jpeg_set_quality(c, 90, TRUE);
    c->dct_method = JDCT_FLOAT;
    c->optimize_coding = FALSE;
    c->arith_code = FALSE;
    c->restart_interval = 0;
    c->restart_in_rows = 0;
    c->write_JFIF_header = TRUE;
    c->JFIF_major_version = 1;
    c->JFIF_minor_version = 1;
    c->density_unit = 0;
    c->X_density = 1;
    c->Y_density = 1;
    c->write_Adobe_marker = FALSE;

    jpeg_start_compress(c, TRUE);
    // Top row first: in the bottom-up buffer that is the last row.
    constexpr int kBatch = 16;
    JSAMPROW rows[kBatch];
    while (c->next_scanline < c->image_height) {
        const int first = static_cast<int>(c->next_scanline);
        const int count = std::min(kBatch, session->height - first);
        for (int i = 0; i < count; ++i) {
            rows[i] = const_cast<JSAMPROW>(session->bits +
                                           static_cast<size_t>(session->height - 1 - first - i) * session->stride);
        }
        jpeg_write_scanlines(c, rows, static_cast<JDIMENSION>(count));
    }
    jpeg_finish_compress(c);
    jpeg_destroy_compress(c);
    return true;
}

struct FreeMalloc {
    void operator()(unsigned char* p) const { std::free(p); }
};

// The whole JPEG stream in a block of libjpeg's destination, as it was left.
struct JpegStream {
    std::unique_ptr<unsigned char, FreeMalloc> data;
    size_t size = 0;
    std::string_view Bytes() const { return {reinterpret_cast<const char*>(data.get()), size}; }
};

JpegStream Encode(const DibInfo& info, const uint8_t* bits) {
    const DibHeader& header = info.bmiHeader;
    if (header.biBitCount != 24 || header.biWidth < 0 || header.biHeight < 0 || !bits) {
        throw AppError("JPEG に変換できない画像です");
    }
    auto session = std::make_unique<JpegSession>();
    session->bits = bits;
    session->width = header.biWidth;
    session->height = header.biHeight;
    session->stride = static_cast<size_t>(DibStride(header.biWidth));
    const bool done = Compress(session.get());
    JpegStream stream;
    stream.data.reset(session->destination.data);
    if (!done) {
        char text[64];
        std::snprintf(text, sizeof text, "JPEG エラー #%d", session->errors.code);
        throw AppError(text);
    }
    stream.size = session->destination.size;
    return stream;
}

}  // namespace

std::string EncodeJpeg(const DibInfo& info, const uint8_t* bits) { return std::string(Encode(info, bits).Bytes()); }
