#include "core/text_convert_win.h"

#include <vector>

#include "core/text_cut.h"

bool QUB_IsAnsiLeadByte(unsigned char value) { return IsDBCSLeadByte(value) != FALSE; }

int QUB_ToWide(const char* text, wchar_t* out, int units) {
    if (units <= 0) return 0;
    out[0] = L'\0';
    if (text == nullptr) return 0;
    int needed = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (needed <= 0) return 0;
    if (needed <= units) {
        MultiByteToWideChar(CP_ACP, 0, text, -1, out, units);
        return needed - 1;
    }
    // Too long: convert the whole text, keep what fits, and never keep the
    // first half of a surrogate pair.
    std::vector<wchar_t> all(static_cast<size_t>(needed));
    MultiByteToWideChar(CP_ACP, 0, text, -1, all.data(), needed);
    int keep = units - 1;
    if (keep > 0 && all[static_cast<size_t>(keep - 1)] >= 0xD800 &&
        all[static_cast<size_t>(keep - 1)] <= 0xDBFF) {
        --keep;
    }
    for (int i = 0; i < keep; ++i) out[i] = all[static_cast<size_t>(i)];
    out[keep] = L'\0';
    return keep;
}

int QUB_ToNarrow(const wchar_t* text, char* out, int bytes) {
    if (bytes <= 0) return 0;
    out[0] = '\0';
    if (text == nullptr) return 0;
    int needed = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (needed <= 0) return 0;
    if (needed <= bytes) {
        WideCharToMultiByte(CP_ACP, 0, text, -1, out, bytes, nullptr, nullptr);
        return needed - 1;
    }
    std::vector<char> all(static_cast<size_t>(needed));
    WideCharToMultiByte(CP_ACP, 0, text, -1, all.data(), needed, nullptr, nullptr);
    return static_cast<int>(
        QUB_CopyNarrow(out, static_cast<size_t>(bytes), all.data(), QUB_IsAnsiLeadByte));
}

bool QUB_ToNarrowWhole(const wchar_t* text, char* out, int bytes) {
    if (bytes <= 0) return false;
    out[0] = '\0';
    if (text == nullptr) return false;
    BOOL lossy = FALSE;
    const int needed = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, &lossy);
    if (needed <= 0 || needed > bytes || lossy) return false;
    WideCharToMultiByte(CP_ACP, 0, text, -1, out, bytes, nullptr, nullptr);
    return true;
}
