// The links and bookmarks that the manual's build appends to a PDF written by
// QPdfWriter: a viewer finds them where they lead, the writer's bytes stay
// as they were, and whatever cannot be added leaves the file untouched.
#include <gtest/gtest.h>

#include <QFile>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <csignal>
#include <sys/resource.h>

#include "../frame/FrameTest.h"
#include "pdfnavigation.h"

using namespace pdfnavigation;

namespace {

class PdfNavigation : public ::testing::Test {
protected:
    QTemporaryDir Dir;
    QString File;
    QByteArray Written;  // what the writer wrote

    void SetUp() override {
        TestApplication();
        ASSERT_TRUE(Dir.isValid());
        File = Dir.filePath(QStringLiteral("three pages.pdf"));
        {
            QPdfWriter writer(File);
            writer.setResolution(72);  // device units are points, as in the file
            QPainter painter(&writer);
            for (int page = 0; page < 3; ++page) {
                if (page > 0) writer.newPage();
                painter.drawText(100, 100, QStringLiteral("Page %1").arg(page + 1));
            }
        }
        Written = Contents();
        ASSERT_TRUE(Written.startsWith("%PDF"));
    }
    QByteArray Contents() const {
        QFile in(File);
        return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
    }
    // The file as poppler's pdftohtml reads it; empty when it did not run.
    QString AsXml() const {
        QProcess p;
        p.start(QStringLiteral("pdftohtml"), {QStringLiteral("-xml"), QStringLiteral("-i"), QStringLiteral("-stdout"),
                                             QStringLiteral("-q"), File});
        if (!p.waitForFinished(60000) || p.exitCode() != 0) return QString();
        return QString::fromUtf8(p.readAllStandardOutput());
    }
};

TEST_F(PdfNavigation, LinksAndBookmarksLeadToTheirPages) {
    const QList<Link> links{{0, QRectF(90, 80, 100, 30), {2, 40}}};
    const QList<Bookmark> bookmarks{
        {QStringLiteral("First \u00e9"), {0, 0}, {{QStringLiteral("Below"), {1, 10}, {}}}},
        {QStringLiteral("Last"), {2, 0}, {}},
    };
    ASSERT_EQ(AddNavigation(File, links, bookmarks), QString());
    const QByteArray updated = Contents();
    EXPECT_TRUE(updated.startsWith(Written));
    EXPECT_TRUE(updated.endsWith("%%EOF\n"));
    const QString xml = AsXml();
    ASSERT_FALSE(xml.isEmpty());
    EXPECT_TRUE(xml.contains(QStringLiteral("<item page=\"1\">First \u00e9</item>"))) << xml.toStdString();
    EXPECT_TRUE(xml.contains(QStringLiteral("<item page=\"2\">Below</item>"))) << xml.toStdString();
    EXPECT_TRUE(xml.contains(QStringLiteral("<item page=\"3\">Last</item>"))) << xml.toStdString();
    EXPECT_TRUE(xml.contains(QRegularExpression(QStringLiteral("<a href=\"[^\"]*#3\">Page 1</a>")))) << xml.toStdString();
}

// What cannot be added is reported, and the file stays as the writer left it.
TEST_F(PdfNavigation, WhatCannotBeAddedLeavesTheFileAsItWas) {
    struct Case {
        const char* Name;
        QList<Link> Links;
        QList<Bookmark> Bookmarks;
    };
    const Case cases[] = {
        {"a link on a page the file does not have", {{3, QRectF(0, 0, 10, 10), {0, 0}}}, {}},
        {"a link to a page the file does not have", {{0, QRectF(0, 0, 10, 10), {-1, 0}}}, {}},
        {"a bookmark under another to a page the file does not have",
         {},
         {{QStringLiteral("A"), {0, 0}, {{QStringLiteral("B"), {7, 0}, {}}}}}},
    };
    for (const Case& c : cases) {
        EXPECT_NE(AddNavigation(File, c.Links, c.Bookmarks), QString()) << c.Name;
        EXPECT_EQ(Contents(), Written) << c.Name;
    }
    // A file updated once is not updated again.
    ASSERT_EQ(AddNavigation(File, {}, {{QStringLiteral("A"), {0, 0}, {}}}), QString());
    const QByteArray once = Contents();
    EXPECT_NE(AddNavigation(File, {}, {{QStringLiteral("B"), {1, 0}, {}}}), QString());
    EXPECT_EQ(Contents(), once);
    // Not a PDF at all.
    QFile text(File);
    ASSERT_TRUE(text.open(QIODevice::WriteOnly | QIODevice::Truncate));
    text.write("no PDF\n");
    text.close();
    EXPECT_NE(AddNavigation(File, {}, {{QStringLiteral("A"), {0, 0}, {}}}), QString());
    EXPECT_EQ(Contents(), QByteArray("no PDF\n"));
}

// A disk that takes only part of the update (here a limit on the size of
// the process's files): the error is reported and the part written goes.
TEST_F(PdfNavigation, AnUpdateWrittenOnlyInPartGoesAgain) {
    QList<Bookmark> bookmarks;
    for (int i = 0; i < 40; ++i) bookmarks.push_back({QStringLiteral("Chapter %1").arg(i), {i % 3, 0}, {}});
    rlimit limit{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &limit), 0);
    const rlimit small{rlim_t(Written.size() + 100), limit.rlim_max};
    const auto handler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const QString error = AddNavigation(File, {}, bookmarks);
    setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, handler);
    EXPECT_NE(error, QString());
    EXPECT_EQ(Contents(), Written);
}

}  // namespace
