#include "RtfReader.h"

#include <QApplication>
#include <QFontDatabase>
#include <QTextCursor>
#include <QTextDocument>

#include <map>
#include <set>
#include <tuple>
#include <vector>

#include "QtTexts.h"

TRtfFonts SystemRtfFonts() {
    return {QFontDatabase::systemFont(QFontDatabase::FixedFont), QApplication::font()};
}

namespace {

// The character format a group carries.
struct TRtfState {
    bool Bold = false;
    bool Underline = false;
    int Font = 0;
    int HalfPoints = 24;  // RTF's default size, 12 points
    bool Skip = false;       // inside a skipped destination
    bool FontTable = false;  // inside the font table
};

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

class TRtfReader {
public:
    TRtfReader(std::string_view rtf, QTextDocument& document, const TRtfFonts& fonts)
        : Rtf(rtf), Cursor(&document), Fonts(fonts) {}

    void Read() {
        Cursor.beginEditBlock();
        States.push_back({});
        size_t i = 0;
        while (i < Rtf.size()) {
            const char c = Rtf[i];
            if (c == '{') {
                Flush();
                States.push_back(States.back());
                GroupStart = true;
                ++i;
                continue;
            }
            if (c == '}') {
                Flush();
                if (States.size() > 1) States.pop_back();
                // Nothing after the document's closing brace is content.
                if (States.size() == 1) break;
                GroupStart = false;
                ++i;
                continue;
            }
            if (c == '\\') {
                i = ControlAt(i + 1);
                GroupStart = false;
                continue;
            }
            GroupStart = false;
            if (c != '\r' && c != '\n') Text(c);
            ++i;
        }
        Flush();
        Cursor.endEditBlock();
    }

private:
    std::string_view Rtf;
    QTextCursor Cursor;
    const TRtfFonts& Fonts;
    std::vector<TRtfState> States;
    std::set<int> FixedFonts;
    int DefaultFont = 0;
    int TableFont = -1;  // the font the font table is describing
    bool GroupStart = false;
    std::string Pending;  // Windows-1252 bytes of the current run

    TRtfState& State() { return States.back(); }

    void Text(char c) {
        if (State().Skip || State().FontTable) return;
        Pending += c;
    }

    // The formats made so far, by their state: a report uses a handful.
    std::map<std::tuple<bool, bool, bool, int>, QTextCharFormat> Formats;

    const QTextCharFormat& Format() {
        const TRtfState& s = States.back();
        const bool fixed = FixedFonts.count(s.Font) > 0;
        const auto key = std::make_tuple(s.Bold, s.Underline, fixed, s.HalfPoints);
        if (auto it = Formats.find(key); it != Formats.end()) return it->second;
        QTextCharFormat& format = Formats[key];
        const QFont& font = fixed ? Fonts.Fixed : Fonts.General;
        format.setFontFamilies(font.families());
        format.setFontFixedPitch(font.fixedPitch());
        format.setFontPointSize(s.HalfPoints / 2.0);
        format.setFontWeight(s.Bold ? QFont::Bold : QFont::Normal);
        format.setFontUnderline(s.Underline);
        return format;
    }

    // The pending run goes into the document in the format it was written in.
    void Flush() {
        if (Pending.empty()) return;
        Cursor.insertText(QStringFromCp1252(Pending), Format());
        Pending.clear();
    }

    // Reads the control word or symbol after a backslash at i; returns the
    // index after it (and after the blank that ends a word).
    size_t ControlAt(size_t i) {
        if (i >= Rtf.size()) return i;
        const char c = Rtf[i];
        if (!IsLetter(c)) {
            if (c == '\'' && i + 2 < Rtf.size() && HexDigit(Rtf[i + 1]) >= 0 && HexDigit(Rtf[i + 2]) >= 0) {
                Text(static_cast<char>(HexDigit(Rtf[i + 1]) * 16 + HexDigit(Rtf[i + 2])));
                return i + 3;
            }
            if (c == '*' && GroupStart) {
                Flush();
                State().Skip = true;
            } else if (c == '~') {
                Text('\xA0');
            } else if (c == '\\' || c == '{' || c == '}') {
                Text(c);
            } else if ((c == '\r' || c == '\n') && !State().Skip && !State().FontTable) {
                Paragraph();  // a backslash before a line end stands for \par
            }
            return i + 1;
        }
        size_t end = i;
        while (end < Rtf.size() && IsLetter(Rtf[end])) ++end;
        const std::string_view word = Rtf.substr(i, end - i);
        bool hasValue = false;
        bool negative = false;
        long value = 0;
        if (end < Rtf.size() && Rtf[end] == '-' && end + 1 < Rtf.size() && IsDigit(Rtf[end + 1])) {
            negative = true;
            ++end;
        }
        while (end < Rtf.size() && IsDigit(Rtf[end])) {
            hasValue = true;
            if (value < 100000) value = value * 10 + (Rtf[end] - '0');
            ++end;
        }
        if (negative) value = -value;
        if (end < Rtf.size() && Rtf[end] == ' ') ++end;
        Word(word, hasValue, static_cast<int>(value));
        return end;
    }

    void Word(std::string_view word, bool hasValue, int value) {
        const bool starts = GroupStart;
        if (starts && (word == "colortbl" || word == "stylesheet" || word == "info" || word == "pict" ||
                       word == "header" || word == "footer")) {
            Flush();
            State().Skip = true;
            return;
        }
        if (starts && word == "fonttbl") {
            Flush();
            State().FontTable = true;
            return;
        }
        if (State().Skip) return;
        if (State().FontTable) {
            if (word == "f" && hasValue) TableFont = value;
            else if ((word == "fmodern" || (word == "fprq" && value == 1)) && TableFont >= 0)
                FixedFonts.insert(TableFont);
            return;
        }
        if (word == "par") {
            Paragraph();
        } else if (word == "line") {
            Flush();
            if (!State().FontTable) Cursor.insertText(QString(QChar::LineSeparator), Format());
        } else if (word == "tab") {
            Text('\t');
        } else if (word == "deff" && hasValue) {
            DefaultFont = value;
            State().Font = value;
        } else {
            TRtfState next = State();
            if (word == "b") next.Bold = !hasValue || value != 0;
            else if (word == "ul") next.Underline = !hasValue || value != 0;
            else if (word == "ulnone") next.Underline = false;
            else if (word == "f" && hasValue) next.Font = value;
            else if (word == "fs" && hasValue && value > 0) next.HalfPoints = value;
            else if (word == "plain") next = {.Font = DefaultFont};
            else return;  // a control word the report does not use
            Flush();
            State() = next;
        }
    }

    void Paragraph() {
        Flush();
        // The document's first paragraph exists already; every \par ends one
        // and starts the next.
        Cursor.insertBlock();
    }
};

}  // namespace

bool ReadRtfSubset(std::string_view rtf, QTextDocument& document, const TRtfFonts& fonts) {
    document.clear();
    if (rtf.substr(0, 5) != "{\\rtf") return false;
    const bool undo = document.isUndoRedoEnabled();
    document.setUndoRedoEnabled(false);
    TRtfReader(rtf, document, fonts).Read();
    document.setUndoRedoEnabled(undo);
    return true;
}
