// Reads the rich text the type report writes into a text document, which the
// preview shows and the printer prints. It knows exactly what the report and
// its document start use: groups, paragraphs, bold, underline, font and size
// changes and escaped characters; the font table tells which fonts are of
// fixed pitch. Other header groups (colours, styles, information, "\*"
// destinations) are skipped and other control words ignored.
#pragma once

#include <QFont>

#include <string_view>

class QTextDocument;

struct TRtfFonts {
    QFont Fixed;    // for fonts of the modern family or fixed pitch
    QFont General;  // for every other font
};

// The system's fixed-pitch and user-interface fonts.
TRtfFonts SystemRtfFonts();

// Replaces the document's content with the text's. Raw line ends in the text
// are no content. False, the document left empty, when the text does not
// open an RTF document ("{\rtf").
bool ReadRtfSubset(std::string_view rtf, QTextDocument& document, const TRtfFonts& fonts);
