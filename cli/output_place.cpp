#include "cli/output_place.h"

#include "cli/input_list.h"

namespace {

constexpr int kMaxCounter = 9999;

// True when `name` is the run's own: an input, or an output already placed.
// Both the name and what a link under it leads to count, so that a link to
// an input is not replaced either.
bool Protected(const OutputBook& book, const std::string& name) {
    for (const bool follow : {false, true}) {
        CliFileId id;
        if (CliFileIdentity(name, follow, &id) && (book.inputs.count(id) || book.written.count(id)))
            return true;
    }
    return false;
}

}  // namespace

void AddInput(OutputBook* book, const std::string& path) {
    std::lock_guard<std::mutex> hold(book->lock);
    for (const bool follow : {false, true}) {
        CliFileId id;
        if (CliFileIdentity(path, follow, &id)) book->inputs.insert(id);
    }
}

bool PlaceOutput(OutputBook* book, const std::string& name, const std::vector<uint8_t>& bytes,
                 std::string* placed, std::string* error) {
    std::string temp;
    if (!CliWriteTemp(name, bytes, &temp, error)) return false;
    for (int n = 1; n <= kMaxCounter; ++n) {
        const std::string candidate = n == 1 ? name : CountedName(name, n);
        // Checking and naming under one lock: a job that finds a name free
        // has it before any other job looks.
        std::lock_guard<std::mutex> hold(book->lock);
        if (Protected(*book, candidate)) continue;
        const PlaceResult r = CliNameTemp(temp, candidate, book->overwrite, error);
        if (r == PlaceResult::Taken) continue;
        if (r == PlaceResult::Failed) {
            CliRemoveFile(temp);
            return false;
        }
        CliFileId id;
        if (CliFileIdentity(candidate, false, &id)) book->written.insert(id);
        *placed = candidate;
        return true;
    }
    CliRemoveFile(temp);
    *error = "every name up to _9999 is taken";
    return false;
}
