// What a PDF written by QPdfWriter lacks to find one's way in it: links from
// one page to a place on another, and bookmarks (the outline a viewer shows
// beside the pages). They are added as an incremental update: new objects
// and a new cross-reference section appended to the file, which leaves every
// byte the writer wrote as it was.
#pragma once

#include <QList>
#include <QRectF>
#include <QString>

namespace pdfnavigation {

// A place: a page (0 for the first) and a height on it, in points from the
// top of the page.
struct Place {
    int Page = 0;
    qreal Top = 0;
};

// A link: an area of a page, in points from the page's top left corner, that
// leads to a place.
struct Link {
    int Page = 0;
    QRectF Area;
    Place Target;
};

// A bookmark and the bookmarks under it (shown closed).
struct Bookmark {
    QString Title;
    Place Target;
    QList<Bookmark> Children;
};

// Adds the links and the bookmarks to the PDF file. Returns why it could
// not (the file is then as it was), or an empty string.
QString AddNavigation(const QString& file, const QList<Link>& links, const QList<Bookmark>& bookmarks);

}  // namespace pdfnavigation
