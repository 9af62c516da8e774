// Loading pictures into image windows and saving them, through GDI+.
#pragma once
#include <windows.h>

#include "image/file_names.h"

// Draws the picture in `fileName` into the current window at (x, y), at its
// own size, clipped. 0 loaded; 1 not readable as a picture; 2 the current slot
// is out of range or closed. The window is not redisplayed.
int QUB_LoadImage(const char* fileName, int x, int y);
// As QUB_LoadImage; `fileNameWide`, when not null, is the same name in UTF-16
// and is the one opened (it survives characters outside the ANSI code page).
int QUB_LoadImageWide(const char* fileName, const wchar_t* fileNameWide, int x, int y);

// Writes the rectangle (0, 0)-(width - 1, height - 1) of the current window
// as ImageFileType `type`. 0 written (the file is complete and decodes);
// 1 failed (no encoder, unwritable, name too long, bad type; no file is left
// behind); 2 width or height not positive; 3 current slot closed.
int QUB_SaveImage(int height, int width, int type, const char* fileName);

// Class id of the installed encoder whose MIME type is `mimeType`; false, with
// `classId` untouched, when there is none.
bool QUB_FindEncoder(const wchar_t* mimeType, CLSID* classId);

// Completes `fileName` (a buffer of kFileNameUnits) with `extension` unless it
// ends in it already. 0 done; 1 no room (the name is left alone).
int QUB_AppendExtension(wchar_t* fileName, const wchar_t* extension);

// Copies the w x h rectangle at (x0, y0) of the current window into
// `destination`, packed (w words or w bytes a row); outside positions give 0.
void QUB_ReadRect(void* destination, int x0, int y0, int w, int h);

// The open and save dialogs: 0 and the chosen path (ANSI, 260 bytes) in
// `fileName`, or 1 when cancelled.
int QUB_OpenImageDialog(char* fileName);
int QUB_SaveImageDialog(char* fileName);
