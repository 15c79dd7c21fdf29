// Texts at the widget boundary: model and message texts are Windows-1252
// bytes (QtTexts.h), file names are the file system's bytes.
#pragma once

#include <QFile>
#include <QString>
#include <string>
#include <string_view>

#include "QtTexts.h"

inline QString QStr(std::string_view cp1252) { return QStringFromCp1252(cp1252); }
inline std::string CpStr(const QString& text) { return QStringToCp1252(text); }

inline QString QFileName(const std::string& name) { return QFile::decodeName(QByteArray::fromStdString(name)); }
inline std::string FileNameStr(const QString& name) { return QFile::encodeName(name).toStdString(); }
