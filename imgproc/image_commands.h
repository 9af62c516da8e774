// The image toolbox's commands on whole pictures, colours and the
// "Information..." views, each on the image window in slot n. They run on the
// worker thread, inside the window's procedure; the picks and dialogs they use
// pump messages, so each looks its window up again after every wait.
//
// Results: 0 done; 1 slot n out of range or closed; 2 the pick was cancelled
// or stopped, or the dialog cancelled: nothing changed; 3 no slot took the
// graph window, or no memory for its data: nothing changed. The transforms
// pass on the codes of imgproc/image_transforms.h.
#pragma once
#include "imgproc/analysis_views.h"

constexpr int kCommandCancelled = 2;
constexpr int kCommandNoWindow = 3;

// "Pixel": prints the picked pixel into the current text window (text
// window 0 opened when there is none).
int QUB_PixelInfoCommand(int n);
// "Line(RGB)" ... "Line(Lumi)": the picked row's curves in a new window.
int QUB_RowGraphCommand(int n, RowGraph graph);
// "Line(CrCb)" and "Area(CrCb)": the picked row's or rectangle's chroma.
int QUB_CrCbLineCommand(int n);
int QUB_CrCbAreaCommand(int n);

// "Process...": invert and flips leave the current window as it is; rotations
// and size steps make this window current first.
int QUB_InvertCommand(int n);
int QUB_FlipCommand(int n, bool horizontal);
int QUB_RotateCommand(int n, bool clockwise);
int QUB_SizeStepCommand(int n, int perMille);

enum class TestPattern { kRgb, kHsv, kYCrCb, kYuv, kYiq, kGrey };
int QUB_TestPatternCommand(int n, TestPattern pattern);

// "Color...": "Change" through the colour dialog sets the drawing colour and
// both text colours; "Pick" takes the drawing colour (and the TrueType text
// colour) from a clicked pixel.
int QUB_ColourChangeCommand(int n);
int QUB_ColourPickCommand(int n);

// "Draw Line...", "Draw Box...", "Draw Circle...", "Draw Text", "Paint" and
// TrueType "Draw": the window made current, its shape or point picked, drawn
// in drawColour (text in it too) and the window repainted.
enum class LineForm { kNormal, kHorizontal, kVertical };
enum class ShapeFill { kOutline, kFill, kFillXor };
int QUB_DrawLineCommand(int n, LineForm form);
int QUB_DrawBoxCommand(int n, ShapeFill fill);
int QUB_DrawCircleCommand(int n, ShapeFill fill);
int QUB_DrawTextCommand(int n);  // reads the text after the prompt "Text>"
int QUB_PaintCommand(int n);
int QUB_TrueTypeDrawCommand(int n);
