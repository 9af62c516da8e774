// The program's entry point. Kept alone in its file so that test programs
// with their own main() do not pull it in.
#include "core/runtime.h"

extern "C" int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) { return QUB_WinMain(instance); }
