#include "FormTranslation.h"

#include <QAbstractButton>
#include <QAction>
#include <QDialog>
#include <QDockWidget>
#include <QGroupBox>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QStackedWidget>
#include <QTabWidget>
#include <QToolBar>

#include "Mlsunit.h"
#include "QtTexts.h"

namespace {

// The page's tab widget when the widget is a page of one.
QTabWidget* TabOfPage(QWidget* widget, int& index) {
    auto* stack = qobject_cast<QStackedWidget*>(widget->parentWidget());
    auto* tabs = stack ? qobject_cast<QTabWidget*>(stack->parentWidget()) : nullptr;
    index = tabs ? tabs->indexOf(widget) : -1;
    return index >= 0 ? tabs : nullptr;
}

class TQtTextComponent : public TTextComponent {
public:
    TQtTextComponent(QObject* object, bool root) : Object(object), Root(root) {}

    std::string GetName() const override { return QStringToCp1252(Object->objectName()); }

    bool IsForm() const override {
        return Root || qobject_cast<QDialog*>(Object) || qobject_cast<QMainWindow*>(Object);
    }

    void SetCaption(std::string_view bytes) override {
        const QString text = QStringFromCp1252(bytes);
        if (auto* action = qobject_cast<QAction*>(Object)) {
            action->setText(text);
        } else if (auto* menu = qobject_cast<QMenu*>(Object)) {
            menu->setTitle(text);
        } else if (auto* label = qobject_cast<QLabel*>(Object)) {
            label->setText(text);
        } else if (auto* button = qobject_cast<QAbstractButton*>(Object)) {
            button->setText(text);
        } else if (auto* group = qobject_cast<QGroupBox*>(Object)) {
            group->setTitle(text);
        } else if (qobject_cast<QToolBar*>(Object) || qobject_cast<QDockWidget*>(Object) || IsForm()) {
            // A floating tool bar shows this as its window's caption.
            static_cast<QWidget*>(Object)->setWindowTitle(text);
        } else if (auto* widget = qobject_cast<QWidget*>(Object)) {
            int index = -1;
            if (QTabWidget* tabs = TabOfPage(widget, index)) tabs->setTabText(index, text);
        }
    }

    void ForEachOwned(const std::function<void(TTextComponent&)>& visit) override {
        const QObjectList children = Object->children();
        for (QObject* child : children) {
            TQtTextComponent owned(child, false);
            visit(owned);
        }
    }

private:
    QObject* Object;
    bool Root;
};

}  // namespace

void TranslateWidget(const TMLSUnit& texts, QWidget* form) {
    if (!form) return;
    TQtTextComponent root(form, true);
    texts.TranslateForm(root);
}
