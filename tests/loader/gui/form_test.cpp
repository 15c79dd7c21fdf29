// The loader's bar window, offscreen: its shape, its boxes, Esc, the placement
// at the top of the screen and a whole run from the command line to the exit code.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QKeyEvent>
#include <QScreen>
#include <filesystem>
#include <fstream>

#include "AppIcon.h"
#include "Loaderunit.h"
#include "SimBootLoader.h"

namespace fs = std::filesystem;

namespace {

struct TRecordedBox {
    std::string Text, Caption;
    TMsgIcon Icon;
    bool Question;
};

class LoaderForm : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "loader_form_test";
        static char* argv[] = {name, nullptr};
        if (!QApplication::instance()) new QApplication(argc, argv);
    }

    std::vector<TRecordedBox> Boxes;
    fs::path Dir;

    void SetUp() override {
        Dir = fs::temp_directory_path() / ("qxloader-form-" + std::to_string(::getpid()));
        fs::create_directories(Dir);
        TForm1::BoxHook = [this](const std::string& text, const std::string& caption, TMsgIcon icon, bool question) {
            Boxes.push_back({text, caption, icon, question});
            return false;
        };
    }
    void TearDown() override {
        TForm1::BoxHook = nullptr;
        fs::remove_all(Dir);
    }
    std::string Write(const std::string& name, const std::string& bytes) {
        std::ofstream(Dir / name, std::ios::binary) << bytes;
        return (Dir / name).string();
    }
};

// Passes everything to the product's link and notes where the label was.
class TWatchLink : public TLoaderLink {
public:
    TWatchLink(TForm1& form, std::unique_ptr<TLoaderLink> inner) : Form(form), Inner(std::move(inner)) {}
    TForm1& Form;
    std::unique_ptr<TLoaderLink> Inner;
    static inline bool LabelWasOverBar = false;
    static inline QRect Geometry;
    bool Open(const std::string& port, int64_t baud) override { return Inner->Open(port, baud); }
    void SetTimeoutCount(uint8_t count) override { Inner->SetTimeoutCount(count); }
    bool Send(std::span<const uint8_t> frame) override {
        LabelWasOverBar = Form.Label1->parent() == Form.ProgressBar1;
        Geometry = Form.geometry();
        return Inner->Send(frame);
    }
    std::optional<TReplyOutcome> WaitSlice(int sliceMs, std::vector<uint8_t>& reply) override {
        return Inner->WaitSlice(sliceMs, reply);
    }
    void Close() override { Inner->Close(); }
};

}  // namespace

TEST_F(LoaderForm, ThinBarWithoutBorderAlwaysOnTop) {
    TForm1 form;
    EXPECT_EQ(form.objectName(), "Form1");
    EXPECT_EQ(form.size(), QSize(352, 20));
    EXPECT_TRUE(form.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(form.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(form.Label1->objectName(), "Label1");
    EXPECT_EQ(form.Label1->font().family(), "Courier New");
    EXPECT_TRUE(form.Label1->font().bold());
    EXPECT_EQ(form.Label1->font().pixelSize(), 13);
    EXPECT_EQ(form.Label1->pos(), QPoint(5, 1));
    EXPECT_EQ(form.ProgressBar1->objectName(), "ProgressBar1");
    EXPECT_EQ(form.ProgressBar1->geometry(), QRect(0, 0, 352, 20));
    EXPECT_EQ(form.LabelFontSize(), 10);
}

// The bar carries the configuration program's icon, not Qt's.
TEST_F(LoaderForm, CarriesTheProgramsOwnIcon) {
    TForm1 form;
    ASSERT_FALSE(ProgramIcon().isNull());
    EXPECT_EQ(form.windowIcon().cacheKey(), ProgramIcon().cacheKey());
    EXPECT_FALSE(form.windowIcon().pixmap(QSize(32, 32)).isNull());
}

TEST_F(LoaderForm, EscKeySetsTheFlag) {
    TForm1 form;
    QKeyEvent other(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier);
    QApplication::sendEvent(&form, &other);
    EXPECT_FALSE(form.Program.EscPressed);
    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(&form, &esc);
    EXPECT_TRUE(form.Program.EscPressed);
}

TEST_F(LoaderForm, CommandLineFailureEndsWithExitCodeOne) {
    TForm1 form;
    form.FormCreate({"COM1", "57600", "MAIN", Write("fw.txt", "x")});
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_EQ(Boxes[0].Text, "Wrong file extension");
    form.FormActivate();
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.ExitCode(), 1);

    TForm1 about;
    about.FormCreate({"About"});
    ASSERT_EQ(Boxes.size(), 2u);
    EXPECT_EQ(Boxes[1].Caption, "Hidden information");
    EXPECT_EQ(about.ExitCode(), 0);
}

TEST_F(LoaderForm, WholeRunAtTheTopOfTheScreen) {
    SimBootLoader board;
    ::setenv("QX318_COM203", board.DevicePath().c_str(), 1);
    TForm1 form;
    form.Program.TimeoutCountOverride = 25;  // room for a loaded machine: no telegram goes twice
    form.LinkFactory = [&form] { return std::make_unique<TWatchLink>(form, CreateLoaderLink()); };
    form.FormCreate({"COM203", "57600", "MAIN", Write("fw.hex", ":0400000001020304F2\r\n:00000001FF\r\n"), "CONTROL"});
    EXPECT_TRUE(Boxes.empty());
    form.FormActivate();
    EXPECT_TRUE(Boxes.empty()) << Boxes[0].Text;
    EXPECT_EQ(form.ExitCode(), 0);
    EXPECT_EQ(board.RequestCount(), 3u);
    EXPECT_TRUE(TWatchLink::LabelWasOverBar);
    EXPECT_EQ(form.Label1->parent(), &form);
    // Offscreen there is no stacking order: the bar spans the top of the screen.
    const int screenWidth = QGuiApplication::primaryScreen()->geometry().width();
    EXPECT_EQ(TWatchLink::Geometry, QRect(0, 0, screenWidth, 20));
    EXPECT_EQ(QApplication::applicationDisplayName(), "66% Loaded");
    EXPECT_FALSE(form.isVisible());
}

TEST_F(LoaderForm, FailedDownloadShowsItsBoxAndExitsWithOne) {
    TForm1 form;
    form.FormCreate({"COM254", "57600", "MAIN", Write("fw.s", "S00600004844521B\r\n")});
    form.FormActivate();
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_EQ(Boxes[0].Text, "Error openning port !");
    EXPECT_EQ(form.ExitCode(), 1);
}
