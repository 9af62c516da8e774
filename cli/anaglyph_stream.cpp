#include "cli/anaglyph_stream.h"

#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>
#include <utility>

#include "app/compose.h"
#include "cli/anaglyph_modes.h"

namespace {

// Decoded rows travel through a ring of this many; the decoder waits when it
// is a ring ahead. Large enough to ride out the encoder's pauses at MCU rows.
constexpr int kRingRows = 64;
// Each side wakes the other once per this many rows, not per row: under Wine
// every wake-up of a waiting thread is a round trip through the wineserver,
// and per row they took a quarter of a run over a folder of small pairs.
// Well under the ring, so the two sides never wait for each other at once.
constexpr int kBatchRows = 16;

struct Ring {
    std::mutex lock;
    std::condition_variable changed;
    std::vector<uint32_t> rows;
    int width = 0;
    int produced = 0;  // rows decoded
    int consumed = 0;  // rows composed
    bool stop = false;     // the consumer gave up
    bool finished = false; // the decoder returned
    bool decoded = false;  // ... successfully
    std::string error;
    std::string warning;  // the decoder's, once it returned

    uint32_t* Row(int y) { return rows.data() + static_cast<size_t>(y % kRingRows) * width; }

    // The decoder's side: waits for room, copies row y in, and wakes the
    // composer once a batch is in. False once the composer gave up.
    bool Put(int y, const uint32_t* row) {
        std::unique_lock<std::mutex> hold(lock);
        changed.wait(hold, [&] { return stop || produced - consumed < kRingRows; });
        if (stop) return false;
        hold.unlock();
        std::memcpy(Row(y), row, static_cast<size_t>(width) * 4);
        hold.lock();
        produced = y + 1;
        if (produced % kBatchRows == 0) changed.notify_all();
        return true;
    }
};

}  // namespace

StreamResult StreamAnaglyph(const PairSource& source, const CliOptions& o,
                            std::vector<uint8_t>* file, PairViews* views, std::string* error) {
    const PictureProbe& probe = source.probe;
    if (!source.rightBytes.empty() || source.kind != kPairNone || o.autoAlign ||
        (o.haveOffset && o.offsetI != 0) || probe.format != kPictureJpeg)
        return StreamResult::NotStreamable;
    const std::vector<uint8_t>& bytes = source.bytes;
    const int width = probe.width, height = probe.height, half = width / 2;
    const int a = o.haveOffset ? o.offsetA : 0;
    const StereoOverlap overlap = AlignedOverlap(half, height, a, 0);
    if (half < 1) return StreamResult::NotStreamable;
    if (overlap.width == 0) {
        *error = "the offset leaves no overlap of the views";
        return StreamResult::Failed;
    }
    CliJpegWriter* writer = CliBeginJpeg(overlap.width, height, o.quality, FullChroma(o));
    if (!writer) {
        *error = "JPEG encoder failed";
        return StreamResult::Failed;
    }

    Ring ring;
    ring.width = width;
    ring.rows.resize(static_cast<size_t>(width) * kRingRows);
    std::thread decoder([&] {
        std::string why, warning;
        const bool ok = CliDecodeRows(
            bytes.data(), bytes.size(), width, height,
            [&ring](int y, const uint32_t* row) { return ring.Put(y, row); }, &why, &warning);
        std::lock_guard<std::mutex> hold(ring.lock);
        ring.warning = warning;
        ring.finished = true;
        ring.decoded = ok;
        ring.error = why;
        ring.changed.notify_all();
    });

    // Each row is composed as a one-row pair of views: with no row offset
    // the left and right rows are the halves of the same picture row.
    std::vector<uint32_t> composed(static_cast<size_t>(half));
    bool ok = true;
    for (int y = 0; y < height && ok; ++y) {
        {
            std::unique_lock<std::mutex> hold(ring.lock);
            ring.changed.wait(hold, [&] { return ring.produced > y || ring.finished; });
            if (ring.produced <= y) {
                ok = false;
                break;
            }
        }
        const uint32_t* left = ring.Row(y);
        const uint32_t* right = left + half;
        if (o.cross != o.swap) std::swap(left, right);
        MakeAnaglyphMode(o.mode, half, 1, left, right, composed.data(), a, 0, false);
        ok = CliJpegRow(writer, composed.data());
        std::lock_guard<std::mutex> hold(ring.lock);
        ring.consumed = y + 1;
        if (!ok) ring.stop = true;
        if (!ok || ring.consumed % kBatchRows == 0) ring.changed.notify_all();
    }
    if (!ok) {
        std::lock_guard<std::mutex> hold(ring.lock);
        ring.stop = true;
        ring.changed.notify_all();
    }
    decoder.join();
    if (ok && !ring.decoded) ok = false;
    if (!CliEndJpeg(writer, file) || !ok) {
        *error = !ring.decoded && !ring.error.empty() ? ring.error : "JPEG encoder failed";
        return StreamResult::Failed;
    }
    views->format = "side-by-side JPEG";
    views->warning = ring.warning;
    return StreamResult::Done;
}
