// The stereo routine: aligns the two views of a dropped stereo pair.
//
// Image window 0 holds the pair. The routine splits it into its views, shows
// a red/cyan anaglyph preview, and lets the user line the views up with two
// guide lines (dragged with the mouse over the pair) and the arrow buttons; a
// "Buruburu" preview flips between the aligned views; "Save" writes the
// aligned pair. The decisions live in alignment.h and the pixel work in
// compose.h; this file does the window calls they ask for.
#include <windows.h>

#include "app/alignment.h"
#include "app/compose.h"
#include "app/stereo_routine_win.h"
#include "app/stereo_run_win.h"
#include "app/stereo_slots.h"
#include "app/stereo_steps_win.h"
#include "app/stereo_text_win.h"
#include "boxes/button_box.h"
#include "core/library_state.h"
#include "core/runtime.h"
#include "image/image_window.h"
#include "imgproc/image_drawing.h"

namespace {

enum Button {
    kAnaglyph = 0, kUp = 1, kBuruburu = 2, kSave = 3,
    kLeft = 4, kDown = 5, kRight = 6, kQuit = 7,
};
constexpr int kColumns = 4, kRows = 2;
constexpr int kPairSlot = 0;

// Presses of one arrow taken in one pass are all carried out, but a burst
// larger than this (a key held on a button) is not worth a frame's delay.
constexpr int kMaxStepsPerPass = 1000;

struct Run {
    bool started;  // set-up completed: the pair belongs to this run now
    StereoWindows windows;
    StereoAlignment state;
    bool created[kStereoRoles];

    uint32_t* Bits(StereoRole role) const { return qubState.imageBits32[windows.slots.slot[role]]; }
    bool Open(int slot) const { return qubState.images[slot].inUse != 0; }
    bool OpenRole(StereoRole role) const { return Open(windows.slots.slot[role]); }
};

bool SlotIsOpen(int slot, void*) { return qubState.images[slot].inUse != 0; }

// The windows the compositions read and write must all still be there, as
// they were made: a window the user closed has released its buffer, and one
// the toolbox rotated, rescaled, resized or re-created holds a buffer of
// another size or depth, which a composition would write past.
bool Intact(int slot, int width, int height) {
    const ImageWindowRecord& r = qubState.images[slot];
    return r.inUse && r.depth == 32 && r.width == width && r.height == height;
}

bool WorkingWindowsOpen(const Run& run) {
    if (!Intact(kPairSlot, run.windows.width, run.windows.height)) return false;
    for (StereoRole role : {kRoleLeft, kRoleRight, kRolePreview, kRoleFrameLeft, kRoleFrameRight})
        if (!Intact(run.windows.slots.slot[role], run.windows.half, run.windows.height))
            return false;
    return true;
}

// Guide lines are inverted into the pair, which is the current image: the
// same line drawn again erases it.
void XorGuide(const Run& run, int x) { QUB_XorLine(x, 0, x, run.windows.height); }

void MoveGuide(const Run& run, int from, int to) { StereoMoveGuide(run.windows, from, to); }

void Recompose(const Run& run, int a) { StereoRecompose(run.windows, run.state, a); }

void Apply(const Run& run, const GuideAction& action) {
    if (action.moveLine) MoveGuide(run, action.from, action.to);
    if (action.recompose) Recompose(run, action.a);
}

void ShowPreview(const Run& run) {
    QUB_SelectImage(run.windows.slots.slot[kRolePreview]);
    QUB_DisplayImage(run.windows.slots.slot[kRolePreview]);
}

void WiggleStep(Run& run) { StereoWiggleStep(run.windows, run.state); }

int Presses(int k) {
    if (!qubState.buttonBox.window || k >= qubState.buttonBox.count) return 0;
    return QUB_CheckButton(k);
}

int Steps(int presses) { return presses < kMaxStepsPerPass ? presses : kMaxStepsPerPass; }

// Each press of "←" or "→" moves the left guide one pixel; the preview is
// recomposed once for all the presses taken in this pass.
void ArrowSteps(Run& run, int presses, GuideAction (*press)(StereoAlignment&)) {
    GuideAction last = {};
    for (int n = Steps(presses); n > 0; --n) {
        last = press(run.state);
        if (last.moveLine) MoveGuide(run, last.from, last.to);
    }
    if (presses == 0) return;
    QUB_SelectImage(run.windows.slots.slot[kRolePreview]);
    Recompose(run, last.a);
}

// The buttons, in the order they are looked at. Returns false on Quit.
bool HandleButtons(Run& run) {
    StereoAlignment& s = run.state;
    if (Presses(kAnaglyph)) {
        s.wiggleMode = false;
        Recompose(run, HorizontalOffset(s));
        ShowPreview(run);
    }
    if (Presses(kBuruburu)) {
        s.wiggleMode = true;
        Recompose(run, HorizontalOffset(s));
        ShowPreview(run);
    }
    bool recompose = false;
    for (int n = Steps(Presses(kUp)); n > 0; --n) recompose |= PressUpArrow(s);
    for (int n = Steps(Presses(kDown)); n > 0; --n) recompose |= PressDownArrow(s);
    if (recompose) Recompose(run, HorizontalOffset(s));
    ArrowSteps(run, Presses(kLeft), PressLeftArrow);
    ArrowSteps(run, Presses(kRight), PressRightArrow);
    if (Presses(kSave))
        SaveStereoPair(run.windows.height, run.Bits(kRoleLeft), run.Bits(kRoleRight),
                       run.windows.half, HorizontalOffset(s), s.verticalOffset,
                       run.windows.slots.slot[kRoleSave]);
    return Presses(kQuit) == 0;
}

bool CreateRole(Run& run, StereoRole role, const char* title, int x, int y, int zoom) {
    const int slot = run.windows.slots.slot[role];
    run.created[role] =
        QUB_CreateImage(slot, title, x, y, run.windows.half, run.windows.height, zoom) == 0;
    return run.created[role];
}

bool SetUp(Run& run) {
    const ImageWindowRecord& pair = qubState.images[kPairSlot];
    if (!pair.inUse || QUB_GetStretchMode(kPairSlot) == 0) {
        Pause932(kDragRequest932);
        return false;
    }
    if (pair.depth != 32) {
        QUB_Pause("Image window 0 is an 8-bit window. Drop the stereo pair on the main window.");
        return false;
    }
    run.windows.width = pair.width;
    run.windows.height = pair.height;
    const StereoLayout layout = ComputeStereoLayout(run.windows.width, run.windows.height,
                                                    GetSystemMetrics(SM_CXSCREEN));
    if (!layout.ok) {
        QUB_Pause("The picture is too narrow to hold a stereo pair.");
        return false;
    }
    run.windows.half = layout.half;
    run.windows.slots = AssignStereoSlots(SlotIsOpen, nullptr);
    if (!run.windows.slots.ok) {
        QUB_Pause("All image windows are in use: close some and press Start again.");
        return false;
    }

    if (!CreateRole(run, kRoleLeft, "Left side", 0, 0, 30) ||
        !CreateRole(run, kRoleRight, "Right side", 0, 0, 30)) {
        QUB_Pause("Not enough memory for the stereo windows.");
        return false;
    }
    SplitStereoPair(qubState.imageBits32[kPairSlot], run.windows.width, run.windows.height,
                    run.Bits(kRoleLeft), run.Bits(kRoleRight));
    if (!CreateRole(run, kRoleFrameLeft, "buruburuL", 0, 0, 10) ||
        !CreateRole(run, kRoleFrameRight, "buruburuR", 0, 0, 10) ||
        !CreateRole(run, kRolePreview, "Preview", 0, layout.previewY, 2 * layout.zoom)) {
        QUB_Pause("Not enough memory for the stereo windows.");
        return false;
    }
    run.state = StartAlignment(run.windows.half, run.windows.height);
    MakeAnaglyph(run.windows.half, run.windows.height, run.Bits(kRoleLeft), run.Bits(kRoleRight),
                 run.Bits(kRolePreview), 0, 0);
    QUB_DisplayImage(qubState.currentImage);

    QUB_OpenButtonBox(layout.buttonBoxX, 0, kColumns, kRows);
    const char* captions[kColumns * kRows] = {"Anaglyph", nullptr, "Buruburu", "Save",
                                              nullptr,    nullptr, nullptr,    "Quit"};
    const char* captions932[kColumns * kRows] = {nullptr,         kCaptionUp932,   nullptr,
                                                 nullptr,         kCaptionLeft932, kCaptionDown932,
                                                 kCaptionRight932, nullptr};
    for (int k = 0; k < kColumns * kRows && qubState.buttonBox.window; ++k) {
        if (k >= qubState.buttonBox.count) continue;
        if (captions[k])
            QUB_SetButtonBoxTitle(k, captions[k]);
        else
            SetButtonCaption932(k, captions932[k]);
    }

    QUB_SetZoom(kPairSlot, layout.zoom);
    if (qubState.images[kPairSlot].inUse) {
        SetWindowPos(qubState.images[kPairSlot].window, nullptr, 0, 0, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER);
        QUB_SelectImage(kPairSlot);
        QUB_SetStretchMode(kPairSlot, HALFTONE);
    }
    XorGuide(run, run.state.leftDrawn);
    XorGuide(run, run.state.rightDrawn);
    QUB_DisplayImage(kPairSlot);
    run.started = true;
    return true;
}

void Loop(Run& run) {
    for (;;) {
        if (!WorkingWindowsOpen(run)) return;
        const LibraryState& s = qubState;
        const MouseSample mouse = {s.mouseImage, s.mouseX, s.mouseY, s.mouseLeft != 0};
        Apply(run, UpdateLeftGuide(run.state, mouse));
        Apply(run, UpdateRightGuide(run.state, mouse));
        if (run.state.wiggleMode) WiggleStep(run);
        if (!HandleButtons(run)) return;
        if (WaitFrame() != 0) return;
    }
}

// A run that got going closes the pair too, so that the next Start asks for a
// new one; a run refused at set-up leaves the user's windows alone.
void End(const Run& run) {
    if (qubState.buttonBox.window) QUB_DestroyButtonBox();
    if (run.started && run.Open(kPairSlot)) QUB_DestroyImage(kPairSlot);
    for (int role = 0; role < kStereoRoles; ++role)
        if (run.created[role] && run.OpenRole(static_cast<StereoRole>(role)))
            QUB_DestroyImage(run.windows.slots.slot[role]);
}

}  // namespace

void StereoRoutine() {
    Run run = {};
    if (SetUp(run)) Loop(run);
    End(run);
}
