// The incremental update reads only the plain parts of the file the writer
// made (the cross-reference table, the trailer, the catalog, the page tree,
// the pages and their annotation arrays; none of them compressed) and
// rewrites only the catalog and the annotation arrays of the linked pages.
// Anything it does not find as it expects is reported, not guessed at.
#include "pdfnavigation.h"

#include <QFile>
#include <QMap>
#include <QRegularExpression>
#include <functional>

namespace pdfnavigation {
namespace {

QRegularExpressionMatch Match(const QString& pattern, const QString& text) {
    return QRegularExpression(pattern).match(text);
}

QList<int> References(const QString& text) {
    QList<int> found;
    auto it = QRegularExpression(QStringLiteral("(\\d+)\\s+0\\s+R")).globalMatch(text);
    while (it.hasNext()) found.push_back(it.next().captured(1).toInt());
    return found;
}

QByteArray Number(qreal value) { return QByteArray::number(value, 'f', 2); }
QByteArray Reference(int object) { return QByteArray::number(object) + " 0 R"; }

// A text string in UTF-16 with its byte order mark, written in hex.
QByteArray TextString(const QString& text) {
    QByteArray s = "<FEFF";
    for (const QChar c : text) s += QByteArray::number(c.unicode(), 16).rightJustified(4, '0').toUpper();
    return s + '>';
}

struct Page {
    int Object = 0;
    int Annots = 0;  // the page's annotation array (an object of its own)
    QList<int> OldAnnots;
    qreal Left = 0, Top = 0;  // of its media box
};

class PdfFile {
public:
    explicit PdfFile(QByteArray data) : Data(std::move(data)) {}

    // Reads the file's structure; returns what is not as expected.
    QString Read() {
        const qsizetype start = Data.lastIndexOf("startxref");
        if (start < 0) return QStringLiteral("no startxref");
        const auto x = Match(QStringLiteral("^startxref\\s+(\\d+)"), QString::fromLatin1(Data.mid(start, 40)));
        if (!x.hasMatch()) return QStringLiteral("no cross-reference offset");
        XrefOffset = x.captured(1).toLongLong();
        if (XrefOffset <= 0 || XrefOffset >= start) return QStringLiteral("a cross-reference offset outside the file");
        const QString section = QString::fromLatin1(Data.mid(XrefOffset, start - XrefOffset));
        const qsizetype trailerAt = section.indexOf(QLatin1String("trailer"));
        if (!section.startsWith(QLatin1String("xref")) || trailerAt < 0)
            return QStringLiteral("no cross-reference table (a compressed one is not read)");
        const QStringList words = section.mid(4, trailerAt - 4).split(QRegularExpression(QStringLiteral("\\s+")),
                                                                     Qt::SkipEmptyParts);
        for (qsizetype i = 0; i + 1 < words.size();) {
            const int first = words[i].toInt(), count = words[i + 1].toInt();
            i += 2;
            if (i + 3 * qsizetype(count) > words.size()) return QStringLiteral("a cut cross-reference table");
            for (int n = 0; n < count; ++n, i += 3)
                if (words[i + 2] == QLatin1String("n")) Offsets[first + n] = words[i].toLongLong();
        }
        Trailer = section.mid(trailerAt + 7);
        if (Trailer.contains(QLatin1String("/Prev")) || Trailer.contains(QLatin1String("/Encrypt")) ||
            Trailer.contains(QLatin1String("/XRefStm")))
            return QStringLiteral("a trailer this update does not handle");
        const auto size = Match(QStringLiteral("/Size\\s+(\\d+)"), Trailer);
        const auto root = Match(QStringLiteral("/Root\\s+(\\d+)\\s+0\\s+R"), Trailer);
        if (!size.hasMatch() || !root.hasMatch()) return QStringLiteral("a trailer without /Size or /Root");
        Size = size.captured(1).toInt();
        Root = root.captured(1).toInt();

        QString error;
        Catalog = Object(Root, error);
        if (!error.isEmpty()) return error;
        if (!Catalog.contains(QRegularExpression(QStringLiteral("/Type\\s*/Catalog\\b"))) ||
            !Catalog.endsWith(QLatin1String(">>")))
            return QStringLiteral("no catalog");
        if (Catalog.contains(QLatin1String("/Outlines")) || Catalog.contains(QLatin1String("/PageMode")))
            return QStringLiteral("a catalog that has an outline already");
        const auto pages = Match(QStringLiteral("/Pages\\s+(\\d+)\\s+0\\s+R"), Catalog);
        if (!pages.hasMatch()) return QStringLiteral("a catalog without pages");
        const QString tree = Object(pages.captured(1).toInt(), error);
        if (!error.isEmpty()) return error;
        const auto kids = Match(QStringLiteral("/Kids\\s*\\[([^\\]]*)\\]"), tree);
        const auto count = Match(QStringLiteral("/Count\\s+(\\d+)"), tree);
        if (!kids.hasMatch() || !count.hasMatch()) return QStringLiteral("a page tree without /Kids or /Count");
        for (const int object : References(kids.captured(1))) {
            const QString page = Object(object, error);
            if (!error.isEmpty()) return error;
            if (!page.contains(QRegularExpression(QStringLiteral("/Type\\s*/Page\\b(?!s)"))))
                return QStringLiteral("a page tree of more than one level");
            const auto annots = Match(QStringLiteral("/Annots\\s+(\\d+)\\s+0\\s+R"), page);
            const auto box = Match(QStringLiteral("/MediaBox\\s*\\[\\s*([-0-9.]+)\\s+[-0-9.]+\\s+[-0-9.]+\\s+([-0-9.]+)\\s*\\]"),
                                   page);
            if (!annots.hasMatch() || !box.hasMatch())
                return QStringLiteral("page %1 without an annotation array of its own or a media box").arg(object);
            Page p{object, annots.captured(1).toInt(), {}, box.captured(1).toDouble(), box.captured(2).toDouble()};
            const QString array = Object(p.Annots, error).trimmed();
            if (!error.isEmpty()) return error;
            if (!array.startsWith(QLatin1Char('[')) || !array.endsWith(QLatin1Char(']')))
                return QStringLiteral("an annotation array that is not one");
            p.OldAnnots = References(array);
            Pages.push_back(p);
        }
        if (Pages.size() != count.captured(1).toInt()) return QStringLiteral("a page tree whose /Count is not its pages");
        return QString();
    }

    // The text of an object without its "n 0 obj" and "endobj".
    QString Object(int object, QString& error) const {
        const qint64 at = Offsets.value(object, -1);
        const qsizetype end = at < 0 ? -1 : Data.indexOf("endobj", at);
        const auto head = Match(QStringLiteral("^(\\d+)\\s+0\\s+obj\\b"),
                                QString::fromLatin1(Data.mid(at, 30)));
        if (end < 0 || !head.hasMatch() || head.captured(1).toInt() != object) {
            error = QStringLiteral("object %1 is not where the cross-reference table says").arg(object);
            return QString();
        }
        return QString::fromLatin1(Data.mid(at + head.capturedLength(), end - at - head.capturedLength())).trimmed();
    }

    QByteArray Data;
    QMap<int, qint64> Offsets;
    qint64 XrefOffset = 0;
    QString Trailer;
    int Size = 0, Root = 0;
    QString Catalog;
    QList<Page> Pages;
};

}  // namespace

QString AddNavigation(const QString& file, const QList<Link>& links, const QList<Bookmark>& bookmarks) {
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly)) return in.errorString();
    PdfFile pdf(in.readAll());
    in.close();
    if (const QString error = pdf.Read(); !error.isEmpty()) return error;
    const auto page = [&pdf](int index) -> const Page* {
        return index >= 0 && index < pdf.Pages.size() ? &pdf.Pages[index] : nullptr;
    };
    const auto destination = [&](const Place& place) {
        const Page* p = page(place.Page);
        return "[" + Reference(p->Object) + " /XYZ null " + Number(p->Top - place.Top) + " null]";
    };

    QMap<int, QByteArray> objects;  // by number: the new ones and the new versions
    int next = pdf.Size;

    // The links, in the annotation arrays of their pages.
    QMap<int, QList<int>> added;  // page index -> annotations
    for (const Link& link : links) {
        const Page* p = page(link.Page);
        if (!p || !page(link.Target.Page)) return QStringLiteral("a link to or from a page the file does not have");
        const int object = next++;
        objects[object] = "<<\n/Type /Annot\n/Subtype /Link\n/Rect [" + Number(p->Left + link.Area.left()) + ' ' +
                          Number(p->Top - link.Area.bottom()) + ' ' + Number(p->Left + link.Area.right()) + ' ' +
                          Number(p->Top - link.Area.top()) + "]\n/Border [0 0 0]\n/Dest " +
                          destination(link.Target) + "\n>>";
        added[link.Page].push_back(object);
    }
    for (auto it = added.cbegin(); it != added.cend(); ++it) {
        const Page& p = pdf.Pages[it.key()];
        QByteArray array = "[";
        for (const int object : p.OldAnnots + it.value()) array += ' ' + Reference(object);
        objects[p.Annots] = array + " ]";
    }

    // The outline: its root, then each bookmark with its neighbours.
    if (!bookmarks.isEmpty()) {
        const int root = next++;
        QString error;
        const std::function<QList<int>(const QList<Bookmark>&, int)> outline = [&](const QList<Bookmark>& items,
                                                                                   int parent) {
            QList<int> numbers;
            for (int i = 0; i < items.size(); ++i) numbers.push_back(next++);
            for (int i = 0; i < items.size(); ++i) {
                const Bookmark& b = items[i];
                if (!page(b.Target.Page)) {
                    error = QStringLiteral("a bookmark to a page the file does not have");
                    continue;
                }
                QByteArray item = "<<\n/Title " + TextString(b.Title) + "\n/Parent " + Reference(parent);
                if (i > 0) item += "\n/Prev " + Reference(numbers[i - 1]);
                if (i + 1 < items.size()) item += "\n/Next " + Reference(numbers[i + 1]);
                const QList<int> children = outline(b.Children, numbers[i]);
                if (!children.isEmpty())
                    item += "\n/First " + Reference(children.front()) + "\n/Last " + Reference(children.back()) +
                            "\n/Count -" + QByteArray::number(children.size());
                objects[numbers[i]] = item + "\n/Dest " + destination(b.Target) + "\n>>";
            }
            return numbers;
        };
        const QList<int> top = outline(bookmarks, root);
        if (!error.isEmpty()) return error;
        objects[root] = "<<\n/Type /Outlines\n/First " + Reference(top.front()) + "\n/Last " + Reference(top.back()) +
                        "\n/Count " + QByteArray::number(top.size()) + "\n>>";
        QString catalog = pdf.Catalog;
        catalog.chop(2);
        objects[pdf.Root] = catalog.toLatin1() + "/Outlines " + Reference(root) + "\n/PageMode /UseOutlines\n>>";
    }
    if (objects.isEmpty()) return QString();

    // The objects, their cross-reference section and the trailer that leads
    // back to the writer's own.
    QByteArray update = pdf.Data.endsWith('\n') ? QByteArray() : QByteArray("\n");
    QMap<int, qint64> offsets;
    for (auto it = objects.cbegin(); it != objects.cend(); ++it) {
        offsets[it.key()] = pdf.Data.size() + update.size();
        update += QByteArray::number(it.key()) + " 0 obj\n" + it.value() + "\nendobj\n";
    }
    const qint64 xref = pdf.Data.size() + update.size();
    update += "xref\n";
    for (auto it = offsets.cbegin(); it != offsets.cend();) {
        auto end = it;
        int count = 0;
        while (end != offsets.cend() && end.key() == it.key() + count) ++end, ++count;
        update += QByteArray::number(it.key()) + ' ' + QByteArray::number(count) + '\n';
        for (; it != end; ++it) update += QByteArray::number(it.value()).rightJustified(10, '0') + " 00000 n \n";
    }
    update += "trailer\n<<\n/Size " + QByteArray::number(std::max(next, pdf.Size)) + "\n/Root " + Reference(pdf.Root);
    if (const auto info = Match(QStringLiteral("/Info\\s+(\\d+)\\s+0\\s+R"), pdf.Trailer); info.hasMatch())
        update += "\n/Info " + Reference(info.captured(1).toInt());
    if (const auto id = Match(QStringLiteral("/ID\\s*\\[[^\\]]*\\]"), pdf.Trailer); id.hasMatch())
        update += '\n' + id.captured(0).toLatin1();
    update += "\n/Prev " + QByteArray::number(pdf.XrefOffset) + "\n>>\nstartxref\n" + QByteArray::number(xref) +
              "\n%%EOF\n";

    QFile out(file);
    // Unbuffered: what fails to be written fails here, and nothing of it
    // waits in a buffer to be written later.
    if (!out.open(QIODevice::Append | QIODevice::Unbuffered)) return out.errorString();
    if (const qint64 written = out.write(update); written != update.size()) {
        const QString error = written < 0 ? out.errorString()
                                          : QStringLiteral("%1 of %2 bytes written").arg(written).arg(update.size());
        out.resize(pdf.Data.size());  // what was written of the update goes again
        return error;
    }
    return QString();
}

}  // namespace pdfnavigation
