#include "support/RichTextPrinter.h"

#include <sstream>

std::string describe(const RichText& text) {
    static const char* const kAlignments[] = {"left", "centre", "right", "justified"};
    std::ostringstream out;
    for (const RichText::Paragraph& paragraph : text.paragraphs()) {
        out << kAlignments[static_cast<int>(paragraph.alignment)] << ":";
        for (const RichText::Run& run : paragraph.runs) {
            const RichText::Attributes& a = run.attributes;
            out << " [" << run.text << "|" << a.fontFamily << " " << a.size;
            out << (a.bold ? " b" : "") << (a.italic ? " i" : "") << (a.underline ? " u" : "");
            if (!(a.colour == RichText::Colour{})) {
                out << " rgb(" << int{a.colour.r} << "," << int{a.colour.g} << ","
                    << int{a.colour.b} << ")";
            }
            out << "]";
        }
        out << "\n";
    }
    out << (text.endsWithParagraphEnd() ? "END" : "OPEN");
    return out.str();
}

void PrintTo(const RichText& text, std::ostream* os) {
    *os << "\n" << describe(text);
}
