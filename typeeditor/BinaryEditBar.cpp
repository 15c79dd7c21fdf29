#include "BinaryEditBar.h"

#include <QApplication>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <algorithm>
#include <bit>
#include <cstdio>

#include "QtText.h"
#include "ScreenFit.h"

std::string BinaryEditCaption(uint32_t value, int32_t bits) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "%0*X", std::clamp(bits / 4, 0, 8), static_cast<unsigned>(value));
    return "Binary Edit | Dec: " + std::to_string(static_cast<int32_t>(value)) + " | Hex: 0x" + hex;
}

std::string BinaryEditLongestCaption(int32_t bits, char digit, char hexDigit) {
    bits = std::clamp(bits, 1, 32);
    // The largest value of fewer than 32 bits is the longest; 32-bit values
    // show as signed numbers, the longest -2147483648.
    const std::string decimal =
        bits == 32 ? "-" + std::string(10, digit)
                   : std::string(std::to_string((uint64_t{1} << bits) - 1).size(), digit);
    const std::string hex(static_cast<size_t>((bits + 3) / 4), hexDigit);
    return "Binary Edit | Dec: " + decimal + " | Hex: 0x" + hex;
}

std::string BinaryEditLabel(int32_t bit) { return bit % 4 == 0 || bit % 4 == 3 ? std::to_string(bit) : "."; }

namespace {

constexpr int BitWidth = 16;
constexpr int ButtonTop = 16;
constexpr int ButtonHeight = 24;
constexpr int GroupGap = 5;
constexpr int ClientHeight = ButtonTop + ButtonHeight;

// The width bit n takes in the row: its button, and a gap after each group
// of four.
int BitSpan(int32_t n) { return BitWidth + (n % 4 == 0 ? GroupGap : 0); }

// The widest of the characters in the font.
char Widest(const QFontMetrics& metrics, const char* characters) {
    char widest = *characters;
    for (const char* c = characters; *c; ++c)
        if (metrics.horizontalAdvance(QChar(*c)) > metrics.horizontalAdvance(QChar(widest))) widest = *c;
    return widest;
}

// The width the frame needs for the longest caption of `bits` bits: the
// caption in the wider of the title bar's font and the bar's own, both bold
// as title bars draw them, beside five squares of the title bar's height:
// the window's icon, minimize, maximize and close, and the frame's spacing
// around them (a window manager draws its own font, often as wide).
int CaptionWidth(const QWidget& bar, int32_t bits) {
    int width = 0;
    for (QFont font : {QApplication::font("QMdiSubWindowTitleBar"), bar.font()}) {
        font.setBold(true);
        const QFontMetrics metrics(font);
        const std::string caption =
            BinaryEditLongestCaption(bits, Widest(metrics, "0123456789"), Widest(metrics, "0123456789ABCDEF"));
        const int buttons = 5 * (metrics.height() + 8);
        width = std::max(width, metrics.horizontalAdvance(QStr(caption)) + buttons);
    }
    return width;
}

}  // namespace

TfrmBinaryEditBar::TfrmBinaryEditBar(QWidget* owner, int32_t bitCount, uint32_t value)
    : QDialog(owner, Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      Bits(std::min(bitCount, MaxBits)),
      EditValue(value) {
    setObjectName("frmBinaryEditBar");
    setWindowTitle("Binary Edit");
    setModal(true);
    FormCreate();
}

TfrmBinaryEditBar::~TfrmBinaryEditBar() = default;

void TfrmBinaryEditBar::FormCreate() {
    if (Bits < 1) return;
    QFont bold = font();
    bold.setBold(true);
    const QColor labelColour = palette().color(QPalette::Inactive, QPalette::PlaceholderText);
    // The buttons' row, then the bar's width: the row, or wider for the
    // caption of the value's own bits where the value has more.
    int row = 0;
    for (int32_t n = Bits - 1; n >= 0; --n) row += BitSpan(n);
    const int32_t captionBits = std::max(Bits, static_cast<int32_t>(std::bit_width(EditValue)));
    const int width = std::max(row, CaptionWidth(*this, captionBits));
    int x = (width - row) / 2;
    uint32_t mask = 1u << (Bits - 1);
    for (int32_t i = 0; i < Bits; ++i) {
        const int32_t n = Bits - 1 - i;
        auto* button = new QPushButton(this);
        button->setObjectName(QString("btnBit%1").arg(n));
        button->setAutoDefault(false);
        button->setDefault(false);
        button->setGeometry(x, ButtonTop, BitWidth, ButtonHeight);
        ShowBit(button, (EditValue & mask) != 0);
        connect(button, &QPushButton::clicked, this, &TfrmBinaryEditBar::BitButtonClick);
        auto* label = new QLabel(QStr(BinaryEditLabel(n)), this);
        label->setObjectName(QString("lblBit%1").arg(n));
        QPalette pal = label->palette();
        pal.setColor(QPalette::WindowText, labelColour);
        label->setPalette(pal);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        label->setGeometry(x, 0, BitSpan(n), ButtonTop);
        x += BitSpan(n);
        mask >>= 1;
        Controls.push_back({label, button});
    }
    setWindowTitle(QStr(BinaryEditCaption(EditValue, Bits)));
    setFixedSize(width, ClientHeight);
}

void TfrmBinaryEditBar::ShowBit(QPushButton* button, bool set) {
    QFont f = font();
    f.setBold(set);
    button->setFont(f);
    button->setText(set ? "1" : "0");
}

QPushButton* TfrmBinaryEditBar::Button(int32_t i) const {
    return i >= 0 && i < static_cast<int32_t>(Controls.size()) ? Controls[static_cast<size_t>(i)].Button : nullptr;
}

QLabel* TfrmBinaryEditBar::Label(int32_t i) const {
    return i >= 0 && i < static_cast<int32_t>(Controls.size()) ? Controls[static_cast<size_t>(i)].Label : nullptr;
}

void TfrmBinaryEditBar::BitButtonClick() {
    const auto at = std::find_if(Controls.begin(), Controls.end(),
                                 [this](const TBitControls& c) { return c.Button == sender(); });
    if (at == Controls.end()) return;
    const int32_t i = static_cast<int32_t>(at - Controls.begin());
    const uint32_t bit = 1u << (Bits - i - 1);
    EditValue ^= bit;
    ShowBit(at->Button, (EditValue & bit) != 0);
    setWindowTitle(QStr(BinaryEditCaption(EditValue, Bits)));
}

void TfrmBinaryEditBar::keyPressEvent(QKeyEvent* event) {
    // Esc ends the bar like OK: every toggled bit stays.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        done(QDialog::Accepted);
        return;
    }
    QDialog::keyPressEvent(event);
}

uint32_t TfrmBinaryEditBar::Execute(QWidget* owner, int32_t bitCount, uint32_t value, int x, int y) {
    if (bitCount < 1) return value;
    TfrmBinaryEditBar bar(owner, bitCount, value);
    if (x != -1 && y != -1) {
        bar.adjustSize();
        bar.move(x, y);
        KeepInView(&bar);  // at the cell, but never past the screen's edge
        // Once shown the bar has its frame, which counts too.
        bar.show();
        KeepInView(&bar);
    }
    bar.exec();
    return bar.Value();
}
