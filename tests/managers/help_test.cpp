// The manual the build makes (Help/QX318 Help.pdf): a real manual, which
// names every window by its caption and every shortcut of the main menu as
// the program has them (and those of the unit's windows and the Converter),
// and whose text stays inside the page.
#include "ManagersTest.h"

#include "AppConfig.h"
#include "AppSlots.h"
#include "BinaryEditBar.h"
#include "Convert.h"
#include "GamesManager.h"
#include "Main.h"
#include "MemView.h"
#include "Managers.h"
#include "MemViewText.h"
#include "MemoryManager.h"
#include "ProgramManager.h"
#include "ProgramSlots.h"
#include "QXMenuForm.h"
#include "TypeGridLayout.h"
#include "TypeObject.h"
#include "TypeWindow.h"

#include <QFile>
#include <QMenuBar>
#include <QProcess>
#include <QRegularExpression>
#include <algorithm>
#include <set>

namespace {

const QString Manual = QStringLiteral(QX_HELP_PDF);

const QString Source = QStringLiteral(QX_HELP_SOURCE);

// The output of a poppler tool on the manual; empty when it did not run.
QString Poppler(const QString& tool, QStringList arguments) {
    QProcess p;
    arguments << Manual << QStringLiteral("-");
    p.start(tool, arguments);
    if (!p.waitForFinished(60000) || p.exitCode() != 0) return QString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

int Pages() {
    QProcess p;
    p.start(QStringLiteral("pdfinfo"), {Manual});
    if (!p.waitForFinished(60000)) return 0;
    const auto m = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(QString::fromUtf8(p.readAll()));
    return m.hasMatch() ? m.captured(1).toInt() : 0;
}

// The text of one page (1 for the first).
QString PageText(int page) {
    return Poppler(QStringLiteral("pdftotext"), {QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"),
                                                 QString::number(page)});
}

QString XmlText(QString text) {
    return text.replace(QLatin1String("&lt;"), QLatin1String("<"))
        .replace(QLatin1String("&gt;"), QLatin1String(">"))
        .replace(QLatin1String("&quot;"), QLatin1String("\""))
        .replace(QLatin1String("&#39;"), QLatin1String("'"))
        .replace(QLatin1String("&amp;"), QLatin1String("&"));
}

// The text without any white space and with ligatures as their letters: a
// name that a line break cut in two still shows up whole.
QString Squeezed(const QString& text) {
    return text.normalized(QString::NormalizationForm_KC).remove(QRegularExpression(QStringLiteral("\\s")));
}

void CollectShortcuts(const QList<QAction*>& actions, std::set<std::string>& keys, std::set<QMenu*>& seen) {
    for (QAction* a : actions) {
        if (!a->isVisible() && !a->menu()) continue;
        for (const QKeySequence& k : a->shortcuts())
            keys.insert(k.toString(QKeySequence::PortableText).toStdString());
        if (QMenu* m = a->menu(); m && seen.insert(m).second) CollectShortcuts(m->actions(), keys, seen);
    }
}

class HelpManual : public ManagersFixture {};

}  // namespace

TEST_F(HelpManual, IsARealManual) {
    QFile pdf(Manual);
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly)) << Manual.toStdString();
    EXPECT_TRUE(pdf.read(5).startsWith("%PDF-"));
    // The placeholder it replaces was a single page of seven lines.
    EXPECT_GT(Pages(), 20);
    const QString text = Poppler(QStringLiteral("pdftotext"), {});
    ASSERT_FALSE(text.isEmpty());
    for (const char* part : {"Contents", "Keyboard shortcuts", "Messages and what to do", "dialout", "QX318_COM"})
        EXPECT_TRUE(text.contains(QLatin1String(part))) << part;
}

// The unit's limits that the windows are built on read in the manual as the
// code has them: a change of a count or a size shows up here.
TEST_F(HelpManual, StatesTheLimitsTheWindowsAreBuiltOn) {
    static const char* const words[] = {"zero", "one", "two",   "three", "four", "five",
                                        "six",  "seven", "eight", "nine",  "ten"};
    ASSERT_LE(ProgramSegmentCount, 10);
    ASSERT_LE(AppSlotCount, 10);
    const QString text = Squeezed(Poppler(QStringLiteral("pdftotext"), {}));
    ASSERT_FALSE(text.isEmpty());
    const QString facts[] = {
        QStringLiteral("%1 memory segments of %2 bytes").arg(words[ProgramSegmentCount]).arg(ProgramSegmentBytes),
        QStringLiteral("The digit keys 1 to %1 select a segment").arg(ProgramSegmentCount),
        QStringLiteral("%1 application slots").arg(words[AppSlotCount]),
        QStringLiteral("The digit keys 1 to %1 select a slot").arg(AppSlotCount),
        QStringLiteral("at most %1 characters").arg(AppNameMax),
        QStringLiteral("one page of %1 bytes").arg(MemPageSize),
        QStringLiteral("starts at address %1").arg(QString::fromStdString(AddressHex(MemStartAddress))),
        QStringLiteral("up to the last page at %1").arg(QString::fromStdString(AddressHex(MemTopPage))),
    };
    for (const QString& fact : facts) EXPECT_TRUE(text.contains(Squeezed(fact))) << fact.toStdString();
}

// The title page names the program as its main window's caption does, with
// its version.
TEST_F(HelpManual, TitlePageNamesTheProgramAndItsVersion) {
    RegisterTypeEditor();
    TfrmQX318MainForm main;
    const QString caption = main.windowTitle();
    ASSERT_TRUE(caption.contains(QRegularExpression(QStringLiteral("V\\d"))));
    EXPECT_TRUE(Squeezed(PageText(1)).contains(Squeezed(caption))) << PageText(1).toStdString();
}

// Every line of the contents is a link to the page it names, and every
// bookmark leads to the page that starts with its heading.
TEST_F(HelpManual, ContentsAndBookmarksLeadToTheirPages) {
    const QString xml =
        Poppler(QStringLiteral("pdftohtml"), {QStringLiteral("-xml"), QStringLiteral("-i"), QStringLiteral("-stdout"),
                                              QStringLiteral("-q")});
    ASSERT_FALSE(xml.isEmpty());
    int links = 0;
    auto link = QRegularExpression(QStringLiteral("<a href=\"[^\"]*#(\\d+)\">(?:<b>)?(\\d+)(?:</b>)?</a>")).globalMatch(xml);
    while (link.hasNext()) {
        const auto m = link.next();
        EXPECT_EQ(m.captured(1), m.captured(2));
        ++links;
    }
    int bookmarks = 0;
    auto item = QRegularExpression(QStringLiteral("<item page=\"(\\d+)\">([^<]*)</item>")).globalMatch(xml);
    while (item.hasNext()) {
        const auto m = item.next();
        const QString title = XmlText(m.captured(2));
        EXPECT_TRUE(Squeezed(PageText(m.captured(1).toInt())).contains(Squeezed(title)))
            << title.toStdString() << " on page " << m.captured(1).toStdString();
        ++bookmarks;
    }
    EXPECT_GT(bookmarks, 15);
    EXPECT_EQ(links, bookmarks);
}

// A piece of inline code with spaces (a menu entry as the program shows it,
// a command line) stays on one line. A path may still break after a slash.
TEST_F(HelpManual, InlineCodeStaysOnOneLine) {
    QFile source(Source);
    ASSERT_TRUE(source.open(QIODevice::ReadOnly)) << Source.toStdString();
    const QString markdown = QString::fromUtf8(source.readAll());
    QStringList lines = Poppler(QStringLiteral("pdftotext"), {}).split(QLatin1Char('\n'));
    ASSERT_GT(lines.size(), 100);
    for (QString& line : lines) line = line.simplified();
    int checked = 0;
    auto span = QRegularExpression(QStringLiteral("`([^`\n]+)`")).globalMatch(markdown);
    while (span.hasNext()) {
        const QString code = span.next().captured(1).simplified();
        if (!code.contains(QLatin1Char(' ')) || code.contains(QLatin1Char('/'))) continue;
        ++checked;
        EXPECT_TRUE(std::any_of(lines.cbegin(), lines.cend(), [&](const QString& l) { return l.contains(code); }))
            << code.toStdString();
    }
    EXPECT_GT(checked, 0);
}

TEST_F(HelpManual, NamesEveryWindowByItsCaption) {
    RegisterTypeEditor();
    std::vector<QString> captions;
    {
        TfrmQX318MainForm main;
        captions.push_back(main.windowTitle());
        captions.push_back(TfrmAppConfig(&main.App).windowTitle());
    }
    captions.push_back(TfrmManager(App.get()).windowTitle());
    captions.push_back(TfrmProgramManager(App.get()).windowTitle());
    captions.push_back(TfrmMemView(App.get()).windowTitle());
    captions.push_back(TfrmGamesManager(App.get()).windowTitle());
    captions.push_back(TfrmConvert(App.get()).windowTitle());
    {
        TfrmQXMenu menu(App.get(), std::string());
        captions.push_back(menu.windowTitle().section(QStringLiteral(" ["), 0, 0));  // "... [untitled]"
    }
    captions.push_back(TfrmBinaryEditBar(nullptr, 16, 5).windowTitle().section(QStringLiteral(" |"), 0, 0));
    captions.push_back(QString::fromStdString(App->Text(Msg::CommunicationError)));
    const QString text = Squeezed(Poppler(QStringLiteral("pdftotext"), {}));
    ASSERT_FALSE(text.isEmpty());
    for (const QString& caption : captions) {
        ASSERT_FALSE(caption.isEmpty());
        EXPECT_TRUE(text.contains(Squeezed(caption))) << caption.toStdString();
    }
}

TEST_F(HelpManual, NamesEveryShortcutOfTheMainMenu) {
    RegisterTypeEditor();
    RegisterManagers();
    TfrmQX318MainForm main;
    main.App.ExpertMode = 1;
    // A document window's parts join the main menu only while it is shown.
    main.show();
    QApplication::processEvents();
    std::set<std::string> keys;
    std::set<QMenu*> seen;
    CollectShortcuts(main.menuBar()->actions(), keys, seen);
    // A type window joins its File items and its Edit menu to the main menu.
    main.actNew->trigger();
    QApplication::processEvents();
    ASSERT_EQ(main.DocumentWindows().size(), 1u);
    seen.clear();
    CollectShortcuts(main.menuBar()->actions(), keys, seen);
    for (const char* expected :
         {"Ctrl+N", "Ctrl+O", "Ctrl+W", "F1", "Ctrl+S", "Ctrl+P", "Ctrl+D", "Ctrl+U", "Ctrl++", "Ctrl+Ins", "Ctrl+Del"})
        EXPECT_TRUE(keys.count(expected)) << expected;
    // The unit's windows and the Converter, opened from the main menu: the
    // keys of every command they have.
    for (QAction* open :
         {main.actMemoryManager, main.actProgramManager, main.actMemView, main.actGamesManager, main.actConvert})
        open->trigger();
    QApplication::processEvents();
    ASSERT_EQ(main.DocumentWindows().size(), 6u);
    for (TMDICustomChild* w : main.DocumentWindows())
        for (QAction* a : w->findChildren<QAction*>())
            for (const QKeySequence& k : a->shortcuts())
                keys.insert(k.toString(QKeySequence::PortableText).toStdString());
    for (const char* expected : {"F5", "F3", "Del", "Ins", "Ctrl+G", "Ctrl+PgUp", "Ctrl+PgDown", "Ctrl+H"})
        EXPECT_TRUE(keys.count(expected)) << expected;
    const QString text = Squeezed(Poppler(QStringLiteral("pdftotext"), {}));
    ASSERT_FALSE(text.isEmpty());
    for (const std::string& key : keys) EXPECT_TRUE(text.contains(QString::fromStdString(key))) << key;
    for (TMDICustomChild* w : main.DocumentWindows())
        if (auto* t = qobject_cast<TfrmTypeObject*>(w)) t->Modified = false;
}

// The manual lists the baud rates the configuration dialog offers, in its
// order ("9600, 57600 or 115200"), and names the default: the rate of a new
// record (the fixture's record is one), which the dialog shows chosen.
TEST_F(HelpManual, NamesEveryBaudRateOfTheConfigurationDialog) {
    TfrmAppConfig dialog(App.get());
    QStringList rates;
    for (int i = 0; i < dialog.cmbboxBaudRate->count(); ++i) rates << dialog.cmbboxBaudRate->itemText(i);
    ASSERT_GE(rates.size(), 2);
    const QString list = rates.mid(0, rates.size() - 1).join(QStringLiteral(", ")) + QStringLiteral(" or ") + rates.last();
    const QString text = Squeezed(Poppler(QStringLiteral("pdftotext"), {}));
    ASSERT_FALSE(text.isEmpty());
    EXPECT_TRUE(text.contains(Squeezed(list))) << list.toStdString();
    const QString first = QStringLiteral("default ") + dialog.cmbboxBaudRate->currentText();
    EXPECT_TRUE(text.contains(Squeezed(first))) << first.toStdString();
}

// Every word lies between the margins of its page: nothing was cut at the
// right edge (the manual's margins are 54 points, three quarters of an inch).
TEST_F(HelpManual, NoTextRunsPastTheMargins) {
    const QString boxes = Poppler(QStringLiteral("pdftotext"), {QStringLiteral("-bbox")});
    ASSERT_FALSE(boxes.isEmpty());
    const QRegularExpression page(QStringLiteral("<page width=\"([0-9.]+)\""));
    const QRegularExpression word(
        QStringLiteral("<word xMin=\"([0-9.]+)\" yMin=\"[0-9.]+\" xMax=\"([0-9.]+)\" yMax=\"[0-9.]+\">([^<]*)</word>"));
    constexpr double margin = 54, slack = 1;
    double width = 0;
    int pages = 0, words = 0;
    std::vector<std::string> outside;
    for (const QString& line : boxes.split(QLatin1Char('\n'))) {
        if (const auto p = page.match(line); p.hasMatch()) {
            width = p.captured(1).toDouble();
            ++pages;
            continue;
        }
        const auto w = word.match(line);
        if (!w.hasMatch()) continue;
        ++words;
        const double left = w.captured(1).toDouble(), right = w.captured(2).toDouble();
        if (left < margin - slack || right > width - margin + slack)
            outside.push_back("page " + std::to_string(pages) + ": " + w.captured(3).toStdString() + " at " +
                              std::to_string(left) + ".." + std::to_string(right));
    }
    EXPECT_EQ(pages, Pages());
    EXPECT_GT(words, 3000);
    EXPECT_EQ(outside, std::vector<std::string>{});
}

// The grid's columns stand in the manual in the order the grid shows them:
// the column titles of the parameters' and the switches' tabs, taken from
// the grid's layout, joined as the manual lists them.
TEST_F(HelpManual, ListsTheGridsColumnsInTheirOrder) {
    TTypeObjectData type(App->DisplayFormats);
    const TTypeGridTexts titles(*App->Mls);
    const QString text = Squeezed(Poppler(QStringLiteral("pdftotext"), {}));
    ASSERT_FALSE(text.isEmpty());
    for (const uint8_t kind : {_TypeSelection::KindParameters, _TypeSelection::KindConfiguration}) {
        _TypeSelection selection;
        selection.Kind = kind;
        const TTypeGridLayout layout = LayoutTypeGrid(selection, type, App->DisplayFormats, 600, 100);
        QStringList columns;
        for (int32_t col = 0; col < layout.ColCount; ++col)
            columns << QString::fromStdString(TypeGridCellText(type, layout, titles, 0, 0, col));
        ASSERT_GE(columns.size(), 3) << int(kind);
        const QString listed = columns.join(QStringLiteral(", "));
        EXPECT_TRUE(text.contains(Squeezed(listed))) << listed.toStdString();
    }
}
