// The pick tools: a user points at a picture -- a point, a row, a column, a
// line, a rectangle, a circle, or the place of a pasted box -- with an XOR
// rubber band that follows the mouse and prompts in the status line.
//
// Each tool blocks on the worker thread, pumping messages, until the user
// clicks or cancels with a right or middle press, or a stop is requested.
// While it waits, image windows take no keys and open no menus, and the main
// window takes no dropped files. Every rubber band is erased before a tool
// returns, so the picture is left exactly as it was (the pen too). The
// picked window is the current one afterwards.
//
// Results: the outputs are zeroed first when the slot is valid and written
// only with result 0; callers use them only then.
#pragma once

constexpr int kPickTaken = 0;      // the points were clicked
constexpr int kPickCancelled = 1;  // a right or middle press (before the first point),
                                   // or the window closed while waiting
constexpr int kPickBadSlot = 2;    // slot out of range or closed; nothing shown
constexpr int kPickStopped = 3;    // a stop request ended the wait: no points were
                                   // given, so callers must not use the outputs

int QUB_PickPoint(int n, int* x, int* y);
int QUB_PickRow(int n, int* x, int* y);     // guide line across the mouse row
int QUB_PickColumn(int n, int* x, int* y);  // guide line down the mouse column
// Two clicks. A cancel after the first starts over from "Click the first point".
int QUB_PickLine(int n, int* x1, int* y1, int* x2, int* y2);  // in click order
int QUB_PickRect(int n, int* xmin, int* ymin, int* xmax, int* ymax);
int QUB_PickCircle(int n, int* cx, int* cy, int* r);  // r from the second click
// A boxWidth x boxHeight box centred on the mouse; the click is its centre.
int QUB_PickBoxPosition(int n, int boxWidth, int boxHeight, int* x, int* y);

// Ends pick mode: the status line back to "%d-bit color", drops accepted
// again. Every tool ends through it.
void QUB_EndPick();
