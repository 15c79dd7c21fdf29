#include "Actions.h"

#include <QAction>
#include <QWidget>

#include "Images.h"

QAction* NewAction(QObject* owner, const char* name, const TActionOptions& options) {
    auto* action = new QAction(QString::fromLatin1(options.FCaption), owner);
    action->setObjectName(name);
    if (options.FHint) {
        action->setToolTip(QString::fromLatin1(options.FHint));
        action->setStatusTip(action->toolTip());
    }
    if (!options.FIcon.isNull()) action->setIcon(options.FIcon);
    else if (options.FImages && options.FImage >= 0) action->setIcon(options.FImages->Icon(options.FImage));
    if (!options.FShortcut.isEmpty()) action->setShortcut(options.FShortcut);
    if (options.FContext) action->setShortcutContext(*options.FContext);
    if (options.FHandler) QObject::connect(action, &QAction::triggered, owner, options.FHandler);
    if (options.FAddToOwner)
        if (auto* widget = qobject_cast<QWidget*>(owner)) widget->addAction(action);
    return action;
}
