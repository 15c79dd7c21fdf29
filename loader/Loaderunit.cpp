#include "Loaderunit.h"

#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QScreen>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <optional>

#include "AppIcon.h"
#include "FormLayout.h"
#include "LoaderBar.h"

#ifdef QX_LOADER_XCB
#include <xcb/xcb.h>
#endif

TForm1::TBoxHook TForm1::BoxHook;

namespace {

QString FromBytes(const std::string& text) { return QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size())); }

#ifdef QX_LOADER_XCB
struct TX11 {
    xcb_connection_t* Connection = nullptr;
    xcb_window_t Root = 0;
    int ScreenWidth = 0, ScreenHeight = 0;
};

bool X11(TX11& x) {
    auto* native = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!native || !native->connection()) return false;
    x.Connection = native->connection();
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(x.Connection)).data;
    if (!screen) return false;
    x.Root = screen->root;
    x.ScreenWidth = screen->width_in_pixels;
    x.ScreenHeight = screen->height_in_pixels;
    return true;
}

xcb_atom_t Atom(xcb_connection_t* c, const char* name) {
    auto* reply = xcb_intern_atom_reply(c, xcb_intern_atom(c, 1, static_cast<uint16_t>(strlen(name)), name), nullptr);
    xcb_atom_t atom = XCB_ATOM_NONE;
    if (reply) atom = reply->atom;
    free(reply);
    return atom;
}

// The 32-bit items of a window's property.
std::vector<uint32_t> Property(xcb_connection_t* c, xcb_window_t w, xcb_atom_t property, xcb_atom_t type) {
    std::vector<uint32_t> items;
    if (property == XCB_ATOM_NONE) return items;
    auto* reply = xcb_get_property_reply(c, xcb_get_property(c, 0, w, property, type, 0, 4096), nullptr);
    if (reply && reply->format == 32) {
        const auto* data = static_cast<const uint32_t*>(xcb_get_property_value(reply));
        items.assign(data, data + xcb_get_property_value_length(reply) / 4);
    }
    free(reply);
    return items;
}

// The window's client rectangle in screen coordinates.
bool WindowRect(const TX11& x, xcb_window_t w, QRect& rect) {
    auto* geometry = xcb_get_geometry_reply(x.Connection, xcb_get_geometry(x.Connection, w), nullptr);
    if (!geometry) return false;
    auto* at = xcb_translate_coordinates_reply(
        x.Connection, xcb_translate_coordinates(x.Connection, w, x.Root, 0, 0), nullptr);
    if (at) rect = QRect(at->dst_x, at->dst_y, geometry->width, geometry->height);
    const bool found = at != nullptr;
    free(at);
    free(geometry);
    return found;
}

// What the window manager's frame adds around the window: its
// _NET_FRAME_EXTENTS, or else the difference to the frame window it put the
// window in (the ancestor just below the root).
TFrameExtents FrameExtents(const TX11& x, xcb_window_t w, const QRect& client) {
    const std::vector<uint32_t> extents =
        Property(x.Connection, w, Atom(x.Connection, "_NET_FRAME_EXTENTS"), XCB_ATOM_CARDINAL);
    // X coordinates have 16 bits: anything larger is no frame of ours to add.
    const auto side = [&](size_t i) { return static_cast<int>(std::min<uint32_t>(extents[i], 0x7FFF)); };
    if (extents.size() >= 4) return {side(0), side(1), side(2), side(3)};
    xcb_window_t top = w;
    for (int depth = 0; depth < 16; ++depth) {
        auto* tree = xcb_query_tree_reply(x.Connection, xcb_query_tree(x.Connection, top), nullptr);
        if (!tree) break;
        const xcb_window_t parent = tree->parent;
        free(tree);
        if (parent == x.Root || parent == XCB_WINDOW_NONE) break;
        top = parent;
    }
    QRect outer;
    if (top == w || !WindowRect(x, top, outer) || !outer.contains(client)) return {};
    return {client.left() - outer.left(), outer.right() - client.right(), client.top() - outer.top(),
            outer.bottom() - client.bottom()};
}
#endif

}  // namespace

TForm1::TForm1(QWidget* parent) : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setObjectName("Form1");
    setWindowIcon(ProgramIcon());
    QFont font("MS Sans Serif");
    font.setPointSize(8);
    font.setBold(true);
    setFont(font);
    setFixedSize(352, 20);

    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName("ProgressBar1");
    ProgressBar1->setGeometry(0, 0, width(), height());
    ProgressBar1->setTextVisible(false);
    ProgressBar1->setMinimum(0);
    ProgressBar1->setValue(0);

    Label1 = new QLabel(this);
    Label1->setObjectName("Label1");
    QFont labelFont("Courier New");
    labelFont.setBold(true);
    labelFont.setPixelSize(13);
    Label1->setFont(labelFont);
    Label1->setAttribute(Qt::WA_TranslucentBackground);
    Label1->setAutoFillBackground(false);
    Label1->move(5, 1);
    Label1->lower();  // under the bar until the download starts
    setFocusPolicy(Qt::StrongFocus);
}

TForm1::~TForm1() { FormDestroy(); }

int TForm1::LabelFontSize() const {
    // The size in points of a 13-pixel font on a 96 dpi screen.
    return static_cast<int>(std::lround(13.0 * 72.0 / 96.0));
}

void TForm1::FormCreate(const std::vector<std::string>& args) {
    Program.FileKind = 0;
    hide();
    FindCoverWindow();
    Program.CheckCommandLine(args, *this);
}

void TForm1::FormActivate() {
    if (Activated) return;
    Activated = true;
    if (!Program.NoDownload) {
        show();
        raise();
        activateWindow();
        Link = LinkFactory ? LinkFactory() : CreateLoaderLink();
        Program.SendFile(*Link, *this);
    }
    close();
}

void TForm1::FormDestroy() {
    Program.TelegramLines.clear();
    if (Link) Link->Close();
    Link.reset();
}

int TForm1::ExitCode() const { return Program.Completed || Program.AboutShown ? 0 : 1; }

void TForm1::keyPressEvent(QKeyEvent* event) {
    FormKeyDown(event->key());
    QWidget::keyPressEvent(event);
}

void TForm1::FormKeyDown(int key) {
    if (key == Qt::Key_Escape) Program.EscPressed = true;
}

bool TForm1::Box(const std::string& text, const std::string& caption, TMsgIcon icon, bool question) {
    if (BoxHook) return BoxHook(text, caption, icon, question);
    if (isVisible()) {
        raise();
        activateWindow();
    }
    QMessageBox box(isVisible() ? this : nullptr);
    box.setWindowTitle(FromBytes(caption));
    box.setText(FromBytes(text));
    switch (icon) {
        case TMsgIcon::Warning: box.setIcon(QMessageBox::Warning); break;
        case TMsgIcon::Stop: box.setIcon(QMessageBox::Critical); break;
        case TMsgIcon::Information: box.setIcon(QMessageBox::Information); break;
        case TMsgIcon::None: box.setIcon(QMessageBox::NoIcon); break;
    }
    if (question) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
    }
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    KeepCaptionWhole(box);
    return box.exec() == QMessageBox::Yes;
}

void TForm1::ShowMessage(const std::string& text, const std::string& caption, TMsgIcon icon) {
    Box(text, caption, icon, false);
}

bool TForm1::AskYesNo(const std::string& text, const std::string& caption) {
    return Box(text, caption, TMsgIcon::Warning, true);
}

void TForm1::PlaceBar() {
    std::optional<TScreenRect> covered;
    TFrameExtents frame;
#ifdef QX_LOADER_XCB
    TX11 x;
    QRect client;
    if (CoverWindow && X11(x) && WindowRect(x, CoverWindow, client)) {
        // The X server counts device pixels, the window logical ones.
        const QScreen* screen = QGuiApplication::primaryScreen();
        const qreal ratio = screen && screen->devicePixelRatio() > 0 ? screen->devicePixelRatio() : 1.0;
        const auto logical = [ratio](int v) { return static_cast<int>(qRound(v / ratio)); };
        covered = TScreenRect{logical(client.left()), logical(client.top()), logical(client.width()),
                              logical(client.height())};
        const TFrameExtents device = FrameExtents(x, CoverWindow, client);
        frame = {logical(device.Left), logical(device.Right), logical(device.Top), logical(device.Bottom)};
    }
#endif
    std::vector<TScreenRect> screens;
    if (const QScreen* primary = QGuiApplication::primaryScreen()) {
        const QRect g = primary->geometry();
        screens.push_back({g.left(), g.top(), g.width(), g.height()});
    }
    for (const QScreen* screen : QGuiApplication::screens())
        if (screen != QGuiApplication::primaryScreen()) {
            const QRect g = screen->geometry();
            screens.push_back({g.left(), g.top(), g.width(), g.height()});
        }
    const TScreenRect bar = LoaderBarRect(covered, frame, screens);
    setFixedSize(bar.Width, bar.Height);
    move(bar.Left, bar.Top);
    ProgressBar1->setGeometry(0, 0, width(), height());
}

void TForm1::LabelOverBar(bool over) {
    const QPoint at = Label1->pos();
    Label1->setParent(over ? static_cast<QWidget*>(ProgressBar1) : static_cast<QWidget*>(this));
    Label1->move(at);
    Label1->show();
    if (over) Label1->raise();
    else Label1->lower();
}

void TForm1::ShowProgress(int64_t position, int64_t maximum, const std::string& label, const std::string& title) {
    ProgressBar1->setMaximum(static_cast<int>(std::min<int64_t>(maximum, INT32_MAX)));
    ProgressBar1->setValue(static_cast<int>(std::min<int64_t>(position, INT32_MAX)));
    Label1->setText(FromBytes(label));
    Label1->adjustSize();
    QApplication::setApplicationDisplayName(FromBytes(title));
    setWindowTitle(FromBytes(title));
}

void TForm1::ProcessMessages() { QCoreApplication::processEvents(); }

void TForm1::FindCoverWindow() {
    CoverWindow = 0;
#ifdef QX_LOADER_XCB
    TX11 x;
    if (!X11(x)) return;
    xcb_connection_t* c = x.Connection;
    const std::vector<uint32_t> stacking =
        Property(c, x.Root, Atom(c, "_NET_CLIENT_LIST_STACKING"), XCB_ATOM_WINDOW);
    const xcb_atom_t state = Atom(c, "_NET_WM_STATE");
    const xcb_atom_t hidden = Atom(c, "_NET_WM_STATE_HIDDEN");
    const xcb_atom_t above = Atom(c, "_NET_WM_STATE_ABOVE");
    const auto own = static_cast<uint32_t>(internalWinId());
    // The list runs from the bottom up: the window in front comes last.
    for (auto it = stacking.rbegin(); it != stacking.rend(); ++it) {
        const xcb_window_t w = *it;
        if (w == own) continue;
        CoverWindow = w;
        auto* attributes = xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, w), nullptr);
        const bool viewable = attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
        free(attributes);
        if (!viewable) continue;
        const std::vector<uint32_t> states = Property(c, w, state, XCB_ATOM_ATOM);
        if (std::find(states.begin(), states.end(), hidden) != states.end()) continue;
        if (std::find(states.begin(), states.end(), above) != states.end()) continue;
        QRect rect;
        if (!WindowRect(x, w, rect)) continue;
        const TScreenRect outer =
            FrameRect({rect.left(), rect.top(), rect.width(), rect.height()}, FrameExtents(x, w, rect));
        rect = QRect(outer.Left, outer.Top, outer.Width, outer.Height);
        if (rect.left() >= 0 && rect.top() >= 0 && rect.left() + rect.width() <= x.ScreenWidth &&
            rect.top() + rect.height() <= x.ScreenHeight && rect.width() > 0 && rect.height() > 0)
            return;
    }
#endif
}
