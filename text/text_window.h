// Text windows and their log files.
#pragma once

int QUB_OpenTextWindow(int n, int x, int y, int w, int h);
void QUB_CloseAllLogs();
