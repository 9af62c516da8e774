// Image files dropped on the main window, and files named on the command
// line, which open the same way: each in a new 32-bit image window of the
// picture's size, in the first free slot from where the previous file went.
//
// The GUI thread only asks GDI+ for the size; the worker creates, loads and
// shows the window through requests. The UTF-16 name travels with the load
// request, so that names outside the ANSI code page still open.
#include <windows.h>
#include <shellapi.h>
#include <gdiplus.h>

#include <cstdio>

#include "core/library_state.h"
#include "core/run_control.h"
#include "core/runtime.h"
#include "core/text_convert_win.h"
#include "core/worker.h"
#include "image/image_window.h"
#include "formats/stereo_plan.h"
#include "image/picture_read_win.h"

namespace {

constexpr int kPathUnits = 260;
constexpr int kCreated = 0, kSlotTaken = 1;

// The size from the file's header, without decoding it; a file the probe
// refuses is not opened, and the status line says why. A stereo file is
// sized as the pair it opens as, or says why it opens as a single picture.
void PictureSize(const wchar_t* path, UINT* width, UINT* height) {
    *width = *height = 0;
    const PictureFile file = QUB_ReadPictureFile(path);
    const PairKind kind = QUB_PairKindFromName(path);
    char status[96];
    if (kind != kPairNone) {
        const PairPlan plan = QUB_PlanPair(kind, file.bytes.data(), file.bytes.size());
        if (!plan.refused) {
            *width = static_cast<UINT>(plan.width);
            *height = static_cast<UINT>(plan.height);
        }
        if (plan.note) {
            snprintf(status, sizeof status, plan.refused ? "Not opened: %s %s" : "%.0s%s",
                     kind == kPairMpo ? "MPO" : "JPS", plan.note);
            QUB_SetStatusText(status);
        }
        return;
    }
    if (QUB_PictureSize(file, width, height)) return;
    if (file.read) {
        snprintf(status, sizeof status, "Not opened: %s %s", QUB_PictureFormatName(file.probe.format),
                 QUB_ProbeVerdictText(file.probe.verdict));
        QUB_SetStatusText(status);
    }
}

// Opens one file; `next` is the slot where the search for a free one starts.
void OpenInFreeSlot(const wchar_t* name, int* next) {
    wchar_t full[kPathUnits];
    wchar_t* filePart = nullptr;
    const DWORD length = GetFullPathNameW(name, kPathUnits, full, &filePart);
    if (length == 0 || length >= kPathUnits || !filePart || !*filePart) return;
    UINT width = 0, height = 0;
    PictureSize(full, &width, &height);
    char fullA[kPathUnits], fileA[kPathUnits];
    QUB_ToNarrow(full, fullA, kPathUnits);
    QUB_ToNarrow(filePart, fileA, kPathUnits);
    if (width == 0 || height == 0 || width > INT32_MAX || height > INT32_MAX) return;

    for (int n = *next; n < kImageSlots; ++n) {
        char title[kPathUnits + 8];
        snprintf(title, sizeof title, "%03d %s", n, fileA);
        const int r = QUB_RequestCreateImage(n, title, static_cast<int>(width),
                                             static_cast<int>(height), 32);
        if (r == kCreated) {
            QUB_RequestLoadImageWide(n, fullA, full);
            QUB_RequestDisplayImage(n);
            QUB_RestoreImage();
            *next = n + 1;
            return;
        }
        if (r != kSlotTaken) {
            *next = n + 1;
            return;
        }
    }
    *next = kImageSlots;
}

// Marks files as being opened for as long as it lives; a Start that arrived
// meanwhile (through the requesters' pump) is carried out at the end.
struct OpeningFiles {
    OpeningFiles() { ++qubState.filesOpening; }
    ~OpeningFiles() {
        if (--qubState.filesOpening == 0 && qubState.startDeferred) {
            qubState.startDeferred = 0;
            QUB_CommandStart();
        }
    }
    OpeningFiles(const OpeningFiles&) = delete;
    OpeningFiles& operator=(const OpeningFiles&) = delete;
};

}  // namespace

void QUB_HandleDroppedFiles(void* dropHandle) {
    OpeningFiles opening;
    HDROP drop = static_cast<HDROP>(dropHandle);
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    int next = 0;
    for (UINT k = 0; k < count; ++k) {
        // A name too long for the buffer would come back cut, and a cut name
        // can be another file; such a file is skipped instead.
        const UINT length = DragQueryFileW(drop, k, nullptr, 0);
        if (length == 0 || length >= kPathUnits) continue;
        wchar_t name[kPathUnits];
        if (DragQueryFileW(drop, k, name, kPathUnits) != length) continue;
        OpenInFreeSlot(name, &next);
    }
    DragFinish(drop);
}

void QUB_OpenCommandLineFiles() {
    OpeningFiles opening;
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv) return;
    int next = 0;
    for (int i = 1; i < argc; ++i) OpenInFreeSlot(argv[i], &next);
    LocalFree(argv);
}
