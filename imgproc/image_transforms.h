// Whole-picture transforms and test patterns on image windows.
//
// The transforms take the slot they act on and end by invalidating its window
// so that it repaints. The test patterns fill the current image and write the
// buffer only (the grey pattern, which also sets an 8-bit palette, invalidates).
//
// Results: 0 done; 1 the slot is out of range or closed.
#pragma once

int QUB_InvertImage(int n);
int QUB_FlipHorizontal(int n);
int QUB_FlipVertical(int n);

// Quarter turns and rescaling give the window a buffer of another size. They
// check first that the new size can be made (2: it cannot be fitted on the
// screen or the size is out of range; 3: the buffer would be too large;
// 4: no memory for the working copy): the picture is then left as it was.
// Only when re-creating the window fails after all is the slot left closed,
// with QUB_ResizeImage's code.
int QUB_RotateRight(int n);  // 90 degrees clockwise
int QUB_RotateLeft(int n);   // 90 degrees counter-clockwise
// Rescales by perMille / 1000 (500, 707, 1414 and 2000 are the menu's steps),
// each side rounded to nearest, through the window's stretch mode.
int QUB_ScaleImage(int n, int perMille);

int QUB_TestPatternRgb();
int QUB_TestPatternHsv();
int QUB_TestPatternYCrCb();
int QUB_TestPatternYuv();
int QUB_TestPatternYiq();
// On an 8-bit image the palette becomes the grey ramp first.
int QUB_TestPatternGrey();
