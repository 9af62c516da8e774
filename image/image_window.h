// Image windows: creation, destruction, redisplay and the current window.
#pragma once
#include <windows.h>

int QUB_CreateImage(int n, const char* title, int x, int y, int width, int height, int zoom);
int QUB_CreateImage8(int n, const char* title, int x, int y, int width, int height, int zoom);
int QUB_CreateImageDepth(int n, const char* title, int x, int y, int width, int height, int zoom,
                         int depth);
int QUB_DestroyImage(int n);
int QUB_DisplayImage(int n);
int QUB_SelectImage(int n);
int QUB_RestoreImage();
int QUB_FindImageSlot(HWND window);
