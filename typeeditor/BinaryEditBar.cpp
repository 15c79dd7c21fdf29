#include "BinaryEditBar.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <algorithm>
#include <cstdio>

#include "QtText.h"
#include "ScreenFit.h"

std::string BinaryEditCaption(uint32_t value, int32_t bits) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "%0*X", std::clamp(bits / 4, 0, 8), static_cast<unsigned>(value));
    return "Binary Edit | Dec: " + std::to_string(static_cast<int32_t>(value)) + " | Hex: 0x" + hex;
}

std::string BinaryEditLabel(int32_t bit) { return bit % 4 == 0 || bit % 4 == 3 ? std::to_string(bit) : "."; }

namespace {

constexpr int BitWidth = 16;
constexpr int ButtonTop = 16;
constexpr int ButtonHeight = 24;
constexpr int GroupGap = 5;
constexpr int ClientHeight = ButtonTop + ButtonHeight;

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
    int x = 0;
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
        label->setGeometry(x, 0, BitWidth + (n % 4 == 0 ? GroupGap : 0), ButtonTop);
        x += BitWidth + (n % 4 == 0 ? GroupGap : 0);
        mask >>= 1;
        Controls.push_back({label, button});
    }
    setWindowTitle(QStr(BinaryEditCaption(EditValue, Bits)));
    setFixedSize(x, ClientHeight);
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
    }
    bar.exec();
    return bar.Value();
}
