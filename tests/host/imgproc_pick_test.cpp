// Pick tools without windows: paste box, radius, corner order, and every tool's steps.
#include <gtest/gtest.h>
#include <map>
#include <tuple>
#include <vector>
#include "imgproc/pick_geometry.h"
#include "imgproc/pick_state.h"

namespace {
TEST(PickGeometry, RadiusBoxAndCorners) {
    // sqrt(dx^2 + dy^2) + 0.5, truncated.
    const int radii[][3] = {{3, 4, 5}, {-3, -4, 5}, {1, 1, 1}, {0, 0, 0}, {1, 2, 2}, {2, 2, 3}};
    for (const auto& r : radii) EXPECT_EQ(QUB_PickRadius(r[0], r[1]), r[2]) << r[0] << "," << r[1];
    // Centred on the point; the inner diagonals from 9 x 9 on.
    const int boxes[][9] = {{10, 30, 8, 20, 6, 20, 13, 39, 0}, {0, 5, 9, 9, -4, 1, 4, 9, 1}};
    for (const auto& b : boxes) {
        const PickBox g = QUB_PickBoxAround(b[0], b[1], b[2], b[3]);
        EXPECT_EQ(std::vector<int>({g.left, g.top, g.right, g.bottom, g.diagonals}),
                  std::vector<int>(b + 4, b + 9));
    }
    int x1 = 7, y1 = 2, x2 = 3, y2 = 9;
    QUB_OrderCorners(&x1, &y1, &x2, &y2);
    EXPECT_EQ(std::make_tuple(x1, y1, x2, y2), std::make_tuple(3, 2, 7, 9));
}

// A picture that records the XOR bands drawn in it: a band drawn twice is gone.
struct BandLedger {
    std::map<std::tuple<int, int, int, int>, int> drawn;
    static std::tuple<int, int, int, int> Key(const PickState& s) {
        return std::make_tuple(s.x1, s.y1, s.x2, s.y2);
    }
    void Xor(const PickState& s) { drawn[Key(s)] ^= 1; }
    int Shown() const {
        int n = 0;
        for (const auto& band : drawn) n += band.second;
        return n;
    }
};

PickStep Apply(PickState* s, BandLedger* ledger, PickEvent event, int x, int y) {
    const PickState before = *s;
    const PickStep step = QUB_PickApply(s, event, x, y);
    if (step.eraseBefore) ledger->Xor(before);
    if (step.drawAfter) ledger->Xor(*s);
    return step;
}

// A two-point tool keeps both clicks in order after a Cancel; the plain point has no band.
TEST(PickSteps, TwoPointToolAndPlainPoint) {
    BandLedger ledger;
    PickState s = QUB_PickStart(true, true, 40, 40);
    for (auto [e, x, y] : {std::tuple{PickEvent::kClick, 5, 6}, {PickEvent::kCancel, 0, 0},
                           {PickEvent::kClick, 8, 3}, {PickEvent::kClick, 2, 7}})
        Apply(&s, &ledger, e, x, y);
    EXPECT_EQ(BandLedger::Key(s), std::make_tuple(8, 3, 2, 7));
    PickState point = QUB_PickStart(false, false, 1, 1);
    EXPECT_FALSE(point.bandShown || QUB_PickApply(&point, PickEvent::kMove, 2, 2).drawAfter);
}

// Every sequence of six events, one- and two-point tools: while a tool runs
// exactly its shown band is in the picture; however it ends, none is left.
TEST(PickSteps, NoSequenceOfEventsLeavesABandBehind) {
    const PickEvent events[] = {PickEvent::kMove, PickEvent::kClick, PickEvent::kCancel,
                                PickEvent::kStop};
    for (const bool twoPoints : {false, true}) {
        for (int code = 0; code < 4 * 4 * 4 * 4 * 4 * 4; ++code) {
            BandLedger ledger;
            PickState s = QUB_PickStart(twoPoints, true, 0, 0);
            if (s.bandShown) ledger.Xor(s);
            int c = code;
            for (int i = 0; i < 6; ++i, c /= 4) {
                Apply(&s, &ledger, events[c % 4], i + 1, 2 * i + 1);
                ASSERT_EQ(ledger.Shown(), s.bandShown ? 1 : 0) << "code " << code << " step " << i;
                if (s.bandShown) { ASSERT_EQ(ledger.drawn[BandLedger::Key(s)], 1); }
                if (QUB_PickEnded(s)) { ASSERT_FALSE(s.bandShown); }
            }
            if (events[code % 4] == PickEvent::kStop) { EXPECT_EQ(s.phase, PickPhase::kStopped); }
        }
    }
}
}  // namespace
