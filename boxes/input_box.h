// The input box: up to 30 labelled edit fields.
#pragma once

void QUB_OpenInputBox(int x, int y, int items);
void QUB_CloseInputBox();
