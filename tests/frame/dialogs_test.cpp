// The shared input box, as a user meets it: where its answer goes into a
// field of fixed length it takes no more characters than the field keeps.
#include <QInputDialog>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include "FrameTest.h"

namespace {

class InputBox : public FrameFixture {};

// Types into the box that opens next, then presses Enter.
void TypeIntoNextBox(const QString& typed, QString& shown) {
    QTimer::singleShot(0, [typed, &shown] {
        auto* dialog = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        auto* line = dialog->findChild<QLineEdit*>();
        ASSERT_NE(line, nullptr);
        line->end(false);
        QTest::keyClicks(line, typed);
        shown = line->text();
        QTest::keyClick(line, Qt::Key_Return);
    });
}

}  // namespace

TEST_F(InputBox, TakesNoMoreThanTheFieldKeeps) {
    struct Case {
        int MaxLength;
        std::string Preset;
        const char* Typed;
        const char* Answer;
    };
    const Case cases[] = {
        {16, "Table 3", "456789ABCDEF", "Table 3456789ABC"},  // one more than 16 typed
        {10, "Language 12", "", "Language 1"},                // a longer preset is cut
        {10, "Lang", "uageX", "LanguageX"},
        {0, "", "a text longer than any name field of the model", "a text longer than any name field of the model"},
    };
    for (const Case& c : cases) {
        std::string value = c.Preset;
        QString shown;
        TypeIntoNextBox(c.Typed, shown);
        ASSERT_TRUE(InputQuery(nullptr, "Caption", "Prompt", value, c.MaxLength)) << c.Answer;
        EXPECT_EQ(shown.toStdString(), c.Answer);
        EXPECT_EQ(value, c.Answer);
    }
}
