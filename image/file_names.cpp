#include "image/file_names.h"

#include <cwchar>

const wchar_t* const kImageFileMime[kImageFileTypes] = {
    L"image/bmp", L"image/jpeg", L"image/gif", L"image/png", L"image/tiff"};
const wchar_t* const kImageFileExtension[kImageFileTypes] = {L".bmp", L".jpg", L".gif", L".png",
                                                             L".tif"};

const FileFilter kImageFilters[kOpenFilterCount] = {
    {L"All Files (*.*)", L"*.*"},
    {L"BMP (*.BMP;*.RLE;*.DIB)", L"*.BMP;*.RLE;*.DIB"},
    {L"JPEG (*.JPG;*.JPEG;*.JPE)", L"*.JPG;*.JPEG;*.JPE"},
    {L"CompuServe GIF (*.GIF)", L"*.GIF"},
    {L"PNG (*.PNG)", L"*.PNG"},
    {L"TIFF (*.TIF;*.TIFF)", L"*.TIF;*.TIFF"},
    {L"WMF (*.WMF)", L"*.WMF"},
    {L"EMF (*.EMF)", L"*.EMF"},
    {L"ICO (*.ICO)", L"*.ICO"},
};

namespace {

wchar_t FoldAscii(wchar_t c) { return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c + 32) : c; }

bool EndsWithIgnoringCase(const wchar_t* name, size_t length, const wchar_t* tail, size_t tailLength) {
    if (length < tailLength) return false;
    const wchar_t* end = name + (length - tailLength);
    for (size_t i = 0; i < tailLength; ++i)
        if (FoldAscii(end[i]) != FoldAscii(tail[i])) return false;
    return true;
}

bool Append(wchar_t* out, size_t capacity, size_t* used, const wchar_t* text) {
    const size_t n = std::wcslen(text);
    if (*used + n + 1 > capacity) return false;
    std::wmemcpy(out + *used, text, n + 1);
    *used += n;
    return true;
}

}  // namespace

bool QUB_AppendExtensionTo(wchar_t* name, size_t capacity, const wchar_t* extension) {
    const size_t length = std::wcslen(name);
    const size_t extLength = std::wcslen(extension);
    // The rule compares the last four characters, whatever the extension's length.
    const size_t compared = 4;
    if (length >= compared && extLength == compared &&
        EndsWithIgnoringCase(name, length, extension, compared))
        return true;
    if (length + extLength + 1 > capacity) return false;
    std::wmemcpy(name + length, extension, extLength + 1);
    return true;
}

size_t QUB_FolderPartLength(const wchar_t* path) {
    size_t folder = 0;
    for (size_t i = 0; path[i]; ++i)
        if (path[i] == L'\\' || path[i] == L'/') folder = i;
    const bool driveRoot = folder == 2 && path[1] == L':';
    const bool root = folder == 0 && (path[0] == L'\\' || path[0] == L'/');
    return (driveRoot || root) ? folder + 1 : folder;
}

bool QUB_TempSiblingName(const wchar_t* path, unsigned tag, wchar_t* out, size_t capacity) {
    size_t keep = 0;
    for (size_t i = 0; path[i]; ++i)
        if (path[i] == L'\\' || path[i] == L'/' || path[i] == L':') keep = i + 1;
    if (keep + 1 > capacity) return false;
    std::wmemcpy(out, path, keep);
    out[keep] = L'\0';
    wchar_t tail[32];
    std::swprintf(tail, 32, L"~qub%08x.tmp", tag);
    size_t used = keep;
    return Append(out, capacity, &used, tail);
}

bool QUB_BuildFilterString(int count, wchar_t* out, size_t capacity) {
    if (count < 0 || count > kOpenFilterCount || capacity < 2) return false;
    size_t used = 0;
    for (int i = 0; i < count; ++i) {
        // Each Append leaves a terminator, which becomes the separator.
        if (!Append(out, capacity, &used, kImageFilters[i].description)) return false;
        ++used;
        if (!Append(out, capacity, &used, kImageFilters[i].pattern)) return false;
        ++used;
    }
    if (used + 1 > capacity) return false;
    out[used] = L'\0';
    return true;
}
