// Names of saved stereo pairs: the time stamp and the counter that keeps two
// saves in the same second apart.
#include <gtest/gtest.h>

#include <cstring>
#include <ctime>
#include <set>
#include <string>

#include "app/save_name.h"

namespace {

std::tm At(int year, int month, int day, int hour, int minute, int second) {
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_sec = second;
    return t;
}

std::string Formatted(const std::tm& t) {
    char out[kSaveNameBytes];
    EXPECT_TRUE(FormatSaveName(t, out, sizeof out));
    return out;
}

// The directory as a set of file names; records what was asked.
struct FakeFolder {
    std::set<std::string> files;
    std::set<std::string> asked;
};

bool Exists(const char* name, void* context) {
    auto* folder = static_cast<FakeFolder*>(context);
    folder->asked.insert(name);
    return folder->files.count(name) != 0;
}

std::string Choose(FakeFolder& folder, const std::tm& t) {
    char out[kSaveNameBytes];
    std::memset(out, 'Z', sizeof out);
    if (!ChooseSaveName(t, Exists, &folder, out, sizeof out)) {
        EXPECT_STREQ(out, "");
        return "<none>";
    }
    return out;
}

TEST(SaveName, TimeStampAndBufferSize) {
    EXPECT_EQ(Formatted(At(2008, 1, 24, 14, 5, 9)), "Dor-080124_14_05_09");
    EXPECT_EQ(Formatted(At(2000, 12, 31, 23, 59, 59)), "Dor-001231_23_59_59");
    EXPECT_EQ(Formatted(At(1999, 7, 1, 0, 0, 0)), "Dor-990701_00_00_00");
    char out[10];
    std::memset(out, 'Z', sizeof out);
    EXPECT_FALSE(FormatSaveName(At(2008, 1, 24, 14, 5, 9), out, sizeof out));
    EXPECT_STREQ(out, "");
}

// The folder as it stands, and the name the next save in 14:05:09 gets.
TEST(SaveName, CountersKeepSavesInOneSecondApart) {
    const std::string stamp = "Dor-080124_14_05_09";
    std::set<std::string> full = {stamp + ".jpg"};
    for (int k = 2; k <= kMaxSaveCounter; ++k)
        full.insert(stamp + "_" + std::to_string(k) + ".jpg");
    const struct {
        std::set<std::string> files;
        std::string name;
    } cases[] = {
        {{"Dor-080124_14_05_08.jpg", stamp + ".bmp"}, stamp},  // only the .jpg counts
        {{stamp + ".jpg"}, stamp + "_2"},
        {{stamp + ".jpg", stamp + "_2.jpg"}, stamp + "_3"},
        {{stamp + ".jpg", stamp + "_3.jpg"}, stamp + "_2"},  // a gap is reused
        {full, "<none>"},
    };
    for (const auto& c : cases) {
        FakeFolder folder{c.files, {}};
        EXPECT_EQ(Choose(folder, At(2008, 1, 24, 14, 5, 9)), c.name);
        EXPECT_EQ(folder.asked.count(c.name + kSaveExtension), c.name == "<none>" ? 0u : 1u);
    }
    // The chosen name must fit the caller's buffer: the plain one needs 20 bytes.
    FakeFolder folder;
    char out[20];
    EXPECT_TRUE(ChooseSaveName(At(2008, 1, 24, 14, 5, 9), Exists, &folder, out, sizeof out));
    EXPECT_EQ(std::string(out), stamp);
    folder.files.insert(stamp + ".jpg");
    EXPECT_FALSE(ChooseSaveName(At(2008, 1, 24, 14, 5, 9), Exists, &folder, out, sizeof out));
    EXPECT_STREQ(out, "");
}

}  // namespace
