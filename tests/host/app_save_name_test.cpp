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

TEST(SaveName, TimeStamp) {
    EXPECT_EQ(Formatted(At(2008, 1, 24, 14, 5, 9)), "Dor-080124_14_05_09");
    EXPECT_EQ(Formatted(At(2000, 12, 31, 23, 59, 59)), "Dor-001231_23_59_59");
    EXPECT_EQ(Formatted(At(1999, 7, 1, 0, 0, 0)), "Dor-990701_00_00_00");
}

TEST(SaveName, TooSmallBufferGivesEmptyName) {
    char out[10];
    std::memset(out, 'Z', sizeof out);
    EXPECT_FALSE(FormatSaveName(At(2008, 1, 24, 14, 5, 9), out, sizeof out));
    EXPECT_STREQ(out, "");
}

TEST(SaveName, FirstSaveGetsThePlainName) {
    FakeFolder folder;
    folder.files = {"Dor-080124_14_05_08.jpg", "Dor-080124_14_05_09.bmp"};
    EXPECT_EQ(Choose(folder, At(2008, 1, 24, 14, 5, 9)), "Dor-080124_14_05_09");
    // The question is about the file the save will write, extension included.
    EXPECT_EQ(folder.asked, std::set<std::string>{"Dor-080124_14_05_09.jpg"});
}

TEST(SaveName, LaterSavesInTheSameSecondGetCounters) {
    FakeFolder folder;
    const std::tm t = At(2008, 1, 24, 14, 5, 9);
    for (const char* expected : {"Dor-080124_14_05_09", "Dor-080124_14_05_09_2",
                                 "Dor-080124_14_05_09_3"}) {
        const std::string name = Choose(folder, t);
        EXPECT_EQ(name, expected);
        folder.files.insert(name + kSaveExtension);
    }
}

TEST(SaveName, GapInCountersIsReused) {
    FakeFolder folder;
    folder.files = {"Dor-080124_14_05_09.jpg", "Dor-080124_14_05_09_3.jpg"};
    EXPECT_EQ(Choose(folder, At(2008, 1, 24, 14, 5, 9)), "Dor-080124_14_05_09_2");
}

TEST(SaveName, EveryNameTakenGivesNone) {
    FakeFolder folder;
    folder.files.insert("Dor-080124_14_05_09.jpg");
    for (int k = 2; k <= kMaxSaveCounter; ++k)
        folder.files.insert("Dor-080124_14_05_09_" + std::to_string(k) + ".jpg");
    EXPECT_EQ(Choose(folder, At(2008, 1, 24, 14, 5, 9)), "<none>");
}

TEST(SaveName, ChosenNameMustFitTheCallersBuffer) {
    FakeFolder folder;
    char out[20];  // the plain name needs 20 bytes with its terminator
    EXPECT_TRUE(ChooseSaveName(At(2008, 1, 24, 14, 5, 9), Exists, &folder, out, sizeof out));
    EXPECT_STREQ(out, "Dor-080124_14_05_09");
    folder.files.insert("Dor-080124_14_05_09.jpg");
    EXPECT_FALSE(ChooseSaveName(At(2008, 1, 24, 14, 5, 9), Exists, &folder, out, sizeof out));
    EXPECT_STREQ(out, "");
}

}  // namespace
