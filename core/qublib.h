// The library as a user routine sees it: one header for QUB_Main and for the
// source that the window-information report generates.
#pragma once
#include <windows.h>

#include "boxes/button_box.h"
#include "boxes/input_box.h"
#include "core/library_state.h"
#include "core/runtime.h"
#include "image/image_clipboard.h"
#include "image/image_file.h"
#include "image/image_window.h"
#include "imgproc/colour_plot.h"
#include "imgproc/colour_space.h"
#include "imgproc/image_drawing.h"
#include "imgproc/image_transforms.h"
#include "imgproc/pick_tools.h"
#include "imgproc/truetype_text.h"
#include "text/text_window.h"

// The main window, for QUB_SetForeground at the end of a rebuilt layout.
#define QUBMAINWINDOW (qubState.mainWindow)
