// The companion's platform on Linux and other POSIX systems: files, folders
// and cores. Its codecs are libjpeg and libpng (codecs.h), as on Windows.
#include "cli/cli_platform.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <thread>

namespace {

constexpr uint64_t kMaxFileBytes = uint64_t{1} << 30;

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

int CliCores() {
    const unsigned n = std::thread::hardware_concurrency();
    return n == 0 ? 1 : static_cast<int>(n);
}

bool CliIsTerminal(FILE* stream) { return isatty(fileno(stream)) != 0; }
