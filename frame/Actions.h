// The one way every window makes its actions.
#pragma once

#include <QIcon>
#include <QKeySequence>
#include <functional>
#include <optional>

class QAction;
class QObject;
class TImageList;

// What an action shows and does, beyond its object name; each setter gives
// the options back for the next.
class TActionOptions {
public:
    explicit TActionOptions(const char* caption) : FCaption(caption) {}

    // Tool tip and status tip (Windows-1252 bytes); none when null.
    TActionOptions& Hint(const char* hint) { return FHint = hint, *this; }
    // The picture given, taken before an image of a list.
    TActionOptions& Icon(const QIcon& icon) { return FIcon = icon, *this; }
    // The picture at index of images; none when the list is null or the index
    // negative.
    TActionOptions& Image(const TImageList* images, int index) { return FImages = images, FImage = index, *this; }
    // None when empty.
    TActionOptions& Shortcut(const QKeySequence& key) { return FShortcut = key, *this; }
    // Where the shortcut works; Qt's default (the window) unless given.
    TActionOptions& Context(Qt::ShortcutContext context) { return FContext = context, *this; }
    // Run on triggered, in the owner's context.
    TActionOptions& Handler(std::function<void()> handler) { return FHandler = std::move(handler), *this; }
    // Adds the action to the owner (a widget), so that its shortcut works
    // without a menu or tool bar that holds it.
    TActionOptions& AddToOwner() { return FAddToOwner = true, *this; }

private:
    friend QAction* NewAction(QObject* owner, const char* name, const TActionOptions& options);
    const char* FCaption;  // Windows-1252 bytes
    const char* FHint = nullptr;
    QIcon FIcon;
    const TImageList* FImages = nullptr;
    int FImage = -1;
    QKeySequence FShortcut;
    std::optional<Qt::ShortcutContext> FContext;
    std::function<void()> FHandler;
    bool FAddToOwner = false;
};

// A new action owned by owner, with the object name and the options.
QAction* NewAction(QObject* owner, const char* name, const TActionOptions& options);
