#include "Images.h"

#include <QFile>
#include <QIconEngine>
#include <QPainter>
#include <QPixmap>
#include <algorithm>
#include <mutex>

// Our own pictures live in a resource compiled into this library; a static
// library needs its resource registered by hand.
static void RegisterOwnPictures() {
    static std::once_flag once;
    std::call_once(once, [] { Q_INIT_RESOURCE(qxicons); });
}

namespace {

using B = TImageList::TBadge;

// Images16x16x16b_Actions: the pictures of the document windows' actions,
// tool-bar buttons and menu items. Indexes the windows do not use stay empty.
constexpr TImageList::TEntry ActionsList[] = {
    {0, "document-new", B::None, "New Menu (menu editor)"},
    {2, "document-save", B::None, "Save (type window, menu editor)"},
    {3, "document-print", B::None, "Print (type window)"},
    {4, ":/qx/field.svg", B::Add, "Add Field"},
    {5, ":/qx/field.svg", B::Insert, "Insert Field"},
    {6, ":/qx/field.svg", B::Delete, "Delete Field"},
    {7, ":/qx/row.svg", B::Add, "Add Row"},
    {8, ":/qx/row.svg", B::Insert, "Insert Row"},
    {9, ":/qx/row.svg", B::Delete, "Delete Row"},
    {11, ":/qx/list.svg", B::Add, "Add Parameter; Add Inf-Not Item (menu editor)"},
    {12, ":/qx/list.svg", B::Insert, "Insert Parameter; Insert Inf-Not Item (menu editor)"},
    {13, ":/qx/list.svg", B::Delete, "Delete Parameter; Delete Inf-Not Item (menu editor)"},
    {15, ":/qx/eye.svg", B::None, "Toggle Visible (menu editor)"},
    {16, "view-refresh", B::None, "Refresh (Program Manager, Applications); Refresh Page (Memory Viewer)"},
    {19, ":/qx/shortcut-1.svg", B::None, "shortcut 1 holds a program file (Program Manager)"},
    {20, ":/qx/shortcut-2.svg", B::None, "shortcut 2 holds a program file"},
    {21, ":/qx/shortcut-3.svg", B::None, "shortcut 3 holds a program file"},
    {22, ":/qx/shortcut-4.svg", B::None, "shortcut 4 holds a program file"},
    {23, ":/qx/shortcut-1-empty.svg", B::None, "shortcut 1 is empty (Program Manager)"},
    {24, ":/qx/shortcut-2-empty.svg", B::None, "shortcut 2 is empty"},
    {25, ":/qx/shortcut-3-empty.svg", B::None, "shortcut 3 is empty"},
    {26, ":/qx/shortcut-4-empty.svg", B::None, "shortcut 4 is empty"},
    {32, "view-refresh", B::None, "Refresh (memory manager); QX Synchronization (menu editor)"},
    {35, "preferences-desktop-locale", B::Add, "Add Language"},
    {36, "preferences-desktop-locale", B::Insert, "Insert Language"},
    {37, "preferences-desktop-locale", B::Delete, "Delete Language"},
    {38, "preferences-desktop-locale", B::None, "Rename Language; the Language submenu and its entries"},
    {39, ":/qx/table.svg", B::Add, "Add Table"},
    {40, ":/qx/table.svg", B::Insert, "Insert Table"},
    {41, ":/qx/table.svg", B::Delete, "Delete Table"},
    {44, "go-up", B::None, "Page Up (Memory Viewer)"},
    {45, "go-down", B::None, "Page Down (Memory Viewer)"},
    {46, "go-jump", B::None, "Go To Page (Memory Viewer)"},
    {47, "document-save-as", B::None, "Save Page (Memory Viewer)"},
    {51, ":/qx/menuitem.svg", B::None, "a menu item (menu editor tree)"},
    {52, ":/qx/menuitem.svg", B::Add, "Add Menu Item"},
    {53, ":/qx/menuitem.svg", B::Child, "Add Child Menu Item"},
    {54, ":/qx/menuitem.svg", B::Insert, "Insert Menu Item"},
    {55, ":/qx/menuitem.svg", B::Delete, "Delete Menu Item"},
    {58, ":/qx/name.svg", B::Show, "Show Original Name (menu editor)"},
    {63, ":/qx/pc-to-qx.svg", B::None, "PC -> QX: Type PC -> QX, program and application download, Send Menu Configuration"},
    {64, ":/qx/qx-to-pc.svg", B::None, "QX -> PC: Type QX -> PC, memory manager upload"},
    {65, "edit-delete", B::None, "Delete (memory manager, Program Manager, Applications)"},
    {66, "edit-copy", B::None, "Copy Table, Copy Field, Copy Parameter"},
    {67, "edit-paste", B::None, "Paste Table, Paste Field, Paste Parameter"},
};

// Images16x16x256_Manager: the memory manager's block tree, by node kind.
constexpr TImageList::TEntry ManagerList[] = {
    {0, ":/qx/unit.svg", B::None, "the unit (root)"},
    {1, "text-x-generic", B::None, "a type's Parameters Text block"},
    {2, ":/qx/table.svg", B::None, "a Table Text block"},
    {10, "folder", B::None, "folder of a type"},
    {11, "folder", B::Table, "folder of a table without owner type"},
};

// The type window's tree, by node id.
constexpr TImageList::TEntry TypeTreeList[] = {
    {0, "x-office-document", B::None, "the type (root)"},
    {1, ":/qx/list.svg", B::None, "Parameters"},
    {2, ":/qx/name.svg", B::None, "Type: the type name"},
    {3, "preferences-desktop-locale", B::None, "a language"},
    {4, "preferences-system", B::None, "Configuration"},
    {8, ":/qx/table.svg", B::None, "a table"},
    {9, ":/qx/name.svg", B::None, "Name: the table name"},
    {10, ":/qx/value.svg", B::None, "Function byte"},
    {11, ":/qx/value.svg", B::None, "Block byte"},
    {12, "preferences-system", B::None, "Cfg: the table configuration"},
    {13, ":/qx/value.svg", B::None, "Level byte"},
    {14, ":/qx/row.svg", B::None, "Rows: the row count"},
    {15, ":/qx/field.svg", B::None, "Fields: the field count"},
    {16, ":/qx/field.svg", B::None, "a field"},
    {17, ":/qx/name.svg", B::None, "Name: the field name"},
    {18, ":/qx/units.svg", B::None, "Units: the field's unit text"},
    {19, ":/qx/size.svg", B::None, "Size: the field size in bytes"},
    {20, "preferences-desktop-locale", B::None, "Language: the current language"},
    {21, "preferences-system", B::None, "Cfg: the field flags"},
};

// The menu editor tree's state images.
constexpr TImageList::TEntry MenuStatesList[] = {
    {1, ":/qx/eye.svg", B::None, "the menu item is visible"},
    {2, ":/qx/eye-hidden.svg", B::None, "the menu item is hidden"},
};

// The main window's own actions.
constexpr TActionIcon MainActions[] = {
    {"actNew", "document-new", B::None, "New"},
    {"actOpen", "document-open", B::None, "Open"},
    {"mnuOpenRecent", "document-open-recent", B::None, "Open Recent (the submenu)"},
    {"actImport", "x-office-spreadsheet", B::Insert, "Import (a CSV file)"},
    {"actWindowClose", "window-close", B::None, "Close"},
    {"mnuExit", "application-exit", B::None, "Exit"},
    {"actMemoryManager", ":/qx/unit.svg", B::None, "QX318 (memory manager)"},
    {"actProgramManager", "application-x-executable", B::None, "Program Manager"},
    {"actMemView", "media-flash", B::None, "Memory Viewer"},
    {"actMenuManager", ":/qx/menuitem.svg", B::None, "Menu Manager"},
    {"actGamesManager", "applications-games", B::None, "Applications"},
    {"actConvert", "accessories-calculator", B::None, "HEX converter"},
    {"actFirmware", "system-software-update", B::None, "Firmware update"},
    {"actConfig", "preferences-system", B::None, "Configuration"},
    {"mnuQX318UtilityHelp", "help-contents", B::None, "QX318 Utility Help"},
    {"mnuRZT", "internet-web-browser", B::None, "Visit RztSoftware Web Site"},
    {"mnuAbout", "help-about", B::None, "About..."},
    {"actDefaultSave", "document-save", B::None, "Save (until a document window takes the button)"},
    {"actDefaultPrint", "document-print", B::None, "Print (until a document window takes the button)"},
    {"actDefaultTable", ":/qx/table.svg", B::None, "Table (until a type window fills the tool bar)"},
    {"actDefaultType", "x-office-document", B::None, "Type (until a type window fills the tool bar)"},
};

const char* BadgePicture(B badge) {
    switch (badge) {
    case B::Add: return ":/qx/badge-add.svg";
    case B::Insert: return ":/qx/badge-insert.svg";
    case B::Delete: return ":/qx/badge-delete.svg";
    case B::Child: return ":/qx/badge-child.svg";
    case B::Table: return ":/qx/badge-table.svg";
    case B::Show: return ":/qx/badge-show.svg";
    case B::None: break;
    }
    return nullptr;
}

QIcon Picture(const char* icon) {
    const QString name = QString::fromLatin1(icon);
    if (name.startsWith(':')) {
        RegisterOwnPictures();
        return QFile::exists(name) ? QIcon(name) : QIcon();
    }
    return QIcon::fromTheme(name);
}

// A picture with a badge over its bottom right, drawn at any size and in
// every mode (a disabled action greys both).
class TBadgedIconEngine : public QIconEngine {
public:
    TBadgedIconEngine(QIcon base, QIcon badge) : Base(std::move(base)), Badge(std::move(badge)) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
        Base.paint(painter, rect, Qt::AlignCenter, mode, state);
        const int side = (rect.width() * 9 + 8) / 16;
        const QRect corner(rect.right() + 1 - side, rect.bottom() + 1 - side, side, side);
        Badge.paint(painter, corner, Qt::AlignCenter, mode, state);
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        QPixmap pixmap(size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        paint(&painter, QRect(QPoint(0, 0), size), mode, state);
        return pixmap;
    }

    QIconEngine* clone() const override { return new TBadgedIconEngine(Base, Badge); }

private:
    QIcon Base, Badge;
};

}  // namespace

std::span<const TImageList::TEntry> TImageList::Entries() const {
    switch (ListKind) {
    case TKind::Actions: return ActionsList;
    case TKind::Manager: return ManagerList;
    case TKind::TypeTree: return TypeTreeList;
    case TKind::MenuStates: return MenuStatesList;
    }
    return {};
}

bool TImageList::Has(int index) const {
    const auto entries = Entries();
    return std::any_of(entries.begin(), entries.end(), [index](const TEntry& e) { return e.Index == index; });
}

QIcon TImageList::Icon(int index) const {
    for (const TEntry& e : Entries())
        if (e.Index == index) return LoadIcon(e.Icon, e.Badge);
    return QIcon();
}

QIcon LoadIcon(const char* icon, TImageList::TBadge badge) {
    SetUpIconTheme();
    QIcon base = Picture(icon);
    if (base.isNull() || badge == B::None) return base;
    QIcon over = Picture(BadgePicture(badge));
    if (over.isNull()) return QIcon();
    return QIcon(new TBadgedIconEngine(std::move(base), std::move(over)));
}

std::span<const TActionIcon> MainActionIcons() { return MainActions; }

QIcon MainActionIcon(const QString& objectName) {
    for (const TActionIcon& a : MainActions)
        if (objectName == QLatin1String(a.Action)) return LoadIcon(a.Icon, a.Badge);
    return QIcon();
}

void SetUpIconTheme() {
    static std::once_flag once;
    std::call_once(once, [] {
        const QString system = QStringLiteral("/usr/share/icons");
        QStringList paths = QIcon::themeSearchPaths();
        if (!paths.contains(system)) {
            paths.append(system);
            QIcon::setThemeSearchPaths(paths);
        }
        // Without a desktop there is no theme at all, and Qt then consults
        // no fallback either: Breeze becomes the theme itself.
        const QString breeze = QStringLiteral("breeze");
        QIcon::setFallbackThemeName(breeze);
        if (QIcon::themeName().isEmpty()) QIcon::setThemeName(breeze);
    });
}
