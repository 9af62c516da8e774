// Platform-free geometry of the two boxes: the button grid and the column of
// labelled input fields. All sizes are client pixels.
#pragma once

struct BoxSize {
    int width, height;
};

struct BoxRect {
    int x, y, width, height;
};

// Client sizes that the resize calls accept: 1 to 32000 pixels each way, well
// inside the coordinate range of a window.
constexpr int kMaxBoxClient = 32000;
bool QUB_BoxClientAccepted(int width, int height);

// --- button box ------------------------------------------------------------------
constexpr int kMaxButtons = 256;
constexpr int kButtonGap = 4;           // between buttons and around the grid
constexpr int kFirstButtonWidth = 98;   // until the user resizes a box
constexpr int kFirstButtonHeight = 26;

// Whether a grid of nx x ny buttons may open: both at least 1 and at most 256
// buttons in all. The product is taken in 64 bits, so that sizes whose int
// product would wrap into range are refused too.
bool QUB_ButtonGridAccepted(int nx, int ny);

// Client size of a grid whose buttons are buttonWidth x buttonHeight.
BoxSize QUB_ButtonGridClientSize(int nx, int ny, int buttonWidth, int buttonHeight);

// Place of button k: row k / nx, column k mod nx, counted from the top left.
BoxRect QUB_ButtonRect(int k, int nx, int buttonWidth, int buttonHeight);

// The button size that fills a client area of clientWidth x clientHeight. The
// space left for the buttons is at least 1 pixel, so a width or height of 0 can
// come out of the division when there are many columns or rows.
BoxSize QUB_ButtonSizeForClient(int clientWidth, int clientHeight, int nx, int ny);

// The button whose grid cell holds the client point (x, y). A cell is a button
// with the gap or margin before it (to its left and above), so a gap belongs to
// the button after it; the right and bottom margins belong to the last column
// and row.
int QUB_ButtonAtPoint(int x, int y, int nx, int ny, int buttonWidth, int buttonHeight);

// A press counter after one more press. It stops at INT_MAX instead of wrapping
// to a negative count when the user routine never takes its presses.
int QUB_AddPress(int count);

// The button that a typed digit presses: '0'-'9' give 0-9, anything else -1.
int QUB_DigitButton(unsigned int character);

// --- input box -------------------------------------------------------------------
constexpr int kMaxInputItems = 30;
constexpr int kInputRowPitch = 28;
constexpr int kFirstLabelWidth = 80;    // until the user resizes a box
constexpr int kFirstEditWidth = 70;
constexpr int kInputValueBytes = 256;   // 255 bytes and the terminator

// Item counts below 1 open one item, above 30 open 30.
int QUB_ClampInputItems(int items);

// Whether QUB_ResizeInputBox may lay a box out with these widths: each at least
// 1 and the client width they make within kMaxBoxClient.
bool QUB_InputWidthsAccepted(int labelWidth, int editWidth);

BoxSize QUB_InputBoxClientSize(int items, int labelWidth, int editWidth);
BoxRect QUB_InputLabelRect(int i, int labelWidth);
BoxRect QUB_InputEditRect(int i, int labelWidth, int editWidth);

// The row under client y; y is taken as unsigned, as the mouse message gives it.
// Rows below the last item exist here: the caller checks against its count.
int QUB_InputItemAtY(unsigned int y);

// Whether the edge being dragged (a WMSZ_ code: 1 left, 4 top left, 7 bottom
// left) belongs to the left side, whose change the labels take up.
bool QUB_SizingLeftEdge(int sizingEdge);

// Label and edit widths after the client width became clientWidth while
// sizingEdge was dragged. The side that was not dragged keeps its width; the
// other takes up the change, never below 1 pixel.
struct InputWidths {
    int label, edit;
};
InputWidths QUB_InputWidthsAfterSize(int sizingEdge, int clientWidth, int labelWidth,
                                     int editWidth);
