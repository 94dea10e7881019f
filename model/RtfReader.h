#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "model/RichText.h"

// Reads an RTF document into RichText: what TextEdit writes (font and colour
// tables, \f \fs \b \i \ul \cf, \ql \qc \qr \qj \pard \par, \'hh in the
// document's or the font's code page, \uN with its \ucN fallback, escaped
// symbols, ignorable \* destinations) and the plain RTF of other programs.
// Document attributes (paper, margins, view) are dropped; a field shows its
// result, pictures and other non-text destinations are skipped.
//
// As Word and LibreOffice read them: the second byte of a double-byte
// character may be a plain character ("\'83e"); after \dbch, \af \afs \ab
// \ai are the font, size, bold and italic of East Asian characters (CJK,
// kana, Hangul), which a run then takes over \f \fs \b \i, and \'hh is in
// that font's code page; \- is U+00AD, \ltrmark and \rtlmark U+200E and
// U+200F, \chftn the number of its footnote.
//
// Any input gives text or nothing, in time linear in its size and bounded
// memory: a document is at most kMaxInputBytes long, nests groups at most
// kMaxGroupDepth deep and holds at most kMaxRuns runs and kMaxParagraphs
// paragraphs (beyond any of these the result is nothing); font names keep
// at most RichText::kMaxFamilyBytes. A description is far smaller, while a
// document with large pictures (skipped) still reads. A document cut off
// before its last "}" gives the text read up to the cut. Stateless; any
// thread may call.
class RtfReader {
public:
    static constexpr std::size_t kMaxGroupDepth = 256;
    static constexpr std::size_t kMaxInputBytes = 16u * 1024u * 1024u;
    static constexpr std::size_t kMaxRuns = 100'000;
    static constexpr std::size_t kMaxParagraphs = 100'000;

    // The document's text; nothing when bytes don't start with "{\rtf" or
    // pass the limits above.
    static std::optional<RichText> read(const std::string& bytes);
};
