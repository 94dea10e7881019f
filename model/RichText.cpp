#include "model/RichText.h"

#include <algorithm>
#include <cmath>

#include "model/Utf8.h"

namespace {

RichText::Attributes normalised(const RichText::Attributes& attributes) {
    RichText::Attributes result = attributes;
    if (!std::isfinite(result.size)) {
        result.size = RichText::Attributes{}.size;
    }
    result.size = std::clamp(std::round(result.size * 2.0f) / 2.0f, 0.5f, 16383.5f);
    std::string& family = result.fontFamily;
    family = Utf8::sanitize(family);
    family.resize(Utf8::prefix(family, RichText::kMaxFamilyBytes).size());
    // RTF font tables don't keep spaces around a name.
    family.erase(0, family.find_first_not_of(' '));
    family.erase(family.find_last_not_of(' ') + 1);
    if (family.empty()) {
        family = RichText::Attributes{}.fontFamily;
    }
    return result;
}

}  // namespace

RichText RichText::fromPlainText(const std::string& text) {
    std::string lines;
    lines.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r') {
            lines += text[i];
        } else if (i + 1 >= text.size() || text[i + 1] != '\n') {
            lines += '\n';
        }
    }
    RichText result;
    result.append(lines, Attributes{});
    return result;
}

std::string RichText::plainText() const {
    std::string text;
    for (std::size_t i = 0; i < paragraphs_.size(); ++i) {
        for (const Run& run : paragraphs_[i].runs) {
            text += run.text;
        }
        if (i + 1 < paragraphs_.size() || !open_) {
            text += '\n';
        }
    }
    return text;
}

void RichText::append(std::string_view text, const Attributes& attributes) {
    if (text.empty()) {
        return;
    }
    const Attributes clean = normalised(attributes);
    const std::string valid = Utf8::sanitize(text);
    std::string_view rest = valid;
    for (std::size_t end = rest.find('\n'); end != std::string_view::npos; end = rest.find('\n')) {
        appendRun(rest.substr(0, end), clean);
        endParagraph();
        rest.remove_prefix(end + 1);
    }
    appendRun(rest, clean);
}

void RichText::endParagraph() {
    if (!open_) {
        paragraphs_.push_back(Paragraph{nextAlignment_, {}});
    }
    open_ = false;
}

void RichText::setAlignment(Alignment alignment) {
    nextAlignment_ = alignment;
    if (open_) {
        paragraphs_.back().alignment = alignment;
    }
}

bool RichText::operator==(const RichText& other) const {
    return open_ == other.open_ && paragraphs_ == other.paragraphs_;
}

RichText::Paragraph& RichText::openParagraph() {
    if (!open_) {
        paragraphs_.push_back(Paragraph{nextAlignment_, {}});
        open_ = true;
    }
    return paragraphs_.back();
}

void RichText::appendRun(std::string_view text, const Attributes& attributes) {
    if (text.empty()) {
        return;
    }
    Paragraph& paragraph = openParagraph();
    if (!paragraph.runs.empty() && paragraph.runs.back().attributes == attributes) {
        paragraph.runs.back().text += text;
    } else {
        paragraph.runs.push_back(Run{std::string(text), attributes});
    }
}
