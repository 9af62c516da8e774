// The text window procedure: keys, the popup menu and its commands. Painting
// and resizing live with the back buffer; typed characters go to line input.
#include <windows.h>
#include <windowsx.h>

#include "core/library_state.h"
#include "core/runtime.h"
#include "core/version.h"
#include "core/window_procs_win.h"
#include "text/text_internal_win.h"
#include "text/text_menu.h"
#include "text/text_window.h"

namespace {

constexpr const char* kAboutLine = QUB_PROGRAM_NAME " " QUB_PROGRAM_VERSION " - QUBLIB text window library\n";

bool InputWaiting() { return qubState.lineInputActive.load() != 0; }

void CmdSelect(int n) { QUB_SelectTextWindow(n); }
void CmdWindowInfo(int n) { QUB_ShowWindowInfo(n); }
void CmdConsole(int) { QUB_RunCommandConsole(); }
void CmdStartLog(int n) { QUB_StartLog(n); }
void CmdStopLog(int n) { QUB_StopLog(n); }
void CmdCopyLog(int n) { QUB_CopyLog(n); }
void CmdAbout(int n) { QUB_TextPrintIn(n, kAboutLine); }
void CmdDestroy(int n) { QUB_CloseTextWindow(n); }

struct TextCommand {
    int id;
    void (*run)(int n);
};

constexpr TextCommand kCommands[] = {
    {kTextCmdSelect, CmdSelect},     {kTextCmdWindowInfo, CmdWindowInfo},
    {kTextCmdConsole, CmdConsole},   {kTextCmdStartLog, CmdStartLog},
    {kTextCmdStopLog, CmdStopLog},   {kTextCmdCopyLog, CmdCopyLog},
    {kTextCmdAbout, CmdAbout},       {kTextCmdDestroy, CmdDestroy},
};

void ShowPopupMenu(HWND window, int n) {
    const LibraryState& s = qubState;
    if (InputWaiting() || s.pickActive.load()) return;
    const TextWindowRecord& r = s.textWindows[n];
    HMENU popup = CreatePopupMenu();
    for (int i = 0; i < kTextPopupCount; ++i) {
        const TextMenuEntry& entry = kTextPopup[i];
        if (entry.id == 0) {
            QUB_InsertMenuSeparator(popup, i);
            continue;
        }
        char text[512];
        QUB_TextMenuItemText(entry, s.instanceNumber, n, text, sizeof text);
        QUB_InsertMenuString(popup, i,
                             QUB_TextMenuItemState(entry, s.currentTextWindow == n, r.logState),
                             entry.id, text);
    }
    POINT at;
    GetCursorPos(&at);
    TrackPopupMenu(popup, TPM_RIGHTBUTTON, at.x, at.y, 0, window, nullptr);
    DestroyMenu(popup);
}

void OnKey(HWND window, UINT virtualKey, BOOL down, int, UINT) {
    if (!down) return;
    if (InputWaiting()) {
        QUB_TextOnInputKey(virtualKey);
        return;
    }
    const TextKeyResult key =
        QUB_TextWindowKey(static_cast<int>(virtualKey), GetKeyState(VK_CONTROL) < 0);
    switch (key.action) {
        case TextKeyAction::kNone: break;
        case TextKeyAction::kPostCommand:
            PostMessageW(window, WM_COMMAND, static_cast<WPARAM>(key.value), 0);
            break;
        case TextKeyAction::kPassToMain:
            PostMessageW(qubState.mainWindow, WM_KEYDOWN, static_cast<WPARAM>(key.value), 0);
            break;
        case TextKeyAction::kConsole: {
            const int n = QUB_TextSlotOfWindow(window);
            if (n < 0) break;
            QUB_SelectTextWindow(n);
            QUB_RunCommandConsole();
            break;
        }
    }
}

void OnChar(HWND, TCHAR unit, int) { QUB_TextOnInputChar(static_cast<wchar_t>(unit)); }

void OnCommand(HWND window, int id, HWND, UINT) {
    const int n = QUB_TextSlotOfWindow(window);
    if (n < 0) return;
    for (const TextCommand& command : kCommands) {
        if (command.id == id) {
            command.run(n);
            return;
        }
    }
}

void OnRightButton(HWND window, BOOL, int, int, UINT) {
    const int n = QUB_TextSlotOfWindow(window);
    if (n >= 0) ShowPopupMenu(window, n);
}

void OnClose(HWND window) {
    const int n = QUB_TextSlotOfWindow(window);
    if (n >= 0)
        QUB_CloseTextWindow(n);
    else
        DestroyWindow(window);
}

BOOL OnCreate(HWND, LPCREATESTRUCTW) { return TRUE; }
void OnDestroy(HWND) {}
void OnPaint(HWND window) { QUB_TextOnPaint(window); }
void OnSize(HWND window, UINT, int width, int height) { QUB_TextOnSize(window, width, height); }
void OnMove(HWND, int, int) { QUB_CollectSnapRects(); }

}  // namespace

LRESULT CALLBACK TextWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        HANDLE_MSG(window, WM_CREATE, OnCreate);
        HANDLE_MSG(window, WM_DESTROY, OnDestroy);
        HANDLE_MSG(window, WM_PAINT, OnPaint);
        HANDLE_MSG(window, WM_SIZE, OnSize);
        HANDLE_MSG(window, WM_MOVE, OnMove);
        HANDLE_MSG(window, WM_KEYDOWN, OnKey);
        HANDLE_MSG(window, WM_CHAR, OnChar);
        HANDLE_MSG(window, WM_COMMAND, OnCommand);
        HANDLE_MSG(window, WM_RBUTTONDOWN, OnRightButton);
        HANDLE_MSG(window, WM_CLOSE, OnClose);
        case WM_MOVING:
            QUB_SnapMovingRect(window, reinterpret_cast<RECT*>(lParam));
            return TRUE;
        case kTextMsgClose:
            return QUB_CloseTextWindow(static_cast<int>(wParam));
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
