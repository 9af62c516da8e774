// The worker thread's action for each request code. Each reads its parameters
// from the request block and calls the operation of the subsystem that serves it.
#pragma once

int QUB_ServeCreateImage();
void QUB_ServeDisplayImage();
int QUB_ServeLoadImage();
void QUB_ServePutBitmap();
void QUB_ServeTextWindow();
void QUB_ServeInputBox();
void QUB_ServeButtonBox();
