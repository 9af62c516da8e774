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

// Decodes into `out`, already sized width x height. No C++ object with a
// destructor lives in this frame: a decoder error jumps back to the setjmp.
bool DecodeJpeg(const uint8_t* data, size_t size, CliPicture* out, char* message) {
    jpeg_decompress_struct info;
    JpegError error;
    info.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = OnJpegError;
    error.message[0] = '\0';
    uint8_t* cmykRow = nullptr;
    if (setjmp(error.jump)) {
        std::strncpy(message, error.message, JMSG_LENGTH_MAX);
        free(cmykRow);
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
    jpeg_read_header(&info, TRUE);
    const bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
    info.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGRX;
    jpeg_start_decompress(&info);
    if (static_cast<int>(info.output_width) != out->width ||
        static_cast<int>(info.output_height) != out->height) {
        std::strcpy(message, "the decoder reports another size than the header");
        jpeg_destroy_decompress(&info);
        return false;
    }
    if (cmyk) cmykRow = static_cast<uint8_t*>(malloc(static_cast<size_t>(out->width) * 4));
    while (info.output_scanline < info.output_height) {
        uint32_t* row = out->pixels.data() + static_cast<size_t>(info.output_scanline) * out->width;
        JSAMPROW rows[1] = {cmyk ? cmykRow : reinterpret_cast<JSAMPROW>(row)};
        jpeg_read_scanlines(&info, rows, 1);
        if (cmyk) CmykRow(cmykRow, out->width, row);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    free(cmykRow);
    if (!cmyk)
        for (uint32_t& p : out->pixels) p &= 0xFFFFFFu;
    return true;
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

bool CliDecode(const uint8_t* data, size_t size, int width, int height, CliPicture* out,
               std::string* error) {
    out->width = width;
    out->height = height;
    out->pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
    if (size >= 3 && data[0] == 0xFF && data[1] == 0xD8) {
        char message[JMSG_LENGTH_MAX] = "";
        if (DecodeJpeg(data, size, out, message)) return true;
        *error = std::string("JPEG decoder: ") + message;
        return false;
    }
    if (size >= 8 && std::memcmp(data, "\x89PNG", 4) == 0) return DecodePng(data, size, out, error);
    *error = "this build reads JPEG, PNG, MPO and JPS only";
    return false;
}

bool CliEncodeJpeg(const uint32_t* pixels, int width, int height, size_t stride, int quality,
                   std::vector<uint8_t>* out) {
    out->clear();
    jpeg_compress_struct info;
    JpegError error;
    info.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = OnJpegError;
    unsigned char* buffer = nullptr;
    unsigned long bytes = 0;
    if (setjmp(error.jump)) {
        jpeg_destroy_compress(&info);
        free(buffer);
        return false;
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, &buffer, &bytes);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = 4;
    info.in_color_space = JCS_EXT_BGRX;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row[1] = {reinterpret_cast<JSAMPROW>(const_cast<uint32_t*>(
            pixels + static_cast<size_t>(info.next_scanline) * stride))};
        jpeg_write_scanlines(&info, row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    out->assign(buffer, buffer + bytes);
    free(buffer);
    return !out->empty();
}

int CliCores() {
    const unsigned n = std::thread::hardware_concurrency();
    return n == 0 ? 1 : static_cast<int>(n);
}

bool CliIsTerminal(FILE* stream) { return isatty(fileno(stream)) != 0; }
