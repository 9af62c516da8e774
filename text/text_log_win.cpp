// Log files of text windows: start, pause, copy to the clipboard, close.
//
// The stream is written by whichever thread prints, and Exit closes all
// streams from the GUI thread while the worker may still be printing. A tiny
// per-window guard (held only around one write or one close) keeps a close
// from pulling the stream out from under a write.
#include <cstdio>
#include <cwchar>

#include "core/library_state.h"
#include "core/runtime.h"
#include "text/text_internal_win.h"
#include "text/text_window.h"

namespace {

constexpr int kLogNameUnits = 520;

struct LogGuard {
    std::atomic<int>& busy;
    explicit LogGuard(TextWindowRecord& r) : busy(r.logBusy) {
        while (busy.exchange(1) != 0) Sleep(0);
    }
    ~LogGuard() { busy.store(0); }
    LogGuard(const LogGuard&) = delete;
    LogGuard& operator=(const LogGuard&) = delete;
};

// The log of window n lives in the start folder, whatever folder is current
// later. The UTF-16 folder is used so that no character of it is lost to the
// ANSI code page; a name that does not fit is refused rather than cut.
bool LogName(int n, wchar_t (&name)[kLogNameUnits]) {
    const LibraryState& s = qubState;
    const int written = swprintf(name, kLogNameUnits, L"%lsQUBLIB%d%d.LOG", s.startFolder,
                                 s.instanceNumber, n);
    return written > 0 && written < kLogNameUnits;
}

FILE* OpenLog(int n, const wchar_t* mode) {
    wchar_t name[kLogNameUnits];
    if (!LogName(n, name)) return nullptr;
    FILE* file = nullptr;
    if (_wfopen_s(&file, name, mode) != 0) return nullptr;
    return file;
}

void CloseStream(TextWindowRecord& r) {
    LogGuard guard(r);
    if (r.logFile) fclose(r.logFile);
    r.logFile = nullptr;
}

// The whole file as CF_TEXT, with a terminating zero. The clipboard is open.
int PutFileOnClipboard(FILE* file) {
    EmptyClipboard();
    long long size = -1;
    if (_fseeki64(file, 0, SEEK_END) == 0) size = _ftelli64(file);
    rewind(file);
    if (size < 0 || static_cast<unsigned long long>(size) >= SIZE_MAX) return 3;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, static_cast<SIZE_T>(size) + 1);
    char* bytes = block ? static_cast<char*>(GlobalLock(block)) : nullptr;
    if (bytes == nullptr) {
        if (block) GlobalFree(block);
        return 3;
    }
    const size_t read = fread(bytes, 1, static_cast<size_t>(size), file);
    bytes[read] = '\0';
    GlobalUnlock(block);
    // The clipboard owns the block only once it has taken it; a refusal is
    // reported, not counted as a copy.
    if (SetClipboardData(CF_TEXT, block) == nullptr) {
        GlobalFree(block);
        return 1;
    }
    return 0;
}

}  // namespace

void QUB_TextLogWrite(TextWindowRecord& r, const char* text, bool lineEnd) {
    LogGuard guard(r);
    if (r.logState != 1 || r.logFile == nullptr) return;
    fputs(text, r.logFile);
    if (lineEnd) fputc('\n', r.logFile);
}

void QUB_TextCloseLog(TextWindowRecord& r) {
    CloseStream(r);
    r.logState = 0;
}

int QUB_StartLog(int n) {
    TextWindowRecord* r = QUB_OpenTextRecord(n);
    if (r == nullptr) return 3;
    if (r->logState == 1) return 1;
    if (r->logState == 2 && r->logFile) {
        r->logState = 1;
        return 0;
    }
    FILE* file = OpenLog(n, L"wt");
    if (file == nullptr) {
        MessageBoxW(nullptr, L"Can't create file for LOG!", L"Error", MB_OK);
        return 2;
    }
    {
        LogGuard guard(*r);
        r->logFile = file;
    }
    r->logState = 1;
    return 0;
}

int QUB_StopLog(int n) {
    TextWindowRecord* r = QUB_OpenTextRecord(n);
    if (r == nullptr) return 2;
    if (r->logState == 0) return 1;
    r->logState = 2;
    return 0;
}

int QUB_CopyLog(int n) {
    TextWindowRecord* r = QUB_OpenTextRecord(n);
    if (r == nullptr) return 4;
    // The text window owns the clipboard while it is filled: with no owner,
    // EmptyClipboard leaves none and Windows refuses the data.
    if (!QUB_OpenClipboard(r->window)) return 1;
    // Closing the stream puts everything written so far into the file.
    if (r->logState != 0) CloseStream(*r);
    int result = 2;
    if (FILE* file = OpenLog(n, L"rb")) {
        result = PutFileOnClipboard(file);
        fclose(file);
    }
    // The clipboard is given back before any message box: a modal box must
    // not keep every other program from the clipboard.
    CloseClipboard();
    if (r->logState != 0) {
        FILE* again = OpenLog(n, L"at");
        LogGuard guard(*r);
        r->logFile = again;
        // A log that cannot be reopened has ended; it is not kept as running
        // with nowhere to write.
        if (again == nullptr) r->logState = 0;
    }
    if (result == 2) QUB_Pause("Can't open LOG file!");
    if (result == 3) QUB_Pause("No enough memory (copy log)");
    return result;
}

void QUB_CloseAllLogs() {
    for (TextWindowRecord& r : qubState.textWindows) {
        if (r.inUse && r.logState != 0) QUB_TextCloseLog(r);
    }
}
