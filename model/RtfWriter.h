#pragma once

#include <string>

#include "model/RichText.h"

// Writes RichText as an RTF document in the shape TextEdit writes
// (\cocoartf header, font and colour tables, \pard paragraphs ended by a
// backslash at the end of the line), without document attributes. Text
// outside ASCII is written as \'hh in Windows Latin 1 where that code page
// has the character and otherwise as \uN (a signed 16-bit N, a character
// beyond U+FFFF as two UTF-16 halves) followed, under \uc1, by one fallback
// character: the unaccented Latin letter, or '?'. Every common reader
// (TextEdit, Word, LibreOffice, pandoc, unrtf) then gets each letter, and the
// document is plain ASCII. RtfReader and TextEdit read it back to the same
// text and attributes. Stateless; any thread may call.
class RtfWriter {
public:
    static std::string write(const RichText& text);
};
