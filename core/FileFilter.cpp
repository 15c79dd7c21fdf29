#include "FileFilter.h"

#include <algorithm>

namespace {

// The patterns of a list, apart by commas, semicolons or spaces.
std::vector<std::string> Patterns(const std::string& list) {
    std::vector<std::string> patterns;
    std::string pattern;
    for (char c : list + ' ') {
        if (c == ',' || c == ';' || c == ' ' || c == '\t') {
            if (!pattern.empty()) patterns.push_back(pattern);
            pattern.clear();
        } else {
            pattern += c;
        }
    }
    return patterns;
}

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (size_t at; (at = text.find(separator, start)) != std::string::npos; start = at + 1)
        parts.push_back(text.substr(start, at - start));
    parts.push_back(text.substr(start));
    return parts;
}

bool SameSet(std::vector<std::string> a, std::vector<std::string> b) {
    std::sort(a.begin(), a.end());
    a.erase(std::unique(a.begin(), a.end()), a.end());
    std::sort(b.begin(), b.end());
    b.erase(std::unique(b.begin(), b.end()), b.end());
    return a == b;
}

std::string Joined(const std::vector<std::string>& patterns) {
    std::string joined;
    for (const std::string& p : patterns) joined += (joined.empty() ? "" : " ") + p;
    return joined;
}

std::string NameFilter(const std::string& text, const std::string& list) {
    const std::vector<std::string> patterns = Patterns(list);
    if (patterns.empty()) return text;
    if (text.find_first_not_of(" \t") == std::string::npos) return Joined(patterns);
    // The whole text is the patterns.
    if (const std::vector<std::string> named = Patterns(text); !named.empty() && SameSet(named, patterns))
        return Joined(named);
    // The text ends with the patterns in parentheses.
    const size_t end = text.find_last_not_of(" \t");
    if (end != std::string::npos && text[end] == ')') {
        const size_t open = text.rfind('(', end);
        if (open != std::string::npos) {
            const std::vector<std::string> named = Patterns(text.substr(open + 1, end - open - 1));
            if (!named.empty() && SameSet(named, patterns)) return text.substr(0, open) + "(" + Joined(named) + ")";
        }
    }
    return text + " (" + Joined(patterns) + ")";
}

}  // namespace

std::vector<std::string> NameFilters(const std::string& filter) {
    const std::vector<std::string> parts = Split(filter, '|');
    std::vector<std::string> filters;
    for (size_t i = 0; i + 1 < parts.size(); i += 2) filters.push_back(NameFilter(parts[i], parts[i + 1]));
    return filters;
}
