// Names of the files that Save writes: the local time as
// "Dor-%y%m%d_%H_%M_%S" (e.g. Dor-080124_14_05_09), saved with ".jpg".
// Two saves within the same second must not overwrite each other, so a name
// that is taken gets a counter: Dor-080124_14_05_09_2, _3, ...
#pragma once
#include <cstddef>
#include <ctime>

// The image save takes the name without extension and adds this.
constexpr const char kSaveExtension[] = ".jpg";
// Room for a name, as the image save expects it.
constexpr size_t kSaveNameBytes = 255;
// The highest counter tried before giving up.
constexpr int kMaxSaveCounter = 9999;

// Formats the plain name for `when` into out (out size >= 1). Returns false,
// with out empty, when it does not fit.
bool FormatSaveName(const std::tm& when, char* out, size_t outSize);

// Answers whether a file with this full name (extension included) exists.
using FileExistsFn = bool (*)(const char* fileName, void* context);

// Picks the name (without extension) for a save at `when`: the plain name if
// no file "<name>.jpg" exists, otherwise the plain name with the first free
// "_2" ... "_9999" appended. Returns false, with out empty, when every one of
// them is taken or the name does not fit.
bool ChooseSaveName(const std::tm& when, FileExistsFn exists, void* context, char* out,
                    size_t outSize);
