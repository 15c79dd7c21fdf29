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
    {aiNewMenu, "document-new", B::None, "New Menu (menu editor)"},
    {aiSave, "document-save", B::None, "Save (type window, menu editor)"},
    {aiPrint, "document-print", B::None, "Print (type window)"},
    {aiAddField, ":/qx/field.svg", B::Add, "Add Field"},
    {aiInsertField, ":/qx/field.svg", B::Insert, "Insert Field"},
    {aiDeleteField, ":/qx/field.svg", B::Delete, "Delete Field"},
    {aiAddRow, ":/qx/row.svg", B::Add, "Add Row"},
    {aiInsertRow, ":/qx/row.svg", B::Insert, "Insert Row"},
    {aiDeleteRow, ":/qx/row.svg", B::Delete, "Delete Row"},
    {aiAddParameter, ":/qx/list.svg", B::Add, "Add Parameter; Add Inf-Not Item (menu editor)"},
    {aiInsertParameter, ":/qx/list.svg", B::Insert, "Insert Parameter; Insert Inf-Not Item (menu editor)"},
    {aiDeleteParameter, ":/qx/list.svg", B::Delete, "Delete Parameter; Delete Inf-Not Item (menu editor)"},
    {aiToggleVisible, ":/qx/eye.svg", B::None, "Toggle Visible (menu editor)"},
    {aiRefresh, "view-refresh", B::None, "Refresh (Program Manager, Applications); Refresh Page (Memory Viewer)"},
    {aiShortcut1, ":/qx/shortcut-1.svg", B::None, "shortcut 1 holds a program file (Program Manager)"},
    {aiShortcut1 + 1, ":/qx/shortcut-2.svg", B::None, "shortcut 2 holds a program file"},
    {aiShortcut1 + 2, ":/qx/shortcut-3.svg", B::None, "shortcut 3 holds a program file"},
    {aiShortcut1 + 3, ":/qx/shortcut-4.svg", B::None, "shortcut 4 holds a program file"},
    {aiShortcut1Empty, ":/qx/shortcut-1-empty.svg", B::None, "shortcut 1 is empty (Program Manager)"},
    {aiShortcut1Empty + 1, ":/qx/shortcut-2-empty.svg", B::None, "shortcut 2 is empty"},
    {aiShortcut1Empty + 2, ":/qx/shortcut-3-empty.svg", B::None, "shortcut 3 is empty"},
    {aiShortcut1Empty + 3, ":/qx/shortcut-4-empty.svg", B::None, "shortcut 4 is empty"},
    {aiRefreshUnit, "view-refresh", B::None, "Refresh (memory manager); QX Synchronization (menu editor)"},
    {aiAddLanguage, "preferences-desktop-locale", B::Add, "Add Language"},
    {aiInsertLanguage, "preferences-desktop-locale", B::Insert, "Insert Language"},
    {aiDeleteLanguage, "preferences-desktop-locale", B::Delete, "Delete Language"},
    {aiLanguage, "preferences-desktop-locale", B::None, "Rename Language; the Language submenu and its entries"},
    {aiAddTable, ":/qx/table.svg", B::Add, "Add Table"},
    {aiInsertTable, ":/qx/table.svg", B::Insert, "Insert Table"},
    {aiDeleteTable, ":/qx/table.svg", B::Delete, "Delete Table"},
    {aiPageUp, "go-up", B::None, "Page Up (Memory Viewer)"},
    {aiPageDown, "go-down", B::None, "Page Down (Memory Viewer)"},
    {aiGotoPage, "go-jump", B::None, "Go To Page (Memory Viewer)"},
    {aiSavePage, "document-save-as", B::None, "Save Page (Memory Viewer)"},
    {aiMenuItem, ":/qx/menuitem.svg", B::None, "a menu item (menu editor tree)"},
    {aiAddMenuItem, ":/qx/menuitem.svg", B::Add, "Add Menu Item"},
    {aiAddChildMenuItem, ":/qx/menuitem.svg", B::Child, "Add Child Menu Item"},
    {aiInsertMenuItem, ":/qx/menuitem.svg", B::Insert, "Insert Menu Item"},
    {aiDeleteMenuItem, ":/qx/menuitem.svg", B::Delete, "Delete Menu Item"},
    {aiShowOriginalName, ":/qx/name.svg", B::Show, "Show Original Name (menu editor)"},
    {aiPcToQx, ":/qx/pc-to-qx.svg", B::None,
     "PC -> QX: Type PC -> QX, program and application download, Send Menu Configuration"},
    {aiQxToPc, ":/qx/qx-to-pc.svg", B::None, "QX -> PC: Type QX -> PC, memory manager upload"},
    {aiDelete, "edit-delete", B::None, "Delete (memory manager, Program Manager, Applications)"},
    {aiCopy, "edit-copy", B::None, "Copy Table, Copy Field, Copy Parameter"},
    {aiPaste, "edit-paste", B::None, "Paste Table, Paste Field, Paste Parameter"},
};

// Images16x16x256_Manager: the memory manager's block tree, by node kind.
constexpr TImageList::TEntry ManagerList[] = {
    {miUnit, ":/qx/unit.svg", B::None, "the unit (root)"},
    {miParametersText, "text-x-generic", B::None, "a type's Parameters Text block"},
    {miTableText, ":/qx/table.svg", B::None, "a Table Text block"},
    {miTypeFolder, "folder", B::None, "folder of a type"},
    {miTableFolder, "folder", B::Table, "folder of a table without owner type"},
};

// The type window's tree, by node id.
constexpr TImageList::TEntry TypeTreeList[] = {
    {tiType, "x-office-document", B::None, "the type (root)"},
    {tiParameters, ":/qx/list.svg", B::None, "Parameters"},
    {tiTypeName, ":/qx/name.svg", B::None, "Type: the type name"},
    {tiLanguage, "preferences-desktop-locale", B::None, "a language"},
    {tiConfiguration, "preferences-system", B::None, "Configuration"},
    {tiTable, ":/qx/table.svg", B::None, "a table"},
    {tiTableName, ":/qx/name.svg", B::None, "Name: the table name"},
    {tiFunction, ":/qx/value.svg", B::None, "Function byte"},
    {tiBlock, ":/qx/value.svg", B::None, "Block byte"},
    {tiTableCfg, "preferences-system", B::None, "Cfg: the table configuration"},
    {tiLevel, ":/qx/value.svg", B::None, "Level byte"},
    {tiRows, ":/qx/row.svg", B::None, "Rows: the row count"},
    {tiFields, ":/qx/field.svg", B::None, "Fields: the field count"},
    {tiField, ":/qx/field.svg", B::None, "a field"},
    {tiFieldName, ":/qx/name.svg", B::None, "Name: the field name"},
    {tiFieldUnits, ":/qx/units.svg", B::None, "Units: the field's unit text"},
    {tiFieldSize, ":/qx/size.svg", B::None, "Size: the field size in bytes"},
    {tiCurrentLanguage, "preferences-desktop-locale", B::None, "Language: the current language"},
    {tiFieldFlags, "preferences-system", B::None, "Cfg: the field flags"},
};

// The menu editor tree's state images.
constexpr TImageList::TEntry MenuStatesList[] = {
    {msVisible, ":/qx/eye.svg", B::None, "the menu item is visible"},
    {msHidden, ":/qx/eye-hidden.svg", B::None, "the menu item is hidden"},
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
