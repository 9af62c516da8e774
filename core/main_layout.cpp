#include "core/main_layout.h"

MainWindowPlace QUB_MainWindowPlace(int cxFullScreen, int cyFullScreen, int cyCaption,
                                    int workBottom) {
    MainWindowPlace p;
    p.width = kMainWidth;
    p.height = cyCaption + kMainExtraHeight;
    p.x = (cxFullScreen - kMainWidth) / 2;
    p.y = cyFullScreen - kMainExtraHeight - kMainDropDistance;
    const int restingBottom = p.y + kMainDropDistance + p.height;
    if (restingBottom > workBottom) p.y -= restingBottom - workBottom;
    return p;
}
