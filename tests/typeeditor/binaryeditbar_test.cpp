// The binary edit bar, shown modally as the grid shows it: its buttons and
// labels, the caption while bits are toggled, and the value it returns
// however it is closed; its caption and labels as texts.
#include <gtest/gtest.h>

#include <QLabel>
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
            // Each button's digit fits inside it, bold or not.
            for (int32_t i = 0; i < bar->BitCount(); ++i) {
                QPushButton* b = bar->Button(i);
                EXPECT_LE(QFontMetrics(b->font()).horizontalAdvance(b->text()), b->width() - 4);
                EXPECT_EQ(b->font().bold(), b->text() == "1");
                EXPECT_FALSE(b->isDefault());
                EXPECT_EQ(b->geometry(), QRect(i * 16 + (i >= 4 ? 5 : 0), 16, 16, 24));
            }
        });
        result = TfrmBinaryEditBar::Execute(nullptr, 8, 0xA5, 120, 140);
    }
    EXPECT_EQ(result, 0xA5u);
    EXPECT_EQ(look.Buttons, 8);
    EXPECT_EQ(look.Labels, (Strings{"7", ".", ".", "4", "3", ".", ".", "0"}));
    EXPECT_EQ(look.Texts, (Strings{"1", "0", "1", "0", "0", "1", "0", "1"}));
    EXPECT_EQ(look.Caption, "Binary Edit | Dec: 165 | Hex: 0xA5");
    EXPECT_EQ(look.Size, QSize(8 * 16 + 2 * 5, 40));
    EXPECT_EQ(look.Position, QPoint(120, 140));
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
    Strings labels;
    for (int32_t n = 15; n >= 0; --n) labels.push_back(BinaryEditLabel(n));
    EXPECT_EQ(labels, (Strings{"15", ".", ".", "12", "11", ".", ".", "8", "7", ".", ".", "4", "3", ".", ".", "0"}));
}

}  // namespace
