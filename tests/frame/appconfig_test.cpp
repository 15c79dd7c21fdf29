#include <QKeyEvent>
#include <QTest>

#include "AppConfig.h"
#include "FrameTest.h"

namespace {

class Config : public FrameFixture {
protected:
    std::unique_ptr<_AppInterface> App;
    void SetUp() override {
        FrameFixture::SetUp();
        App = std::make_unique<_AppInterface>();
    }
    void TearDown() override {
        App.reset();
        FrameFixture::TearDown();
    }
    // Runs the dialog to its end through one of its buttons; the result.
    static int Finish(TfrmAppConfig& dialog, bool ok) {
        if (ok) dialog.btnOk->click();
        else dialog.btnCancel->click();
        return dialog.result();
    }
    void WriteLanguages() {
        WriteFileBytes(ProgramDir / "QX318Utility.mls",
                       "[MLS-INTERFACE]\r\nProgram=QX318\r\n[GENERAL]\r\nLanguages=2\r\n[LANGUAGES]\r\n1=Deutsch\r\n"
                       "2=Fran\xE7" "ais\r\n[Deutsch]\r\nconst::1021=Englisch (Standard)\r\n"
                       "frmAppConfig::btnCancel=&Abbrechen\r\n::frmAppConfig=Einstellungen\r\n");
        App = std::make_unique<_AppInterface>();
    }
};

}  // namespace

TEST_F(Config, ControlsShowTheRecord) {
    App->ComPort = 12;
    App->BaudIndex = 2;
    App->FlexibleToolBarsSetting = 1;
    App->Shortcuts.Items[2].Path = "/p/x.hex";
    App->UnitsList->assign({"mm", "kg"});
    TfrmAppConfig dialog(App.get());
    EXPECT_EQ(dialog.size(), QSize(405, 407));
    EXPECT_EQ(dialog.windowTitle(), "Configuration");
    EXPECT_EQ(dialog.PageControl->count(), 3);
    EXPECT_EQ(dialog.PageControl->currentIndex(), 0);
    EXPECT_EQ(dialog.cmbboxComPort->count(), 255);
    EXPECT_EQ(dialog.cmbboxComPort->itemText(254), "255");
    EXPECT_EQ(dialog.cmbboxComPort->currentText(), "12");
    EXPECT_EQ(dialog.cmbboxBaudRate->currentText(), "115200");
    EXPECT_TRUE(dialog.chkboxFloatToolBar->isChecked());
    EXPECT_EQ(dialog.edtShortcut[2]->text(), "/p/x.hex");
    EXPECT_EQ(dialog.listboxLanguages->count(), 1);
    EXPECT_EQ(dialog.listboxLanguages->item(0)->text(), "English (Default)");
    EXPECT_EQ(dialog.listboxLanguages->currentRow(), 0);
    EXPECT_EQ(dialog.cmbUnits->currentText(), "mm");
    EXPECT_FALSE(dialog.cmbUnits->isEnabled());  // expert mode only
    EXPECT_EQ(dialog.lblResetDefaultsInfo2->text(),
              "(Window, toolbars  position, recent files, default units, communication port).");
    EXPECT_EQ(dialog.GetChangeMask(), 0);
}

TEST_F(Config, OutOfRangePortShowsAQuestionMark) {
    for (int32_t port : {0, 256}) {
        App->ComPort = port;
        App->BaudIndex = 7;
        TfrmAppConfig dialog(App.get());
        EXPECT_EQ(dialog.cmbboxComPort->currentIndex(), -1);
        EXPECT_EQ(dialog.cmbboxComPort->currentText(), "?");
        EXPECT_EQ(dialog.cmbboxBaudRate->currentText(), "?");
        EXPECT_EQ(Finish(dialog, true), 1);
        EXPECT_EQ(App->ComPort, port);  // stored back unchanged
        EXPECT_EQ(App->BaudIndex, 7);
    }
}

// The change mask of each user action, the message OK shows and what the
// record holds afterwards.
TEST_F(Config, ResultMasksAndMessages) {
    struct Case {
        const char* what;
        std::function<void(TfrmAppConfig&)> act;
        int result;
        std::vector<std::string> messages;
    } cases[] = {
        {"nothing", [](TfrmAppConfig&) {}, 1, {}},
        {"port", [](TfrmAppConfig& d) { QTest::keyClick(d.cmbboxComPort, Qt::Key_Down); }, 0x11, {}},
        {"baud", [](TfrmAppConfig& d) { QTest::keyClick(d.cmbboxBaudRate, Qt::Key_Up); }, 0x11, {}},
        {"tool bars twice",
         [](TfrmAppConfig& d) {
             d.chkboxFloatToolBar->click();
             d.chkboxFloatToolBar->click();
         },
         0x41,
         {"Restart the program to change the Flexible Toolbar mode."}},
        {"language",
         [](TfrmAppConfig& d) {
             d.listboxLanguages->setCurrentRow(0);
             d.listboxLanguagesClick();
         },
         0x81,
         {"Restart the program to change the current language."}},
        {"shortcut typed", [](TfrmAppConfig& d) { QTest::keyClicks(d.edtShortcut[0], "/a.S"); }, 0x21, {}},
        {"reset ticked", [](TfrmAppConfig& d) { d.chkboxResetDefaults->click(); }, 0x101,
         {"All application settings will be set to default at next startup."}},
        {"reset ticked and unticked",
         [](TfrmAppConfig& d) {
             d.chkboxResetDefaults->click();
             d.chkboxResetDefaults->click();
         },
         0x101,
         {}},
        {"everything",
         [](TfrmAppConfig& d) {
             d.chkboxFloatToolBar->click();
             d.listboxLanguagesClick();
             d.chkboxResetDefaults->click();
         },
         0x1C1,
         {"Restart the program to change the Flexible Toolbar mode.",
          "Restart the program to change the current language.",
          "All application settings will be set to default at next startup."}},
    };
    for (const auto& c : cases) {
        Messages.clear();
        App = std::make_unique<_AppInterface>();
        TfrmAppConfig dialog(App.get());
        c.act(dialog);
        EXPECT_EQ(Finish(dialog, true), c.result) << c.what;
        EXPECT_EQ(MessageTexts(), c.messages) << c.what;
        for (const auto& m : Messages) {
            EXPECT_EQ(m.Icon, TMsgIcon::Information);
            EXPECT_EQ(m.Owner, &dialog);
        }
    }
}

TEST_F(Config, CancelLeavesTheRecordUntouched) {
    App->UnitsList->assign({"mm"});
    App->ExpertMode = 1;
    TfrmAppConfig dialog(App.get());
    QTest::keyClick(dialog.cmbboxComPort, Qt::Key_Down);
    dialog.chkboxFloatToolBar->click();
    dialog.chkboxResetDefaults->click();
    QTest::keyClicks(dialog.edtShortcut[3], "x");
    QTest::keyClick(dialog.cmbUnits, Qt::Key_Delete);
    EXPECT_EQ(dialog.GetChangeMask(), 0x170);
    EXPECT_EQ(Finish(dialog, false), 1);
    EXPECT_EQ(App->ComPort, 1);
    EXPECT_EQ(App->FlexibleToolBarsSetting, 0);
    EXPECT_EQ(App->ResetAtNextStart, 0);
    EXPECT_EQ(App->Shortcuts.Items[3].Path, "");
    EXPECT_EQ(*App->UnitsList, std::vector<std::string>{"mm"});
    EXPECT_TRUE(Messages.empty());

    TfrmAppConfig closed(App.get());
    closed.chkboxFloatToolBar->click();
    closed.reject();  // the close box and Esc
    EXPECT_EQ(closed.result(), 1);
}

TEST_F(Config, OkStoresTheWorkingValues) {
    TfrmAppConfig dialog(App.get());
    dialog.cmbboxComPort->setCurrentIndex(11);
    dialog.cmbboxComPortChange();
    dialog.cmbboxBaudRate->setCurrentIndex(0);
    dialog.cmbboxBaudRateChange();
    dialog.chkboxFloatToolBar->click();
    QTest::keyClicks(dialog.edtShortcut[1], "/b.hex");
    dialog.chkboxResetDefaults->click();
    EXPECT_EQ(Finish(dialog, true), 0x171);
    EXPECT_EQ(App->ComPort, 12);
    EXPECT_EQ(App->BaudIndex, 0);
    EXPECT_EQ(App->FlexibleToolBarsSetting, 1);
    EXPECT_EQ(App->FlexibleToolBars, 0);  // takes effect at the next start
    EXPECT_EQ(App->Shortcuts.Items[1].Path, "/b.hex");
    EXPECT_EQ(App->ResetAtNextStart, 1);
}

TEST_F(Config, BrowseTakesFileAndFilter) {
    TfrmAppConfig dialog(App.get());
    dialog.btnShortcutBrowse[2]->click();  // cancelled
    EXPECT_EQ(dialog.GetChangeMask(), 0);
    ASSERT_EQ(OpenDialogs.size(), 1u);
    EXPECT_EQ(OpenDialogs[0].Title, "Program Download");
    EXPECT_EQ(OpenDialogs[0].FilterIndex, 4);
    EXPECT_EQ(OpenDialogs[0].DefaultExt, "*.S");
    EXPECT_EQ(QtNameFilters(OpenDialogs[0].Filter),
              (QStringList{"S Record File (*.S)", "Intel Hex File (*.hex *.h86)", "S Record/Intel Hex (*.S *.hex *.h86)",
                           "All files (*.*)"}));
    ChosenFile = "/home/u/app.h86";
    ChosenFilter = 2;
    dialog.btnShortcutBrowse[2]->click();
    EXPECT_EQ(dialog.edtShortcut[2]->text(), "/home/u/app.h86");
    EXPECT_EQ(dialog.GetChangeMask(), 0x20);
    EXPECT_EQ(Finish(dialog, true), 0x21);
    EXPECT_EQ(App->Shortcuts.Items[2].Path, "/home/u/app.h86");
    EXPECT_EQ(App->Shortcuts.FilterIndex, 2);
}

TEST_F(Config, UnitsDeleteKey) {
    App->ExpertMode = 1;
    App->UnitsList->assign({"a", "b", "c"});
    TfrmAppConfig dialog(App.get());
    EXPECT_TRUE(dialog.cmbUnits->isEnabled());
    dialog.cmbUnits->setCurrentIndex(2);
    QTest::keyClick(dialog.cmbUnits, Qt::Key_Delete);
    EXPECT_EQ(dialog.cmbUnits->currentText(), "b");  // the new last item
    dialog.cmbUnits->setCurrentIndex(0);
    QTest::keyClick(dialog.cmbUnits, Qt::Key_Backspace);  // only Delete acts
    QTest::keyClick(dialog.cmbUnits, Qt::Key_Delete);
    EXPECT_EQ(dialog.cmbUnits->currentText(), "b");
    QTest::keyClick(dialog.cmbUnits, Qt::Key_Delete);
    EXPECT_EQ(dialog.cmbUnits->count(), 0);
    QTest::keyClick(dialog.cmbUnits, Qt::Key_Delete);  // empty: nothing
    EXPECT_EQ(Finish(dialog, true), 1);
    EXPECT_TRUE(App->UnitsList->empty());
}

TEST_F(Config, LanguagesOfTheLanguageFile) {
    WriteLanguages();
    App->LanguageIndex = 5;  // selects nothing
    {
        TfrmAppConfig dialog(App.get());
        ASSERT_EQ(dialog.listboxLanguages->count(), 3);
        EXPECT_EQ(dialog.listboxLanguages->item(0)->text(), "English (Default)");
        EXPECT_EQ(dialog.listboxLanguages->item(2)->text(), QString::fromUtf8("Fran\xC3\xA7" "ais"));
        EXPECT_EQ(dialog.listboxLanguages->currentRow(), -1);
        dialog.listboxLanguages->setCurrentRow(2);
        dialog.listboxLanguagesClick();
        EXPECT_EQ(Finish(dialog, true), 0x81);
        EXPECT_EQ(App->LanguageIndex, 1);
    }
    {
        TfrmAppConfig dialog(App.get());
        EXPECT_EQ(dialog.listboxLanguages->currentRow(), 2);
        dialog.listboxLanguages->setCurrentRow(0);
        dialog.listboxLanguagesClick();
        Finish(dialog, true);
        EXPECT_EQ(App->LanguageIndex, -1);
    }
    // Translated in German.
    App->Mls->SetLanguage(0);
    TfrmAppConfig dialog(App.get());
    EXPECT_EQ(dialog.btnCancel->text(), "&Abbrechen");
    EXPECT_EQ(dialog.windowTitle(), "Einstellungen");
    EXPECT_EQ(dialog.listboxLanguages->item(0)->text(), "Englisch (Standard)");
    EXPECT_EQ(dialog.btnOk->text(), "&Ok");
}

// The language list takes a choice made with the mouse or with the keys, as
// the list shows it.
TEST_F(Config, LanguageChosenWithMouseOrKeys) {
    WriteLanguages();
    {
        TfrmAppConfig dialog(App.get());
        QTest::keyClick(dialog.listboxLanguages, Qt::Key_Down);
        ASSERT_EQ(dialog.listboxLanguages->currentRow(), 1);
        EXPECT_EQ(Finish(dialog, true), 0x81);
        EXPECT_EQ(App->LanguageIndex, 0);
    }
    {
        TfrmAppConfig dialog(App.get());
        dialog.show();
        QListWidget* list = dialog.listboxLanguages;
        const QRect item = list->visualItemRect(list->item(2));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, item.center());
        EXPECT_EQ(Finish(dialog, true), 0x81);
        EXPECT_EQ(App->LanguageIndex, 1);
    }
}
