// JPEG through libjpeg, as libjpeg-turbo ships it: the row-by-row decoder
// and the row-by-row encoder, for every platform that links it.
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "cli/codecs.h"

// jpeglib.h leaves it to the includer to declare FILE and size_t first.
#include <jpeglib.h>
#include <jerror.h>

namespace {

struct JpegError {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
    char warning[JMSG_LENGTH_MAX];  // the first warning, e.g. about corrupt data
};

void OnJpegError(j_common_ptr info) {
    JpegError* e = reinterpret_cast<JpegError*>(info->err);
    (*info->err->format_message)(info, e->message);
    std::longjmp(e->jump, 1);
}

// libjpeg's own would print warnings on stderr, apart from the file they
// concern; the caller attaches the first one to the file's line instead, and
// counts the input as damaged. Only warnings about the coded picture data
// count: many good camera files draw complaints about their headers (junk
// between markers, odd JFIF or Adobe versions) that change no pixel.
void OnJpegMessage(j_common_ptr info) {
    JpegError* e = reinterpret_cast<JpegError*>(info->err);
    switch (info->err->msg_code) {
        case JWRN_HIT_MARKER:
        case JWRN_HUFF_BAD_CODE:
        case JWRN_JPEG_EOF:
        case JWRN_MUST_RESYNC:
        case JWRN_NOT_SEQUENTIAL:
        case JWRN_BOGUS_PROGRESSION:
            if (e->warning[0] == '\0') (*info->err->format_message)(info, e->warning);
            break;
        default: break;
    }
}

// Adobe CMYK JPEGs store inverted inks: 255 means none.
void CmykRow(const uint8_t* cmyk, int width, uint32_t* out) {
    for (int x = 0; x < width; ++x, cmyk += 4) {
        const uint32_t k = cmyk[3];
        const uint32_t r = cmyk[0] * k / 255, g = cmyk[1] * k / 255, b = cmyk[2] * k / 255;
        out[x] = r << 16 | g << 8 | b;
    }
}

// Decodes row by row into `sink`. No C++ object with a destructor lives in
// this frame: a decoder error jumps back to the setjmp. *stopped tells a stop
// by the sink from a decoder error.
bool DecodeJpegRows(const uint8_t* data, size_t size, int width, int height,
                    const std::function<bool(int, const uint32_t*)>& sink, uint32_t* rowBuffer,
                    uint8_t* cmykRow, char* message, char* warning, bool* stopped) {
    jpeg_decompress_struct info;
    JpegError error;
    info.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = OnJpegError;
    error.manager.output_message = OnJpegMessage;
    error.message[0] = error.warning[0] = '\0';
    *stopped = false;
    if (setjmp(error.jump)) {
        std::strncpy(message, error.message, JMSG_LENGTH_MAX);
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
    jpeg_read_header(&info, TRUE);
    const bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
    info.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGRX;
    jpeg_start_decompress(&info);
    if (static_cast<int>(info.output_width) != width || static_cast<int>(info.output_height) != height) {
        std::strcpy(message, "the decoder reports another size than the header");
        jpeg_destroy_decompress(&info);
        return false;
    }
    while (info.output_scanline < info.output_height) {
        const int y = static_cast<int>(info.output_scanline);
        JSAMPROW rows[1] = {cmyk ? cmykRow : reinterpret_cast<JSAMPROW>(rowBuffer)};
        jpeg_read_scanlines(&info, rows, 1);
        if (cmyk) {
            CmykRow(cmykRow, width, rowBuffer);
        } else {
            for (int x = 0; x < width; ++x) rowBuffer[x] &= 0xFFFFFFu;
        }
        if (!sink(y, rowBuffer)) {
            *stopped = true;
            jpeg_destroy_decompress(&info);
            return false;
        }
    }
    jpeg_finish_decompress(&info);
    std::strncpy(warning, error.warning, JMSG_LENGTH_MAX);
    jpeg_destroy_decompress(&info);
    return true;
}

}  // namespace

bool JpegDecodeRows(const uint8_t* data, size_t size, int width, int height,
                    const std::function<bool(int y, const uint32_t* row)>& sink, std::string* error,
                    std::string* warning) {
    std::vector<uint32_t> row(static_cast<size_t>(width));
    std::vector<uint8_t> cmyk(static_cast<size_t>(width) * 4);
    char message[JMSG_LENGTH_MAX] = "", complaint[JMSG_LENGTH_MAX] = "";
    bool stopped = false;
    if (DecodeJpegRows(data, size, width, height, sink, row.data(), cmyk.data(), message, complaint,
                       &stopped)) {
        if (warning && complaint[0] != '\0') *warning = complaint;
        return true;
    }
    *error = stopped ? std::string() : std::string("JPEG decoder: ") + message;
    return false;
}

struct CliJpegWriter {
    jpeg_compress_struct info;
    JpegError error;
    unsigned char* buffer = nullptr;
    unsigned long bytes = 0;
    bool failed = false;
};

CliJpegWriter* CliBeginJpeg(int width, int height, int quality, bool fullChroma) {
    CliJpegWriter* w = new CliJpegWriter;
    w->info.err = jpeg_std_error(&w->error.manager);
    w->error.manager.error_exit = OnJpegError;
    if (setjmp(w->error.jump)) {
        jpeg_destroy_compress(&w->info);
        free(w->buffer);
        delete w;
        return nullptr;
    }
    jpeg_create_compress(&w->info);
    jpeg_mem_dest(&w->info, &w->buffer, &w->bytes);
    w->info.image_width = static_cast<JDIMENSION>(width);
    w->info.image_height = static_cast<JDIMENSION>(height);
    w->info.input_components = 4;
    w->info.in_color_space = JCS_EXT_BGRX;
    jpeg_set_defaults(&w->info);
    jpeg_set_quality(&w->info, quality, TRUE);
    // The defaults sample the luma twice across and down for each chroma
    // sample (4:2:0); one to one keeps colour at full resolution (4:4:4).
    if (fullChroma) w->info.comp_info[0].h_samp_factor = w->info.comp_info[0].v_samp_factor = 1;
    jpeg_start_compress(&w->info, TRUE);
    return w;
}

bool CliJpegRow(CliJpegWriter* w, const uint32_t* row) {
    if (w->failed) return false;
    if (setjmp(w->error.jump)) {
        w->failed = true;
        return false;
    }
    JSAMPROW rows[1] = {reinterpret_cast<JSAMPROW>(const_cast<uint32_t*>(row))};
    jpeg_write_scanlines(&w->info, rows, 1);
    return true;
}

namespace {

bool FinishJpeg(CliJpegWriter* w) {
    if (w->failed || w->info.next_scanline != w->info.image_height) return false;
    if (setjmp(w->error.jump)) return false;
    jpeg_finish_compress(&w->info);
    return true;
}

}  // namespace

bool CliEndJpeg(CliJpegWriter* w, std::vector<uint8_t>* out) {
    out->clear();
    const bool ok = FinishJpeg(w);
    if (ok) out->assign(w->buffer, w->buffer + w->bytes);
    jpeg_destroy_compress(&w->info);
    free(w->buffer);
    delete w;
    return ok && !out->empty();
}

bool CliEncodeJpeg(const uint32_t* pixels, int width, int height, size_t stride, int quality,
                   std::vector<uint8_t>* out) {
    CliJpegWriter* w = CliBeginJpeg(width, height, quality, false);
    if (!w) return false;
    for (int y = 0; y < height; ++y) CliJpegRow(w, pixels + static_cast<size_t>(y) * stride);
    return CliEndJpeg(w, out);
}
