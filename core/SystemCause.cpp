#include "SystemCause.h"

#include <clocale>
#include <cstring>
#include <locale.h>

namespace {

thread_local std::string Cause;

locale_t EnglishLocale() {
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", nullptr);
    return locale;
}

}  // namespace

std::string SystemErrorText(int error) {
    const locale_t locale = EnglishLocale();
    const char* text = locale ? strerror_l(error, locale) : nullptr;
    return text ? text : "Unknown error " + std::to_string(error);
}

void NoteSystemCause(int error) { Cause = SystemErrorText(error); }

void NoteSystemCause(const std::string& cause) { Cause = cause; }

void ClearSystemCause() { Cause.clear(); }

const std::string& SystemCause() { return Cause; }

std::string MessageWithCause(const std::string& message, const std::string& cause) {
    if (cause.empty()) return message;
    return message + "\r\n" + cause;
}
