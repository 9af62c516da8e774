// The companion's platform on Windows: files by UTF-16 name, folders and
// cores. Its codecs are libjpeg and libpng (codecs.h), or GDI+ in the i686
// build (codec_gdiplus_win.cpp).
#include "cli/cli_platform.h"

#include <windows.h>
#include <io.h>

namespace {

constexpr ULONGLONG kMaxFileBytes = 1ull << 30;

std::wstring Wide(const std::string& utf8) {
    if (utf8.empty()) return std::wstring();
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()),
                                      nullptr, 0);
    std::wstring w(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &w[0], n);
    return w;
}

std::string Utf8(const wchar_t* wide) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 1) return std::string();
    std::string s(static_cast<size_t>(n - 1), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, &s[0], n, nullptr, nullptr);
    return s;
}

// A long path through \\?\ so that deep folders work; relative ones as given.
std::wstring PathFor(const std::string& utf8) {
    std::wstring w = Wide(utf8);
    for (wchar_t& c : w)
        if (c == L'/') c = L'\\';
    return w;
}

}  // namespace

namespace {

// The reason of a failed file call, in the words of the companion's messages.
std::string Reason(DWORD e) {
    switch (e) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_NAME: return "no such file";
        case ERROR_ACCESS_DENIED: return "permission denied";
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION: return "in use by another program";
        case ERROR_CANT_RESOLVE_FILENAME: return "symbolic link loop";
        case ERROR_DIRECTORY: return "a part of the path is not a folder";
        case ERROR_FILENAME_EXCED_RANGE: return "name too long";
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL: return "disk full";
        case ERROR_WRITE_PROTECT: return "write-protected";
        default: return "Windows error " + std::to_string(e);
    }
}

std::string Cannot(const std::string& what, DWORD e) { return what + " (" + Reason(e) + ")"; }

const char kNotRegular[] = "cannot be read (not a regular file)";

}  // namespace

bool CliReadFile(const std::string& path, std::vector<uint8_t>* bytes, std::string* error) {
    bytes->clear();
    const std::wstring name = PathFor(path);
    const DWORD attributes = GetFileAttributesW(name.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        *error = Cannot("cannot be read", GetLastError());
        return false;
    }
    if (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) {
        *error = kNotRegular;
        return false;
    }
    HANDLE f = CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (f == INVALID_HANDLE_VALUE) {
        *error = Cannot("cannot be read", GetLastError());
        return false;
    }
    // A pipe or a console has another type than a file on a disk.
    if (GetFileType(f) != FILE_TYPE_DISK) {
        CloseHandle(f);
        *error = kNotRegular;
        return false;
    }
    LARGE_INTEGER size = {};
    if (!GetFileSizeEx(f, &size) || static_cast<ULONGLONG>(size.QuadPart) > kMaxFileBytes) {
        CloseHandle(f);
        *error = "file too large for a picture";
        return false;
    }
    bytes->resize(static_cast<size_t>(size.QuadPart));
    size_t done = 0;
    DWORD cause = 0;
    while (done < bytes->size()) {
        const size_t left = bytes->size() - done;
        DWORD got = 0;
        if (!ReadFile(f, bytes->data() + done, static_cast<DWORD>(left < (1u << 24) ? left : (1u << 24)),
                      &got, nullptr) ||
            got == 0) {
            cause = got == 0 ? 0 : GetLastError();
            break;
        }
        done += got;
    }
    CloseHandle(f);
    if (done != bytes->size()) {
        *error = cause ? Cannot("cannot be read whole", cause) : "cannot be read whole (it got shorter)";
        return false;
    }
    return true;
}

bool CliFileIdentity(const std::string& path, bool follow, CliFileId* id) {
    // No access asked: only the file's information is read, whoever holds it.
    HANDLE f = CreateFileW(PathFor(path).c_str(), 0,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING,
                           FILE_FLAG_BACKUP_SEMANTICS | (follow ? 0 : FILE_FLAG_OPEN_REPARSE_POINT),
                           nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    BY_HANDLE_FILE_INFORMATION info;
    const bool ok = GetFileInformationByHandle(f, &info) != 0;
    CloseHandle(f);
    if (!ok) return false;
    id->volume = info.dwVolumeSerialNumber;
    id->index = static_cast<uint64_t>(info.nFileIndexHigh) << 32 | info.nFileIndexLow;
    return true;
}

bool CliWriteTemp(const std::string& beside, const std::vector<uint8_t>& bytes, std::string* temp,
                  std::string* error) {
    static LONG counter = 0;
    *temp = beside + ".~qub" + std::to_string(GetCurrentProcessId()) + "-" +
            std::to_string(InterlockedIncrement(&counter)) + ".tmp";
    const std::wstring name = PathFor(*temp);
    HANDLE f = CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) {
        *error = Cannot("cannot write " + beside, GetLastError());
        return false;
    }
    size_t done = 0;
    DWORD cause = 0;
    while (cause == 0 && done < bytes.size()) {
        const size_t left = bytes.size() - done;
        const DWORD want = static_cast<DWORD>(left < (1u << 24) ? left : (1u << 24));
        DWORD wrote = 0;
        if (!WriteFile(f, bytes.data() + done, want, &wrote, nullptr) || wrote != want)
            cause = GetLastError() ? GetLastError() : static_cast<DWORD>(ERROR_DISK_FULL);
        done += wrote;
    }
    if (!CloseHandle(f) && cause == 0) cause = GetLastError();
    if (cause != 0) {
        DeleteFileW(name.c_str());
        *error = Cannot("cannot write " + beside, cause);
        return false;
    }
    return true;
}

PlaceResult CliNameTemp(const std::string& temp, const std::string& path, bool replace,
                        std::string* error) {
    // Without MOVEFILE_REPLACE_EXISTING the rename fails when the name is
    // taken, atomically: two jobs never get one name.
    if (MoveFileExW(PathFor(temp).c_str(), PathFor(path).c_str(),
                    replace ? MOVEFILE_REPLACE_EXISTING : 0))
        return PlaceResult::Placed;
    const DWORD cause = GetLastError();
    if (!replace && (cause == ERROR_ALREADY_EXISTS || cause == ERROR_FILE_EXISTS))
        return PlaceResult::Taken;
    *error = Cannot("cannot write " + path, cause);
    return PlaceResult::Failed;
}

void CliRemoveFile(const std::string& path) { DeleteFileW(PathFor(path).c_str()); }

bool CliIsFolder(const std::string& path) {
    const DWORD a = GetFileAttributesW(PathFor(path).c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool CliMakeFolder(const std::string& path, std::string* error) {
    // Each parent in turn; "C:" and the "\\server\share" of a network path
    // are never made, and a failure there shows in the next part.
    const std::wstring w = PathFor(path);
    size_t first = 1;
    if (w.compare(0, 2, L"\\\\") == 0) {
        first = w.find(L'\\', 2);
        if (first != std::wstring::npos) first = w.find(L'\\', first + 1);
    }
    for (size_t sep = first == std::wstring::npos ? first : w.find(L'\\', first);;
         sep = w.find(L'\\', sep + 1)) {
        const std::wstring part = w.substr(0, sep);
        if (!part.empty() && part.back() != L'\\' && part.back() != L':' &&
            !CreateDirectoryW(part.c_str(), nullptr)) {
            const DWORD cause = GetLastError();
            // A drive or share answers "access denied" rather than "exists".
            if (cause != ERROR_ALREADY_EXISTS && !CliIsFolder(Utf8(part.c_str()))) {
                *error = Reason(cause);
                return false;
            }
        }
        if (sep == std::wstring::npos) break;
    }
    if (CliIsFolder(path)) return true;
    *error = "a file has that name";
    return false;
}

bool CliListFolder(const std::string& path, std::vector<std::string>* names,
                   std::vector<CliBrokenEntry>* broken, std::string* error) {
    WIN32_FIND_DATAW found;
    const std::wstring folder = PathFor(path);
    HANDLE h = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (h == INVALID_HANDLE_VALUE) {
        const DWORD cause = GetLastError();
        if (cause == ERROR_FILE_NOT_FOUND) return true;
        *error = Reason(cause);
        return false;
    }
    do {
        const DWORD a = found.dwFileAttributes;
        if (a & FILE_ATTRIBUTE_DIRECTORY) continue;
        const std::string name = Utf8(found.cFileName);
        if (a & FILE_ATTRIBUTE_REPARSE_POINT) {
            // A link: listed whether or not its target is there.
            const std::wstring full = folder + L"\\" + found.cFileName;
            HANDLE f = CreateFileW(full.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                   OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
            if (f == INVALID_HANDLE_VALUE) {
                const DWORD cause = GetLastError();
                broken->push_back({name, cause == ERROR_FILE_NOT_FOUND || cause == ERROR_PATH_NOT_FOUND
                                             ? "dangling link"
                                             : Reason(cause)});
                continue;
            }
            CloseHandle(f);
        }
        if (a & FILE_ATTRIBUTE_DEVICE)
            broken->push_back({name, "not a regular file"});
        else
            names->push_back(name);
    } while (FindNextFileW(h, &found));
    FindClose(h);
    return true;
}

int CliCores() {
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    return info.dwNumberOfProcessors > 0 ? static_cast<int>(info.dwNumberOfProcessors) : 1;
}

bool CliIsTerminal(FILE* stream) { return _isatty(_fileno(stream)) != 0; }
