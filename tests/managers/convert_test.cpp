// The converter window, offscreen: its conversion through the action and its
// settings in <program>.ini.
#include "ManagersTest.h"

#include "Convert.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>

namespace {

class Converter : public ManagersFixture {
protected:
    fs::path IniPath() const { return SettingsDir() / "QX318Utility.ini"; }
    // A record that reads the ini file as it stands now.
    void Reload() {
        App.reset();
        App = std::make_unique<_AppInterface>();
    }
    TfrmConvert* Open() { return static_cast<TfrmConvert*>(OpenConvert(App.get())); }
};

}  // namespace

TEST_F(Converter, ConvertsThroughTheAction) {
    std::unique_ptr<TfrmConvert> w(Open());
    EXPECT_EQ(w->windowTitle(), "Converter");
    EXPECT_EQ(w->StatusPanel[0]->text(), "HEX<->DEC");
    EXPECT_EQ(w->StatusPanel[1]->text(), "E:0");
    w->Memo1->setPlainText("0x10, 0x20\nAB:0x41\n\n0xFFFF");
    w->actHexDec->trigger();
    EXPECT_EQ(w->Memo2->toPlainText(), "16, 32\nAB:65\n\n-1");
    EXPECT_EQ(w->StatusPanel[1]->text(), "E:2");
    // Options change the result; the button runs the same action.
    w->cbSigned->setChecked(false);
    w->cmbBytes->setCurrentIndex(2);
    w->btnHexDec->click();
    EXPECT_EQ(w->Memo2->toPlainText(), "16, 32\nAB:65\n\n65535");
    w->Memo1->setPlainText("0xFFFFFFFF");
    w->actHexDec->trigger();
    EXPECT_EQ(w->Memo2->toPlainText(), "4294967295");
    // An empty input empties the output.
    w->Memo1->clear();
    w->actHexDec->trigger();
    EXPECT_EQ(w->Memo2->toPlainText(), "");
    EXPECT_EQ(w->StatusPanel[1]->text(), "E:0");
    // Ctrl+A released selects the whole memo.
    w->Memo2->setPlainText("abc\ndef");
    QTest::keyClick(w->Memo2, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(w->Memo2->textCursor().selectedText().size(), 7);
}

TEST_F(Converter, DefaultsWithoutIniFile) {
    std::unique_ptr<TfrmConvert> w(Open());
    EXPECT_EQ(w->pos(), QPoint(100, 100));
    EXPECT_EQ(w->size(), QSize(400, 200));
    EXPECT_EQ(w->TabIndex(), 0);
    EXPECT_TRUE(w->cbSigned->isChecked());
    EXPECT_EQ(w->cmbBytes->currentText(), "2");
    EXPECT_EQ(w->editDelimiter->text(), ", ;.:-/#%&");
    EXPECT_FALSE(w->windowState() & Qt::WindowMaximized);
    w->close();
    w.release();  // freed on close
    // The first file: the keys in the order they are written.
    const std::string text = ReadFileBytes(IniPath());
    EXPECT_EQ(text.substr(0, 24), "[frmConvert]\r\nMemo1Width");
    EXPECT_NE(text.find("\r\nTabIndex=0\r\nSignedChecked=1\r\ncmbBytesItemIndex=1\r\n"
                        "editDelimiterText=, ;.:-/#%&\r\nTop=100\r\nLeft=100\r\nHeight=200\r\nWidth=400\r\n"
                        "Maximized=0\r\n"),
              std::string::npos);
}

TEST_F(Converter, IniWrittenAndReadBackByteForByte) {
    const std::string ini =
        "[Other]\r\nKey=Value\r\n\r\n"
        "[frmConvert]\r\nMemo1Width=150\r\nTabIndex=1\r\nSignedChecked=0\r\ncmbBytesItemIndex=0\r\n"
        "editDelimiterText=,;\r\nTop=30\r\nLeft=40\r\nHeight=250\r\nWidth=500\r\nMaximized=0\r\n\r\n";
    fs::create_directories(SettingsDir());
    WriteFileBytes(IniPath(), ini);
    Reload();
    TfrmConvert* w = Open();
    EXPECT_EQ(w->pos(), QPoint(40, 30));
    EXPECT_EQ(w->size(), QSize(500, 250));
    EXPECT_EQ(w->Memo1->width(), 150);
    EXPECT_EQ(w->TabIndex(), 1);
    EXPECT_FALSE(w->cbSigned->isChecked());
    EXPECT_EQ(w->cmbBytes->currentText(), "1");
    EXPECT_EQ(w->editDelimiter->text(), ",;");
    w->close();
    EXPECT_EQ(ReadFileBytes(IniPath()), ini);
    App.reset();  // the record finds nothing more to write
    EXPECT_EQ(ReadFileBytes(IniPath()), ini);
}

TEST_F(Converter, DelimitersKeepTheirBlanksAcrossARun) {
    for (const char* delimiters : {" ", " ;", "; ", "\t,"}) {
        SCOPED_TRACE(delimiters);
        {
            std::unique_ptr<TfrmConvert> w(Open());
            w->editDelimiter->setText(delimiters);
            w->FormCloseQuery();
        }
        Reload();
        std::unique_ptr<TfrmConvert> w(Open());
        EXPECT_EQ(w->editDelimiter->text().toStdString(), delimiters);
    }
}

TEST_F(Converter, AMaximizedConverterKeepsItsNormalPlacement) {
    const std::string ini =
        "[frmConvert]\r\nMemo1Width=120\r\nTabIndex=0\r\nSignedChecked=1\r\ncmbBytesItemIndex=1\r\n"
        "editDelimiterText=, \r\nTop=10\r\nLeft=20\r\nHeight=220\r\nWidth=420\r\nMaximized=0\r\n\r\n";
    fs::create_directories(SettingsDir());
    WriteFileBytes(IniPath(), ini);
    Reload();
    TfrmConvert* w = Open();
    w->showMaximized();
    w->close();
    std::string expected = ini;
    expected.replace(expected.find("Memo1Width=120"), 14, "Memo1Width=" + std::to_string(App->IniFile->ReadInteger("frmConvert", "Memo1Width", 0)));
    expected.replace(expected.find("Maximized=0"), 11, "Maximized=1");
    EXPECT_EQ(ReadFileBytes(IniPath()), expected);
    // Reopened: the normal size first, then maximized.
    Reload();
    w = Open();
    EXPECT_TRUE(w->windowState() & Qt::WindowMaximized);
    w->showNormal();
    EXPECT_EQ(w->size(), QSize(420, 220));
    EXPECT_EQ(w->pos(), QPoint(20, 10));
    delete w;
}

TEST_F(Converter, AStoredPageIndexOutsideTheTabsShowsNoPage) {
    for (const char* index : {"2", "-1"}) {
        SCOPED_TRACE(index);
        fs::create_directories(SettingsDir());
        WriteFileBytes(IniPath(), std::string("[frmConvert]\r\nTabIndex=") + index + "\r\n");
        Reload();
        std::unique_ptr<TfrmConvert> w(Open());
        EXPECT_EQ(w->TabIndex(), -1);
        EXPECT_FALSE(w->TabSheet1->isVisible());
        EXPECT_FALSE(w->TabSheet2->isVisible());
        w->PageControl1->setCurrentIndex(1);
        EXPECT_EQ(w->TabIndex(), 1);
        EXPECT_TRUE(w->TabSheet2->isVisible());
    }
}
