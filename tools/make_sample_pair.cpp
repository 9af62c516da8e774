// Writes the sample stereo pair as a binary PPM: the left view in the left
// half, the right view in the right half. The committed JPEG is made from it:
//   make_sample_pair pair.ppm && convert pair.ppm -quality 85 samples/stereo_pair.jpg
#include <cstdint>
#include <cstdio>
#include <vector>

#include "tools/sample_pair_params.h"
#include "tools/sample_scene.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s output.ppm\n", argv[0]);
        return 2;
    }
    const size_t viewPixels = static_cast<size_t>(kSampleViewWidth) * kSampleViewHeight;
    std::vector<uint32_t> left(viewPixels), right(viewPixels);
    RenderSampleView(SampleEye::Left, left.data(), nullptr);
    RenderSampleView(SampleEye::Right, right.data(), nullptr);

    std::vector<unsigned char> bytes;
    bytes.reserve(viewPixels * 2 * 3);
    for (int y = 0; y < kSampleViewHeight; ++y)
        for (const std::vector<uint32_t>* view : {&left, &right})
            for (int x = 0; x < kSampleViewWidth; ++x) {
                const uint32_t p = (*view)[static_cast<size_t>(y) * kSampleViewWidth + x];
                bytes.push_back(static_cast<unsigned char>(p >> 16));
                bytes.push_back(static_cast<unsigned char>(p >> 8));
                bytes.push_back(static_cast<unsigned char>(p));
            }

    std::FILE* file = std::fopen(argv[1], "wb");
    if (file == nullptr) {
        std::perror(argv[1]);
        return 1;
    }
    std::fprintf(file, "P6\n%d %d\n255\n", kSamplePairWidth, kSampleViewHeight);
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (std::fclose(file) != 0 || !written) {
        std::perror(argv[1]);
        return 1;
    }
    return 0;
}
