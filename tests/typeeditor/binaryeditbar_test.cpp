// The binary edit bar, shown modally as the grid shows it: its buttons and
// labels, the caption while bits are toggled, and the value it returns
// however it is closed; its caption and labels as texts.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QScreen>
#include <QPushButton>
#include <QTest>
#include <string>
#include <vector>

#include "../frame/FrameTest.h"
#include "BinaryBarDriver.h"
#include "BinaryEditBar.h"
#include "QtText.h"

namespace {

using Strings = std::vector<std::string>;

class BinaryEditBar : public ::testing::Test {
protected:
    void SetUp() override { TestApplication(); }

    struct Look {
        int Buttons = 0;
        Strings Labels, Texts;
        std::string Caption;
        QSize Size;
        QPoint Position;
    };
    static Look LookAt(TfrmBinaryEditBar* bar) {
        Look look;
        for (int32_t i = 0; bar->Button(i); ++i) {
            ++look.Buttons;
            look.Labels.push_back(bar->Label(i)->text().toStdString());
            look.Texts.push_back(bar->Button(i)->text().toStdString());
        }
        look.Caption = bar->windowTitle().toStdString();
        look.Size = bar->size();
        look.Position = bar->pos();
        return look;
    }
};

TEST_F(BinaryEditBar, AnEightBitBarShowsItsBitsMostSignificantFirst) {
    Look look;
    uint32_t result = 0;
    {
        TBarDriver driver([&](TfrmBinaryEditBar* bar) {
            ASSERT_NE(bar, nullptr);
            look = LookAt(bar);
            // The row of buttons, 8 * 16 + 2 * 5 wide, centred in the bar.
            const int left = (bar->width() - (8 * 16 + 2 * 5)) / 2;
            EXPECT_GE(left, 0);
            // Each button's digit fits inside it, bold or not.
            for (int32_t i = 0; i < bar->BitCount(); ++i) {
                QPushButton* b = bar->Button(i);
                EXPECT_LE(QFontMetrics(b->font()).horizontalAdvance(b->text()), b->width() - 4);
                EXPECT_EQ(b->font().bold(), b->text() == "1");
                EXPECT_FALSE(b->isDefault());
                EXPECT_EQ(b->geometry(), QRect(left + i * 16 + (i >= 4 ? 5 : 0), 16, 16, 24));
                EXPECT_EQ(bar->Label(i)->x(), b->x());
            }
        });
        result = TfrmBinaryEditBar::Execute(nullptr, 8, 0xA5, 120, 140);
    }
    EXPECT_EQ(result, 0xA5u);
    EXPECT_EQ(look.Buttons, 8);
    EXPECT_EQ(look.Labels, (Strings{"7", ".", ".", "4", "3", ".", ".", "0"}));
    EXPECT_EQ(look.Texts, (Strings{"1", "0", "1", "0", "0", "1", "0", "1"}));
    EXPECT_EQ(look.Caption, "Binary Edit | Dec: 165 | Hex: 0xA5");
    EXPECT_GE(look.Size.width(), 8 * 16 + 2 * 5);
    EXPECT_EQ(look.Size.height(), 40);
    EXPECT_EQ(look.Position, QPoint(120, 140));
}

// The title bar cuts a caption that is wider than the window: the bar is
// wide enough for the caption of every value of its bits in the title bar's
// bold font, beside at least three title-bar buttons, and as wide as its row
// of buttons at least.
TEST_F(BinaryEditBar, TheBarHoldsItsWholeCaptionForEveryValue) {
    struct Case {
        int32_t Bits;
        std::vector<uint32_t> Values;  // the first opens the bar
        int Row;                       // the buttons' row
    };
    const Case cases[] = {
        {8, {0, 0xFF, 0x88, 0xDD}, 8 * 16 + 2 * 5},
        {16, {0, 0xFFFF, 0x8888, 0xDDDD, 0x8000}, 16 * 16 + 4 * 5},
        {32, {0, 0xFFFFFFFF, 0x80000000, 0x88888888, 0xDDDDDDDD}, 32 * 16 + 8 * 5},
        {8, {0x1FF, 0x1FF, 0x188}, 8 * 16 + 2 * 5},  // a value beyond its bits
    };
    for (const Case& c : cases) {
        TfrmBinaryEditBar bar(nullptr, c.Bits, c.Values.front());
        EXPECT_GE(bar.width(), c.Row) << c.Bits;
        EXPECT_EQ(bar.minimumWidth(), bar.maximumWidth()) << c.Bits;
        for (QFont font : {QApplication::font("QMdiSubWindowTitleBar"), bar.font()}) {
            font.setBold(true);
            const QFontMetrics metrics(font);
            for (uint32_t value : c.Values) {
                const QString caption = QStr(BinaryEditCaption(value, c.Bits));
                EXPECT_GE(bar.width(), metrics.horizontalAdvance(caption) + 3 * metrics.height())
                    << c.Bits << " bits: " << caption.toStdString();
            }
        }
    }
}

// Opened at a cell by the screen's right edge, the wider bar still lies
// fully on the screen, frame and all.
TEST_F(BinaryEditBar, ABarAtTheScreensEdgeStaysOnTheScreen) {
    const QRect screen = QApplication::primaryScreen()->availableGeometry();
    for (int32_t bits : {8, 16, 32}) {
        QRect placed;
        {
            TBarDriver driver([&](TfrmBinaryEditBar* bar) {
                ASSERT_NE(bar, nullptr);
                placed = bar->frameGeometry();
            });
            TfrmBinaryEditBar::Execute(nullptr, bits, 0, screen.right() - 20, screen.top() + 40);
        }
        EXPECT_TRUE(screen.contains(placed)) << bits << " bits";
    }
}

TEST_F(BinaryEditBar, EveryWayOfClosingReturnsTheToggledBits) {
    struct Case {
        const char* Name;
        int32_t Bits;
        uint32_t Start;
        std::vector<int32_t> Clicks;  // button indexes
        std::function<void(TfrmBinaryEditBar*)> Close;
        uint32_t Result;
        std::string Caption;
    };
    auto esc = [](TfrmBinaryEditBar* bar) { QTest::keyClick(bar->Button(0), Qt::Key_Escape); };
    auto closeButton = [](TfrmBinaryEditBar* bar) { bar->close(); };
    const Case cases[] = {
        {"Esc without a click", 16, 0x1234, {}, esc, 0x1234, "Binary Edit | Dec: 4660 | Hex: 0x1234"},
        {"bit 15 and Esc", 16, 0, {0}, esc, 0x8000, "Binary Edit | Dec: 32768 | Hex: 0x8000"},
        {"the close button", 16, 0, {15, 14}, closeButton, 3, "Binary Edit | Dec: 3 | Hex: 0x0003"},
        {"twice the same bit", 8, 0x0F, {7, 7}, esc, 0x0F, "Binary Edit | Dec: 15 | Hex: 0x0F"},
        {"a 40-bit bar edits 32 bits", 40, 0, {0}, closeButton, 0x80000000u,
         "Binary Edit | Dec: -2147483648 | Hex: 0x80000000"},
    };
    for (const Case& c : cases) {
        uint32_t result = 0;
        std::string caption;
        int buttons = 0;
        {
            TBarDriver driver([&](TfrmBinaryEditBar* bar) {
                ASSERT_NE(bar, nullptr) << c.Name;
                for (int32_t i : c.Clicks) QTest::mouseClick(bar->Button(i), Qt::LeftButton);
                caption = bar->windowTitle().toStdString();
                buttons = LookAt(bar).Buttons;
                c.Close(bar);
            });
            result = TfrmBinaryEditBar::Execute(nullptr, c.Bits, c.Start, -1, -1);
        }
        EXPECT_EQ(result, c.Result) << c.Name;
        EXPECT_EQ(caption, c.Caption) << c.Name;
        EXPECT_EQ(buttons, std::min(c.Bits, 32)) << c.Name;
    }
}

TEST_F(BinaryEditBar, TheFocusedButtonTogglesFromTheKeyboard) {
    uint32_t result = 0;
    {
        TBarDriver driver([&](TfrmBinaryEditBar* bar) {
            ASSERT_NE(bar, nullptr);
            bar->Button(3)->setFocus();
            QTest::keyClick(bar->Button(3), Qt::Key_Space);
            EXPECT_EQ(bar->Button(3)->text(), "1");
            QTest::keyClick(bar->Button(3), Qt::Key_Escape);
        });
        result = TfrmBinaryEditBar::Execute(nullptr, 4, 0, -1, -1);
    }
    EXPECT_EQ(result, 1u);
}

TEST_F(BinaryEditBar, OnlyBitCountsOneToThirtyTwoOpenABar) {
    for (int32_t bits : {0, -1, -32}) {
        bool seen = true;
        uint32_t result = 0;
        {
            TBarDriver driver([&](TfrmBinaryEditBar* bar) { seen = bar != nullptr; }, 200);
            result = TfrmBinaryEditBar::Execute(nullptr, bits, 0x55, -1, -1);
        }
        EXPECT_FALSE(seen) << bits;
        EXPECT_EQ(result, 0x55u) << bits;
    }
}

TEST(BinaryEditBarTexts, CaptionAndLabels) {
    EXPECT_EQ(BinaryEditCaption(165, 16), "Binary Edit | Dec: 165 | Hex: 0x00A5");
    EXPECT_EQ(BinaryEditCaption(0xFFFFFFFF, 32), "Binary Edit | Dec: -1 | Hex: 0xFFFFFFFF");
    EXPECT_EQ(BinaryEditCaption(0x8000, 16), "Binary Edit | Dec: 32768 | Hex: 0x8000");
    EXPECT_EQ(BinaryEditCaption(5, 8), "Binary Edit | Dec: 5 | Hex: 0x05");
    EXPECT_EQ(BinaryEditCaption(0x1FF, 8), "Binary Edit | Dec: 511 | Hex: 0x1FF");
    struct Longest {
        int32_t Bits;
        const char* Caption;
    };
    for (const Longest& c : {Longest{1, "Binary Edit | Dec: 8 | Hex: 0xD"},
                             Longest{8, "Binary Edit | Dec: 888 | Hex: 0xDD"},
                             Longest{10, "Binary Edit | Dec: 8888 | Hex: 0xDDD"},
                             Longest{16, "Binary Edit | Dec: 88888 | Hex: 0xDDDD"},
                             Longest{31, "Binary Edit | Dec: 8888888888 | Hex: 0xDDDDDDDD"},
                             Longest{32, "Binary Edit | Dec: -8888888888 | Hex: 0xDDDDDDDD"}})
        EXPECT_EQ(BinaryEditLongestCaption(c.Bits, '8', 'D'), c.Caption) << c.Bits;
    Strings labels;
    for (int32_t n = 15; n >= 0; --n) labels.push_back(BinaryEditLabel(n));
    EXPECT_EQ(labels, (Strings{"15", ".", ".", "12", "11", ".", ".", "8", "7", ".", ".", "4", "3", ".", ".", "0"}));
}

}  // namespace
