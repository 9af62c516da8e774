// The program's user routine.
#include "app/stereo_routine_win.h"
#include "core/runtime.h"

void QUB_Main() { StereoRoutine(); }
