#include "text/key_ring.h"

namespace {

int Following(int index) { return index + 1 == kKeyRingUnits ? 0 : index + 1; }

}  // namespace

bool QUB_KeyRingPut(char16_t* ring, std::atomic<int>& read, std::atomic<int>& write,
                    char16_t unit) {
    const int w = write.load();
    if (w < 0 || w >= kKeyRingUnits) return false;
    if (read.load() == w) return false;
    ring[w] = unit;
    // The unit is published before the ring can look non-empty, so that a
    // reader on the other thread never takes a place not yet written.
    write.store(Following(w));
    int empty = -1;
    read.compare_exchange_strong(empty, w);
    return true;
}

bool QUB_KeyRingTake(const char16_t* ring, std::atomic<int>& read, const std::atomic<int>& write,
                     char16_t* unit) {
    const int r = read.load();
    if (r < 0 || r >= kKeyRingUnits) return false;
    *unit = ring[r];
    const int next = Following(r);
    if (next != write.load()) {
        read.store(next);
        return true;
    }
    read.store(-1);
    // A unit put in between the test and the store found the ring non-empty
    // and left `read` alone; mark it as waiting, as its writer would have.
    if (write.load() != next) {
        int empty = -1;
        read.compare_exchange_strong(empty, next);
    }
    return true;
}
