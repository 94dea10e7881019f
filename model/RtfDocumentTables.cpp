#include "model/RtfDocumentTables.h"

#include <algorithm>
#include <utility>

#include "model/Utf8.h"

void RtfDocumentTables::startFontTable() {
    fontStarted_ = false;
    pendingFont_ = Font{};
}

void RtfDocumentTables::startFont(long number) {
    commitFont();
    fontNumber_ = number;
    fontStarted_ = true;
}

void RtfDocumentTables::appendFontName(std::string_view utf8) {
    // Leading spaces are trimmed later, so keep a few bytes beyond the limit.
    std::string& name = pendingFont_.name;
    const std::size_t room =
        RichText::kMaxFamilyBytes + 16 - std::min(name.size(), RichText::kMaxFamilyBytes + 16);
    name += Utf8::prefix(utf8, room);
}

void RtfDocumentTables::commitFont() {
    if (fontStarted_ || !pendingFont_.name.empty()) {
        std::string& name = pendingFont_.name;
        name.erase(0, name.find_first_not_of(' '));
        name.erase(name.find_last_not_of(' ') + 1);
        fonts_.insert_or_assign(fontNumber_, std::move(pendingFont_));
    }
    pendingFont_ = Font{};
    fontStarted_ = false;
}

void RtfDocumentTables::startColourTable() {
    colourSet_ = false;
    pendingColour_ = {};
}

void RtfDocumentTables::setColourComponent(RtfControlWords::Word component, std::uint8_t value) {
    using Word = RtfControlWords::Word;
    (component == Word::Red     ? pendingColour_.r
     : component == Word::Green ? pendingColour_.g
                                : pendingColour_.b) = value;
    colourSet_ = true;
}

void RtfDocumentTables::commitColour() {
    colours_.push_back(colourSet_ ? std::optional(pendingColour_) : std::nullopt);
    pendingColour_ = {};
    colourSet_ = false;
}

int RtfDocumentTables::codePageOf(long font) const {
    const auto found = fonts_.find(font < 0 ? defaultFont_ : font);
    return found != fonts_.end() ? found->second.codePage : 0;
}

void RtfDocumentTables::describe(long font, long colour, RichText::Attributes& attributes) const {
    auto found = fonts_.find(font < 0 ? defaultFont_ : font);
    if (found == fonts_.end()) {
        found = fonts_.find(defaultFont_);
    }
    if (found != fonts_.end() && !found->second.name.empty()) {
        attributes.fontFamily = found->second.name;
    }
    if (colour >= 0 && static_cast<std::size_t>(colour) < colours_.size() &&
        colours_[static_cast<std::size_t>(colour)]) {
        attributes.colour = *colours_[static_cast<std::size_t>(colour)];
    }
}
