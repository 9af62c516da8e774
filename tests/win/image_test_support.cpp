#include "tests/win/image_test_support.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "core/main_menu.h"
#include "core/text_convert_win.h"
#include "image/image_window.h"
#include "text/text_window.h"
#include "tests/win/text_test_support.h"
#include "tests/win/win_test_support.h"

bool OnWorker(const std::function<void()>& work, uint32_t timeoutMs) {
    static volatile LONG finished = 0;
    finished = 0;
    g_testRoutine = [&work] {
        work();
        InterlockedExchange(&finished, 1);
    };
    // Not StartRoutine: a short routine may be over before it looks.
    SendMainCommand(kCmdStart);
    const bool done = PumpUntil(
        [] { return finished != 0 && qubState.routineRunning.load() == 0; }, timeoutMs);
    g_testRoutine = nullptr;
    return done;
}

void CloseAllImages() {
    OnWorker([] {
        for (int n = 0; n < kImageSlots; ++n) QUB_DestroyImage(n);
        qubState.currentImage = 0;
        for (int& h : qubState.imageHistory) h = 0;
    });
}

ScratchFolder::ScratchFolder() {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    static int counter = 0;
    path = std::wstring(temp) + L"qubimg" + std::to_wstring(GetCurrentProcessId()) + L"_" +
           std::to_wstring(++counter);
    CreateDirectoryW(path.c_str(), nullptr);
}

std::vector<std::wstring> ScratchFolder::Names() const {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((path + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        const std::wstring name = data.cFileName;
        if (name != L"." && name != L"..") names.push_back(name);
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return names;
}

ScratchFolder::~ScratchFolder() {
    for (const std::wstring& name : Names()) DeleteFileW(File(name).c_str());
    RemoveDirectoryW(path.c_str());
}

bool WriteBytes(const std::wstring& path, const std::vector<unsigned char>& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    return CloseHandle(file) && written == bytes.size();
}

std::vector<unsigned char> ReadBytes(const std::wstring& path) {
    const std::string bytes = ReadFileBytes(path);
    return {bytes.begin(), bytes.end()};
}

std::string Narrow(const std::wstring& text) {
    char out[1024];
    QUB_ToNarrow(text.c_str(), out, sizeof out);
    return out;
}

SIZE ClientSize(HWND window) {
    RECT r;
    GetClientRect(window, &r);
    return {r.right - r.left, r.bottom - r.top};
}

int MaxChannelDifference(uint32_t a, uint32_t b) {
    int worst = 0;
    for (int shift : {0, 8, 16})
        worst = std::max(worst, std::abs(static_cast<int>((a >> shift) & 255u) -
                                         static_cast<int>((b >> shift) & 255u)));
    return worst;
}

std::wstring StatusText() {
    const std::wstring s = WindowText(qubState.statusControl);
    return s.substr(std::min(s.size(), s.find_first_not_of(L' ')));
}

HWND FindOwnedDialog(HWND owner) {
    for (HWND w = FindWindowExW(nullptr, nullptr, L"#32770", nullptr); w;
         w = FindWindowExW(nullptr, w, L"#32770", nullptr))
        if (GetWindow(w, GW_OWNER) == owner) return w;
    return nullptr;
}

// DROPFILES followed by the wide names, each terminated, and a final terminator.
HDROP MakeDrop(const std::vector<std::wstring>& paths) {
    size_t units = 1;
    for (const std::wstring& p : paths) units += p.size() + 1;
    HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + units * sizeof(wchar_t));
    auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    auto* names = reinterpret_cast<wchar_t*>(reinterpret_cast<char*>(drop) + sizeof(DROPFILES));
    for (const std::wstring& p : paths) {
        std::memcpy(names, p.c_str(), (p.size() + 1) * sizeof(wchar_t));
        names += p.size() + 1;
    }
    *names = L'\0';
    GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
}

void PostAtPixel(int n, UINT message, WPARAM keys, int x, int y) {
    const int zoom = qubState.images[n].zoom;
    PostMessageW(qubState.images[n].window, message, keys,
                 MAKELPARAM((x * zoom + zoom / 2) / 100, (y * zoom + zoom / 2) / 100));
}

bool AnswerPick(int n, const std::vector<POINT>& clicks) {
    const std::wstring one[] = {L"Click a point"};
    const std::wstring two[] = {L"Click the first point", L"Click the second point"};
    for (size_t i = 0; i < clicks.size() || i == 0; ++i) {
        const std::wstring& prompt = clicks.size() == 2 ? two[i] : one[0];
        const bool asked = PumpUntil([&] {
            return qubState.pickActive.load() && (clicks.empty() || StatusText() == prompt);
        });
        EXPECT_TRUE(asked) << "prompt \"" << Narrow(prompt) << "\" not shown; status: "
                           << Narrow(StatusText());
        if (!asked) return false;
        if (clicks.empty()) {
            PostAtPixel(n, WM_RBUTTONDOWN, MK_RBUTTON, 0, 0);
            break;
        }
        PostAtPixel(n, WM_LBUTTONDOWN, MK_LBUTTON, clicks[i].x, clicks[i].y);
    }
    return true;
}

std::string ClosedLogText(int n) {
    OnWorker([n] { QUB_CloseTextWindow(n); });
    std::string log = ReadFileBytes(LogFileName(n));
    log.erase(std::remove(log.begin(), log.end(), '\r'), log.end());
    return log;
}

size_t Copy::BytesOf(int n) {
    const ImageWindowRecord& r = qubState.images[n];
    return static_cast<size_t>(r.depth == 32 ? r.width * 4 : QUB_Stride8(r.width)) *
           static_cast<size_t>(r.height);
}

Copy Copy::Of(int n) {
    const ImageWindowRecord& r = qubState.images[n];
    return {r.depth, r.width, r.height, QUB_Stride8(r.width),
            std::vector<uint8_t>(qubState.imageBits8[n], qubState.imageBits8[n] + BytesOf(n))};
}

uint32_t Copy::At(int x, int y) const {
    if (depth == 8) return bytes[static_cast<size_t>(y * stride + x)];
    uint32_t v;
    std::memcpy(&v, &bytes[static_cast<size_t>(y * width + x) * 4u], 4);
    return v & 0xFFFFFFu;
}

bool Copy::SameAs(int n) const {
    const ImageWindowRecord& r = qubState.images[n];
    return r.inUse && r.depth == depth && r.width == width && r.height == height &&
           std::memcmp(qubState.imageBits8[n], bytes.data(), bytes.size()) == 0;
}

uint32_t PixelAt(int n, int x, int y) {
    const ImageWindowRecord& r = qubState.images[n];
    return r.depth == 32 ? qubState.imageBits32[n][y * r.width + x] & 0xFFFFFFu
                         : qubState.imageBits8[n][y * QUB_Stride8(r.width) + x];
}

std::vector<uint32_t> PaletteOf(int n) {
    QUB_SelectImage(n);
    std::vector<uint32_t> p(256);
    QUB_GetPalette(p.data());
    return p;
}

void FillNoise(int n, uint32_t seed) {
    const ImageWindowRecord& r = qubState.images[n];
    uint32_t s = seed * 2654435761u + 1u;
    for (int y = 0; y < r.height; ++y)
        for (int x = 0; x < r.width; ++x) {
            s = s * 1664525u + 1013904223u;
            if (r.depth == 32) qubState.imageBits32[n][y * r.width + x] = (s >> 8) & 0xFFFFFFu;
            else qubState.imageBits8[n][y * QUB_Stride8(r.width) + x] = uint8_t(s >> 24);
        }
}
