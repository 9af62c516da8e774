#include "app/save_name.h"

#include <cstdio>
#include <cstring>

bool FormatSaveName(const std::tm& when, char* out, size_t outSize) {
    if (outSize == 0) return false;
    // strftime returns 0 both for "did not fit" and for an empty result; this
    // pattern is never empty.
    if (std::strftime(out, outSize, "Dor-%y%m%d_%H_%M_%S", &when) == 0) {
        out[0] = '\0';
        return false;
    }
    return true;
}

bool ChooseSaveName(const std::tm& when, FileExistsFn exists, void* context, char* out,
                    size_t outSize) {
    if (outSize == 0) return false;
    out[0] = '\0';
    char base[kSaveNameBytes];
    if (!FormatSaveName(when, base, sizeof base)) return false;
    // The full name, extension included, has to fit the save's buffer; the
    // existence check asks about exactly the file the save will write.
    char candidate[kSaveNameBytes];
    for (int counter = 1; counter <= kMaxSaveCounter; ++counter) {
        char suffix[16] = "";
        if (counter > 1) std::snprintf(suffix, sizeof suffix, "_%d", counter);
        const int n = std::snprintf(candidate, sizeof candidate, "%s%s%s", base, suffix,
                                    kSaveExtension);
        if (n < 0 || static_cast<size_t>(n) >= sizeof candidate) return false;
        if (exists(candidate, context)) continue;
        const size_t nameLength = static_cast<size_t>(n) - (sizeof kSaveExtension - 1);
        if (nameLength >= outSize) return false;
        std::memcpy(out, candidate, nameLength);
        out[nameLength] = '\0';
        return true;
    }
    return false;
}
