#include "EditKeys.h"

#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QTextCursor>
#include <algorithm>

TEditEnd EditorEndKey(const QKeyEvent& key, bool multiLine) {
    const Qt::KeyboardModifiers mods = key.modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    switch (key.key()) {
    case Qt::Key_Escape: return mods == Qt::NoModifier ? TEditEnd::Discard : TEditEnd::None;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return mods & (Qt::ControlModifier | Qt::AltModifier) ? TEditEnd::None : TEditEnd::Store;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (mods & Qt::AltModifier) return TEditEnd::None;
        if (mods & Qt::ControlModifier) return TEditEnd::Store;
        return multiLine ? TEditEnd::None : TEditEnd::Store;
    default: return TEditEnd::None;
    }
}

bool EditorOwnsKey(const QKeyEvent& key, bool multiLine) { return EditorEndKey(key, multiLine) != TEditEnd::None; }

void RefuseBeyondLength(QPlainTextEdit* editor, QString& before, int maxLength,
                        const std::function<int(const QString&)>& length) {
    const auto measure = [&](const QString& text) {
        return length ? length(text) : static_cast<int>(text.size());
    };
    const QString now = editor->toPlainText();
    if (measure(now) <= maxLength) {
        before = now;
        return;
    }
    const QSignalBlocker quiet(editor);
    const int cursor = editor->textCursor().position();
    const int added = static_cast<int>(now.size() - before.size());
    const int from = cursor - added;
    QString kept;
    int caret = 0;
    if (added > 0 && from >= 0 && now.left(from) + now.mid(cursor) == before) {
        // Characters typed or pasted at one place: as many as still fit.
        const QString insert = now.mid(from, added);
        int keep = 0;
        while (keep < insert.size() &&
               measure(before.left(from) + insert.left(keep + 1) + before.mid(from)) <= maxLength)
            ++keep;
        kept = before.left(from) + insert.left(keep) + before.mid(from);
        caret = from + keep;
    } else {
        // Any other change that passed the length: the end goes.
        kept = now;
        while (!kept.isEmpty() && measure(kept) > maxLength) kept.chop(1);
        caret = static_cast<int>(kept.size());
    }
    editor->setPlainText(kept);
    QTextCursor at(editor->document());
    at.setPosition(std::min(caret, static_cast<int>(kept.size())));
    editor->setTextCursor(at);
    before = kept;
}
