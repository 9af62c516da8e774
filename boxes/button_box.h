// The button box: a grid of up to 256 counted push buttons.
#pragma once

void QUB_OpenButtonBox(int x, int y, int nx, int ny);
void QUB_DestroyButtonBox();
