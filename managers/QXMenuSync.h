// The menu synchronisation dialog: the menu languages of the menu on the PC
// beside those stored in the unit's language slots; writes a PC language
// into a slot (by button or by dragging it onto the unit's list) and
// deletes a language from the unit. Every exchange is one communication run.
#pragma once

#include <QDialog>
#include <QListWidget>
#include <cstdint>
#include <string>

#include "Commcmd.h"

struct _AppInterface;
class TQXMenuData;
class QLabel;
class QPushButton;
class QWidget;

// The PC list: a drag from it carries the index of the language dragged.
class TPCContentList : public QListWidget {
    Q_OBJECT
public:
    using QListWidget::QListWidget;
signals:
    void StartDrag();
    void EndDrag();

protected:
    void startDrag(Qt::DropActions actions) override;
};

class TfrmQXMenuSync : public QDialog {
    Q_OBJECT
public:
    TfrmQXMenuSync(_AppInterface* app, TQXMenuData* menu, QWidget* owner);

    _AppInterface* App;
    TQXMenuData* PCMenu;
    uint8_t Connected = 0;
    int32_t DragIndex = -1;
    // A language of the menu got a name here.
    bool NamesChanged = false;

    QWidget *pnlQXContent, *pnlPCContent, *pnlSyncCommands, *pnlCommands;
    QLabel *pnlQXContentTitle, *pnlPCContentTitle;
    QListWidget* listboxQXContent;
    TPCContentList* listboxPCContent;
    QPushButton *btnPCToQX, *btnRefresh, *btnDelete, *btnClose;

    void FillPCList();
    void ReadUnitLanguages();
    void WriteUnitLanguage(int32_t language, int32_t slot);
    void DeleteUnitLanguage(int32_t slot);
    // The slot a language goes to when the unit holds none of its name: the
    // lowest slot that the list (in slot order) leaves free.
    static int32_t FreeSlot(const TTextLines& unitLanguages);
    // The unit's list as the last run read it.
    const TTextLines& UnitLanguages() const { return UnitList; }

public slots:
    void FormShow();
    void btnRefreshClick();
    void btnPCToQXClick();
    void btnDeleteClick();
    void btnCloseClick();
    void listboxPCContentClick();
    void listboxQXContentClick();
    void listboxPCContentStartDrag();
    void listboxPCContentEndDrag();
    // Whether the unit list takes a drag from source.
    bool listboxQXContentDragOver(QObject* source);
    void listboxQXContentDragDrop(QObject* source);

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    TTextLines UnitList;
    bool FirstShow = true;
    void Run(TCommCmdList& list);
    void UpdateButtons();
};

// Runs the dialog modally over the record's main window and returns its
// result. namesChanged, when given, tells whether a language of the menu
// was named in the dialog.
int32_t RunMenuSync(_AppInterface* app, TQXMenuData* menu, bool* namesChanged = nullptr);
