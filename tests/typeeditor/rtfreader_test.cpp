// The reader of the report's rich text: what each construct puts into the
// document, as plain text and as the format of each character.
#include <QApplication>
#include <QTextBlock>
#include <QTextDocument>

#include "../frame/FrameTest.h"
#include "RtfReader.h"

namespace {

TRtfFonts TestFonts() {
    QFont fixed("Monospace");
    fixed.setFixedPitch(true);
    return {fixed, QFont("Sans Serif")};
}

// The document as text, each character run written as
// [b|u|f(ixed)|size:text], paragraphs separated by '/'.
std::string Runs(const QTextDocument& doc) {
    std::string out;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        if (block != doc.begin()) out += "/";
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            const QTextCharFormat c = f.charFormat();
            out += "[";
            if (c.fontWeight() >= QFont::Bold) out += "b";
            if (c.fontUnderline()) out += "u";
            if (c.fontFixedPitch()) out += "f";
            out += std::to_string(static_cast<int>(c.fontPointSize())) + ":" + f.text().toStdString() + "]";
        }
    }
    return out;
}

const char* Header = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fmodern Courier;}{\\f1\\fswiss Arial;}}"
                     "{\\colortbl;\\red0\\green0\\blue0;}{\\*\\generator x;}\r\n\\pard\\plain\\f0\\fs20\r\n";

TEST(RtfReader, TheReportsSubset) {
    TestApplication();
    const struct {
        const char* what;
        std::string body;
        std::string runs;
    } cases[] = {
        {"plain text in the default font", "abc}", "[f10:abc]"},
        {"paragraphs; raw line ends are no content", "a\\par \r\nb\\par\r\nc}", "[f10:a]/[f10:b]/[f10:c]"},
        {"bold and underline on and off", "\\b A\\b0 B\\ul C\\ul0 D}", "[bf10:A][f10:B][uf10:C][f10:D]"},
        {"font and size", "\\f1 \\fs40 \\b T\\b0 \\f0 \\fs20 x}", "[b20:T][f10:x]"},
        {"one blank after a word is its end, more are text", "\\b  two\\b0   x}", "[bf10: two][f10:  x]"},
        {"escaped characters", "\\\\ \\{\\} \\'e9}", "[f10:\\ {} \xC3\xA9]"},
        {"a group keeps its format to itself", "{\\b in}out}", "[bf10:in][f10:out]"},
        {"unknown words are ignored", "\\lang1033\\foo12 x\\par }", "[f10:x]/"},
        {"text after the document's end", "x}garbage", "[f10:x]"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QTextDocument doc;
        ASSERT_TRUE(ReadRtfSubset(std::string(Header) + c.body, doc, TestFonts()));
        EXPECT_EQ(Runs(doc), c.runs);
    }
    QTextDocument doc;
    doc.setPlainText("old");
    EXPECT_FALSE(ReadRtfSubset("plain text", doc, TestFonts()));
    EXPECT_TRUE(doc.toPlainText().isEmpty());
}

}  // namespace
