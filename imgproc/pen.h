// The drawing pen: the last end point drawn by the operations that move it.
// The pixel engine reports where a drawing leaves it; the caller that owns the
// pen decides whether to move it.
#pragma once

struct QUB_Pen {
    int x, y;
};
