// The toolbox's file, clipboard, zoom, size and clipping commands.
#include "image/toolbox_commands.h"

#include <cstdio>

#include "core/library_state.h"
#include "image/buffer_layout.h"
#include "image/file_names.h"
#include "image/image_clipboard.h"
#include "image/image_file.h"
#include "image/image_window.h"
#include "imgproc/image_drawing.h"
#include "imgproc/pick_tools.h"
#include "text/decimal.h"
#include "text/text_window.h"

namespace {

constexpr int kClosed = 1, kRefused = 2, kFailed = 3;

bool IsOpen(int n) { return n >= 0 && n < kImageSlots && qubState.images[n].inUse; }

// Text window 0 in front and current, opened at the default place and size
// when it is not open; then the prompt, and the number typed after it into
// `value`. False when Exit ended the input: a further prompt would hold the
// worker until Exit gives up waiting and terminates it.
bool AskNumber(const char* format, int n, int* value) {
    if (QUB_SelectTextWindow(0) == 0)
        QUB_ShowTextWindow();
    else
        QUB_OpenTextWindow(0, -1, -1, 400, 300);
    QUB_Printf(format, n);
    char line[kInputLineBytes] = "";
    QUB_InputLine(line);
    if (qubState.terminateState.load() != 0) return false;
    *value = QUB_ParseDecimal(line);
    return true;
}

// The file type of the save dialog's filter entry: "All Files" and the first
// entry save BMP.
int SaveTypeOfFilter(int filter) {
    switch (filter) {
        case 3: return kFileJpeg;
        case 4: return kFileGif;
        case 5: return kFilePng;
        case 6: return kFileTiff;
        default: return kFileBmp;
    }
}

}  // namespace

int QUB_CheckNewImageSize(int n, int width, int height) {
    if (!IsOpen(n)) return kClosed;
    const ImageWindowRecord& r = qubState.images[n];
    ZoomFit fit;
    if (QUB_FitZoom(QUB_AtLeastOne(width), QUB_AtLeastOne(height), r.zoom, QUB_ReadZoomLimits(), &fit) !=
        kZoomFitted)
        return 2;
    int64_t bytes = 0;
    if (!QUB_BufferBytes(QUB_AtLeastOne(width), QUB_AtLeastOne(height), r.depth, &bytes)) return 3;
    return 0;
}

int QUB_LoadCommand(int n) {
    if (!IsOpen(n)) return kClosed;
    const HWND window = qubState.images[n].window;
    QUB_SelectImage(n);
    char name[kFileNameUnits] = "";
    if (QUB_OpenImageDialog(name) != 0) return kRefused;
    if (!QUB_StillHoldsImage(n, window)) return kClosed;
    const int loaded = QUB_LoadImage(name, 0, 0);
    QUB_RepaintImage(n);
    return loaded == 0 ? 0 : kFailed;
}

int QUB_SaveAsCommand(int n) {
    if (!IsOpen(n)) return kClosed;
    const HWND window = qubState.images[n].window;
    QUB_SelectImage(n);
    char name[kFileNameUnits] = "";
    if (QUB_SaveImageDialog(name) != 0) return kRefused;
    if (!QUB_StillHoldsImage(n, window)) return kClosed;
    LibraryState& s = qubState;
    const int type = SaveTypeOfFilter(s.saveFilterIndex);
    const int quality = s.jpegQuality;
    if (type == kFileJpeg) s.jpegQuality = 100;
    const int saved = QUB_SaveImage(s.images[n].height, s.images[n].width, type, name);
    s.jpegQuality = quality;
    return saved == 0 ? 0 : kFailed;
}

int QUB_CutCommand(int n) {
    const int copied = QUB_CopyImage(n);
    if (copied == kClosed) return kClosed;
    // A picture that did not reach the clipboard is kept.
    if (copied != 0) return kFailed;
    QUB_ClearImage(n);
    QUB_RepaintImage(n);
    return 0;
}

int QUB_ZoomPromptCommand(int n) {
    if (!IsOpen(n)) return kClosed;
    const HWND window = qubState.images[n].window;
    int zoom = 0;
    if (!AskNumber("[%d] Zoom(%%)=", n, &zoom)) return kRefused;
    if (QUB_FindImageSlot(window) != n) return kClosed;
    return QUB_SetZoom(n, zoom);
}

int QUB_ResizePromptCommand(int n) {
    if (!IsOpen(n)) return kClosed;
    const HWND window = qubState.images[n].window;
    int width = 0, height = 0;
    if (!AskNumber("[%d] New x-size(pixel)=", n, &width)) return kRefused;
    if (QUB_FindImageSlot(window) != n) return kClosed;
    if (!AskNumber("[%d] New y-size(pixel)=", n, &height)) return kRefused;
    if (QUB_FindImageSlot(window) != n) return kClosed;
    // QUB_ResizeImage closes the window before it knows whether the new one
    // can be made: a size it would fail on leaves the picture instead.
    if (QUB_CheckNewImageSize(n, width, height) != 0) return kRefused;
    return QUB_ResizeImage(n, width, height);
}

int QUB_ClippingCommand(int n) {
    if (!IsOpen(n)) return kClosed;
    const HWND window = qubState.images[n].window;
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    if (QUB_PickRect(n, &x1, &y1, &x2, &y2) != kPickTaken) return kRefused;
    if (!QUB_StillHoldsImage(n, window)) return kClosed;
    char title[64];
    std::snprintf(title, sizeof title, "(%d,%d)-(%d,%d)", x1, y1, x2, y2);
    const ImageWindowRecord& source = qubState.images[n];
    const int depth = source.depth;
    const int clip = QUB_CreateImageInFreeSlot(title, 0, 0, x2 - x1 + 1, y2 - y1 + 1, 100, depth);
    if (clip < 0) return kFailed;
    if (QUB_FindImageSlot(window) != n) {  // the source went while the window was made
        QUB_DestroyImage(clip);
        return kClosed;
    }
    const ImageWindowRecord& target = qubState.images[clip];
    if (depth == 8) {
        RGBQUAD palette[256];
        GetDIBColorTable(source.memoryDC, 0, 256, palette);
        SetDIBColorTable(target.memoryDC, 0, 256, palette);
    }
    BitBlt(target.memoryDC, 0, 0, target.width, target.height, source.memoryDC, x1, y1, SRCCOPY);
    GdiFlush();
    QUB_DisplayImage(clip);
    return 0;
}
