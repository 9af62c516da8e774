#include "app/stereo_text_win.h"

#include <windows.h>

#include "boxes/button_box.h"
#include "core/library_state.h"

const char kCaptionUp932[] = "\x81\xaa";
const char kCaptionLeft932[] = "\x81\xa9";
const char kCaptionDown932[] = "\x81\xab";
const char kCaptionRight932[] = "\x81\xa8";
const char kDragRequest932[] =
    "\x83\x58\x83\x65\x83\x8c\x83\x49\x83\x79\x83\x41\x89\xe6\x91\x9c\x82\xf0\x83\x68\x83\x89"
    "\x83\x62\x83\x4f\x82\xb5\x82\xc4\x89\xba\x82\xb3\x82\xa2";

namespace {

constexpr UINT kShiftJis = 932;

}  // namespace

std::wstring FromCodePage932(const char* text) {
    const int units = MultiByteToWideChar(kShiftJis, 0, text, -1, nullptr, 0);
    if (units <= 0) return std::wstring();
    std::wstring wide(static_cast<size_t>(units), L'\0');
    MultiByteToWideChar(kShiftJis, 0, text, -1, &wide[0], units);
    wide.resize(static_cast<size_t>(units - 1));
    return wide;
}

void SetButtonCaption932(int k, const char* text) {
    const ButtonBoxRecord& box = qubState.buttonBox;
    if (!box.window || k < 0 || k >= box.count || !box.buttons[k]) return;
    // Through the narrow call first, so that the box records the caption as
    // it does for any other; then the text itself, converted from 932.
    QUB_SetButtonBoxTitle(k, text);
    SetWindowTextW(box.buttons[k], FromCodePage932(text).c_str());
}

void Pause932(const char* text) {
    MessageBoxW(nullptr, FromCodePage932(text).c_str(), L"Pause", MB_OK);
}
