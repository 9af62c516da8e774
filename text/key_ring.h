// The ring of typed characters that a waiting line input takes from.
//
// `read` is the index of the next unit to take, -1 when the ring is empty;
// `write` is the index of the next free place. When `read` equals `write` the
// ring is full and further units are dropped. The window procedure puts, the
// line input takes; the indices are atomic because the input may run on the
// other thread.
#pragma once
#include <atomic>

constexpr int kKeyRingUnits = 256;

// Puts `unit` in; false when the ring was full and the unit was dropped.
bool QUB_KeyRingPut(char16_t* ring, std::atomic<int>& read, std::atomic<int>& write,
                    char16_t unit);

// Takes the next unit into `unit`; false when the ring is empty.
bool QUB_KeyRingTake(const char16_t* ring, std::atomic<int>& read, const std::atomic<int>& write,
                     char16_t* unit);
