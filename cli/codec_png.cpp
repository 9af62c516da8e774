// PNG through libpng's own row reader, for every platform that links it. Its
// simplified reader takes a 16-bit file without gamma information as linear
// light and brightens it (50 % grey becomes 186); here a file without gamma
// information is sRGB, as viewers take it, and one with a gAMA chunk is
// converted to sRGB.
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <vector>

#include <png.h>

#include "cli/codecs.h"

namespace {


struct PngSource {
    const uint8_t* data;
    size_t size, at;
    std::jmp_buf jump;
    char message[200];
    char warning[200];  // the first warning while the rows were read
    bool inRows;        // warnings before the rows are about chunks, not pixels
};

void OnPngError(png_structp png, png_const_charp text) {
    PngSource* s = static_cast<PngSource*>(png_get_error_ptr(png));
    std::snprintf(s->message, sizeof s->message, "%s", text);
    std::longjmp(s->jump, 1);
}

// Warnings about ancillary chunks (a "known incorrect sRGB profile" in many
// good files) change no pixel; those while the rows are read mean damage.
void OnPngWarning(png_structp png, png_const_charp text) {
    PngSource* s = static_cast<PngSource*>(png_get_error_ptr(png));
    if (s->inRows && s->warning[0] == '\0') std::snprintf(s->warning, sizeof s->warning, "%s", text);
}

void OnPngRead(png_structp png, png_bytep out, png_size_t count) {
    PngSource* s = static_cast<PngSource*>(png_get_io_ptr(png));
    if (count > s->size - s->at) png_error(png, "file cut short");
    std::memcpy(out, s->data + s->at, count);
    s->at += count;
}

// Straight colour and alpha to colour on black, as on a fresh window.
void OnBlack(uint32_t* pixels, size_t count) {
    for (size_t k = 0; k < count; ++k) {
        const uint32_t p = pixels[k], a = p >> 24;
        const uint32_t r = (p >> 16 & 255) * a / 255, g = (p >> 8 & 255) * a / 255,
                       b = (p & 255) * a / 255;
        pixels[k] = r << 16 | g << 8 | b;
    }
}

// No C++ object with a destructor lives in this frame: libpng's errors jump
// back to the setjmp.
bool DecodePngRows(PngSource* source, int width, int height, const CliCut* cuts, int count,
                   uint32_t* row) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, source, OnPngError, OnPngWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        std::strcpy(source->message, "out of memory");
        return false;
    }
    if (setjmp(source->jump)) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_set_read_fn(png, source, OnPngRead);
    png_read_info(png, info);
    if (static_cast<int>(png_get_image_width(png, info)) != width ||
        static_cast<int>(png_get_image_height(png, info)) != height)
        png_error(png, "the decoder reports another size than the header");
    png_set_expand(png);
    png_set_scale_16(png);
    png_set_gray_to_rgb(png);
    png_set_bgr(png);
    png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
    // The output is sRGB; a file without gamma information is taken to be
    // sRGB already, so it passes unchanged.
    png_set_alpha_mode(png, PNG_ALPHA_PNG, PNG_DEFAULT_sRGB);
    const int passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != static_cast<size_t>(width) * 4)
        png_error(png, "unexpected row layout");
    source->inRows = true;
    for (int pass = 0; pass < passes; ++pass)
        for (int y = 0; y < height; ++y) {
            if (pass > 0) GetCutsRow(cuts, count, y, row);
            png_read_row(png, reinterpret_cast<png_bytep>(row), nullptr);
            PutCutsRow(cuts, count, y, row);
        }
    source->inRows = false;
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

}  // namespace

bool PngDecodeCuts(const uint8_t* data, size_t size, int width, int height, const CliCut* cuts,
                   int count, std::string* error, std::string* warning) {
    std::vector<uint32_t> row(static_cast<size_t>(width));
    PngSource source = {data, size, 0, {}, "", "", false};
    if (!DecodePngRows(&source, width, height, cuts, count, row.data())) {
        *error = std::string("PNG decoder: ") + source.message;
        return false;
    }
    for (int c = 0; c < count; ++c) OnBlack(cuts[c].to->pixels.data(), cuts[c].to->pixels.size());
    if (warning && source.warning[0] != '\0') *warning = std::string("PNG: ") + source.warning;
    return true;
}
