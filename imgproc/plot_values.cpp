#include "imgproc/plot_values.h"

#include "imgproc/colour_space.h"

namespace {

// Checked in this order: the first bit present decides.
constexpr int kChannelOrder[] = {kPlotRed,       kPlotGreen,     kPlotBlue, kPlotHue,
                                 kPlotSaturation, kPlotValue,    kPlotLuminance,
                                 kPlotCr,         kPlotCb,       kPlotByte};

}  // namespace

bool QUB_PlotSampleAt(const void* data, int i, int flags, PlotSample* sample) {
    int channel = 0;
    for (int bit : kChannelOrder)
        if (flags & bit) {
            channel = bit;
            break;
        }
    if (channel == 0) return false;
    sample->scale = channel == kPlotHue ? 359 : 255;
    if (channel == kPlotByte) {
        sample->value = static_cast<const uint8_t*>(data)[i];
        return true;
    }
    const uint32_t p = static_cast<const uint32_t*>(data)[i];
    switch (channel) {
        case kPlotRed: sample->value = QUB_Red(p); break;
        case kPlotGreen: sample->value = QUB_Green(p); break;
        case kPlotBlue: sample->value = QUB_Blue(p); break;
        case kPlotHue: sample->value = QUB_Hue(p); break;
        case kPlotSaturation: sample->value = QUB_Saturation(p); break;
        case kPlotValue: sample->value = QUB_Value(p); break;
        case kPlotLuminance: sample->value = QUB_Luminance(p); break;
        case kPlotCr: sample->value = QUB_RgbToCrCb(p).first + 128; break;
        default: sample->value = QUB_RgbToCrCb(p).second + 128; break;
    }
    return true;
}

PlotPoint QUB_CrCbPoint(uint32_t pixel) {
    const QUB_ChromaPair c = QUB_RgbToCrCb(pixel);
    return {128 + c.second, 128 - c.first};
}
