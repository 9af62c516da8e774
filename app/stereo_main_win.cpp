// The program's user routine. The stereo alignment arrives in a later step;
// for now the routine waits, pumping messages, until it is asked to stop.
#include "core/library_state.h"
#include "core/runtime.h"

void QUB_Main() {
    while (qubState.stopRequested.load() == 0) {
        QUB_PumpMessages();
        Sleep(10);
    }
}
