// The stereo routine, which the program runs as its user routine: it takes
// the pair in image window 0, lets the user align its views, previews and
// saves them, and returns on Quit or a stop request.
#pragma once

void StereoRoutine();
