// Loading pictures into image windows and saving them.
#pragma once

int QUB_LoadImage(const char* fileName, int x, int y);
// As QUB_LoadImage; `fileNameWide`, when not null, is the same name in UTF-16
// and is the one opened (it survives characters outside the ANSI code page).
int QUB_LoadImageWide(const char* fileName, const wchar_t* fileNameWide, int x, int y);
