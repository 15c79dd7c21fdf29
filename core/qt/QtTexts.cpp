#include "QtTexts.h"

#include <QList>

#include "Cp1252.h"

QString QStringFromCp1252(std::string_view bytes) {
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    for (char c : bytes) text.append(QChar(static_cast<char16_t>(Cp1252ToUnicode(static_cast<unsigned char>(c)))));
    return text;
}

std::string QStringToCp1252(const QString& text) {
    std::string bytes;
    bytes.reserve(static_cast<size_t>(text.size()));
    for (char32_t code : text.toUcs4()) {
        const auto byte = UnicodeToCp1252(code);
        bytes += byte ? static_cast<char>(*byte) : '?';
    }
    return bytes;
}
