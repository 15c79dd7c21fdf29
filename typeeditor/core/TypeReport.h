// The lines of a type's printed report (RTF control words and texts, one
// paragraph or block row a line), and the escaping of user texts in them.
// No widget here: the report window adds the document's start, writes the
// file and shows it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

class TMLSUnit;
class TTypeObjectData;
struct _TypeObjectItems;

// A user text as the report writes it: every backslash doubled and every
// brace escaped ("\{", "\}"); texts without them come out unchanged.
std::string RtfText(std::string_view text);

// Appends the report's lines after the document's start: the file and type
// headings, the summary, and what the items select (parameters,
// configuration switches, each selected table), all of data set 0, in the
// given language of the type, closing the document with "}". progressStep
// runs after each part. False (nothing appended) when the type has no
// language at that index.
bool AppendTypeReport(std::vector<std::string>& lines, const TMLSUnit& texts, TTypeObjectData& type,
                      const _TypeObjectItems& items, int32_t language, std::string_view displayName,
                      const std::function<void()>& progressStep = {});

// The report language after the items dialog: the first language whose flag
// is set, 0 when none is.
int32_t FirstSelectedLanguage(const _TypeObjectItems& items);
