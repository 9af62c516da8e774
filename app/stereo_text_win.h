// The routine's own texts. The arrow captions and the drag request are kept
// in code page 932 (Shift_JIS) and converted from 932 explicitly, so that they
// read correctly whatever the system's ANSI code page is.
#pragma once
#include <string>

// Shift_JIS bytes of the captions and of the drag request.
extern const char kCaptionUp932[];     // "↑"
extern const char kCaptionLeft932[];   // "←"
extern const char kCaptionDown932[];   // "↓"
extern const char kCaptionRight932[];  // "→"
extern const char kDragRequest932[];   // asks for the stereo pair to be dropped

std::wstring FromCodePage932(const char* text);

// Sets the caption of button k of the open button box from Shift_JIS text.
void SetButtonCaption932(int k, const char* text);

// The "Pause" box (as QUB_Pause) with a Shift_JIS text.
void Pause932(const char* text);
