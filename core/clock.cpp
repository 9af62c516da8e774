#include "core/clock.h"

#include <cmath>

uint32_t QUB_CountsToMilliseconds(int64_t counts, double msPerCount) {
    double ms = std::floor(static_cast<double>(counts) * msPerCount);
    return static_cast<uint32_t>(static_cast<uint64_t>(static_cast<int64_t>(ms)));
}
