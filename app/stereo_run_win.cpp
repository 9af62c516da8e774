#include "app/stereo_run_win.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <ctime>

#include "app/alignment.h"
#include "app/compose.h"
#include "app/save_name.h"
#include "core/library_state.h"
#include "core/runtime.h"
#include "image/image_file.h"
#include "image/image_window.h"

namespace {

// Longest single sleep of the frame wait: a stop request does not wake the
// thread, so it is looked at least this often.
constexpr DWORD kMaxSleepMs = 10;

bool FileExists(const char* name, void*) {
    return GetFileAttributesA(name) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

int WaitFrame() {
    LARGE_INTEGER start, now;
    QueryPerformanceCounter(&start);
    for (;;) {
        QueryPerformanceCounter(&now);
        const double elapsed = static_cast<double>(now.QuadPart - start.QuadPart) * qubState.msPerCount;
        if (FrameTimeUp(elapsed)) return 0;
        QUB_PumpMessages();
        if (qubState.stopRequested.load()) return 1;
        // Sleep until input arrives or the frame is nearly over, instead of
        // spinning a core for the whole frame.
        const double left = 100.0 - elapsed;
        DWORD wait = left > kMaxSleepMs ? kMaxSleepMs : static_cast<DWORD>(left);
        if (wait > 0) MsgWaitForMultipleObjectsEx(0, nullptr, wait, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    }
}

int SaveStereoPair(int height, const uint32_t* left, const uint32_t* right, int half, int a,
                   int i, int slot) {
    const SavedPairSize size = SavedPairSizeFor(half, height, a, i);
    if (size.width <= 0 || size.height <= 0) {
        QUB_SetStatusText("Nothing to save");
        return 1;
    }
    const int created = QUB_CreateImage(slot, "savefile", -1, -1, size.width, size.height, 10);
    if (created != 0) {
        // A window the user opened in the save's slot is left alone: its
        // buffer may be smaller than the pair.
        char status[64];
        if (created == 1) snprintf(status, sizeof status, "Window %d busy: not saved", slot);
        else snprintf(status, sizeof status, "Save failed: no memory");
        QUB_SetStatusText(status);
        MessageBeep(MB_ICONERROR);
        return 1;
    }
    ComposeSavedPair(half, height, left, right, a, i, qubState.imageBits32[slot]);
    QUB_SelectImage(slot);
    QUB_DisplayImage(slot);

    const std::time_t now = std::time(nullptr);
    std::tm local = {};
    localtime_s(&local, &now);
    char name[kSaveNameBytes];
    int result = 2;
    if (ChooseSaveName(local, FileExists, nullptr, name, sizeof name) &&
        QUB_SaveImage(size.height, size.width, kFileJpeg, name) == 0) {
        result = 0;
    }
    // The status line holds about twenty characters: the time of the save,
    // which is in the file's name, tells the user which file it was.
    char status[64];
    if (result == 0) {
        const size_t plain = strlen("Dor-YYMMDD_HH_MM_SS");
        const char* suffix = strlen(name) > plain ? name + plain : "";
        snprintf(status, sizeof status, "Saved %02d:%02d:%02d%s", local.tm_hour, local.tm_min,
                 local.tm_sec, suffix);
    } else {
        snprintf(status, sizeof status, "Save failed!");
    }
    QUB_SetStatusText(status);
    if (result != 0) MessageBeep(MB_ICONERROR);
    if (qubState.images[slot].inUse) QUB_DestroyImage(slot);
    return result;
}
