#include "text/console_words.h"

#include <cstdio>
#include <cstring>

ConsoleWord QUB_ConsoleWord(const char* line) {
    static const struct {
        const char* word;
        ConsoleWord value;
    } kWords[] = {{"exit", ConsoleWord::kExit},
                  {"start", ConsoleWord::kStart},
                  {"help", ConsoleWord::kHelp},
                  {"ver", ConsoleWord::kVer},
                  {"color", ConsoleWord::kColor}};
    if (!line) return ConsoleWord::kInvalid;
    for (const auto& w : kWords)
        if (std::strcmp(line, w.word) == 0) return w.value;
    return ConsoleWord::kInvalid;
}

std::string QUB_ConsoleColourReport(uint32_t drawColour, uint32_t ttTextColour, uint32_t textColour) {
    char text[160];
    std::snprintf(text, sizeof text, "Red  :%3u\nGreen:%3u\nBlue :%3u\nqub_tttc=%06x\nqub_tc=%06x\n",
                  static_cast<unsigned>((drawColour >> 16) & 255u), static_cast<unsigned>((drawColour >> 8) & 255u),
                  static_cast<unsigned>(drawColour & 255u), static_cast<unsigned>(ttTextColour),
                  static_cast<unsigned>(textColour));
    return text;
}
