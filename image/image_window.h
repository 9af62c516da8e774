// Image windows: creation, destruction, redisplay, the current window, the
// palette of 8-bit windows, zoom, resize and stretch mode. All of it runs on
// the worker thread, which owns the image windows.
//
// Results: 0 success; 1 slot out of range or not open (unless said otherwise);
// further codes per call.
#pragma once
#include <windows.h>

#include <cstdint>

#include "image/image_record.h"
#include "image/zoom.h"

// 0 created (and current); 1 slot already open; 2 cannot be fitted on the
// screen; 3 depth not 8 or 32, buffer too large, or no DIB section; 4 slot
// outside 0-255. x or y of -1 is the system's default for that coordinate
// (the other one is kept); the window always ends with its caption on the
// screen.
int QUB_CreateImage(int n, const char* title, int x, int y, int width, int height, int zoom);
int QUB_CreateImage8(int n, const char* title, int x, int y, int width, int height, int zoom);
// `placeGiven`: x and y are a place even when one is -1 (a window re-created
// where the old one was).
int QUB_CreateImageDepth(int n, const char* title, int x, int y, int width, int height, int zoom,
                         int depth, bool placeGiven = false);
// A new window in the first slot, trying 0, 1, ... 255, that takes it; the
// slot, or -1 when none does (a size that cannot be had fails in every slot,
// so the search ends at the first refusal that is not an open slot).
int QUB_CreateImageInFreeSlot(const char* title, int x, int y, int width, int height, int zoom,
                              int depth);
int QUB_DestroyImage(int n);
int QUB_DisplayImage(int n);
// Redisplays the picture's pixels (x, y, width, height) and the few window
// pixels around them that a stretch blends with them; the rest of the window
// is left as it was. 1 when slot n is not open.
int QUB_DisplayImageRect(int n, int x, int y, int width, int height);
// Paints the window pixels `update` (a paint message's rectangle).
void QUB_PaintImage(int n, const RECT& update);
// The reduced copy of a window shown small (image/box_reduce.h): released,
// or (for a record whose handles were released with its window) forgotten.
void QUB_FreeReducedCopy(ImageWindowRecord& r);
void QUB_ForgetReducedCopy(ImageWindowRecord& r);
int QUB_SelectImage(int n);
int QUB_RestoreImage();
int QUB_FindImageSlot(HWND window);    // -1 when no open slot has this window
int QUB_SelectImageByWindow(HWND window);  // the slot, or -1
// For commands that wait (a pick, a prompt, a dialog), which pump messages:
// whether slot n still holds `window`, made current again if another command
// changed the current slot meanwhile.
bool QUB_StillHoldsImage(int n, HWND window);
// Has window n repaint its whole client area, without erasing.
void QUB_RepaintImage(int n);

// Palette of the current window: entries are 4 bytes, blue, green, red, 0
// (as a little-endian word, 0x00RRGGBB). 1 closed, 2 not an 8-bit window.
// `count` is limited to 0..256.
int QUB_SetPalette(const uint32_t* colours, int count);
int QUB_GetPalette(uint32_t* colours);  // all 256 entries

// --- zoom, resize and stretch mode -------------------------------------------
ZoomLimits QUB_ReadZoomLimits();       // from the system metrics, now
int QUB_GetStretchMode(int n);         // COLORONCOLOR or HALFTONE; 0 if not open
int QUB_SetStretchMode(int n, int mode);
int QUB_SetZoom(int n, int zoom);      // 2: cannot be fitted; nothing changes
// 2 or 3 when the re-creation fails: the slot is then closed.
int QUB_ResizeImage(int n, int width, int height);
void QUB_UpdateTitle(int n);
