// The companion's platform on Linux and other POSIX systems: the field's
// standard codecs (libjpeg, as libjpeg-turbo ships it, and libpng).
#include "cli/cli_platform.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <functional>
#include <thread>

#include <jpeglib.h>
#include <jerror.h>
#include <png.h>

namespace {

constexpr uint64_t kMaxFileBytes = uint64_t{1} << 30;

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

bool DecodeJpeg(const uint8_t* data, size_t size, int width, int height,
                const std::function<bool(int, const uint32_t*)>& sink, std::string* error,
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

// ---------------------------------------------------------------------------
// PNG, row by row through libpng's own reader. Its simplified reader takes a
// 16-bit file without gamma information as linear light and brightens it
// (50 % grey becomes 186); here a file without gamma information is sRGB, as
// viewers take it, and one with a gAMA chunk is converted to sRGB.
// ---------------------------------------------------------------------------

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

// Row y of the picture into the cuts that cover it.
void PutRow(const CliCut* cuts, int count, int y, const uint32_t* row) {
    for (int c = 0; c < count; ++c) {
        CliPicture& to = *cuts[c].to;
        if (y >= cuts[c].y && y < cuts[c].y + to.height)
            std::memcpy(to.pixels.data() + static_cast<size_t>(y - cuts[c].y) * to.width,
                        row + cuts[c].x, static_cast<size_t>(to.width) * 4);
    }
}

// The inverse, for an interlaced PNG: its rows are completed over seven
// passes, and each pass must find what the earlier ones wrote. Gathering the
// row from the cuts before a pass spares a buffer of the whole picture.
void GetRow(const CliCut* cuts, int count, int y, uint32_t* row) {
    for (int c = 0; c < count; ++c) {
        const CliPicture& from = *cuts[c].to;
        if (y >= cuts[c].y && y < cuts[c].y + from.height)
            std::memcpy(row + cuts[c].x,
                        from.pixels.data() + static_cast<size_t>(y - cuts[c].y) * from.width,
                        static_cast<size_t>(from.width) * 4);
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
            if (pass > 0) GetRow(cuts, count, y, row);
            png_read_row(png, reinterpret_cast<png_bytep>(row), nullptr);
            PutRow(cuts, count, y, row);
        }
    source->inRows = false;
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

bool DecodePng(const uint8_t* data, size_t size, int width, int height, const CliCut* cuts,
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

}  // namespace

namespace {

// The reason of a failed file call, in the words of the companion's messages.
std::string Reason(int e) {
    switch (e) {
        case ENOENT: return "no such file";
        case EACCES:
        case EPERM: return "permission denied";
        case ELOOP: return "symbolic link loop";
        case ENOTDIR: return "a part of the path is not a folder";
        case EISDIR: return "is a folder";
        case ENAMETOOLONG: return "name too long";
        case ENOSPC: return "disk full";
        case EDQUOT: return "disk quota exceeded";
        case EROFS: return "read-only file system";
        case EMFILE:
        case ENFILE: return "too many open files";
        default: return std::strerror(e);
    }
}

std::string Cannot(const std::string& what, int e) { return what + " (" + Reason(e) + ")"; }

const char kNotRegular[] = "cannot be read (not a regular file)";

}  // namespace

bool CliReadFile(const std::string& path, std::vector<uint8_t>* bytes, std::string* error) {
    bytes->clear();
    // The type is checked before opening: open() of a FIFO waits for a
    // writer. O_NONBLOCK covers a FIFO put in the file's place in between;
    // fstat then refuses it.
    struct stat st;
    if (stat(path.c_str(), &st) != 0) {
        *error = Cannot("cannot be read", errno);
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        *error = kNotRegular;
        return false;
    }
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        *error = Cannot("cannot be read", errno);
        return false;
    }
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        *error = kNotRegular;
        return false;
    }
    if (static_cast<uint64_t>(st.st_size) > kMaxFileBytes) {
        close(fd);
        *error = "file too large for a picture";
        return false;
    }
    bytes->resize(static_cast<size_t>(st.st_size));
    size_t done = 0;
    int cause = 0;
    while (done < bytes->size()) {
        const ssize_t got = read(fd, bytes->data() + done, bytes->size() - done);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) {
            cause = got < 0 ? errno : 0;
            break;
        }
        done += static_cast<size_t>(got);
    }
    close(fd);
    if (done != bytes->size()) {
        *error = cause ? Cannot("cannot be read whole", cause) : "cannot be read whole (it got shorter)";
        return false;
    }
    return true;
}

bool CliFileIdentity(const std::string& path, bool follow, CliFileId* id) {
    struct stat st;
    if ((follow ? stat(path.c_str(), &st) : lstat(path.c_str(), &st)) != 0) return false;
    id->volume = static_cast<uint64_t>(st.st_dev);
    id->index = static_cast<uint64_t>(st.st_ino);
    return true;
}

bool CliWriteTemp(const std::string& beside, const std::vector<uint8_t>& bytes, std::string* temp,
                  std::string* error) {
    static std::atomic<unsigned> counter{0};
    *temp = beside + ".~qub" + std::to_string(getpid()) + "-" + std::to_string(++counter) + ".tmp";
    // O_EXCL never follows a link planted under the temporary name.
    const int fd = open(temp->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) {
        *error = Cannot("cannot write " + beside, errno);
        return false;
    }
    size_t done = 0;
    int cause = 0;
    while (done < bytes.size()) {
        const ssize_t wrote = write(fd, bytes.data() + done, bytes.size() - done);
        if (wrote < 0 && errno == EINTR) continue;
        if (wrote <= 0) {
            cause = wrote < 0 ? errno : ENOSPC;
            break;
        }
        done += static_cast<size_t>(wrote);
    }
    if (close(fd) != 0 && cause == 0) cause = errno;
    if (cause != 0) {
        unlink(temp->c_str());
        *error = Cannot("cannot write " + beside, cause);
        return false;
    }
    return true;
}

PlaceResult CliNameTemp(const std::string& temp, const std::string& path, bool replace,
                        std::string* error) {
    if (replace) {
        if (rename(temp.c_str(), path.c_str()) == 0) return PlaceResult::Placed;
        *error = Cannot("cannot write " + path, errno);
        return PlaceResult::Failed;
    }
    // link() fails when the name exists, so two jobs never take one name.
    if (link(temp.c_str(), path.c_str()) == 0) {
        unlink(temp.c_str());
        return PlaceResult::Placed;
    }
    int cause = errno;
#ifdef RENAME_NOREPLACE
    // File systems without hard links (FAT, some network ones) may still
    // rename without replacing.
    if (cause == EPERM || cause == EOPNOTSUPP || cause == EMLINK) {
        if (renameat2(AT_FDCWD, temp.c_str(), AT_FDCWD, path.c_str(), RENAME_NOREPLACE) == 0)
            return PlaceResult::Placed;
        if (errno != EINVAL && errno != ENOSYS) cause = errno;
    }
#endif
    if (cause == EEXIST) return PlaceResult::Taken;
    *error = Cannot("cannot write " + path, cause);
    return PlaceResult::Failed;
}

void CliRemoveFile(const std::string& path) { unlink(path.c_str()); }

bool CliIsFolder(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool CliMakeFolder(const std::string& path, std::string* error) {
    // Each parent in turn, from the first below the root ("/a" makes "/a").
    for (size_t slash = path.find('/', 1); ; slash = path.find('/', slash + 1)) {
        const std::string part = path.substr(0, slash);
        if (!part.empty() && part.back() != '/' && mkdir(part.c_str(), 0755) != 0 &&
            errno != EEXIST) {
            *error = Reason(errno);
            return false;
        }
        if (slash == std::string::npos) break;
    }
    if (CliIsFolder(path)) return true;
    *error = "a file has that name";
    return false;
}

bool CliListFolder(const std::string& path, std::vector<std::string>* names,
                   std::vector<CliBrokenEntry>* broken, std::string* error) {
    DIR* dir = opendir(path.c_str());
    if (!dir) {
        *error = Reason(errno);
        return false;
    }
    while (const dirent* e = readdir(dir)) {
        const std::string name = e->d_name;
        if (name == "." || name == "..") continue;
        const std::string full = path + "/" + name;
        struct stat st;
        if (stat(full.c_str(), &st) == 0) {
            if (S_ISREG(st.st_mode))
                names->push_back(name);
            else if (!S_ISDIR(st.st_mode))
                broken->push_back({name, "not a regular file"});
            continue;
        }
        // Listed but not there: a link whose target is missing.
        const int cause = errno;
        struct stat link;
        const bool dangling = cause == ENOENT && lstat(full.c_str(), &link) == 0 && S_ISLNK(link.st_mode);
        broken->push_back({name, dangling ? "dangling link" : Reason(cause)});
    }
    closedir(dir);
    return true;
}

bool CliDecodeRows(const uint8_t* data, size_t size, int width, int height,
                   const std::function<bool(int y, const uint32_t* row)>& row, std::string* error,
                   std::string* warning) {
    if (size >= 3 && data[0] == 0xFF && data[1] == 0xD8)
        return DecodeJpeg(data, size, width, height, row, error, warning);
    return CliDecodeRowsOfWhole(data, size, width, height, row, error, warning);
}

bool CliDecodeCuts(const uint8_t* data, size_t size, int width, int height, const CliCut* cuts,
                   int count, std::string* error, std::string* warning) {
    for (int c = 0; c < count; ++c)
        cuts[c].to->pixels.assign(
            static_cast<size_t>(cuts[c].to->width) * static_cast<size_t>(cuts[c].to->height), 0);
    if (size >= 3 && data[0] == 0xFF && data[1] == 0xD8)
        return DecodeJpeg(data, size, width, height,
                          [cuts, count](int y, const uint32_t* row) {
                              PutRow(cuts, count, y, row);
                              return true;
                          },
                          error, warning);
    if (size >= 8 && std::memcmp(data, "\x89PNG", 4) == 0)
        return DecodePng(data, size, width, height, cuts, count, error, warning);
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
