// The filter texts of the file dialogs: "Text|*.a|Other|*.b;*.c", pairs of a
// kind's text and its patterns, as the name filters a file dialog lists.
#pragma once

#include <string>
#include <vector>

// One name filter per pair: the text with the kind's patterns once, at its
// end in parentheses and apart by spaces, the way file dialogs read them.
// A text that names the patterns already (at its end in parentheses, or as
// the whole text; in any order, apart by commas, semicolons or spaces) shows
// them once in that form ("Hex File (*.hex,*.h86)" with "*.hex;*.h86":
// "Hex File (*.hex *.h86)"; "*.csv" with "*.csv": "*.csv"); any other text
// gets them appended ("Hex File" with "*.hex": "Hex File (*.hex)"), an
// empty text is the patterns alone, and a text without patterns stays as it
// is. A last text without its patterns is left out.
std::vector<std::string> NameFilters(const std::string& filter);
