// LibraryState: the one global record that holds all library state.
//
// Fields polled by both threads are std::atomic. The request block is handed
// over with release/acquire pairs: the requester writes the parameters, then
// publishes requestCode (release); the worker reads requestCode (acquire),
// serves, writes requestResult, then publishes requestDone (release), which the
// requester reads (acquire) before it reads the result.
#pragma once
#include <windows.h>

#include <atomic>
#include <cstdint>

#include "boxes/box_records.h"
#include "core/snap.h"
#include "image/image_record.h"
#include "text/text_record.h"

constexpr int kFolderUnits = 260;  // MAX_PATH

struct LibraryState {
    // --- start-up and main window -------------------------------------------
    int instanceNumber;                  // 0-9 among running instances
    HINSTANCE instance;                  // module handle given to WinMain
    ULONG_PTR gdiplusToken;              // from GdiplusStartup
    double msPerCount;                   // ms per performance-counter count
    int colourDepth;                     // screen bits per pixel
    HWND mainWindow;                     // the main window
    HWND statusControl;                  // STATIC child showing the status line
    HMENU mainMenu;                      // the main window's menu bar
    wchar_t loadFolder[kFolderUnits];    // start folder, no trailing backslash
    char loadFolderA[kFolderUnits];      //   narrow copy
    wchar_t saveFolder[kFolderUnits];    // start folder, no trailing backslash
    char saveFolderA[kFolderUnits];      //   narrow copy
    wchar_t startFolder[kFolderUnits];   // start folder with a trailing backslash
    char startFolderA[kFolderUnits];     //   narrow copy
    DWORD guiThreadId;                   // thread that runs WinMain
    int filesOpening;                    // drops being opened now (GUI thread only)
    int startDeferred;                   // Start given during a drop: run it after
    std::atomic<int> quitReceived;       // a pump on the GUI thread took WM_QUIT
    int quitCode;                        //   its exit code

    // --- worker thread and run flags ----------------------------------------
    std::atomic<int> startRequested;     // Start given, not yet picked up
    std::atomic<int> routineRunning;     // QUB_Main runs on the worker
    std::atomic<int> stopRequested;      // Stop given; waits return early
    std::atomic<int> terminateState;     // 0 run, 1 Exit asked, 2 worker gone
    std::atomic<int> mouseTracking;      // image windows record the mouse
    HANDLE workerThread;                 // the worker thread

    // --- request block (one pending request at most) ------------------------
    std::atomic<int> requestCode;        // 0 none, else 9001-9007
    std::atomic<int> requestDone;        // 1 once the worker has served it
    int requestSlot;                     // slot; item count for the input box
    const char* requestTitle;            // owned by the requester
    int requestX, requestY;              // screen position (-1 default) or image position
    int requestWidth, requestHeight;     // size; columns and rows for the button box
    int requestZoom;                     // zoom percent of a new image window
    int requestDepth;                    // 8 or 32
    const char* requestFile;             // narrow file name for a load
    const wchar_t* requestFileWide;      // the same name in UTF-16, or null
    HBITMAP requestBitmap;               // bitmap to copy into an image
    int requestResult;                   // result of 9001 and 9003
    int* requestResultOut;               // the waiting requester's own copy of it

    // --- window snapping -----------------------------------------------------
    SnapList snapList;                   // rectangles a Ctrl-drag snaps to

    // --- image windows -------------------------------------------------------
    ImageWindowRecord images[kImageSlots];   // the 256 slots
    uint32_t* imageBits32[kImageSlots];      // buffer of each slot, as words
    uint8_t* imageBits8[kImageSlots];        // the same buffers, as bytes
    int currentImage;                        // current image window
    int imageHistory[kHistoryDepth];         // previous current images, [0] newest
    int jpegQuality = 100;                   // JPEG quality of saves
    int loadFilterIndex = 2;                 // filter entry the open dialog shows first
    int saveFilterIndex = 2;                 // filter entry the save dialog shows first
    // The mouse as the image window procedure last saw it (moves, left and
    // middle presses while mouseTracking is set); read by the user routine.
    int mouseImage;                          // slot of the window under the mouse
    int mouseX, mouseY;                      // position in image pixels
    int mouseLeft;                           // MK_LBUTTON (1) or 0
    int mouseMiddle;                         // MK_MBUTTON (16) or 0
    int mouseCtrl;                           // MK_CONTROL (8) or 0
    int mouseShift;                          // MK_SHIFT (4) or 0; 1/0 after a pick click
    // What the pick tools wait for, set by the window of slot pickImage.
    int pickImage;                           // the window a pick tool waits on
    int pickMoved, pickMoveX, pickMoveY;     // mouse moved: flag, image position
    int pickClicked, pickClickX, pickClickY; // left press: flag, image position
    int pickCancel;                          // right or middle press: cancel

    // --- text windows --------------------------------------------------------
    TextWindowRecord textWindows[kTextSlots];  // the 256 slots
    int currentTextWindow;                     // current text window
    int textHistory[kHistoryDepth];            // previous current text windows
    std::atomic<int> lineInputActive;          // n + 1 while a line input waits on window n
    wchar_t lastLine[256];                     // the previous input line, UTF-16, terminated
    char16_t keyRing[256];                     // typed units waiting for the line input
    std::atomic<int> keyRead{-1};              // next unit to take; -1 when the ring is empty
    std::atomic<int> keyWrite{0};              // next free place in the ring
    std::atomic<int> inputMode;                // 0 none, 1 offer lastLine again, 2 paste

    // --- boxes ---------------------------------------------------------------
    InputBoxRecord inputBox;             // the input box (window null: absent)
    ButtonBoxRecord buttonBox;           // the button box (window null: absent)

    // --- image processing and drawing --------------------------------------
    std::atomic<int> pickActive;         // a pick tool waits for a click
    COLORREF customColours[16];          // the colour dialog's custom colours
    int textX, textY, textLeft;          // bitmap-font text cursor
    uint32_t drawColour = 0xFFFFFF;      // colour of boxes, fills, circles and paint
    uint32_t qub_tc;                     // bitmap-font text colour 0xRRGGBB
    int penX, penY;                      // last end point of a pen-moving call
    uint32_t qub_tttc;                   // TrueType text colour 0xRRGGBB
    HFONT ttFont;                        // TrueType text font
    int ttFontHeight = 16;               // its height
    int ttFontWidth = 8;                 // its width
};

extern LibraryState qubState;
