#include "model/RtfTextDecoder.h"

#include <utility>

#include "model/Utf8.h"

RtfTextDecoder::RtfTextDecoder(Output output) : output_(std::move(output)) {}

void RtfTextDecoder::startBytes(int codePageNumber) {
    pendingPage_ = &codePage(codePageNumber);
    awaitingTrail_ = false;
}

void RtfTextDecoder::addByte(unsigned char byte) {
    pendingBytes_ += static_cast<char>(byte);
    awaitingTrail_ = !awaitingTrail_ && pendingPage_->isLeadByte(byte);
}

// Every double-byte code page's second bytes start at 0x40.
bool RtfTextDecoder::awaitsTrailByte(unsigned char byte) const {
    return awaitingTrail_ && byte >= 0x40 && byte < 0x80;
}

void RtfTextDecoder::flushBytes() {
    if (pendingBytes_.empty()) {
        return;
    }
    std::string decoded;
    pendingPage_->decode(pendingBytes_, decoded);
    pendingBytes_.clear();
    awaitingTrail_ = false;
    output_(decoded);
}

void RtfTextDecoder::unicodeUnit(long unit) {
    if (unit < 0 && unit >= -32768) {
        unit += 65536;
    }
    if (unit < 0 || unit > 0xFFFF) {
        character(Utf8::kReplacement);
    } else if (unit >= 0xD800 && unit <= 0xDBFF) {
        dropSurrogate();
        highSurrogate_ = static_cast<char32_t>(unit);
    } else if (unit >= 0xDC00 && unit <= 0xDFFF) {
        if (highSurrogate_ == 0) {
            character(Utf8::kReplacement);
        } else {
            const char32_t high = highSurrogate_;
            highSurrogate_ = 0;
            character(0x10000 + ((high - 0xD800) << 10) + (static_cast<char32_t>(unit) - 0xDC00));
        }
    } else {
        character(static_cast<char32_t>(unit));
    }
}

void RtfTextDecoder::dropSurrogate() {
    if (highSurrogate_ != 0) {
        highSurrogate_ = 0;
        character(Utf8::kReplacement);
    }
}

bool RtfTextDecoder::skipsFallback() {
    if (fallbackLeft_ <= 0) {
        return false;
    }
    --fallbackLeft_;
    return true;
}

void RtfTextDecoder::character(char32_t character) {
    std::string utf8;
    Utf8::append(utf8, character);
    output_(utf8);
}

const CodePage& RtfTextDecoder::codePage(int number) {
    std::unique_ptr<CodePage>& page = codePages_[number];
    if (!page) {
        page = std::make_unique<CodePage>(number);
    }
    return *page;
}
