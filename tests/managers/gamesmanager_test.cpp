// The Applications window, offscreen, against the simulated unit.
#include "ManagersTest.h"

#include "GamesManager.h"

#include <QAction>
#include <QFileDialog>
#include <QHelpEvent>
#include <QLineEdit>
#include <QImage>
#include <QPainter>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QToolTip>

#include <cstdio>
#include <cstring>

namespace {

// One Intel HEX record line with its checksum.
std::string HexLine(uint8_t type, uint16_t address, const Bytes& data) {
    Bytes body = {static_cast<uint8_t>(data.size()), static_cast<uint8_t>(address >> 8),
                  static_cast<uint8_t>(address), type};
    body.insert(body.end(), data.begin(), data.end());
    unsigned sum = 0;
    std::string line = ":";
    char pair[3];
    for (uint8_t b : body) {
        sum += b;
        std::snprintf(pair, sizeof pair, "%02X", b);
        line += pair;
    }
    std::snprintf(pair, sizeof pair, "%02X", (0x100 - (sum & 0xFF)) & 0xFF);
    return line + pair + "\r\n";
}

// An application image for 0xE0000: the header "APP_V:<name>" and then
// `size` bytes of a pattern, in records of 16 bytes.
Bytes AppImage(const std::string& name, size_t size) {
    Bytes image(size, 0);
    for (size_t i = 0; i < size; ++i) image[i] = static_cast<uint8_t>(i * 7 + 3);
    const std::string header = "APP_V:" + name;
    std::memset(image.data(), 0, 64);
    std::memcpy(image.data(), header.data(), header.size());
    return image;
}

std::string HexFile(const Bytes& image, uint32_t base = 0xE0000) {
    std::string text = HexLine(4, 0, {static_cast<uint8_t>(base >> 24), static_cast<uint8_t>(base >> 16)});
    for (size_t at = 0; at < image.size(); at += 16) {
        const size_t n = std::min<size_t>(16, image.size() - at);
        text += HexLine(0, static_cast<uint16_t>((base & 0xFFFF) + at), Bytes(image.begin() + at, image.begin() + at + n));
    }
    return text + HexLine(1, 0, {});
}

Bytes Header(const std::string& text) {
    Bytes h(64, 0);
    std::memcpy(h.data(), text.data(), std::min<size_t>(64, text.size()));
    return h;
}

class Games : public ManagersFixture {
protected:
    TfrmGamesManager* Open() { return static_cast<TfrmGamesManager*>(OpenGamesManager(App.get())); }
    void Install(int slot, const std::string& name) { unit.SetMemory(AppSlotAddress(slot), Header("APP_V:" + name)); }
    std::string WriteHex(const std::string& text, const char* file = "app.hex") {
        const fs::path p = Root / file;
        WriteFileBytes(p, text);
        return p.string();
    }
    std::vector<std::string> SlotNames(const TfrmGamesManager& w) {
        std::vector<std::string> names;
        for (int i = 0; i < AppSlotCount; ++i) names.push_back(w.Slot(i).used ? AppSlotName(w.Slot(i)) : "-");
        return names;
    }
};

}  // namespace

TEST_F(Games, OpensNotConnectedWithoutReadingTheUnit) {
    std::unique_ptr<TfrmGamesManager> w(Open());
    EXPECT_EQ(w->windowTitle(), "Applications");
    EXPECT_EQ(w->GetKind(), KindGamesManager);
    EXPECT_FALSE(w->Connected());
    EXPECT_TRUE(w->actRefresh->isEnabled());
    EXPECT_FALSE(w->actDownloadGame->isEnabled());
    EXPECT_FALSE(w->actDeleteGame->isEnabled());
    EXPECT_EQ(w->DataGrid->rowCount(), 7);
    EXPECT_EQ(w->DataGrid->rowHeight(0), 60);
    EXPECT_EQ(w->PopupMenu->title(), "&Edit");
    EXPECT_EQ(w->size(), QSize(280, 480));
    EXPECT_TRUE(Sent().empty());
}

TEST_F(Games, RefreshReadsTheSevenHeaders) {
    Install(0, "Tetris");
    Install(3, "Snake");
    unit.SetMemory(AppSlotAddress(5), Header("APP_X:Other"));
    std::unique_ptr<TfrmGamesManager> w(Open());
    w->actRefresh->trigger();
    EXPECT_TRUE(w->Connected());
    EXPECT_EQ(SlotNames(*w), (std::vector<std::string>{"Tetris", "-", "-", "Snake", "-", "-", "-"}));
    const auto sent = Sent();
    ASSERT_EQ(sent.size(), 7u);
    for (int i = 0; i < 7; ++i) {
        const uint32_t a = AppSlotAddress(i);
        EXPECT_EQ(sent[i].Data, Bytes({uint8_t(a), uint8_t(a >> 8), uint8_t(a >> 16), 64})) << i;
    }
    EXPECT_EQ(sent[0].Frame, Bytes({0xEC, 0x88, 0x08, 0xB2, 0x00, 0x40, 0x0E, 0x40, 0xD0}));
    EXPECT_TRUE(w->actDownloadGame->isEnabled());
    w->DataGrid->setCurrentCell(0, 0);
    EXPECT_TRUE(w->actDeleteGame->isEnabled());
    w->DataGrid->setCurrentCell(1, 0);
    EXPECT_FALSE(w->actDeleteGame->isEnabled());
}

TEST_F(Games, KeysOneToSevenPickTheRow) {
    std::unique_ptr<TfrmGamesManager> w(Open());
    const struct {
        char key;
        int row;
    } cases[] = {{'1', 0}, {'7', 6}, {'4', 3}, {'8', 3}, {'0', 3}, {'a', 3}};
    for (const auto& k : cases) {
        SCOPED_TRACE(k.key);
        QTest::keyClicks(w->DataGrid, QString(QChar(k.key)));
        EXPECT_EQ(w->DataGrid->currentRow(), k.row);
    }
}

TEST_F(Games, DownloadsIntoTheFirstFreeSlot) {
    Install(0, "Tetris");
    Install(1, "Snake");
    std::unique_ptr<TfrmGamesManager> w(Open());
    w->actRefresh->trigger();
    const Bytes image = AppImage("Demo", 300);
    ChosenFile = WriteHex(HexFile(image));
    sim.ClearRecords();
    w->actDownloadGame->trigger();
    ASSERT_EQ(OpenDialogs.size(), 1u);
    EXPECT_EQ(OpenDialogs[0].Title, "Program Download");
    EXPECT_EQ(OpenDialogs[0].Filter, "Intel Hex File (*.hex,*.h86)|*.hex;*.h86|All files (*.*)|*.*");
    ASSERT_EQ(MessageTexts(), std::vector<std::string>{"Application downloaded successfully."});
    EXPECT_EQ(Messages[0].Icon, TMsgIcon::Information);
    // Three blocks of 128 bytes (the last one padded with zeros) into slot 2,
    // each in packets of 70 and 58 bytes; then the refresh.
    Bytes expected = image;
    expected.resize(384, 0);
    EXPECT_EQ(unit.GetMemory(0xEC000, 384), expected);
    EXPECT_EQ(DataRequests(0x32), (std::vector<std::pair<uint32_t, size_t>>{
                                  {0xEC000, 70}, {0xEC046, 58}, {0xEC080, 70}, {0xEC0C6, 58}, {0xEC100, 70},
                                  {0xEC146, 58}}));
    EXPECT_EQ(SlotNames(*w), (std::vector<std::string>{"Tetris", "Snake", "Demo", "-", "-", "-", "-"}));
    EXPECT_TRUE(w->Connected());
}

TEST_F(Games, OverASameNamedApplication) {
    Install(0, "A");
    Install(1, "B");
    Install(4, "Demo");
    const Bytes image = AppImage("Demo", 128);
    const struct {
        const char* what;
        QMessageBox::StandardButton answer;
        bool written;
    } cases[] = {{"No writes nothing", QMessageBox::No, false}, {"Yes writes slot 4", QMessageBox::Yes, true}};
    std::unique_ptr<TfrmGamesManager> w(Open());
    for (const auto& k : cases) {
        SCOPED_TRACE(k.what);
        w->actRefresh->trigger();
        Messages.clear();
        YesNoAnswers = {k.answer};
        ChosenFile = WriteHex(HexFile(image));
        unit.SetMemory(0xF4040, Bytes(64, 0xEE));
        sim.ClearRecords();
        w->actDownloadGame->trigger();
        ASSERT_GE(Messages.size(), 1u);
        EXPECT_EQ(Messages[0].Text, "Application 'Demo' already exists.\r\nOverwrite?");
        EXPECT_EQ(Messages[0].Icon, TMsgIcon::Warning);
        EXPECT_EQ(Messages[0].Buttons, TMsgButtons::YesNo);
        EXPECT_EQ(!DataRequests(0x32).empty(), k.written);
        EXPECT_EQ(unit.GetMemory(0xF4040, 64), k.written ? Bytes(image.begin() + 64, image.end()) : Bytes(64, 0xEE));
        EXPECT_EQ(unit.GetMemory(0xEC000, 6), Bytes(6, 0xFF));  // the free slot 2 untouched
    }
}

TEST_F(Games, RefusedFilesSendNothing) {
    std::unique_ptr<TfrmGamesManager> w(Open());
    const std::string missing = (Root / "none.hex").string();
    const Bytes image = AppImage("Demo", 128);
    Bytes full = AppImage("Big", 0x4000);  // reaches the slot's last 128 bytes
    // A file the reader refuses to take in (larger than any application file).
    const std::string huge = WriteHex(HexFile(AppImage("Huge", 128)), "huge.hex");
    fs::resize_file(huge, HEXFormat::MaxFileSize + 1);
    const struct {
        const char* what;
        std::string file;
        std::string message;
    } cases[] = {
        {"missing file", missing, missing + "\r\nFile doesn't exist.\r\nNo such file or directory"},
        {"a folder", Root.string(), Root.string() + "\r\nFile doesn't exist.\r\nIs a directory"},
        {"a file that cannot be read", huge, huge + "\r\nFile doesn't exist.\r\nFile too large"},
        {"lines that do not convert", WriteHex(":10000000ZZ\r\n", "bad.hex"), "\r\nWrong Hex file format."},
        {"no end record", WriteHex(HexLine(0, 0, {1, 2}), "noend.hex"), "\r\nWrong Hex file format."},
        {"no application marker", WriteHex(HexFile(Bytes(16, 0x41)), "plain.hex"), "\r\nWrong Hex file format."},
        {"a block past the slot's end", WriteHex(HexFile(full), "full.hex"), "\r\nWrong Hex file format."},
        {"a block below the image range", WriteHex(HexFile(image, 0xDFF80), "low.hex"), "\r\nWrong Hex file format."},
        {"a high linear base", WriteHex(HexFile(image, 0xFFFFBF80), "high.hex"), "\r\nWrong Hex file format."},
        {"a high linear base wrapping into the slot", WriteHex(HexFile(image, 0xFFFFFF00), "wrap.hex"),
         "\r\nWrong Hex file format."},
    };
    w->actRefresh->trigger();
    for (const auto& k : cases) {
        SCOPED_TRACE(k.what);
        Messages.clear();
        ChosenFile = k.file;
        sim.ClearRecords();
        w->actDownloadGame->trigger();
        ASSERT_EQ(Messages.size(), 1u);
        const std::string expected = k.message[0] == '\r' ? k.file + k.message : k.message;
        EXPECT_EQ(Messages[0].Text, expected);
        EXPECT_EQ(Messages[0].Icon, TMsgIcon::Stop);
        EXPECT_TRUE(Sent().empty());
        EXPECT_TRUE(w->Connected());
    }
}

TEST_F(Games, AllSlotsUsedIsRefusedBeforeAFileIsChosen) {
    for (int i = 0; i < 7; ++i) Install(i, i == 3 ? "Demo" : "App" + std::to_string(i));
    std::unique_ptr<TfrmGamesManager> w(Open());
    w->actRefresh->trigger();
    ChosenFile = WriteHex(HexFile(AppImage("Demo", 128)));
    sim.ClearRecords();
    w->actDownloadGame->trigger();
    EXPECT_EQ(MessageTexts(), std::vector<std::string>{"Not enough memory for a new application."});
    EXPECT_TRUE(OpenDialogs.empty());
    EXPECT_TRUE(Sent().empty());
}

TEST_F(Games, DeleteClearsTheHeaderOnly) {
    Install(2, "Snake");
    unit.SetMemory(AppSlotAddress(2) + 64, Bytes(64, 0x55));
    std::unique_ptr<TfrmGamesManager> w(Open());
    w->actRefresh->trigger();
    w->DataGrid->setCurrentCell(2, 0);
    ASSERT_TRUE(w->actDeleteGame->isEnabled());
    const struct {
        const char* what;
        QMessageBox::StandardButton answer;
        bool deleted;
    } cases[] = {{"No", QMessageBox::No, false}, {"Yes", QMessageBox::Yes, true}};
    for (const auto& k : cases) {
        SCOPED_TRACE(k.what);
        Messages.clear();
        YesNoAnswers = {k.answer};
        sim.ClearRecords();
        w->actDeleteGame->trigger();
        ASSERT_GE(Messages.size(), 1u);
        EXPECT_EQ(Messages[0].Text, "Delete application.\r\nAre you sure?");
        EXPECT_EQ(Messages[0].Icon, TMsgIcon::Warning);
        if (k.deleted) {
            EXPECT_EQ(DataRequests(0x32), (std::vector<std::pair<uint32_t, size_t>>{{0xEC000, 64}}));
            EXPECT_EQ(unit.GetMemory(0xEC000, 64), Bytes(64, 0));
            EXPECT_EQ(unit.GetMemory(0xEC040, 64), Bytes(64, 0x55));
            ASSERT_EQ(Messages.size(), 2u);
            EXPECT_EQ(Messages[1].Text, "Application deleted successfully.");
            EXPECT_FALSE(w->Slot(2).used);
        } else {
            EXPECT_TRUE(Sent().empty());
            EXPECT_EQ(Messages.size(), 1u);
        }
    }
}

TEST_F(Games, AnIgnoredErrorIsNoSuccess) {
    Install(0, "A");
    std::unique_ptr<TfrmGamesManager> w(Open());
    // A header read answered with errors that the user ignores: the slot is
    // not taken as free, nor any other.
    ErrorAnswers = {caIgnore};
    unit.Refuse(0xB2, 1, 9);
    w->actRefresh->trigger();
    EXPECT_GE(ErrorsAsked, 1);
    EXPECT_FALSE(w->Connected());
    EXPECT_FALSE(w->actDownloadGame->isEnabled());
    EXPECT_FALSE(w->Slot(0).used);
    // A download whose write error is ignored: no success message, not connected.
    w->actRefresh->trigger();
    ASSERT_TRUE(w->Connected());
    ChosenFile = WriteHex(HexFile(AppImage("Demo", 128)));
    ErrorAnswers = {caIgnore};
    unit.Refuse(0x32, 5, 1);
    Messages.clear();
    w->actDownloadGame->trigger();
    EXPECT_TRUE(Messages.empty());
    EXPECT_FALSE(w->Connected());
    // The same for a delete.
    w->actRefresh->trigger();
    w->DataGrid->setCurrentCell(0, 0);
    ErrorAnswers = {caIgnore};
    unit.Refuse(0x32, 5, 1);
    Messages.clear();
    w->actDeleteGame->trigger();
    EXPECT_EQ(MessageTexts(), std::vector<std::string>{"Delete application.\r\nAre you sure?"});
    EXPECT_FALSE(w->Connected());
    EXPECT_EQ(ErrorTexts, (std::vector<std::string>{"Read application slot 0 status.",
                                                    "Downloading application block: 0.",
                                                    "Deleting application slot: 0."}));
}

TEST_F(Games, DrawingInset) {
    std::unique_ptr<TfrmGamesManager> w(Open());
    w->resize(600, 480);
    QApplication::processEvents();
    const int width = w->DataGrid->viewport()->width();
    EXPECT_EQ(w->Inset(), width > 260 ? (width - 260) / 2 : 0);
    EXPECT_EQ(w->DataGrid->columnWidth(0), w->DataGrid->width() - 20);
}

TEST_F(Games, ALongNameStaysInItsBoxAndShowsWholeAsTheRowsHint) {
    const std::string name = "Wide" + std::string(53, 'W');  // the longest a header holds
    Install(1, name);
    std::unique_ptr<TfrmGamesManager> w(Open());
    w->actRefresh->trigger();
    ASSERT_EQ(AppSlotName(w->Slot(1)), name);
    // The row painted into an image wider than its cell: nothing of the name
    // lands right of the box's border, and the start of the name shows.
    const QRect cell(0, 0, 280, 60);
    QImage image(800, 60, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.setFont(w->DataGrid->font());
        w->DataGridDrawCell(painter, 1, cell, false);
    }
    const int border = cell.right() - w->Inset() - 2;
    int spilled = 0, shown = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (x > border + 1) spilled += c != QColor(Qt::white) && c != QColor(160, 160, 164);  // the cell's own grey
            else if (x > w->Inset() + 47 && y > 24 && y < 24 + 20) shown += c == QColor(Qt::black);
        }
    EXPECT_EQ(spilled, 0);
    EXPECT_GT(shown, 0);
    // Hovering the row tells the whole name.
    const QPoint at = w->DataGrid->visualRect(w->DataGrid->model()->index(1, 0)).center();
    QHelpEvent hover(QEvent::ToolTip, at, w->DataGrid->viewport()->mapToGlobal(at));
    QApplication::sendEvent(w->DataGrid->viewport(), &hover);
    EXPECT_EQ(QToolTip::text().toStdString(), name);
}

TEST_F(Games, AFileNameTypedWithoutExtensionFindsTheHexFile) {
    std::unique_ptr<TfrmGamesManager> w(Open());
    w->actRefresh->trigger();
    ASSERT_TRUE(w->Connected());
    WriteHex(HexFile(AppImage("Demo", 128)), "typed.hex");
    TDialogAnswers::Clear<TOpenFileDialog>();  // the real dialog, answered as a user types
    std::string shown;
    bool typed = false;
    QTimer typist;
    typist.setInterval(10);
    QObject::connect(&typist, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {  // the dialog refused the name
            shown = box->text().toStdString();
            box->accept();
        } else if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
            if (typed) {
                dialog->reject();
                return;
            }
            typed = true;
            dialog->setDirectory(QString::fromStdString(Root.string()));
            auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
            if (!name) return dialog->reject();
            name->setText("typed");
            // Pressed from its own turn of the loop: a refusal opens a box of its own.
            QTimer::singleShot(0, name, [name] { QTest::keyClick(name, Qt::Key_Return); });
        }
    });
    typist.start();
    w->actDownloadGame->trigger();
    typist.stop();
    EXPECT_EQ(shown, "");
    EXPECT_EQ(MessageTexts(), std::vector<std::string>{"Application downloaded successfully."});
    EXPECT_EQ(SlotNames(*w)[0], "Demo");
}

TEST_F(Games, ANameLongerThanTheFirstRecordIsFoundInItsSlot) {
    // The file's records hold 16 bytes: the name runs on into the second and
    // third record, as it lands in the slot's header.
    const std::string name = "Demo Application Two";
    Install(0, "A");
    Install(3, name);
    std::unique_ptr<TfrmGamesManager> w(Open());
    w->actRefresh->trigger();
    ChosenFile = WriteHex(HexFile(AppImage(name, 128)));
    YesNoAnswers = {QMessageBox::No};
    sim.ClearRecords();
    w->actDownloadGame->trigger();
    EXPECT_EQ(MessageTexts(), std::vector<std::string>{"Application '" + name + "' already exists.\r\nOverwrite?"});
    EXPECT_TRUE(Sent().empty());
    // A name that only begins like the slot's is another application.
    Messages.clear();
    ChosenFile = WriteHex(HexFile(AppImage("Demo Application", 128)));
    w->actDownloadGame->trigger();
    EXPECT_EQ(MessageTexts(), std::vector<std::string>{"Application downloaded successfully."});
    EXPECT_EQ(SlotNames(*w), (std::vector<std::string>{"A", "Demo Application", "-", name, "-", "-", "-"}));
}
