// Model texts (Windows-1252 bytes) as the widgets show them, and back.
#pragma once

#include <QString>
#include <string>
#include <string_view>

QString QStringFromCp1252(std::string_view bytes);
// A character the code page lacks becomes '?'.
std::string QStringToCp1252(const QString& text);
