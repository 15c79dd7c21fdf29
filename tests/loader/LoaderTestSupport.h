// A window stand-in for the loader's tests: it records every box and progress
// display, answers questions from a list and presses Esc when told to.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "LoaderProgram.h"

struct TBox {
    std::string Text, Caption;
    TMsgIcon Icon;
    bool Question;
};

class TFakeUi : public TLoaderUi {
public:
    std::vector<TBox> Boxes;
    std::deque<bool> Answers;  // Yes/No answers, in order; No when none left
    std::vector<std::string> Labels, Titles;
    int64_t Position = -1, Maximum = -1;
    TLoaderProgram* Program = nullptr;
    int EscAfterProgress = -1;  // Esc is pressed once this many progress displays were made
    bool LabelOver = false;
    bool Placed = false;

    void ShowMessage(const std::string& text, const std::string& caption, TMsgIcon icon) override {
        Boxes.push_back({text, caption, icon, false});
    }
    bool AskYesNo(const std::string& text, const std::string& caption) override {
        Boxes.push_back({text, caption, TMsgIcon::Warning, true});
        if (Answers.empty()) return false;
        const bool yes = Answers.front();
        Answers.pop_front();
        return yes;
    }
    void PlaceBar() override { Placed = true; }
    void LabelOverBar(bool over) override { LabelOver = over; }
    void ShowProgress(int64_t position, int64_t maximum, const std::string& label,
                      const std::string& title) override {
        Position = position;
        Maximum = maximum;
        Labels.push_back(label);
        Titles.push_back(title);
    }
    void ProcessMessages() override {
        if (Program && EscAfterProgress >= 0 && static_cast<int>(Labels.size()) >= EscAfterProgress)
            Program->EscPressed = true;
    }
};

// Bytes from a list, as a payload text.
inline std::string B(std::initializer_list<int> bytes) {
    std::string s;
    for (int b : bytes) s.push_back(static_cast<char>(b));
    return s;
}

inline std::string Fill(size_t n, int byte) { return std::string(n, static_cast<char>(byte)); }

// One Intel HEX record line with its checksum.
inline std::string HexLine(int count, int address, int type, const std::string& data) {
    static const char* digits = "0123456789ABCDEF";
    std::string bytes = B({count, (address >> 8) & 0xFF, address & 0xFF, type}) + data;
    int sum = 0;
    for (unsigned char c : bytes) sum += c;
    bytes.push_back(static_cast<char>((0x100 - (sum & 0xFF)) & 0xFF));
    std::string line = ":";
    for (unsigned char c : bytes) {
        line.push_back(digits[c >> 4]);
        line.push_back(digits[c & 15]);
    }
    return line;
}
