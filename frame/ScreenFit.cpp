#include "ScreenFit.h"

#include <QGuiApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScreen>
#include <QWidget>
#include <QWindow>

TScreenRect ToScreenRect(const QRect& rect) { return {rect.left(), rect.top(), rect.width(), rect.height()}; }

namespace {

// The screens, the primary one first.
QList<QScreen*> Screens() {
    QList<QScreen*> screens = QGuiApplication::screens();
    if (QScreen* primary = QGuiApplication::primaryScreen(); primary && screens.removeOne(primary))
        screens.prepend(primary);
    return screens;
}

}  // namespace

std::vector<TScreenRect> AvailableScreens() {
    std::vector<TScreenRect> screens;
    for (const QScreen* screen : Screens()) screens.push_back(ToScreenRect(screen->availableGeometry()));
    return screens;
}

int OwnerScreen(const QWidget* owner) {
    if (!owner) return -1;
    return static_cast<int>(Screens().indexOf(owner->window()->screen()));
}

namespace {

// Gives the window the rectangle `placed` for its outer rectangle `outer`.
void Apply(QWidget* window, const QRect& outer, const TScreenRect& placed) {
    if (placed == ToScreenRect(outer)) return;
    if (placed.Width != outer.width() || placed.Height != outer.height())
        window->resize(window->width() - (outer.width() - placed.Width), window->height() - (outer.height() - placed.Height));
    window->move(placed.Left, placed.Top);
}

}  // namespace

namespace {

bool Exposed(const QWidget* widget) {
    const QWindow* handle = widget->window()->windowHandle();
    return handle && handle->isExposed();
}

void FitIntoArea(QMdiSubWindow* sub) {
    QMdiArea* area = sub->mdiArea();
    if (!area || !area->isVisible() || sub->windowState() & (Qt::WindowMaximized | Qt::WindowMinimized)) return;
    const QSize viewport = area->viewport()->size();
    Apply(sub, sub->geometry(), PlaceOnScreen(ToScreenRect(sub->geometry()), {{0, 0, viewport.width(), viewport.height()}}));
}

// Until the main window is on the screen its document area does not have
// its final size (a maximized window grows only then): a document window
// shown before that is placed when the main window is first exposed.
class TPlaceWhenExposed : public QObject {
public:
    static constexpr const char* Name = "placeWhenExposed";
    TPlaceWhenExposed(QMdiSubWindow* sub, QWindow* window) : QObject(sub), Sub(sub) {
        setObjectName(Name);
        window->installEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Expose && static_cast<QWindow*>(watched)->isExposed()) {
            watched->removeEventFilter(this);
            FitIntoArea(Sub);
            deleteLater();
        }
        return false;
    }

private:
    QMdiSubWindow* Sub;  // the parent
};

}  // namespace

void KeepInView(QWidget* window) {
    if (!window || window->windowState() & (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen)) return;
    if (auto* sub = qobject_cast<QMdiSubWindow*>(window)) {
        QMdiArea* area = sub->mdiArea();
        if (!area || !area->isVisible()) return;
        if (Exposed(area)) {
            FitIntoArea(sub);
        } else if (QWindow* handle = area->window()->windowHandle();
                   handle && !sub->findChild<QObject*>(TPlaceWhenExposed::Name, Qt::FindDirectChildrenOnly)) {
            new TPlaceWhenExposed(sub, handle);
        }
        return;
    }
    if (!window->isWindow()) return;
    // A shown window counts with its frame; move() places the frame.
    const QRect outer = window->frameGeometry();
    Apply(window, outer, PlaceOnScreen(ToScreenRect(outer), AvailableScreens(), OwnerScreen(window->parentWidget())));
}

void CentreOnOwnerScreen(QWidget* window, const QWidget* owner) {
    const std::vector<TScreenRect> screens = AvailableScreens();
    if (screens.empty()) return;
    const int index = OwnerScreen(owner);
    const TScreenRect& screen = screens[index >= 0 && index < static_cast<int>(screens.size()) ? index : 0];
    const QRect outer = window->frameGeometry();
    const TScreenRect centred{static_cast<int>(screen.Left + (screen.Width - outer.width()) / 2),
                              static_cast<int>(screen.Top + (screen.Height - outer.height()) / 2), outer.width(),
                              outer.height()};
    Apply(window, outer, FitIntoScreen(centred, screen));
}
