// The widget side of the text layer: Windows-1252 texts as QString, and a
// window translated by its components' object names.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QToolBar>
#include <cstdio>
#include <fstream>
#include <memory>

#include "FormTranslation.h"
#include "Mlsunit.h"
#include "QtTexts.h"

namespace {

QApplication& App() {
    static int argc = 1;
    static char name[] = "qttexts_test";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
    return app;
}

template <typename T>
T* Named(QObject* parent, const char* name) {
    auto* object = new T(static_cast<typename std::conditional_t<std::is_base_of_v<QAction, T>, QObject, QWidget>*>(parent));
    object->setObjectName(name);
    return object;
}

}  // namespace

TEST(QtTexts, Cp1252RoundTrip) {
    EXPECT_EQ(QStringFromCp1252("Men\xFC \x80 5"), QString::fromUtf8("Men\xC3\xBC \xE2\x82\xAC 5"));
    EXPECT_EQ(QStringToCp1252(QString::fromUtf8("Men\xC3\xBC \xE2\x82\xAC 5")), "Men\xFC \x80 5");
    // Every byte survives the way through QString.
    std::string all;
    for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
    EXPECT_EQ(QStringToCp1252(QStringFromCp1252(all)), all);
    // What the code page lacks becomes '?'.
    EXPECT_EQ(QStringToCp1252(QString::fromUtf8("\xE2\x86\x92 \xF0\x9F\x98\x80")), "? ?");
}

TEST(QtTexts, TranslatesAWindowByObjectNames) {
    App();
    const std::string path = testing::TempDir() + "qttexts_test_" + std::to_string(QCoreApplication::applicationPid()) + ".mls";
    {
        std::ofstream out(path, std::ios::binary);
        out << "[MLS-INTERFACE]\r\nProgram=x\r\n[GENERAL]\r\nLanguages=1\r\n[LANGUAGES]\r\n1=Deutsch\r\n[Deutsch]\r\n"
               "::frmTest_2=Pr\xFC" "fen 2\r\nfrmTest::lblInfo=Zeile 1\\nZeile 2\r\nfrmTest::btnOk=&Gut\r\n"
               "frmTest::chkAll=&Alle\r\nfrmTest::grpOptions=Optionen\r\nfrmTest::tabFirst=Erste\r\n"
               "frmTest::actDelete=L\xF6schen\r\nfrmTest::mnuFile=&Datei\r\nfrmTest::tbMain=Werkzeuge\r\n"
               "frmTest::btnInner=Innen\r\nfrmTest_2::btnOk=wrong key\r\n";
    }
    TMLSUnit mls(BuiltInMessages, path);
    std::remove(path.c_str());
    mls.SetLanguage(0);

    QDialog form;
    form.setObjectName("frmTest_2");
    form.setWindowTitle("Test");
    auto* label = Named<QLabel>(&form, "lblInfo");
    auto* ok = Named<QPushButton>(&form, "btnOk");
    auto* all = Named<QCheckBox>(&form, "chkAll");
    auto* group = Named<QGroupBox>(&form, "grpOptions");
    auto* inner = Named<QPushButton>(group, "btnInner");
    auto* tabs = Named<QTabWidget>(&form, "pgTabs");
    auto* page = new QWidget;
    page->setObjectName("tabFirst");
    tabs->addTab(page, "First");
    auto* menu = Named<QMenu>(&form, "mnuFile");
    auto* action = Named<QAction>(menu, "actDelete");
    menu->addAction(action);
    auto* toolBar = Named<QToolBar>(&form, "tbMain");
    auto* untouched = Named<QPushButton>(&form, "btnCancel");
    untouched->setText("Cancel");

    TranslateWidget(mls, &form);
    EXPECT_EQ(form.windowTitle(), QString::fromUtf8("Pr\xC3\xBC" "fen 2"));
    EXPECT_EQ(label->text(), "Zeile 1\nZeile 2");
    EXPECT_EQ(ok->text(), "&Gut");
    EXPECT_EQ(all->text(), "&Alle");
    EXPECT_EQ(group->title(), "Optionen");
    EXPECT_EQ(inner->text(), "Innen");
    EXPECT_EQ(tabs->tabText(0), "Erste");
    EXPECT_EQ(menu->title(), "&Datei");
    EXPECT_EQ(action->text(), QString::fromUtf8("L\xC3\xB6schen"));
    EXPECT_EQ(toolBar->windowTitle(), "Werkzeuge");
    EXPECT_EQ(untouched->text(), "Cancel");

    // English leaves the window as it is.
    mls.SetLanguage(-1);
    QDialog english;
    english.setObjectName("frmTest");
    english.setWindowTitle("Test");
    TranslateWidget(mls, &english);
    EXPECT_EQ(english.windowTitle(), "Test");
}
