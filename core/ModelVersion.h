// The model-version text that a unit reports ("V2.7"): a 'V', the major digit
// that selects the unit's block-image format, then the rest of the version.
#pragma once

#include <string_view>

struct _QXModelVersion {
    // The text as the unit sent it, NUL-padded; at most 15 characters count.
    char Text[16];

    _QXModelVersion() { Clear(); }
    void Clear();

    // The text up to its first NUL, at most 15 characters.
    std::string_view GetText() const;
    // Stores the text cut to 15 characters; the rest of the bytes are zero.
    void SetText(std::string_view text);
};

// The major digit 0..9 of "V<digit>..." or "v<digit>..."; -1 otherwise (also
// for the empty text of a cleared record).
int ParseModelVersion(std::string_view text);
