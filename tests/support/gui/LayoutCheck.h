// What every window test checks about a window laid out by Qt layouts, and
// the language file to check it with.
//
// LayoutProblems shows the window (offscreen) and names every place where a
// user would see a text cut or widgets on top of each other:
// - a label, check box, radio button or push button smaller than its size
//   hint (a word-wrapped label: lower than its text needs at its width);
// - a group box narrower than its title, a tab bar narrower than its tabs;
// - a visible widget overlapping a visible sibling, or reaching out of its
//   parent (for a group box: into its title);
// - a window larger than a 1024 x 768 screen, title bar included.
// Every page of a tab widget is checked in turn. The inside of composite
// controls (lists, combo boxes, edit fields) is Qt's own and not looked at.
//
// LongTextsLanguageFile writes a language file of one language in which
// every message and every text of the given windows (their captions, labels,
// buttons, group boxes and tab pages, found by their object names) is twice
// as long as the English one.
//
// A window test uses both (see tests/frame/layout_test.cpp):
//   TfrmX english(...);                                  // English texts
//   write LongTextsLanguageFile({&english}) as <program>.mls, select language 0
//   TfrmX window(...);                                   // texts twice as long
//   EXPECT_EQ(LayoutProblems(&window), std::vector<std::string>{});
// A window is laid out with Qt layouts and opened with SetStartingSize
// (core/qt/FormLayout.h) at the size it was designed at.
#pragma once

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QProgressBar>
#include <QTabBar>
#include <QTabWidget>
#include <QWidget>

#include <string>
#include <vector>

#include "Messages.h"
#include "QtTexts.h"

namespace layoutcheck {

// The screen every window must fit, and the room its title bar and frame take.
inline constexpr QSize Screen(1024, 768);
inline constexpr QSize Frame(16, 40);

inline QString Path(const QString& parent, const QWidget* w) {
    const QString name = w->objectName().isEmpty() ? QString(w->metaObject()->className()) : w->objectName();
    return parent.isEmpty() ? name : parent + "/" + name;
}

inline QString SizeText(QSize s) { return QString("%1 x %2").arg(s.width()).arg(s.height()); }

// Lets every pending layout take its geometry.
inline void Settle(QWidget* window) {
    for (int i = 0; i < 4; ++i) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        if (window->layout()) window->layout()->activate();
    }
}

// Controls whose children are Qt's own parts.
inline bool IsComposite(const QWidget* w) {
    return qobject_cast<const QAbstractScrollArea*>(w) || qobject_cast<const QComboBox*>(w) ||
           qobject_cast<const QAbstractSpinBox*>(w) || qobject_cast<const QLineEdit*>(w) ||
           qobject_cast<const QProgressBar*>(w) || qobject_cast<const QAbstractSlider*>(w) ||
           qobject_cast<const QTabBar*>(w);
}

inline void CheckText(const QWidget* w, const QString& path, std::vector<std::string>& problems) {
    auto report = [&](const QString& what) { problems.push_back((path + ": " + what).toStdString()); };
    const QSize has = w->size();
    if (auto* label = qobject_cast<const QLabel*>(w); label && label->wordWrap()) {
        const int least = label->minimumSizeHint().width();
        const int high = label->heightForWidth(has.width());
        if (has.width() < least) report(QString("%1 wide, its longest word needs %2").arg(has.width()).arg(least));
        if (has.height() < high) report(QString("%1 high, its text needs %2").arg(has.height()).arg(high));
    } else if (qobject_cast<const QLabel*>(w) || qobject_cast<const QAbstractButton*>(w)) {
        const QSize hint = w->sizeHint();
        if (has.width() < hint.width() || has.height() < hint.height())
            report(SizeText(has) + ", its text needs " + SizeText(hint));
    } else if (qobject_cast<const QGroupBox*>(w)) {
        const int least = w->minimumSizeHint().width();
        if (has.width() < least) report(QString("%1 wide, its title needs %2").arg(has.width()).arg(least));
    }
}

inline void Walk(QWidget* window, QWidget* w, const QString& path, std::vector<std::string>& problems) {
    if (auto* tabs = qobject_cast<QTabWidget*>(w)) {
        QTabBar* bar = tabs->tabBar();
        if (bar->width() < bar->sizeHint().width())
            problems.push_back((path + QString(": tabs %1 wide, their titles need %2")
                                           .arg(bar->width())
                                           .arg(bar->sizeHint().width()))
                                   .toStdString());
        const int current = tabs->currentIndex();
        for (int i = 0; i < tabs->count(); ++i) {
            tabs->setCurrentIndex(i);
            Settle(window);
            QWidget* page = tabs->widget(i);
            if (!page->rect().isValid() || page->width() > tabs->width() || page->height() > tabs->height())
                problems.push_back((Path(path, page) + ": page " + SizeText(page->size()) + " in tabs of " +
                                    SizeText(tabs->size()))
                                       .toStdString());
            Walk(window, page, Path(path, page), problems);
        }
        tabs->setCurrentIndex(current);
        Settle(window);
        return;
    }
    if (IsComposite(w)) return;
    std::vector<QWidget*> shown;
    for (QObject* child : w->children()) {
        auto* c = qobject_cast<QWidget*>(child);
        if (c && !c->isWindow() && c->isVisibleTo(window)) shown.push_back(c);
    }
    const QRect room = qobject_cast<QGroupBox*>(w) ? w->contentsRect() : w->rect();
    for (size_t i = 0; i < shown.size(); ++i) {
        QWidget* c = shown[i];
        const QString at = Path(path, c);
        CheckText(c, at, problems);
        if (!room.contains(c->geometry()))
            problems.push_back((at + QString(": at %1,%2 size %3 reaches out of %4")
                                         .arg(c->x())
                                         .arg(c->y())
                                         .arg(SizeText(c->size()))
                                         .arg(path))
                                   .toStdString());
        for (size_t j = i + 1; j < shown.size(); ++j)
            if (c->geometry().intersects(shown[j]->geometry()))
                problems.push_back((at + " overlaps " + Path(path, shown[j])).toStdString());
        Walk(window, c, at, problems);
    }
}

}  // namespace layoutcheck

// Every fault of the window's layout, one text each; empty when there is none.
inline std::vector<std::string> LayoutProblems(QWidget* window) {
    using namespace layoutcheck;
    std::vector<std::string> problems;
    if (!window->isVisible()) window->show();
    Settle(window);
    const QSize outer = window->size() + Frame;
    if (outer.width() > Screen.width() || outer.height() > Screen.height())
        problems.push_back((window->objectName() + ": " + SizeText(window->size()) + " does not fit a screen of " +
                            SizeText(Screen))
                               .toStdString());
    Walk(window, window, window->objectName(), problems);
    return problems;
}

namespace layoutcheck {

// The English text twice over (the second time without its access key).
inline std::string Twice(const QString& text) {
    QString second = text;
    second.remove('&');
    std::string bytes = QStringToCp1252(text + second);
    std::string escaped;
    for (char c : bytes) escaped += c == '\r' ? std::string("\\r") : c == '\n' ? std::string("\\n") : std::string(1, c);
    return escaped;
}

inline void AddTexts(QObject* o, const std::string& form, std::string& file) {
    auto add = [&](const QString& text) {
        if (!text.isEmpty()) file += form + "::" + QStringToCp1252(o->objectName()) + "=" + Twice(text) + "\r\n";
    };
    if (!o->objectName().isEmpty() && !o->objectName().startsWith("qt_")) {
        if (auto* label = qobject_cast<QLabel*>(o)) add(label->text());
        else if (auto* button = qobject_cast<QAbstractButton*>(o)) add(button->text());
        else if (auto* group = qobject_cast<QGroupBox*>(o)) add(group->title());
    }
    if (auto* tabs = qobject_cast<QTabWidget*>(o))
        for (int i = 0; i < tabs->count(); ++i)
            if (!tabs->widget(i)->objectName().isEmpty())
                file += form + "::" + QStringToCp1252(tabs->widget(i)->objectName()) + "=" + Twice(tabs->tabText(i)) +
                        "\r\n";
    for (QObject* child : o->children()) AddTexts(child, form, file);
}

}  // namespace layoutcheck

// The language file (its bytes) with the one language "Long".
inline std::string LongTextsLanguageFile(const std::vector<QWidget*>& windows) {
    using namespace layoutcheck;
    std::string file = "[MLS-INTERFACE]\r\nProgram=QX318\r\n[GENERAL]\r\nLanguages=1\r\n[LANGUAGES]\r\n1=Long\r\n[Long]\r\n";
    for (const _MessageEntry* m = BuiltInMessages; m->Text[0] != '\0'; ++m)
        file += "const::" + std::to_string(m->Id) + "=" + Twice(QStringFromCp1252(m->Text)) + "\r\n";
    for (QWidget* window : windows) {
        const std::string name = QStringToCp1252(window->objectName());
        file += "::" + name + "=" + Twice(window->windowTitle()) + "\r\n";
        for (QObject* child : window->children()) AddTexts(child, name.substr(0, name.find('_')), file);
    }
    return file;
}
