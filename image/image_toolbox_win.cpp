// The image toolbox: its popup menus built from the tables of toolbox_menu,
// and one table from command number to the operation it runs.
#include "image/image_toolbox.h"

#include "core/library_state.h"
#include "core/main_menu.h"
#include "core/runtime.h"
#include "image/image_clipboard.h"
#include "image/image_window.h"
#include "image/toolbox_commands.h"
#include "image/toolbox_menu.h"
#include "imgproc/image_commands.h"
#include "imgproc/truetype_text_win.h"

namespace {

// What a command waits for, which decides when it may start.
enum Needs { kNoWait = 0, kPick = 1, kLine = 2 };

struct ToolboxCommand {
    int id;
    int needs;
    int (*run)(HWND window, int n);
};

// The operations by number. Lambdas without captures, so the table is plain
// data; each receives the window and its slot.
const ToolboxCommand kCommands[] = {
    {kTbLoad, kNoWait, [](HWND, int n) { return QUB_LoadCommand(n); }},
    {kTbDestroy, kNoWait, [](HWND, int n) { return QUB_DestroyImage(n); }},
    {kTbZoom50, kNoWait, [](HWND, int n) { return QUB_SetZoom(n, 50); }},
    {kTbZoom100, kNoWait, [](HWND, int n) { return QUB_SetZoom(n, 100); }},
    {kTbZoom200, kNoWait, [](HWND, int n) { return QUB_SetZoom(n, 200); }},
    {kTbSaveAs, kNoWait, [](HWND, int n) { return QUB_SaveAsCommand(n); }},
    {kTbCut, kNoWait, [](HWND, int n) { return QUB_CutCommand(n); }},
    {kTbCopy, kNoWait,
     [](HWND, int n) {
         const int copied = QUB_CopyImage(n);
         return copied == 2 ? 3 : copied;  // not copied: the toolbox's "failed"
     }},
    {kTbPaste, kPick, [](HWND, int n) { return QUB_PasteImage(-1, n, -1), 0; }},
    {kTbPasteTopLeft, kNoWait, [](HWND, int n) { return QUB_PasteImage(0, n, 0), 0; }},
    {kTbPixel, kPick, [](HWND, int n) { return QUB_PixelInfoCommand(n); }},
    {kTbLineRgb, kPick, [](HWND, int n) { return QUB_RowGraphCommand(n, RowGraph::kRgb); }},
    {kTbLineHsv, kPick, [](HWND, int n) { return QUB_RowGraphCommand(n, RowGraph::kHsv); }},
    {kTbLineYCrCb, kPick, [](HWND, int n) { return QUB_RowGraphCommand(n, RowGraph::kYCrCb); }},
    {kTbLineLumi, kPick, [](HWND, int n) { return QUB_RowGraphCommand(n, RowGraph::kLumi); }},
    {kTbLineCrCb, kPick, [](HWND, int n) { return QUB_CrCbLineCommand(n); }},
    {kTbAreaCrCb, kPick, [](HWND, int n) { return QUB_CrCbAreaCommand(n); }},
    {kTbClipping, kPick, [](HWND, int n) { return QUB_ClippingCommand(n); }},
    {kTbColourChange, kNoWait, [](HWND, int n) { return QUB_ColourChangeCommand(n); }},
    {kTbColourPick, kPick, [](HWND, int n) { return QUB_ColourPickCommand(n); }},
    {kTbLineNormal, kPick, [](HWND, int n) { return QUB_DrawLineCommand(n, LineForm::kNormal); }},
    {kTbLineHorizontal, kPick, [](HWND, int n) { return QUB_DrawLineCommand(n, LineForm::kHorizontal); }},
    {kTbLineVertical, kPick, [](HWND, int n) { return QUB_DrawLineCommand(n, LineForm::kVertical); }},
    {kTbBoxNormal, kPick, [](HWND, int n) { return QUB_DrawBoxCommand(n, ShapeFill::kOutline); }},
    {kTbBoxFill, kPick, [](HWND, int n) { return QUB_DrawBoxCommand(n, ShapeFill::kFill); }},
    {kTbBoxFillXor, kPick, [](HWND, int n) { return QUB_DrawBoxCommand(n, ShapeFill::kFillXor); }},
    {kTbCircleNormal, kPick, [](HWND, int n) { return QUB_DrawCircleCommand(n, ShapeFill::kOutline); }},
    {kTbCircleFill, kPick, [](HWND, int n) { return QUB_DrawCircleCommand(n, ShapeFill::kFill); }},
    {kTbCircleFillXor, kPick, [](HWND, int n) { return QUB_DrawCircleCommand(n, ShapeFill::kFillXor); }},
    {kTbDrawText, kPick | kLine, [](HWND, int n) { return QUB_DrawTextCommand(n); }},
    {kTbPaint, kPick, [](HWND, int n) { return QUB_PaintCommand(n); }},
    {kTbZoomPrompt, kLine, [](HWND, int n) { return QUB_ZoomPromptCommand(n); }},
    {kTbResizePrompt, kLine, [](HWND, int n) { return QUB_ResizePromptCommand(n); }},
    {kTbTrueTypeDraw, kPick | kLine, [](HWND, int n) { return QUB_TrueTypeDrawCommand(n); }},
    {kTbFontChange, kNoWait, [](HWND window, int) { return QUB_TTFontChangeCommand(window); }},
    {kTbPatternRgb, kNoWait, [](HWND, int n) { return QUB_TestPatternCommand(n, TestPattern::kRgb); }},
    {kTbPatternHsv, kNoWait, [](HWND, int n) { return QUB_TestPatternCommand(n, TestPattern::kHsv); }},
    {kTbPatternYCrCb, kNoWait, [](HWND, int n) { return QUB_TestPatternCommand(n, TestPattern::kYCrCb); }},
    {kTbPatternYuv, kNoWait, [](HWND, int n) { return QUB_TestPatternCommand(n, TestPattern::kYuv); }},
    {kTbPatternYiq, kNoWait, [](HWND, int n) { return QUB_TestPatternCommand(n, TestPattern::kYiq); }},
    {kTbPatternGrey, kNoWait, [](HWND, int n) { return QUB_TestPatternCommand(n, TestPattern::kGrey); }},
    {kTbInvert, kNoWait, [](HWND, int n) { return QUB_InvertCommand(n); }},
    {kTbFlipHorizontal, kNoWait, [](HWND, int n) { return QUB_FlipCommand(n, true); }},
    {kTbFlipVertical, kNoWait, [](HWND, int n) { return QUB_FlipCommand(n, false); }},
    {kTbRotateRight, kNoWait, [](HWND, int n) { return QUB_RotateCommand(n, true); }},
    {kTbRotateLeft, kNoWait, [](HWND, int n) { return QUB_RotateCommand(n, false); }},
    {kTbSize50, kNoWait, [](HWND, int n) { return QUB_SizeStepCommand(n, 500); }},
    {kTbSize71, kNoWait, [](HWND, int n) { return QUB_SizeStepCommand(n, 707); }},
    {kTbSize141, kNoWait, [](HWND, int n) { return QUB_SizeStepCommand(n, 1414); }},
    {kTbSize200, kNoWait, [](HWND, int n) { return QUB_SizeStepCommand(n, 2000); }},
};

constexpr UINT kMfsChecked = 0x8;  // MFS_CHECKED

void AppendItems(HMENU menu, const ToolboxItem* items, int count, int zoom) {
    for (int i = 0; i < count; ++i) {
        const ToolboxItem& item = items[i];
        if (!item.text) {
            QUB_InsertMenuSeparator(menu, i);
        } else if (item.submenu) {
            HMENU sub = CreatePopupMenu();
            AppendItems(sub, item.submenu, item.submenuCount, zoom);
            QUB_InsertSubmenu(menu, sub, i, item.text);
        } else {
            const int state = QUB_ToolboxItemChecked(item.command, zoom) ? kMfsChecked : kMenuStateEnabled;
            QUB_InsertMenuString(menu, i, state, item.command, item.text);
        }
    }
}

HMENU Build(const ToolboxMenu& items, int zoom) {
    HMENU menu = CreatePopupMenu();
    if (menu) AppendItems(menu, items.items, items.count, zoom);
    return menu;
}

}  // namespace

HMENU QUB_BuildBasicMenu(HWND window) {
    const int n = QUB_FindImageSlot(window);
    return Build(QUB_BasicMenuItems(), n < 0 ? 0 : qubState.images[n].zoom);
}

HMENU QUB_BuildProcessMenu(int n) {
    const bool open = n >= 0 && n < kImageSlots && qubState.images[n].inUse;
    return Build(QUB_ProcessMenuItems(open ? qubState.images[n].depth : 32), 0);
}

void QUB_ShowImageToolbox(HWND window, int n, bool processing) {
    POINT at;
    GetCursorPos(&at);
    HMENU menu = processing ? QUB_BuildProcessMenu(n) : QUB_BuildBasicMenu(window);
    if (!menu) return;
    TrackPopupMenu(menu, TPM_RIGHTBUTTON, at.x, at.y, 0, window, nullptr);
    DestroyMenu(menu);  // the submenus with it
}

int QUB_RunImageToolboxCommand(HWND window, int id) {
    const LibraryState& s = qubState;
    const int n = QUB_FindImageSlot(window);
    if (n < 0 || s.pickActive.load()) return -1;
    for (const ToolboxCommand& command : kCommands) {
        if (command.id != id) continue;
        // A second line input nested in a waiting one would take its answer
        // and leave the first empty; a pick nested in it takes clicks only.
        if ((command.needs & kLine) && s.lineInputActive.load()) return -1;
        return command.run(window, n);
    }
    return -1;
}
