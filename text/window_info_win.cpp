// The window-information report (command 1045, Ctrl+W): every open library
// window listed with its place and size in the text window, and the source
// that rebuilds the layout put on the clipboard as CF_TEXT.
#include <windows.h>

#include <cstring>
#include <string>

#include "core/library_state.h"
#include "core/runtime.h"
#include "text/text_internal_win.h"
#include "text/text_window.h"
#include "text/window_source.h"

namespace {

constexpr uint32_t kBlack = 0x000000, kWhite = 0xFFFFFF, kYellow = 0xFFFF00, kGreen = 0x00FF00;
constexpr uint32_t kBlue = 0x0080FF, kNavy = 0x000080;

POINT TopLeft(HWND window) {
    RECT r = {};
    GetWindowRect(window, &r);
    return {r.left, r.top};
}

std::string TextOf(HWND window) {
    char text[256] = "";
    QUB_ReadWindowText(window, text, static_cast<int>(sizeof text));
    return text;
}

WindowLayout ReadLayout() {
    const LibraryState& s = qubState;
    WindowLayout layout;
    for (int i = 0; i < kImageSlots; ++i) {
        const ImageWindowRecord& r = s.images[i];
        if (!r.inUse) continue;
        const POINT p = TopLeft(r.window);
        layout.images.push_back({i, r.title ? r.title : "", p.x, p.y, r.width, r.height, r.zoom, r.depth});
    }
    for (int i = 0; i < kTextSlots; ++i) {
        const TextWindowRecord& r = s.textWindows[i];
        if (!r.inUse) continue;
        const POINT p = TopLeft(r.window);
        layout.texts.push_back({i, p.x, p.y, r.width, r.height});
    }
    if (const InputBoxRecord& b = s.inputBox; b.window) {
        const POINT p = TopLeft(b.window);
        layout.hasInputBox = true;
        layout.inputBox = {p.x, p.y, b.itemCount, b.labelWidth, b.editWidth, {}};
        for (int i = 0; i < b.itemCount && i < b.builtItems; ++i) layout.inputBox.labels.push_back(TextOf(b.labels[i]));
    }
    if (const ButtonBoxRecord& b = s.buttonBox; b.window) {
        const POINT p = TopLeft(b.window);
        RECT client = {};
        GetClientRect(b.window, &client);
        layout.hasButtonBox = true;
        layout.buttonBox = {p.x, p.y, b.columns, b.rows, client.right, client.bottom, {}};
        for (int k = 0; k < b.count && k < b.builtButtons; ++k) layout.buttonBox.captions.push_back(TextOf(b.buttons[k]));
    }
    return layout;
}

void Section(const char* title) {
    QUB_PushTextColor(kBlack, kGreen);
    QUB_Printf("%s", title);
    QUB_PopTextColor();
}

void PrintListing(const WindowLayout& layout) {
    if (!layout.images.empty()) {
        Section("[Image Window]\n");
        for (const LayoutImage& i : layout.images) {
            QUB_Printf(" %d ", i.slot);
            QUB_PushTextColor(kBlack, kBlue);
            QUB_Printf("%s", i.depth == 32 ? "F" : "8");
            QUB_PopTextColor();
            QUB_Printf(" '%s' X:%d Y:%d W:%d H:%d ZM:%d%%\n", i.title.c_str(), i.x, i.y, i.width, i.height, i.zoom);
        }
    }
    Section("[Text Window]\n");
    for (const LayoutText& t : layout.texts) QUB_Printf(" %d X:%d Y:%d W:%d H:%d\n", t.slot, t.x, t.y, t.width, t.height);
    if (layout.hasInputBox) {
        const LayoutInputBox& b = layout.inputBox;
        Section("[Input Box]\n");
        QUB_Printf(" X:%d Y:%d ITEM:%d ", b.x, b.y, b.items);
        QUB_Printf("ISIZE:%d ESIZE:%d\n", b.labelWidth, b.editWidth);
    }
    if (layout.hasButtonBox) {
        const LayoutButtonBox& b = layout.buttonBox;
        Section("[Button Box]\n");
        QUB_Printf(" X:%d Y:%d NX:%d NY:%d ", b.x, b.y, b.columns, b.rows);
        QUB_Printf("SIZE:%dx%d\n", b.clientWidth, b.clientHeight);
    }
}

// The clipboard is opened with the text window as its owner: with none,
// EmptyClipboard leaves no owner and Windows refuses the data.
void PutOnClipboard(int n, const std::string& source) {
    if (!QUB_OpenClipboard(qubState.textWindows[n].window)) return;
    EmptyClipboard();
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, source.size() + 1);
    char* bytes = memory ? static_cast<char*>(GlobalLock(memory)) : nullptr;
    if (!bytes) {
        if (memory) GlobalFree(memory);
        CloseClipboard();
        QUB_Pause("GlobalAlloc() failed. (ID_INFO)");
        return;
    }
    std::memcpy(bytes, source.c_str(), source.size() + 1);
    GlobalUnlock(memory);
    const bool set = SetClipboardData(CF_TEXT, memory) != nullptr;
    if (!set) GlobalFree(memory);
    CloseClipboard();
    if (!set) return;
    QUB_PushTextColor(kNavy, kYellow);
    QUB_TextPrintWideIn(n,
                        L"\u30af\u30ea\u30c3\u30d7\u30dc\u30fc\u30c9\u306b\u30ec\u30a4\u30a2\u30a6\u30c8\u4f5c\u6210"
                        L"\u30bd\u30fc\u30b9\u30ea\u30b9\u30c8\u3092\u4fdd\u5b58\u3057\u307e\u3057\u305f\uff0e\n");
    QUB_PopTextColor();
}

}  // namespace

void QUB_ShowWindowInfo(int n) {
    if (QUB_SelectTextWindow(n) != 0) return;
    QUB_PushTextColor(kBlack, kWhite);
    QUB_PushTextColor(kBlack, kYellow);
    QUB_Printf("******* Window information *******\n");
    QUB_PopTextColor();
    const WindowLayout layout = ReadLayout();
    PrintListing(layout);
    QUB_PushTextColor(kBlack, kYellow);
    QUB_Printf("**********************************\n");
    QUB_PopTextColor();
    PutOnClipboard(n, QUB_LayoutSource(layout));
    QUB_PopTextColor();
}
