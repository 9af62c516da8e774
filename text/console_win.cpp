// The one-command console of a text window (command 1029, Space).
// Hook: the console is not built yet, so starting it does nothing; its result
// is that of an invalid command.
#include "text/text_window.h"

int QUB_RunCommandConsole() { return 1; }
