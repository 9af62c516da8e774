// Picture file types, the extension rule and the names a save writes through.
// Platform-free: wchar_t texts (UTF-16 on Windows) in fixed-size buffers.
#pragma once
#include <cstddef>

constexpr int kFileNameUnits = 260;  // MAX_PATH
constexpr int kImageFileTypes = 5;   // ImageFileType 0-4

enum ImageFileType { kFileBmp = 0, kFileJpeg = 1, kFileGif = 2, kFilePng = 3, kFileTiff = 4 };

// MIME type of the encoder and the extension, indexed by ImageFileType.
extern const wchar_t* const kImageFileMime[kImageFileTypes];
extern const wchar_t* const kImageFileExtension[kImageFileTypes];

// Leaves `name` alone when its last four characters equal `extension`
// ignoring the case of ASCII letters, else appends `extension`. Returns false,
// leaving `name` unchanged, when the result would not fit `capacity` units
// with its terminator.
bool QUB_AppendExtensionTo(wchar_t* name, size_t capacity, const wchar_t* extension);

// A name for the file a save writes before it is renamed into place: in the
// folder of `path`, "~qub" with `tag` in hexadecimal and ".tmp". False when it
// does not fit `capacity` units.
bool QUB_TempSiblingName(const wchar_t* path, unsigned tag, wchar_t* out, size_t capacity);

// The dialogs' filter list: entries (description, pattern), numbered from 1.
struct FileFilter {
    const wchar_t* description;
    const wchar_t* pattern;
};
constexpr int kOpenFilterCount = 9;
constexpr int kSaveFilterCount = 6;  // the first six of the same list
extern const FileFilter kImageFilters[kOpenFilterCount];

// Writes the first `count` filters as "description\0pattern\0...\0\0" into
// `out`. False when they do not fit `capacity` units.
bool QUB_BuildFilterString(int count, wchar_t* out, size_t capacity);

// Length of the folder part of `path`: everything before the last backslash
// or slash, 0 when there is none. A root keeps its separator ("C:\\",
// "\\"), since "C:" alone names the drive's current folder.
size_t QUB_FolderPartLength(const wchar_t* path);
