#include "DebugForm.h"

#include "FormLayout.h"
#include "QtTexts.h"
#include "Mlsunit.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTextDocument>
#include <QScrollBar>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>

#include "DialogAnswers.h"

namespace {

// Texts keep CR LF; the widgets break lines at LF alone.
QString Shown(const std::string& text) {
    std::string lines;
    lines.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i)
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) lines += text[i];
    return QStringFromCp1252(lines);
}

struct _ButtonSpec {
    uint32_t Message;
    int32_t Tag;
};

}  // namespace

TfrmDebugForm::TfrmDebugForm(QWidget* owner, const std::string& details, const std::string& info,
                             const std::string& title, int32_t buttons, const TMLSUnit& texts)
    : QDialog(owner), ButtonSet(buttons), Texts(texts) {
    setObjectName("TfrmDebugForm");
    setWindowTitle(QStringFromCp1252(title));
    setModal(true);

    Image = new QLabel;
    Image->setObjectName("Image");
    Image->setFixedSize(32, 32);
    Image->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxCritical).pixmap(32, 32));

    lblInfo = new QLabel;
    lblInfo->setObjectName("lblInfo");
    lblInfo->setWordWrap(true);
    lblInfo->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblInfo->setText(Shown(info));

    QPushButton** row[] = {&btnButton1, &btnButton2, &btnButton3};
    const char* names[] = {"btnButton1", "btnButton2", "btnButton3"};
    for (int i = 0; i < 3; ++i) {
        *row[i] = new QPushButton;
        (*row[i])->setObjectName(names[i]);
        (*row[i])->setAutoDefault(false);
        connect(*row[i], &QPushButton::clicked, this, &TfrmDebugForm::btnButtonClick);
    }
    btnDetails = new QPushButton;
    btnDetails->setObjectName("btnDetails");
    btnDetails->setAutoDefault(false);
    connect(btnDetails, &QPushButton::clicked, this, &TfrmDebugForm::btnDetailsClick);

    memoDebug = new QPlainTextEdit;
    memoDebug->setObjectName("memoDebug");
    memoDebug->setReadOnly(true);
    memoDebug->setLineWrapMode(QPlainTextEdit::NoWrap);
    memoDebug->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memoDebug->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // The log is only read: it shows on the button face.
    QPalette face = memoDebug->palette();
    face.setColor(QPalette::Base, face.color(QPalette::Button));
    memoDebug->setPalette(face);
    memoDebug->setPlainText(Shown(details));

    auto* message = new QHBoxLayout;
    message->setSpacing(8);
    message->addWidget(Image, 0, Qt::AlignTop);
    message->addWidget(lblInfo, 1);
    auto* answers = new QHBoxLayout;
    answers->setSpacing(5);
    answers->addStretch();
    for (QPushButton* b : {btnButton1, btnButton2, btnButton3, btnDetails}) answers->addWidget(b);
    auto* form = new QVBoxLayout(this);
    form->setContentsMargins(8, 8, 8, 8);
    form->addLayout(message);
    // With the details hidden the room left goes above the buttons; shown,
    // the details take it.
    form->addStretch();
    form->addLayout(answers);
    form->addWidget(memoDebug, 1000);

    // Toggled once: the dialog opens with the details hidden.
    memoDebug->setVisible(true);
    btnDetailsClick();

    for (QPushButton* b : {btnButton1, btnButton2, btnButton3}) b->hide();
    // Per button set the buttons 1..3 with their texts and tags; 0 = none.
    static const _ButtonSpec sets[6][3] = {
        {{0, 0}, {0, 0}, {Msg::ButtonOk, 1}},
        {{0, 0}, {Msg::ButtonOk, 1}, {Msg::ButtonCancel, 2}},
        {{Msg::ButtonAbort, 3}, {Msg::ButtonRetry, 4}, {Msg::ButtonIgnore, 5}},
        {{Msg::ButtonYes, 6}, {Msg::ButtonNo, 7}, {Msg::ButtonCancel, 2}},
        {{0, 0}, {Msg::ButtonYes, 6}, {Msg::ButtonNo, 7}},
        {{0, 0}, {Msg::ButtonRetry, 4}, {Msg::ButtonCancel, 2}},
    };
    const _ButtonSpec* set = sets[buttons >= 0 && buttons <= 5 ? buttons : 0];
    QPushButton* targets[] = {btnButton1, btnButton2, btnButton3};
    for (int i = 0; i < 3; ++i) {
        if (set[i].Message == 0) continue;
        targets[i]->setText(QStringFromCp1252(Texts.GetText(set[i].Message)));
        targets[i]->setProperty("Tag", set[i].Tag);
        targets[i]->show();
    }
    btnDetails->setEnabled(!details.empty());
    FitHeight(memoDebug->isHidden() ? CollapsedHeight : ExpandedHeight);
}

void TfrmDebugForm::FitHeight(int designedHeight) {
    // The least size follows the details view: its rows when shown, the
    // information text and the buttons alone when hidden. A dialog the user
    // has widened keeps its width.
    setMinimumSize(0, 0);
    const QSize least = LayoutNeed(this, QSize(ClientWidth, CollapsedHeight));
    setMinimumSize(least);
    const int w = isVisible() ? std::max(width(), least.width()) : least.width();
    const int need = LayoutNeed(this, QSize(w, CollapsedHeight)).height();
    resize(w, std::max(need, designedHeight));
}

int32_t TfrmDebugForm::Show(QWidget* owner, const TMLSUnit& texts, int32_t buttons, const std::string& title,
                            const std::string& info, const std::string& details) {
    if (owner) owner->setEnabled(false);
    int32_t answer = 0;
    {
        TfrmDebugForm form(owner, details, info, title, buttons, texts);
        answer = ExecModal(form);
    }
    if (owner) owner->setEnabled(true);
    return answer;
}

void TfrmDebugForm::btnButtonClick() {
    auto* button = qobject_cast<QPushButton*>(sender());
    if (button) done(button->property("Tag").toInt());
}

void TfrmDebugForm::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        done(1);
        return;
    }
    QDialog::keyPressEvent(event);
}

void TfrmDebugForm::btnDetailsClick() {
    const bool show = memoDebug->isHidden();
    btnDetails->setText(QStringFromCp1252(Texts.GetText(Msg::ButtonDetails)) + (show ? "<<<" : ">>>"));
    memoDebug->setVisible(show);
    if (show && memoDebug->toPlainText().size() >= 2) {
        memoDebug->moveCursor(QTextCursor::End);
        memoDebug->ensureCursorVisible();
    }
    if (show) WidenForDetails();
    FitHeight(show ? ExpandedHeight : CollapsedHeight);
}

// Shown, the details are as wide as their longest line (a port with its
// device and the system's cause), as far as the screen has room for it.
void TfrmDebugForm::WidenForDetails() {
    const QFontMetrics metrics(memoDebug->font());
    int longest = 0;
    for (const QString& line : memoDebug->toPlainText().split('\n'))
        longest = std::max(longest, metrics.horizontalAdvance(line));
    const QMargins margins = layout()->contentsMargins();
    const int frame = margins.left() + margins.right() + 2 * memoDebug->frameWidth() +
                      2 * static_cast<int>(memoDebug->document()->documentMargin());
    const int scrollBar = memoDebug->verticalScrollBar()->sizeHint().width();
    int wanted = longest + frame + scrollBar + 2 * metrics.averageCharWidth();
    if (const QScreen* screen = this->screen()) wanted = std::min(wanted, screen->availableGeometry().width() * 9 / 10);
    if (wanted > width()) resize(wanted, height());
}
