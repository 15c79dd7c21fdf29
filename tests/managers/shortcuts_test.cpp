// One owner for each key: with each kind of document window active and the
// focus on each of its widgets in turn, every key that an enabled action or
// shortcut holds (the main window's, the window's own, its system menu's,
// those of its child widgets) is pressed; Qt must find exactly one owner
// for it, never two ("Ambiguous shortcut overload"), which would make the
// key do nothing.
#include "DocumentWindowsTest.h"

#include "../typeeditor/TypeSamples.h"

#include <QMdiSubWindow>
#include <QMenu>
#include <QShortcut>
#include <QShortcutEvent>
#include <QTest>
#include <functional>
#include <map>
#include <set>

namespace {

// Takes every shortcut event the program dispatches, so that no command
// runs, and keeps whether Qt found the key ambiguous.
class ShortcutCatcher : public QObject {
public:
    struct Hit {
        QObject* Receiver;
        bool Ambiguous;
    };
    std::vector<Hit> Hits;
    ShortcutCatcher() { qApp->installEventFilter(this); }
    ~ShortcutCatcher() override { qApp->removeEventFilter(this); }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Shortcut) return false;
        Hits.push_back({watched, static_cast<QShortcutEvent*>(event)->isAmbiguous()});
        return true;
    }
};

class Shortcuts : public DocumentWindowsFixture {
protected:
    // The keys of every enabled action and shortcut object of the main
    // window and its document windows (their system menus among them), with
    // their owners' names.
    std::map<int, std::set<std::string>> HeldKeys() const {
        std::map<int, std::set<std::string>> keys;
        auto hold = [&](const QList<QKeySequence>& sequences, const QObject* owner, const QString& text) {
            const QString name = owner->objectName().isEmpty() ? "\"" + text + "\"" : owner->objectName();
            for (const QKeySequence& s : sequences)
                if (!s.isEmpty()) keys[s[0].toCombined()].insert(name.toStdString());
        };
        for (const QAction* a : Main->findChildren<QAction*>())
            if (a->isEnabled()) hold(a->shortcuts(), a, a->text());
        for (const QShortcut* s : Main->findChildren<QShortcut*>())
            if (s->isEnabled()) hold(s->keys(), s, s->parent()->objectName());
        return keys;
    }

    // Every widget of the window that takes the focus from a click or Tab.
    static QList<QWidget*> FocusPlaces(QMdiSubWindow* w) {
        QList<QWidget*> places{w};
        for (QWidget* child : w->findChildren<QWidget*>())
            if (child->isVisible() && child->isEnabled() && (child->focusPolicy() & Qt::ClickFocus) &&
                !qobject_cast<QMenu*>(child))
                places << child;
        return places;
    }

    // Presses each held key with the focus on each place of the active
    // window; fails on a key that Qt finds two owners for.
    void ExpectOneOwnerPerKey(const char* window) {
        auto* active = Main->ClientArea->activeSubWindow();
        ASSERT_NE(active, nullptr) << window;
        for (QWidget* place : FocusPlaces(active)) {
            place->setFocus(Qt::MouseFocusReason);
            QApplication::processEvents();
            QWidget* focus = QApplication::focusWidget();
            if (!focus || !active->isAncestorOf(focus)) focus = place;
            const auto held = HeldKeys();
            for (const auto& [combined, owners] : held) {
                const QKeyCombination key = QKeyCombination::fromCombined(combined);
                ShortcutCatcher catcher;
                QTest::keyPress(focus, key.key(), key.keyboardModifiers());
                QTest::keyRelease(focus, key.key(), key.keyboardModifiers());
                bool ambiguous = false;
                for (const auto& hit : catcher.Hits) ambiguous = ambiguous || hit.Ambiguous;
                std::string names;
                for (const std::string& n : owners) names += " " + n;
                EXPECT_FALSE(ambiguous) << window << ": " << QKeySequence(key).toString().toStdString()
                                        << " is held twice with the focus on "
                                        << focus->metaObject()->className() << " \""
                                        << focus->objectName().toStdString() << "\"; holders:" << names;
                // The key may have changed the window (an editor opened):
                // the next key starts from the same place.
                if (!Main->ClientArea->activeSubWindow()) return;
            }
        }
    }
};

}  // namespace

TEST_F(Shortcuts, EveryKeyHasOneOwnerInEveryDocumentWindow) {
    StartMain();
    ASSERT_TRUE(Main->App.MenuUI);
    struct Window {
        const char* name;
        QAction* command;
    } windows[] = {
        {"type window", Main->actNew},
        {"menu editor", Main->actMenuManager},
        {"Program Manager", Main->actProgramManager},
        {"memory manager", Main->actMemoryManager},
        {"Memory Viewer", Main->actMemView},
        {"Applications", Main->actGamesManager},
        {"converter", Main->actConvert},
    };
    for (const Window& w : windows) {
        w.command->trigger();
        QApplication::processEvents();
        ExpectOneOwnerPerKey(w.name);
    }
    // A type with a table, in table mode: the row commands hold the keys
    // the parameter commands hold in type mode.
    uint8_t formats[100] = {};
    TTypeObjectData sample(formats);
    FillSampleType(sample);
    const std::string file = (Root / "sample.mtp").string();
    ASSERT_TRUE(sample.SaveToFile(file));
    auto* table = qobject_cast<TfrmTypeObject*>(DocumentCreators().OpenTypeObject(&Main->App, file));
    QApplication::processEvents();
    ASSERT_NE(table, nullptr);
    const auto found = table->TreeView->findItems("Speeds", Qt::MatchContains | Qt::MatchRecursive);
    ASSERT_FALSE(found.isEmpty());
    table->TreeView->setFocus();
    table->TreeView->setCurrentItem(found.first());
    ASSERT_TRUE(table->Selection.TableMode());
    ExpectOneOwnerPerKey("type window in table mode");
    // Ctrl+W with the focus in a type window's tree closes the window.
    Main->actNew->trigger();
    QApplication::processEvents();
    auto* type = qobject_cast<TfrmTypeObject*>(Main->ClientArea->activeSubWindow());
    ASSERT_NE(type, nullptr);
    QPointer<TfrmTypeObject> alive(type);
    type->TreeView->setFocus(Qt::MouseFocusReason);
    QTest::keyClick(type->TreeView, Qt::Key_W, Qt::ControlModifier);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(!alive || alive->isHidden());
}
