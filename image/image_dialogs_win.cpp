// The "Load image file" and "Save as" dialogs and the folders and filter
// entries they remember for the life of the process.
#include <windows.h>
#include <commdlg.h>

#include <cstring>
#include <cwchar>

#include "core/library_state.h"
#include "core/text_convert_win.h"
#include "image/file_names.h"
#include "image/image_file.h"

namespace {

constexpr size_t kFilterUnits = 512;

// The chosen file's folder becomes the folder the dialog opens in next time.
void RememberFolder(const wchar_t* path, wchar_t* folder, char* folderA) {
    wchar_t full[kFileNameUnits];
    const DWORD n = GetFullPathNameW(path, kFileNameUnits, full, nullptr);
    if (n == 0 || n >= kFileNameUnits) return;
    full[QUB_FolderPartLength(full)] = L'\0';
    char narrow[kFolderUnits];
    if (!QUB_ToNarrowWhole(full, narrow, kFolderUnits)) return;
    std::wcscpy(folder, full);
    std::memcpy(folderA, narrow, sizeof narrow);
}

int ValidFilterIndex(int index, int count) { return (index >= 1 && index <= count) ? index : 1; }

}  // namespace

int QUB_OpenImageDialog(char* fileName) {
    LibraryState& s = qubState;
    wchar_t filters[kFilterUnits];
    QUB_BuildFilterString(kOpenFilterCount, filters, kFilterUnits);
    const int index = ValidFilterIndex(s.loadFilterIndex, kOpenFilterCount);
    wchar_t name[kFileNameUnits];
    std::wcscpy(name, kImageFilters[index - 1].pattern);
    wchar_t folder[kFolderUnits];
    QUB_ToWide(s.loadFolderA, folder, kFolderUnits);

    OPENFILENAMEW ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.lpstrFilter = filters;
    ofn.nFilterIndex = static_cast<DWORD>(index);
    ofn.lpstrFile = name;
    ofn.nMaxFile = kFileNameUnits;
    ofn.lpstrInitialDir = folder;
    ofn.lpstrTitle = L"Load image file";
    ofn.Flags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
    if (!GetOpenFileNameW(&ofn)) return 1;
    // A name the caller's narrow buffer cannot hold whole is refused like a
    // cancel: cut or with '?' in it, it would name another file.
    if (!QUB_ToNarrowWhole(name, fileName, kFileNameUnits)) return 1;
    s.loadFilterIndex = static_cast<int>(ofn.nFilterIndex);
    RememberFolder(name, s.loadFolder, s.loadFolderA);
    return 0;
}

int QUB_SaveImageDialog(char* fileName) {
    LibraryState& s = qubState;
    wchar_t filters[kFilterUnits];
    QUB_BuildFilterString(kSaveFilterCount, filters, kFilterUnits);
    wchar_t name[kFileNameUnits] = L"noname";
    wchar_t folder[kFolderUnits];
    QUB_ToWide(s.saveFolderA, folder, kFolderUnits);

    OPENFILENAMEW ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.lpstrFilter = filters;
    ofn.nFilterIndex = static_cast<DWORD>(ValidFilterIndex(s.saveFilterIndex, kSaveFilterCount));
    ofn.lpstrFile = name;
    ofn.nMaxFile = kFileNameUnits;
    ofn.lpstrInitialDir = folder;
    ofn.lpstrTitle = L"Save as";
    ofn.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST;
    if (!GetSaveFileNameW(&ofn)) return 1;
    if (!QUB_ToNarrowWhole(name, fileName, kFileNameUnits)) return 1;
    s.saveFilterIndex = static_cast<int>(ofn.nFilterIndex);
    RememberFolder(name, s.saveFolder, s.saveFolderA);
    return 0;
}
