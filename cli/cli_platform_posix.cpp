// The companion's platform on Linux and other POSIX systems: the field's
// standard codecs (libjpeg, as libjpeg-turbo ships it, and libpng).
#include "cli/cli_platform.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csetjmp>
#include <cstring>
#include <functional>
#include <thread>

#include <jpeglib.h>
#include <png.h>

namespace {

constexpr uint64_t kMaxFileBytes = uint64_t{1} << 30;

struct JpegError {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void OnJpegError(j_common_ptr info) {
    JpegError* e = reinterpret_cast<JpegError*>(info->err);
    (*info->err->format_message)(info, e->message);
    std::longjmp(e->jump, 1);
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
                    uint8_t* cmykRow, char* message, bool* stopped) {
    jpeg_decompress_struct info;
    JpegError error;
    info.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = OnJpegError;
    error.message[0] = '\0';
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
    jpeg_destroy_decompress(&info);
    return true;
}

bool DecodeJpeg(const uint8_t* data, size_t size, int width, int height,
                const std::function<bool(int, const uint32_t*)>& sink, std::string* error) {
    std::vector<uint32_t> row(static_cast<size_t>(width));
    std::vector<uint8_t> cmyk(static_cast<size_t>(width) * 4);
    char message[JMSG_LENGTH_MAX] = "";
    bool stopped = false;
    if (DecodeJpegRows(data, size, width, height, sink, row.data(), cmyk.data(), message, &stopped))
        return true;
    *error = stopped ? std::string() : std::string("JPEG decoder: ") + message;
    return false;
}

bool DecodePng(const uint8_t* data, size_t size, CliPicture* out, std::string* error) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, data, size)) {
        *error = std::string("PNG decoder: ") + image.message;
        return false;
    }
    if (static_cast<int>(image.width) != out->width || static_cast<int>(image.height) != out->height) {
        png_image_free(&image);
        *error = "the decoder reports another size than the header";
        return false;
    }
    image.format = PNG_FORMAT_BGRA;
    if (!png_image_finish_read(&image, nullptr, out->pixels.data(), 0, nullptr)) {
        *error = std::string("PNG decoder: ") + image.message;
        return false;
    }
    // Transparent parts come out on black, as on a fresh window.
    for (uint32_t& p : out->pixels) {
        const uint32_t a = p >> 24;
        const uint32_t r = (p >> 16 & 255) * a / 255, g = (p >> 8 & 255) * a / 255,
                       b = (p & 255) * a / 255;
        p = r << 16 | g << 8 | b;
    }
    return true;
}

}  // namespace

bool CliReadFile(const std::string& path, std::vector<uint8_t>* bytes, std::string* error) {
    bytes->clear();
    const int fd = open(path.c_str(), O_RDONLY);
    struct stat st;
    if (fd < 0 || fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        if (fd >= 0) close(fd);
        *error = "cannot be read";
        return false;
    }
    if (static_cast<uint64_t>(st.st_size) > kMaxFileBytes) {
        close(fd);
        *error = "file too large for a picture";
        return false;
    }
    bytes->resize(static_cast<size_t>(st.st_size));
    size_t done = 0;
    while (done < bytes->size()) {
        const ssize_t got = read(fd, bytes->data() + done, bytes->size() - done);
        if (got <= 0) break;
        done += static_cast<size_t>(got);
    }
    close(fd);
    if (done != bytes->size()) {
        *error = "cannot be read whole";
        return false;
    }
    return true;
}

PlaceResult CliPlaceFile(const std::string& path, const std::vector<uint8_t>& bytes, bool replace,
                         std::string* error) {
    const std::string temp = path + ".~qub" + std::to_string(getpid()) + "-" +
                             std::to_string(std::hash<std::thread::id>()(std::this_thread::get_id()) & 0xFFFFFF) + ".tmp";
    const int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
    if (fd < 0) {
        *error = "cannot write " + path;
        return PlaceResult::Failed;
    }
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t wrote = write(fd, bytes.data() + done, bytes.size() - done);
        if (wrote <= 0) break;
        done += static_cast<size_t>(wrote);
    }
    const bool written = close(fd) == 0 && done == bytes.size();
    if (!written) {
        unlink(temp.c_str());
        *error = "cannot write " + path + " (disk full?)";
        return PlaceResult::Failed;
    }
    if (replace) {
        if (rename(temp.c_str(), path.c_str()) == 0) return PlaceResult::Placed;
    } else {
        // link() fails when the name exists, so two jobs never take one name.
        const int linked = link(temp.c_str(), path.c_str());
        const int cause = errno;
        unlink(temp.c_str());
        if (linked == 0) return PlaceResult::Placed;
        if (cause == EEXIST) return PlaceResult::Taken;
        *error = "cannot name " + path;
        return PlaceResult::Failed;
    }
    unlink(temp.c_str());
    *error = "cannot name " + path;
    return PlaceResult::Failed;
}

bool CliIsFolder(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool CliMakeFolder(const std::string& path) {
    return mkdir(path.c_str(), 0755) == 0 || CliIsFolder(path);
}

bool CliListFolder(const std::string& path, std::vector<std::string>* names) {
    DIR* dir = opendir(path.c_str());
    if (!dir) return false;
    while (const dirent* e = readdir(dir)) {
        const std::string name = e->d_name;
        if (name == "." || name == "..") continue;
        struct stat st;
        if (stat((path + "/" + name).c_str(), &st) == 0 && S_ISREG(st.st_mode)) names->push_back(name);
    }
    closedir(dir);
    return true;
}

bool CliDecodeRows(const uint8_t* data, size_t size, int width, int height,
                   const std::function<bool(int y, const uint32_t* row)>& row, std::string* error) {
    if (size >= 3 && data[0] == 0xFF && data[1] == 0xD8)
        return DecodeJpeg(data, size, width, height, row, error);
    return CliDecodeRowsOfWhole(data, size, width, height, row, error);
}

bool CliDecode(const uint8_t* data, size_t size, int width, int height, CliPicture* out,
               std::string* error) {
    out->width = width;
    out->height = height;
    out->pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
    if (size >= 3 && data[0] == 0xFF && data[1] == 0xD8) {
        uint32_t* pixels = out->pixels.data();
        return DecodeJpeg(data, size, width, height,
                          [pixels, width](int y, const uint32_t* row) {
                              std::memcpy(pixels + static_cast<size_t>(y) * width, row,
                                          static_cast<size_t>(width) * 4);
                              return true;
                          },
                          error);
    }
    if (size >= 8 && std::memcmp(data, "\x89PNG", 4) == 0) return DecodePng(data, size, out, error);
    *error = "this build reads JPEG, PNG, MPO and JPS only";
    return false;
}

struct CliJpegWriter {
    jpeg_compress_struct info;
    JpegError error;
    unsigned char* buffer = nullptr;
    unsigned long bytes = 0;
    bool failed = false;
};

CliJpegWriter* CliBeginJpeg(int width, int height, int quality) {
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
    CliJpegWriter* w = CliBeginJpeg(width, height, quality);
    if (!w) return false;
    for (int y = 0; y < height; ++y) CliJpegRow(w, pixels + static_cast<size_t>(y) * stride);
    return CliEndJpeg(w, out);
}

int CliCores() {
    const unsigned n = std::thread::hardware_concurrency();
    return n == 0 ? 1 : static_cast<int>(n);
}

bool CliIsTerminal(FILE* stream) { return isatty(fileno(stream)) != 0; }
