// The input box and the button box: at most one of each; a null window means
// absent. Sizes that the user gave a box carry over to the next one, so they
// have their first values here rather than at opening.
#pragma once
#include <windows.h>

#include "boxes/box_geometry.h"

struct InputBoxRecord {
    HWND window;                                    // the input box, or null
    int itemCount;                                  // 1-30
    int labelWidth = kFirstLabelWidth;              // label width (ISIZE), carries over
    int editWidth = kFirstEditWidth;                // edit width (ESIZE), carries over
    int builtItems;                                 // items whose windows exist so far
    HWND labels[kMaxInputItems];                    // STATIC label of each item
    HWND edits[kMaxInputItems];                     // EDIT field of each item
    char values[kMaxInputItems][kInputValueBytes];  // stored value of each item, ANSI
    HWND focusedEdit;                               // the field that had the focus last
    int sizingEdge;                                 // WMSZ_ edge of the resize in progress
    int renameTarget;                               // row of the last right click
};

struct ButtonBoxRecord {
    HWND window;                                // the button box, or null
    int columns;                                // nx: buttons per row
    int rows;                                   // ny
    int count;                                  // nx x ny; kept after the box is gone
    int buttonWidth = kFirstButtonWidth;        // carries over from box to box
    int buttonHeight = kFirstButtonHeight;      //   likewise
    int builtButtons;                           // buttons whose windows exist so far
    HWND buttons[kMaxButtons];                  // index = button number
    int presses[kMaxButtons];                   // presses not yet taken by QUB_CheckButton
    int renameTarget;                           // button of the last right click
};
