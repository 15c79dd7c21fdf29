// The Memory Viewer, offscreen, against the simulated unit.
#include "ManagersTest.h"

#include "MemView.h"
#include "MemViewText.h"
#include "core/Timing.h"

#include <QAction>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QToolButton>

#include <chrono>
#include <csignal>
#include <sys/resource.h>

namespace {

class MemView : public ManagersFixture {
protected:
    TfrmMemView* Open() { return static_cast<TfrmMemView*>(OpenMemView(App.get())); }

    Bytes Pattern(uint32_t seed) {
        Bytes page(MemPageSize);
        for (size_t i = 0; i < page.size(); ++i) page[i] = static_cast<uint8_t>(i * 31 + seed);
        return page;
    }
};

}  // namespace

TEST_F(MemView, OpensNotConnected) {
    std::unique_ptr<TfrmMemView> w(Open());
    EXPECT_EQ(w->windowTitle(), "Memory Viewer");
    EXPECT_EQ(w->GetKind(), KindMemoryViewer);
    EXPECT_EQ(w->PageAddress(), 0x8000u);
    EXPECT_FALSE(w->Valid());
    EXPECT_TRUE(w->Panel1->isVisible());
    EXPECT_FALSE(w->Panel2->isVisible());
    EXPECT_FALSE(w->out->isEnabled());
    EXPECT_EQ(w->out->document()->blockCount(), 256);
    EXPECT_EQ(w->out->document()->findBlockByNumber(1).text().left(9), "008010 | ");
    EXPECT_TRUE(w->actRefreshPage->isEnabled());
    EXPECT_TRUE(w->actGotoPage->isEnabled());
    EXPECT_FALSE(w->actPageUp->isEnabled());
    EXPECT_FALSE(w->actPageDown->isEnabled());
    EXPECT_FALSE(w->actSavePage->isEnabled());
    EXPECT_EQ(w->PopupMenu->title(), "&Edit");
    // The placement record of the Memory Viewer gives the height; the width
    // is at least what a dump line needs.
    EXPECT_EQ(w->height(), 480);
    EXPECT_GE(w->width(), 480);
    EXPECT_TRUE(Sent().empty());
}

// The dump neither wraps nor scrolls sideways: a whole line, its characters
// included, is in view when the viewer opens.
TEST_F(MemView, AWholeDumpLineIsInViewWhenTheViewerOpens) {
    std::unique_ptr<TfrmMemView> w(Open());
    w->show();
    QCoreApplication::processEvents();
    const QString line = w->out->document()->findBlockByNumber(255).text();
    ASSERT_EQ(line.size(), static_cast<qsizetype>(DumpLine(0, Pattern(0).data()).size()));
    EXPECT_LE(QFontMetrics(w->out->font()).horizontalAdvance(line), w->out->viewport()->width());
    EXPECT_EQ(w->out->horizontalScrollBar()->maximum(), 0);
}

TEST_F(MemView, ReadsAPageInPacketsOf70Bytes) {
    const Bytes page = Pattern(5);
    unit.SetMemory(0x8000, page);
    std::unique_ptr<TfrmMemView> w(Open());
    w->actRefreshPage->trigger();
    EXPECT_TRUE(w->Valid());
    EXPECT_FALSE(w->Panel1->isVisible());
    EXPECT_TRUE(w->out->isEnabled());
    EXPECT_EQ(w->Page(), page);
    const auto sent = SentOnce();
    ASSERT_EQ(sent.size(), 59u);  // 58 x 70 + 36
    EXPECT_EQ(sent.front().Frame, Bytes({0xEC, 0x88, 0x08, 0xB2, 0x00, 0x80, 0x00, 0x46, 0x18}));
    EXPECT_EQ(sent[1].Data, Bytes({0x46, 0x80, 0x00, 0x46}));
    EXPECT_EQ(sent.back().Data, Bytes({0xDC, 0x8F, 0x00, 0x24}));
    // The dump shows what was read.
    const QString second = w->out->document()->findBlockByNumber(1).text();
    QString expected = "008010 |";
    for (int i = 16; i < 32; ++i) expected += QString(" %1").arg(page[i], 2, 16, QChar('0')).toUpper();
    EXPECT_EQ(second.left(expected.size()), expected);
    EXPECT_EQ(w->out->document()->blockCount(), 256);
    EXPECT_TRUE(w->actPageUp->isEnabled());
    EXPECT_TRUE(w->actPageDown->isEnabled());
    EXPECT_TRUE(w->actSavePage->isEnabled());
}

TEST_F(MemView, PagingAndGo) {
    std::unique_ptr<TfrmMemView> w(Open());
    w->actRefreshPage->trigger();
    const struct {
        const char* what;
        std::function<void(TfrmMemView&)> act;
        uint32_t read;
    } steps[] = {
        {"Page Down", [](TfrmMemView& v) { v.actPageDown->trigger(); }, 0x9000},
        {"Page Up", [](TfrmMemView& v) { v.actPageUp->trigger(); }, 0x8000},
        {"Go 0x10000",
         [](TfrmMemView& v) {
             v.actGotoPage->trigger();
             v.Edit1->setText("0x10000");
             v.SpeedButton1->click();
         },
         0x10000},
        {"Go $1000 by Enter",
         [](TfrmMemView& v) {
             v.actGotoPage->trigger();
             v.Edit1->setText("$1001");
             QTest::keyClick(v.Edit1, Qt::Key_Return);
         },
         0x1001},
        {"Page Up from 0x1001", [](TfrmMemView& v) { v.actPageUp->trigger(); }, 0x0001},
        {"Page Up from 0x0001", [](TfrmMemView& v) { v.actPageUp->trigger(); }, 0},
        {"Go xyz reads the old page",
         [](TfrmMemView& v) {
             v.actGotoPage->trigger();
             v.Edit1->setText("xyz");
             v.SpeedButton1->click();
         },
         0},
        {"Go 65536",
         [](TfrmMemView& v) {
             v.actGotoPage->trigger();
             v.Edit1->setText("65536");
             v.SpeedButton1->click();
         },
         0x10000},
        {"Go negative keeps the page",
         [](TfrmMemView& v) {
             v.actGotoPage->trigger();
             v.Edit1->setText("-4096");
             v.SpeedButton1->click();
         },
         0x10000},
        {"Go to the last page",
         [](TfrmMemView& v) {
             v.actGotoPage->trigger();
             v.Edit1->setText("0xFFF000");
             v.SpeedButton1->click();
         },
         0xFFF000},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.what);
        sim.ClearRecords();
        s.act(*w);
        EXPECT_EQ(w->PageAddress(), s.read);
        const auto reads = DataRequests(0xB2, false);
        ASSERT_EQ(reads.size(), 59u);
        EXPECT_EQ(reads.front().first, s.read);
        EXPECT_TRUE(w->Valid());
        EXPECT_FALSE(w->Panel2->isVisible());
    }
    // At the top Page Down is off, and stays when triggered anyway.
    EXPECT_FALSE(w->actPageDown->isEnabled());
    w->actPageDownExecute();
    EXPECT_EQ(w->PageAddress(), 0xFFF000u);
    EXPECT_TRUE(w->Valid());
}

TEST_F(MemView, GoToPageShowsTheAddressPanel) {
    std::unique_ptr<TfrmMemView> w(Open());
    w->actGotoPage->trigger();
    EXPECT_TRUE(w->Panel2->isVisible());
    EXPECT_EQ(w->Edit1->text(), "0x008000");
    QTest::keyClick(w->Edit1, Qt::Key_Escape);
    EXPECT_FALSE(w->Panel2->isVisible());
    w->actGotoPage->trigger();
    w->SpeedButton2->click();
    EXPECT_FALSE(w->Panel2->isVisible());
    EXPECT_TRUE(Sent().empty());
}

TEST_F(MemView, FailedOrIgnoredReadIsNotValid) {
    std::unique_ptr<TfrmMemView> w(Open());
    w->actRefreshPage->trigger();
    ASSERT_TRUE(w->Valid());
    const struct {
        const char* what;
        int32_t answer;
    } cases[] = {{"Abort", caAbort}, {"Ignore", caIgnore}};
    for (const auto& k : cases) {
        SCOPED_TRACE(k.what);
        ErrorAnswers = {k.answer};
        unit.Refuse(0xB2, 1, 9);  // every try of the first packet
        w->actRefreshPage->trigger();
        EXPECT_FALSE(w->Valid());
        EXPECT_TRUE(w->Panel1->isVisible());
        EXPECT_FALSE(w->out->isEnabled());
        EXPECT_FALSE(w->actSavePage->isEnabled());
        EXPECT_FALSE(w->actPageDown->isEnabled());
        EXPECT_EQ(w->out->document()->blockCount(), 256);
    }
    EXPECT_EQ(ErrorTexts, std::vector<std::string>(2, "Read memory 008000h."));
}

TEST_F(MemView, SavesThePageByteForByte) {
    const Bytes page = Pattern(9);
    unit.SetMemory(0x8000, page);
    std::unique_ptr<TfrmMemView> w(Open());
    w->actRefreshPage->trigger();
    SaveAs = (Root / "page.dat").string();
    w->actSavePage->trigger();
    ASSERT_EQ(OpenDialogs.size(), 1u);
    EXPECT_EQ(OpenDialogs[0].Title, "Memory Page Dump");
    EXPECT_EQ(OpenDialogs[0].Filter, "Data files (*.dat)|*.dat|All files (*.*)|*.*");
    EXPECT_EQ(SaveStarts[0], "memdump");
    const std::string saved = ReadFileBytes(SaveAs);
    EXPECT_EQ(saved, std::string(page.begin(), page.end()));
    EXPECT_TRUE(Messages.empty());
    // Over an existing file: replaced whole.
    WriteFileBytes(SaveAs, std::string(10000, 'x'));
    w->actSavePage->trigger();
    EXPECT_EQ(ReadFileBytes(SaveAs).size(), 4096u);
}

TEST_F(MemView, AFailedSaveShowsMessageAndLeavesNoFile) {
    std::unique_ptr<TfrmMemView> w(Open());
    w->actRefreshPage->trigger();
    const fs::path folder = Root / "out";
    fs::create_directories(folder / "adir");
    WriteFileBytes(folder / "afile", "");
    auto listing = [&] {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename().string());
        return names;
    };
    const struct {
        const char* what;
        fs::path target;
        rlim_t sizeLimit;
        const char* cause;  // the message's last line: the system's reason
    } cases[] = {
        {"no such folder", folder / "missing" / "page.dat", RLIM_INFINITY, "No such file or directory"},
        {"a folder in the way", folder / "adir", RLIM_INFINITY, "Is a directory"},
        {"a file for a folder", folder / "afile" / "page.dat", RLIM_INFINITY, "Not a directory"},
        {"a short write", folder / "page.dat", 1000, "File too large"},
    };
    signal(SIGXFSZ, SIG_IGN);
    for (const auto& k : cases) {
        SCOPED_TRACE(k.what);
        Messages.clear();
        SaveAs = k.target.string();
        rlimit old{};
        getrlimit(RLIMIT_FSIZE, &old);
        rlimit limited = old;
        limited.rlim_cur = k.sizeLimit;
        setrlimit(RLIMIT_FSIZE, &limited);
        w->actSavePage->trigger();
        setrlimit(RLIMIT_FSIZE, &old);
        ASSERT_EQ(Messages.size(), 1u);
        EXPECT_EQ(Messages[0].Text, "Cannot save file:\r\n" + SaveAs + "\r\n" + k.cause);
        EXPECT_EQ(Messages[0].Icon, TMsgIcon::Stop);
        auto names = listing();
        std::sort(names.begin(), names.end());
        EXPECT_EQ(names, (std::vector<std::string>{"adir", "afile"}));
    }
    signal(SIGXFSZ, SIG_DFL);
}

TEST_F(MemView, CaretPositionInTheStatusBar) {
    std::unique_ptr<TfrmMemView> w(Open());
    w->actRefreshPage->trigger();
    QTextCursor c = w->out->textCursor();
    c.setPosition(w->out->document()->findBlockByNumber(3).position() + 7);
    w->out->setTextCursor(c);
    QTest::keyClick(w->out, Qt::Key_Down);
    EXPECT_EQ(w->StatusPanel[0]->text(), "3 :7");
}

TEST_F(MemView, APageReadTakesFiftyNinePackets) {
    // The framing layer drains the line for 5 ms before each request.
    constexpr double DrainMs = 5.0;
    std::unique_ptr<TfrmMemView> w(Open());
    w->actRefreshPage->trigger();
    const auto sent = SentOnce();
    ASSERT_EQ(sent.size(), 59u);
    const double perPacket =
        std::chrono::duration<double, std::milli>(sent.back().At - sent.front().At).count() / (sent.size() - 1);
    const double fill = FastestMs(5, [&] { w->FillDump(); });
    std::printf("page read: %.2f ms per packet (drain %.0f ms); dump filled in %.2f ms\n", perPacket, DrainMs, fill);
    // The benchmark gives the figures on a quiet machine (BM_MemViewPageRead,
    // target 1 ms beyond the drain per packet).
}
