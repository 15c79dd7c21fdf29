#include "FormLayout.h"

#include <QEvent>
#include <QFontMetrics>
#include <QGridLayout>
#include <QLayout>
#include <QMessageBox>
#include <QTabWidget>
#include <QWidget>

#include <algorithm>

QSize LayoutNeed(QWidget* form, QSize designed) {
    QLayout* layout = form ? form->layout() : nullptr;
    if (!layout) return designed;
    layout->invalidate();
    layout->activate();
    QSize need = layout->totalMinimumSize().expandedTo(designed);
    if (layout->hasHeightForWidth())
        need.setHeight(std::max(need.height(), layout->totalHeightForWidth(need.width())));
    return need;
}

namespace {

// The height that word-wrapped texts on the pages of a tab widget still
// lack: a tab widget reports the height its pages need for their width only
// for the page in front, so the other pages are asked here.
int PagesLack(QWidget* form) {
    int lack = 0;
    for (QTabWidget* tabs : form->findChildren<QTabWidget*>()) {
        const QWidget* front = tabs->currentWidget();
        if (!front) continue;
        for (int i = 0; i < tabs->count(); ++i) {
            QLayout* layout = tabs->widget(i)->layout();
            if (!layout || !layout->hasHeightForWidth()) continue;
            lack = std::max(lack, layout->totalHeightForWidth(front->width()) - front->height());
        }
    }
    return lack;
}

const char* const PageHeightsName = "PageHeights";

// Grows the window when it is shown, once every page has its width.
class TPageHeights : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show)
            if (auto* form = qobject_cast<QWidget*>(watched))
                if (const int lack = PagesLack(form); lack > 0)
                    form->setMinimumHeight(form->minimumHeight() + lack);
        return false;
    }
};

}  // namespace

void SetStartingSize(QWidget* form, QSize designed) {
    const QSize need = LayoutNeed(form, designed);
    form->setMinimumSize(need);
    form->resize(need);
    if (!form->findChild<QObject*>(PageHeightsName, Qt::FindDirectChildrenOnly)) {
        auto* pages = new TPageHeights(form);
        pages->setObjectName(PageHeightsName);
        form->installEventFilter(pages);
    }
}

void GrowToLayout(QWidget* form, QSize designed) {
    // A minimum above the current size resizes the window to it.
    form->setMinimumSize(LayoutNeed(form, designed));
}

void KeepCaptionWhole(QMessageBox& box) {
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (!grid) return;
    QFont bold = box.font();
    bold.setBold(true);
    const QFontMetrics metrics(bold);
    const int width = metrics.horizontalAdvance(box.windowTitle()) + 6 * metrics.height();
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Minimum), grid->rowCount(), 0, 1,
                  grid->columnCount());
}
