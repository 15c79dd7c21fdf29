// A small modal tool window that edits an unsigned value of up to 32 bits as
// a row of toggle buttons, most significant bit first; its caption shows the
// value in decimal and hexadecimal while bits are toggled.
#pragma once

#include <QDialog>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class QLabel;
class QPushButton;

// The caption: "Binary Edit | Dec: ", the value as a signed 32-bit number,
// " | Hex: 0x" and at least bits / 4 upper-case hexadecimal digits.
std::string BinaryEditCaption(uint32_t value, int32_t bits);
// The caption's longest form for the values of `bits` bits (1 to 32): as
// many decimal characters as the longest value shows (a minus sign and ten
// digits for 32 bits), each digit written as `digit`, and as many
// hexadecimal digits as the largest value has, each written as `hexDigit`.
// With the widest digits of a font, no value's caption is wider.
std::string BinaryEditLongestCaption(int32_t bits, char digit, char hexDigit);
// The label over bit n: its number at the ends of a group of four, else ".".
std::string BinaryEditLabel(int32_t bit);

class TfrmBinaryEditBar : public QDialog {
    Q_OBJECT
public:
    static constexpr int32_t MaxBits = 32;

    // The bar for bitCount bits (cut to 32) of value; a bit count below 1
    // gives a bar without buttons that Execute never shows. The bar is wide
    // enough for its caption with any value it can show, in the title bar's
    // font beside the frame's buttons; its row of buttons is centred.
    TfrmBinaryEditBar(QWidget* owner, int32_t bitCount, uint32_t value);
    ~TfrmBinaryEditBar() override;

    // Shows the bar modally, its top-left corner at (x, y) on the screen
    // unless either is -1, and returns the value however the bar was closed.
    // Only bit counts 1 to 32 open the bar; any other count returns the
    // value as it was.
    static uint32_t Execute(QWidget* owner, int32_t bitCount, uint32_t value, int x, int y);

    uint32_t Value() const { return EditValue; }
    int32_t BitCount() const { return Bits; }
    // The button and label of button index i (0 = most significant bit).
    QPushButton* Button(int32_t i) const;
    QLabel* Label(int32_t i) const;

public slots:
    void BitButtonClick();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    struct TBitControls {
        QLabel* Label;
        QPushButton* Button;
    };
    int32_t Bits;
    std::vector<TBitControls> Controls;
    uint32_t EditValue;

    void FormCreate();
    void ShowBit(QPushButton* button, bool set);
};
