// makehelp: turns the manual's Markdown source into the PDF that Help opens.
//
//   makehelp <manual.md> <output.pdf> <header>
//
// The header is the program's source that names its version (VersionText);
// the title page names the program with that version, as its caption does.
// The pictures the manual names are read from the folder of the source and
// scaled to the width of the page. The PDF starts with a title page and a
// table of contents with the page of every chapter and section; every page
// carries its number. Text never runs past the right margin: code lines and
// long paths wrap like any other text, tables take the width of the page.
// A page break never cuts a table row (unless the row is taller than a page)
// nor a piece of inline code, and never leaves a heading at the foot of a
// page. Each line of the contents links to its page, and the chapters and
// their sections are the PDF's bookmarks.
#include "pdfnavigation.h"

#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextFrame>
#include <QTextTable>
#include <QAbstractTextDocumentLayout>
#include <cmath>
#include <cstdio>
#include <memory>

namespace {

// The page in device units (the writer works at 96 dots per inch, so that a
// picture's pixels and the document's pixels are the same), and the margins.
constexpr int Resolution = 96;
constexpr qreal MarginLeft = 72, MarginRight = 72, MarginTop = 64, MarginBottom = 80;

struct Heading {
    int Level = 0;
    QString Text;
    int Page = 0;  // 0-based page in the body
    qreal Top = 0;  // on its page, in device units
};

void Fail(const QString& text) { std::fprintf(stderr, "makehelp: %s\n", qPrintable(text)); }

QFont BodyFont() {
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPointSizeF(10);
    f.setStyleHint(QFont::SansSerif);
    // Letters one by one, without ligatures: "fi" stays two letters, so the
    // text found in the PDF is the text of the manual.
    f.setLetterSpacing(QFont::AbsoluteSpacing, 0.1);
    return f;
}

void SetMargins(QTextDocument& doc);

// A document laid out on the writer's pages.
std::unique_ptr<QTextDocument> NewDocument(QPdfWriter& writer) {
    auto doc = std::make_unique<QTextDocument>();
    doc->documentLayout()->setPaintDevice(&writer);
    doc->setDefaultFont(BodyFont());
    QTextOption option = doc->defaultTextOption();
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    doc->setDefaultTextOption(option);
    doc->setPageSize(QSizeF(writer.width(), writer.height()));
    SetMargins(*doc);
    return doc;
}

// The page margins, on the root frame (setMarkdown() resets it).
void SetMargins(QTextDocument& doc) {
    QTextFrameFormat root = doc.rootFrame()->frameFormat();
    root.setLeftMargin(MarginLeft);
    root.setRightMargin(MarginRight);
    root.setTopMargin(MarginTop);
    root.setBottomMargin(MarginBottom);
    doc.rootFrame()->setFrameFormat(root);
}

qreal TextWidth(const QPdfWriter& writer) { return writer.width() - MarginLeft - MarginRight; }
qreal TextHeight(const QPdfWriter& writer) { return writer.height() - MarginTop - MarginBottom; }

// Loads every picture the text names from the source's folder and scales it
// to fit the page. False when one cannot be read.
bool LoadPictures(QTextDocument& doc, const QString& folder, qreal width, qreal height) {
    bool ok = true;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            QTextCharFormat cf = fragment.charFormat();
            if (!cf.isImageFormat()) continue;
            QTextImageFormat image = cf.toImageFormat();
            const QString name = image.name();
            QImage picture(folder + QLatin1Char('/') + name);
            if (picture.isNull()) {
                Fail(QStringLiteral("cannot read the picture %1 in %2").arg(name, folder));
                ok = false;
                continue;
            }
            doc.addResource(QTextDocument::ImageResource, QUrl(name), picture);
            qreal w = picture.width(), h = picture.height();
            const qreal scale = std::min({1.0, width / w, height / h});
            image.setWidth(w * scale);
            image.setHeight(h * scale);
            QTextCursor c(&doc);
            c.setPosition(fragment.position());
            c.setPosition(fragment.position() + fragment.length(), QTextCursor::KeepAnchor);
            c.setCharFormat(image);
        }
    }
    return ok;
}

// What Markdown leaves as Qt's defaults, made fit for paper: code lines wrap,
// chapters start on a new page, tables span the page with thin rules.
void Dress(QTextDocument& doc) {
    QTextCursor c(&doc);
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        QTextBlockFormat f = b.blockFormat();
        bool changed = false;
        if (f.nonBreakableLines()) {  // code
            f.setNonBreakableLines(false);
            f.setLeftMargin(f.leftMargin() + 12);
            f.setBackground(QColor(0xF2, 0xF2, 0xF2));
            changed = true;
        }
        if (f.headingLevel() == 2 && b.previous().isValid()) {
            f.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
            changed = true;
        }
        if (f.headingLevel() > 0) {
            f.setTopMargin(f.headingLevel() <= 2 ? 6 : 12);
            f.setBottomMargin(6);
            changed = true;
        }
        if (changed) {
            c.setPosition(b.position());
            c.setBlockFormat(f);
        }
    }
    for (QTextFrame* frame : doc.rootFrame()->childFrames()) {
        auto* table = qobject_cast<QTextTable*>(frame);
        if (!table) continue;
        QTextTableFormat t = table->format();
        t.setWidth(QTextLength(QTextLength::PercentageLength, 100));
        t.setBorder(0.75);
        t.setBorderBrush(QColor(0x99, 0x99, 0x99));
        t.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
        t.setBorderCollapse(true);
        t.setCellPadding(3);
        t.setCellSpacing(0);
        t.setHeaderRowCount(1);
        t.setTopMargin(4);
        t.setBottomMargin(8);
        table->setFormat(t);
        // Markdown leaves an empty line ahead of some cells' text.
        for (int row = 0; row < table->rows(); ++row) {
            for (int col = 0; col < table->columns(); ++col) {
                const QTextTableCell cell = table->cellAt(row, col);
                QTextCursor first = cell.firstCursorPosition();
                while (first.block().length() == 1 && first.position() < cell.lastCursorPosition().position())
                    first.deleteChar();
                if (row == 0) {
                    QTextCursor all = cell.firstCursorPosition();
                    all.setPosition(cell.lastCursorPosition().position(), QTextCursor::KeepAnchor);
                    QTextCharFormat bold;
                    bold.setFontWeight(QFont::Bold);
                    all.mergeCharFormat(bold);
                }
            }
        }
        for (int col = 0; col < table->columns(); ++col) {
            QTextTableCell cell = table->cellAt(0, col);
            QTextTableCellFormat cf = cell.format().toTableCellFormat();
            cf.setBackground(QColor(0xE4, 0xE8, 0xEE));
            cell.setFormat(cf);
        }
    }
}

// The page a point of the document lies on.
int PageOf(qreal y, qreal pageHeight) { return int(std::floor(y / pageHeight)); }

// Whether the first line of a block (a picture is one line) ends on a later
// page than `page`.
bool FirstLineAfterPage(const QTextDocument& doc, const QTextBlock& b, int page, qreal pageHeight) {
    const QTextLayout* layout = b.layout();
    if (!layout || layout->lineCount() == 0) return false;
    const QTextLine line = layout->lineAt(0);
    const qreal bottom = doc.documentLayout()->blockBoundingRect(b).top() + line.y() + line.height();
    return PageOf(bottom - 0.5, pageHeight) > page;
}

// A heading is never the last thing on its page: one that would leave less
// than a few lines below it, or whose next block (a picture, say) begins on
// the next page, starts the next page. True when it moved one.
bool KeepHeadingWithText(QTextDocument& doc, const QTextBlock& b, qreal pageHeight) {
    constexpr qreal below = 90;
    QTextBlockFormat f = b.blockFormat();
    if (f.headingLevel() == 0 || (f.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore)) return false;
    const QRectF r = doc.documentLayout()->blockBoundingRect(b);
    const int page = PageOf(r.top(), pageHeight);
    const qreal top = r.top() - page * pageHeight;
    const bool roomBelow = top + r.height() + below <= pageHeight - MarginBottom;
    if (roomBelow && !(b.next().isValid() && FirstLineAfterPage(doc, b.next(), page, pageHeight))) return false;
    f.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
    QTextCursor(b).setBlockFormat(f);
    return true;
}

// Where the lines of a table row lie: the top of its first line, the pages
// of its first and last lines, and the height its text needs unbroken.
struct RowPlace {
    qreal Top = 0;
    int FirstPage = 0, LastPage = 0;
    qreal Height = 0;
};

// A row that a page break cuts although it would fit, with room to spare for
// its padding and rules, on an empty page.
bool CutThoughItFits(const RowPlace& place, qreal textHeight) {
    return place.FirstPage != place.LastPage && place.Height + 24 <= textHeight;
}

RowPlace PlaceOfRow(const QTextDocument& doc, const QTextTable& table, int row, qreal pageHeight) {
    RowPlace place;
    bool first = true;
    for (int col = 0; col < table.columns(); ++col) {
        const QTextTableCell cell = table.cellAt(row, col);
        if (cell.row() != row || cell.column() != col) continue;
        qreal height = 0;
        const int end = cell.lastCursorPosition().position();
        for (QTextBlock b = cell.firstCursorPosition().block(); b.isValid() && b.position() <= end; b = b.next()) {
            const QTextLayout* layout = b.layout();
            const qreal y = doc.documentLayout()->blockBoundingRect(b).top();
            for (int i = 0; i < layout->lineCount(); ++i) {
                const QTextLine line = layout->lineAt(i);
                const qreal top = y + line.y(), bottom = top + line.height();
                const int from = PageOf(top, pageHeight), to = PageOf(bottom - 0.5, pageHeight);
                if (first || top < place.Top) place.Top = top;
                place.FirstPage = first ? from : std::min(place.FirstPage, from);
                place.LastPage = first ? to : std::max(place.LastPage, to);
                first = false;
                height += line.height();
            }
        }
        place.Height = std::max(place.Height, height);
    }
    return place;
}

// The rows from `row` on move into a table of their own behind the table,
// with the same columns and header rows, which starts a new page.
void SplitTable(QTextDocument& doc, QTextTable& table, int row) {
    // The columns keep the widths they have now, in both tables.
    const QTextTableFormat format = table.format();
    const int columns = table.columns();
    QList<qreal> lefts;
    for (int col = 0; col < columns; ++col)
        lefts.push_back(doc.documentLayout()->blockBoundingRect(table.cellAt(0, col).firstCursorPosition().block()).left());
    lefts.push_back(doc.documentLayout()->frameBoundingRect(&table).right());
    QList<QTextLength> widths;
    for (int col = 0; col < columns; ++col)
        widths.push_back(QTextLength(QTextLength::PercentageLength,
                                     100 * (lefts[col + 1] - lefts[col]) / (lefts.back() - lefts.front())));
    QTextTableFormat first = format;
    first.setColumnWidthConstraints(widths);
    QTextTableFormat rest = first;
    rest.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);

    const int header = format.headerRowCount(), rows = table.rows();
    // One change for the layout, not one per cell.
    QTextCursor c(&doc);
    c.beginEditBlock();
    c.setPosition(table.lastPosition() + 1);
    c.insertBlock();
    QTextTable* next = c.insertTable(header + rows - row, columns, rest);
    for (int to = 0; to < next->rows(); ++to) {
        const int from = to < header ? to : row + to - header;
        for (int col = 0; col < columns; ++col) {
            const QTextTableCell source = table.cellAt(from, col);
            QTextCursor text = source.firstCursorPosition();
            text.setPosition(source.lastCursorPosition().position(), QTextCursor::KeepAnchor);
            QTextTableCell target = next->cellAt(to, col);
            target.setFormat(source.format());
            QTextCursor into = target.firstCursorPosition();
            into.setBlockFormat(source.firstCursorPosition().blockFormat());
            into.insertFragment(text.selection());
        }
    }
    table.removeRows(row, rows - row);
    table.setFormat(first);
    c.endEditBlock();
}

// A table row that a page break would cut goes whole to the next page: the
// rows from it on become a table of their own on the next page, under the
// same header, as the layout itself does with a row none of whose text
// fits. A row among the first rows takes the whole table along (with the
// heading right above it). A row taller than a page may still break. True
// when it moved one.
bool KeepRowsWhole(QTextDocument& doc, QTextTable& table, qreal pageHeight, qreal textHeight) {
    const int header = table.format().headerRowCount();
    for (int row = 0; row < table.rows(); ++row) {
        const RowPlace place = PlaceOfRow(doc, table, row, pageHeight);
        if (!CutThoughItFits(place, textHeight)) continue;
        if (row <= header) {
            QTextBlock before = doc.findBlock(table.firstPosition() - 1);
            while (before.isValid() && before.length() == 1) before = before.previous();
            if (before.isValid() && before.blockFormat().headingLevel() > 0) {
                QTextBlockFormat f = before.blockFormat();
                if (f.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore) continue;
                f.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
                QTextCursor(before).setBlockFormat(f);
                return true;
            }
            QTextTableFormat t = table.format();
            if (t.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore) continue;
            t.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
            table.setFormat(t);
            return true;
        }
        SplitTable(doc, table, row);
        return true;
    }
    return false;
}

// Moves the first heading or table row that sits badly on its page; true
// when it moved one (the document needs laying out again).
bool MoveFirstMisplaced(QTextDocument& doc, qreal pageHeight, qreal textHeight) {
    for (auto it = doc.rootFrame()->begin(); !it.atEnd(); ++it) {
        if (auto* table = qobject_cast<QTextTable*>(it.currentFrame())) {
            if (KeepRowsWhole(doc, *table, pageHeight, textHeight)) return true;
        } else if (it.currentBlock().isValid() && KeepHeadingWithText(doc, it.currentBlock(), pageHeight)) {
            return true;
        }
    }
    return false;
}

// A table row that fits on a page and yet is cut by a page break; empty
// when there is none.
QString CutRow(const QTextDocument& doc, qreal pageHeight, qreal textHeight) {
    for (QTextFrame* frame : doc.rootFrame()->childFrames()) {
        const auto* table = qobject_cast<QTextTable*>(frame);
        if (!table) continue;
        for (int row = 0; row < table->rows(); ++row) {
            const RowPlace place = PlaceOfRow(doc, *table, row, pageHeight);
            if (CutThoughItFits(place, textHeight))
                return table->cellAt(row, 0).firstCursorPosition().block().text();
        }
    }
    return QString();
}

// Inline code (a key, a menu entry as the program shows it) stays on one
// line: its spaces become spaces that do not break.
void KeepInlineCodeWhole(QTextDocument& doc) {
    QList<int> spaces;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        if (b.blockFormat().nonBreakableLines()) continue;  // a code block
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.charFormat().fontFixedPitch()) continue;
            const QString text = fragment.text();
            for (qsizetype i = 0; i < text.size(); ++i)
                if (text.at(i) == QLatin1Char(' ')) spaces.push_back(fragment.position() + int(i));
        }
    }
    for (const int position : spaces) {
        QTextCursor c(&doc);
        c.setPosition(position);
        c.setPosition(position + 1, QTextCursor::KeepAnchor);
        c.insertText(QString(QChar::Nbsp), c.charFormat());
    }
}

QList<Heading> Headings(const QTextDocument& doc, qreal pageHeight) {
    QList<Heading> found;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        const int level = b.blockFormat().headingLevel();
        if (level < 2 || level > 3) continue;
        const QRectF r = doc.documentLayout()->blockBoundingRect(b);
        const int page = PageOf(r.top(), pageHeight);
        found.push_back({level, b.text(), page, r.top() - page * pageHeight});
    }
    return found;
}

// The title page and the contents; pages of the body counted from firstBodyPage.
std::unique_ptr<QTextDocument> Contents(QPdfWriter& writer, const QString& title, const QList<Heading>& headings,
                                        int firstBodyPage) {
    auto doc = NewDocument(writer);
    QTextCursor c(doc.get());
    QTextBlockFormat centered;
    centered.setAlignment(Qt::AlignHCenter);
    centered.setTopMargin(TextHeight(writer) / 3);
    QTextCharFormat big;
    big.setFontPointSize(28);
    big.setFontWeight(QFont::Bold);
    c.setBlockFormat(centered);
    c.setCharFormat(big);
    c.insertText(title);
    QTextBlockFormat sub;
    sub.setAlignment(Qt::AlignHCenter);
    sub.setTopMargin(12);
    QTextCharFormat subChar;
    subChar.setFontPointSize(14);
    c.insertBlock(sub, subChar);
    c.insertText(QStringLiteral("Manual of the configuration program and the firmware loader"));

    QTextBlockFormat head;
    head.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
    head.setBottomMargin(12);
    QTextCharFormat headChar;
    headChar.setFontPointSize(18);
    headChar.setFontWeight(QFont::Bold);
    c.insertBlock(head, headChar);
    c.insertText(QStringLiteral("Contents"));

    QTextTableFormat tf;
    tf.setWidth(QTextLength(QTextLength::PercentageLength, 100));
    tf.setBorder(0);
    tf.setCellPadding(1);
    tf.setCellSpacing(0);
    tf.setColumnWidthConstraints({QTextLength(QTextLength::PercentageLength, 90),
                                  QTextLength(QTextLength::PercentageLength, 10)});
    QTextTable* table = c.insertTable(int(headings.size()), 2, tf);
    for (int i = 0; i < headings.size(); ++i) {
        const Heading& h = headings[i];
        QTextCharFormat cf;
        cf.setFontWeight(h.Level == 2 ? QFont::Bold : QFont::Normal);
        QTextBlockFormat bf;
        bf.setLeftMargin(h.Level == 2 ? 0 : 18);
        bf.setTopMargin(h.Level == 2 && i > 0 ? 5 : 0);
        QTextCursor cell = table->cellAt(i, 0).firstCursorPosition();
        cell.setBlockFormat(bf);
        cell.insertText(h.Text, cf);
        QTextBlockFormat right = bf;
        right.setLeftMargin(0);
        right.setAlignment(Qt::AlignRight);
        cell = table->cellAt(i, 1).firstCursorPosition();
        cell.setBlockFormat(right);
        cell.insertText(QString::number(firstBodyPage + h.Page), cf);
    }
    return doc;
}

// A length in device units as points, the unit of the PDF.
qreal Points(qreal length) { return length * 72 / Resolution; }

// Each line of the contents leads to its heading's page, and every chapter
// is a bookmark, with its sections under it.
void Navigation(const QTextDocument& contents, const QList<Heading>& headings, qreal pageHeight,
                QList<pdfnavigation::Link>& links, QList<pdfnavigation::Bookmark>& bookmarks) {
    const int contentsPages = contents.pageCount();
    QTextTable* table = nullptr;
    for (QTextFrame* frame : contents.rootFrame()->childFrames())
        if (!table) table = qobject_cast<QTextTable*>(frame);
    const qreal width = contents.pageSize().width();
    for (int i = 0; i < headings.size(); ++i) {
        const Heading& h = headings[i];
        // A little above the heading, so that it shows whole.
        const pdfnavigation::Place target{contentsPages + h.Page, Points(std::max(0.0, h.Top - 8))};
        if (h.Level == 2)
            bookmarks.push_back({h.Text, target, {}});
        else if (!bookmarks.isEmpty())
            bookmarks.back().Children.push_back({h.Text, target, {}});
        if (!table || i >= table->rows()) continue;
        QRectF row;
        for (int col = 0; col < table->columns(); ++col)
            row |= contents.documentLayout()->blockBoundingRect(table->cellAt(i, col).firstCursorPosition().block());
        const int page = PageOf(row.top(), pageHeight);
        const QRectF area(MarginLeft, row.top() - page * pageHeight, width - MarginLeft - MarginRight, row.height());
        links.push_back({page, QRectF(Points(area.left()), Points(area.top()), Points(area.width()), Points(area.height())),
                         target});
    }
}

void PaintPages(QPdfWriter& writer, QPainter& painter, QTextDocument& doc, int& pageNumber) {
    const qreal w = writer.width(), h = writer.height();
    QFont footer = BodyFont();
    footer.setPointSizeF(9);
    for (int i = 0; i < doc.pageCount(); ++i) {
        if (pageNumber > 1) writer.newPage();
        painter.save();
        painter.translate(0, -i * h);
        QAbstractTextDocumentLayout::PaintContext context;
        context.clip = QRectF(0, i * h, w, h);
        context.palette.setColor(QPalette::Text, Qt::black);
        painter.setClipRect(context.clip);
        doc.documentLayout()->draw(&painter, context);
        painter.restore();
        painter.setFont(footer);
        painter.setPen(Qt::black);
        painter.drawText(QRectF(MarginLeft, h - MarginBottom + 24, w - MarginLeft - MarginRight, 24),
                         Qt::AlignHCenter | Qt::AlignTop, QString::number(pageNumber));
        ++pageNumber;
    }
}

// The version the program shows ("V2.7"), as its source names it; empty
// when the source does not say.
QString VersionOf(const QString& header) {
    QFile in(header);
    if (!in.open(QIODevice::ReadOnly)) {
        Fail(QStringLiteral("cannot read %1: %2").arg(header, in.errorString()));
        return QString();
    }
    const auto m = QRegularExpression(QStringLiteral("\\bVersionText\\s*=\\s*\"([^\"]+)\""))
                       .match(QString::fromUtf8(in.readAll()));
    if (!m.hasMatch()) Fail(QStringLiteral("%1 names no VersionText").arg(header));
    return m.captured(1);
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 4) {
        Fail(QStringLiteral("usage: makehelp <manual.md> <output.pdf> <header naming VersionText>"));
        return 2;
    }
    const QString source = QString::fromLocal8Bit(argv[1]);
    const QString output = QString::fromLocal8Bit(argv[2]);
    const QString version = VersionOf(QString::fromLocal8Bit(argv[3]));
    if (version.isEmpty()) return 1;
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly)) {
        Fail(QStringLiteral("cannot read %1: %2").arg(source, in.errorString()));
        return 1;
    }
    QString markdown = QString::fromUtf8(in.readAll());
    // The first line "# Title" becomes the title page.
    QString title = QStringLiteral("Manual");
    if (markdown.startsWith(QLatin1String("# "))) {
        const qsizetype end = markdown.indexOf(QLatin1Char('\n'));
        title = markdown.mid(2, end - 2).trimmed();
        markdown = markdown.mid(end + 1);
    }
    title += QLatin1Char(' ') + version;

    const QString partial = output + QStringLiteral(".part");
    QPdfWriter writer(partial);
    writer.setResolution(Resolution);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
    writer.setTitle(title);
    writer.setCreator(QStringLiteral("makehelp"));

    auto body = NewDocument(writer);
    body->setMarkdown(markdown, QTextDocument::MarkdownDialectGitHub);
    body->setDefaultFont(BodyFont());
    SetMargins(*body);
    body->setUndoRedoEnabled(false);
    // The document is laid out once after these changes, not after each.
    QTextCursor changes(body.get());
    changes.beginEditBlock();
    const bool pictures = LoadPictures(*body, QFileInfo(source).absolutePath(), TextWidth(writer),
                                       TextHeight(writer) * 0.62);
    KeepInlineCodeWhole(*body);
    Dress(*body);
    changes.endEditBlock();
    const qreal pageHeight = writer.height();
    // The layout after a change of formats inside tables leaves the text
    // behind a table unlaid; laying out the whole document again places all.
    const auto layOut = [&body] {
        body->markContentsDirty(0, body->characterCount());
        body->pageCount();
    };
    // One move at a time, from the top: each moves only what comes after it.
    const qreal textHeight = TextHeight(writer);
    // Every move adds a page break, so the pages settle long before the
    // limit; reaching it means a move that does not hold, and the pages as
    // they are would break the rules above.
    int moves = 0;
    for (layOut(); MoveFirstMisplaced(*body, pageHeight, textHeight); layOut())
        if (++moves == 1000) {
            Fail(QStringLiteral("the pages did not settle after %1 moves of headings and table rows").arg(moves));
            return 1;
        }
    if (const QString row = CutRow(*body, pageHeight, textHeight); !row.isEmpty()) {
        Fail(QStringLiteral("the table row \"%1\" is cut by a page break").arg(row.left(60)));
        return 1;
    }
    for (QTextBlock b = body->begin(); b.isValid(); b = b.next()) {
        if (b.length() > 1 && b.layout()->lineCount() == 0) {
            Fail(QStringLiteral("the text \"%1\" found no place on the pages").arg(b.text().left(60)));
            return 1;
        }
    }
    const QList<Heading> headings = Headings(*body, pageHeight);

    // The contents' own length does not depend on the numbers in it.
    const int contentsPages = Contents(writer, title, headings, 1)->pageCount();
    auto contents = Contents(writer, title, headings, contentsPages + 1);

    QPainter painter;
    if (!pictures || !painter.begin(&writer)) {
        if (pictures) Fail(QStringLiteral("cannot write %1").arg(partial));
        QFile::remove(partial);
        return 1;
    }
    int page = 1;
    PaintPages(writer, painter, *contents, page);
    PaintPages(writer, painter, *body, page);
    if (!painter.end()) {
        Fail(QStringLiteral("cannot write %1").arg(partial));
        QFile::remove(partial);
        return 1;
    }
    // The writer makes neither links inside the file nor bookmarks.
    QList<pdfnavigation::Link> links;
    QList<pdfnavigation::Bookmark> bookmarks;
    Navigation(*contents, headings, pageHeight, links, bookmarks);
    if (const QString error = pdfnavigation::AddNavigation(partial, links, bookmarks); !error.isEmpty()) {
        Fail(QStringLiteral("cannot add the links and bookmarks to %1: %2").arg(partial, error));
        QFile::remove(partial);
        return 1;
    }
    QFile::remove(output);
    if (!QFile::rename(partial, output)) {
        Fail(QStringLiteral("cannot put %1 in place").arg(output));
        return 1;
    }
    std::printf("makehelp: %s, %d pages\n", qPrintable(output), page - 1);
    return 0;
}
