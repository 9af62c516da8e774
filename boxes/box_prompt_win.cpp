// The boxes' prompt. Text windows with line input are not part of the library
// yet, so there is no one to ask: every rename is answered with an empty line,
// which leaves the caption as it was.
#include "boxes/box_prompt.h"

bool QUB_AskBoxLine(int, const char*, char* line) {
    line[0] = '\0';
    return false;
}
