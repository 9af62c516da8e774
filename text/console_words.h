// The command console's words and its colour report, apart from the text
// window they are typed into.
#pragma once
#include <cstdint>
#include <string>

enum class ConsoleWord { kInvalid, kExit, kStart, kHelp, kVer, kColor };

// The whole line must be the word, case and all: "Exit" and "exit " are not.
ConsoleWord QUB_ConsoleWord(const char* line);

// The lines "color" prints for the drawing colour and both text colours.
std::string QUB_ConsoleColourReport(uint32_t drawColour, uint32_t ttTextColour, uint32_t textColour);
