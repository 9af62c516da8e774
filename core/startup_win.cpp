// Process start-up and shut-down: instance limit, GDI+, window classes, the
// main window and the message loop.
#include <windows.h>
#include <shellapi.h>
#include <gdiplus.h>

#include <cstdio>
#include <cwchar>

#include "core/library_state.h"
#include "core/main_layout.h"
#include "core/main_menu.h"
#include "core/run_control.h"
#include "core/runtime.h"
#include "core/text_convert_win.h"
#include "core/window_procs_win.h"

LibraryState qubState;

namespace {

constexpr int kMaxInstances = 10;

void MainClassName(int instanceNumber, wchar_t (&name)[11]) {
    swprintf(name, 11, L"qublib_mw%d", instanceNumber);
}

// First instance number 0-9 without a main window; -1 when all are taken.
int FindFreeInstanceNumber() {
    for (int i = 0; i < kMaxInstances; ++i) {
        wchar_t name[11];
        MainClassName(i, name);
        if (!FindWindowW(name, nullptr)) return i;
    }
    return -1;
}

void ResetWindowTables() {
    LibraryState& s = qubState;
    for (int i = 0; i < kImageSlots; ++i) s.images[i].inUse = 0;
    for (int i = 0; i < kTextSlots; ++i) s.textWindows[i].inUse = 0;
    for (int i = 0; i < kHistoryDepth; ++i) {
        s.imageHistory[i] = 0;
        s.textHistory[i] = 0;
    }
}

void RecordFolders() {
    LibraryState& s = qubState;
    GetCurrentDirectoryW(kFolderUnits, s.loadFolder);
    GetCurrentDirectoryW(kFolderUnits, s.saveFolder);
    GetCurrentDirectoryW(kFolderUnits, s.startFolder);
    size_t n = wcslen(s.startFolder);
    if ((n == 0 || s.startFolder[n - 1] != L'\\') && n + 1 < kFolderUnits) {
        s.startFolder[n] = L'\\';
        s.startFolder[n + 1] = L'\0';
    }
    QUB_ToNarrow(s.loadFolder, s.loadFolderA, kFolderUnits);
    QUB_ToNarrow(s.saveFolder, s.saveFolderA, kFolderUnits);
    QUB_ToNarrow(s.startFolder, s.startFolderA, kFolderUnits);
}

void SetOtherFirstValues() {
    LibraryState& s = qubState;
    s.lastLine[0] = '\0';
    for (COLORREF& c : s.customColours) c = 0;
    s.textX = s.textY = s.textLeft = 0;
    s.qub_tttc = 0xFFFFFF;
    s.currentImage = 0;
    s.currentTextWindow = 0;
    s.requestDone.store(1);
    s.requestCode.store(0);
}

struct WindowClassEntry {
    const wchar_t* name;
    WNDPROC proc;
    UINT style;
    HBRUSH background;
};

bool RegisterClasses(const wchar_t* mainClass) {
    const WindowClassEntry classes[] = {
        {mainClass, MainWindowProc, CS_CLASSDC, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)},
        {L"qub_iw", ImageWindowProc, CS_OWNDC, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))},
        {L"qub_twi", TextWindowProc, CS_OWNDC, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))},
        {L"qub_ib", InputBoxProc, CS_OWNDC | CS_DBLCLKS,
         reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)},
        {L"qub_bb", ButtonBoxProc, CS_OWNDC | CS_DBLCLKS,
         reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)},
    };
    for (const WindowClassEntry& entry : classes) {
        WNDCLASSEXW wc = {};
        wc.cbSize = sizeof wc;
        wc.style = entry.style;
        wc.lpfnWndProc = entry.proc;
        wc.hInstance = qubState.instance;
        wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
        wc.hbrBackground = entry.background;
        wc.lpszClassName = entry.name;
        if (!RegisterClassExW(&wc)) return false;
    }
    return true;
}

HMENU BuildMenuBar() {
    HMENU menu = CreateMenu();
    for (int i = 0; i < kMainMenuBarCount; ++i)
        QUB_InsertMenuString(menu, i, kMenuStateEnabled, kMainMenuBar[i].id, kMainMenuBar[i].text);
    return menu;
}

}  // namespace

int QUB_StartUp(HINSTANCE instance) {
    LibraryState& s = qubState;
    s.guiThreadId = GetCurrentThreadId();

    const int number = FindFreeInstanceNumber();
    if (number < 0) {
        MessageBoxW(nullptr, L"Over instance limit!", L"QUBLIB", MB_OK);
        return 1;
    }
    s.instanceNumber = number;

    Gdiplus::GdiplusStartupInput gdiplusInput;
    Gdiplus::GdiplusStartup(&s.gdiplusToken, &gdiplusInput, nullptr);

    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    s.msPerCount = 1000.0 / static_cast<double>(frequency.QuadPart);

    ResetWindowTables();
    s.instance = instance;
    RecordFolders();
    SetOtherFirstValues();

    wchar_t mainClass[11];
    MainClassName(number, mainClass);
    if (!RegisterClasses(mainClass)) return 1;

    RECT work;
    if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0))
        work.bottom = GetSystemMetrics(SM_CYSCREEN);
    const MainWindowPlace place =
        QUB_MainWindowPlace(GetSystemMetrics(SM_CXFULLSCREEN), GetSystemMetrics(SM_CYFULLSCREEN),
                            GetSystemMetrics(SM_CYCAPTION), work.bottom);
    s.mainMenu = BuildMenuBar();
    wchar_t title[16];
    if (number == 0)
        swprintf(title, 16, L"QUBLIB");
    else
        swprintf(title, 16, L"QUBLIB #%d", number);
    // WM_CREATE plays the drop-in animation and starts the worker thread.
    HWND window = CreateWindowExW(0, mainClass, title, WS_VISIBLE | WS_CAPTION, place.x, place.y,
                                  place.width, place.height, nullptr, s.mainMenu, instance, nullptr);
    if (!window) return 1;
    s.mainWindow = window;

    char status[16];
    snprintf(status, sizeof status, "%d-bit color", s.colourDepth);
    QUB_SetStatusText(status);
    DragAcceptFiles(window, TRUE);
    UpdateWindow(window);

    s.ttFont = CreateFontW(s.ttFontHeight, s.ttFontWidth, 0, 0, 0, FALSE, FALSE, FALSE,
                           DEFAULT_CHARSET, OUT_TT_ONLY_PRECIS, 0, 0, 0,
                           L"\xFF2D\xFF33 \x30B4\x30B7\x30C3\x30AF");
    s.qub_tttc = 0xFFFFFF;
    s.textX = s.textY = s.textLeft = 0;
    return 0;
}

int QUB_RunMessageLoop() {
    MSG msg;
    while (!qubState.quitReceived.load()) {
        BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) return static_cast<int>(msg.wParam);
        if (got < 0) return 1;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return qubState.quitCode;
}

void QUB_ShutDown() {
    LibraryState& s = qubState;
    DeleteObject(s.ttFont);
    s.ttFont = nullptr;
    DestroyMenu(s.mainMenu);
    s.mainMenu = nullptr;
    Gdiplus::GdiplusShutdown(s.gdiplusToken);
}

int QUB_WinMain(HINSTANCE instance) {
    int code = QUB_StartUp(instance);
    if (code != 0) return code;
    QUB_OpenCommandLineFiles();
    QUB_RunMessageLoop();
    QUB_ShutDown();
    return 0;
}
