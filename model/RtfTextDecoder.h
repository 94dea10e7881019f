#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "model/CodePage.h"

// Turns the encoded text of an RTF document into UTF-8 for its output:
// code-page bytes (\'hh, 8-bit bytes and the ASCII second byte of a
// double-byte character), decoded together in the code page of the first,
// and the UTF-16 units of \uN, whose surrogate halves are paired (a lone half
// becomes U+FFFD). Also counts the fallback characters after a \uN that a
// reader skips. The output may call back into the decoder. Use from one
// thread at a time.
class RtfTextDecoder {
public:
    using Output = std::function<void(std::string_view utf8)>;

    explicit RtfTextDecoder(Output output);

    // True while bytes wait to be decoded.
    bool holdsBytes() const { return !pendingBytes_.empty(); }

    // The code page of the bytes that follow until flushBytes(); call it
    // before the first of them.
    void startBytes(int codePageNumber);

    // Adds a byte of the current character, which may be the ASCII second
    // byte of a double-byte one (see awaitsTrailByte()).
    void addByte(unsigned char byte);

    // True when byte is ASCII that completes a double-byte character.
    bool awaitsTrailByte(unsigned char byte) const;

    // Hands the bytes held, decoded, to the output.
    void flushBytes();

    // Hands the character of a UTF-16 unit of \uN to the output (negative
    // values count from 65536); a high surrogate half waits for its low half.
    void unicodeUnit(long unit);

    // Hands U+FFFD to the output for a high surrogate half still waiting.
    void dropSurrogate();

    // The next count characters are the fallback of a \uN.
    void startFallback(long count) { fallbackLeft_ = count; }

    // True while fallback characters are still to skip.
    bool inFallback() const { return fallbackLeft_ > 0; }

    // Counts one character against a \uN fallback; true when it is skipped.
    bool skipsFallback();

    // Skips no more fallback: a group opens or closes.
    void endFallback() { fallbackLeft_ = 0; }

private:
    void character(char32_t character);
    const CodePage& codePage(int number);

    Output output_;
    std::map<int, std::unique_ptr<CodePage>> codePages_;
    std::string pendingBytes_;               // \'hh and 8-bit bytes, decoded together
    const CodePage* pendingPage_ = nullptr;  // the code page of pendingBytes_
    bool awaitingTrail_ = false;             // pendingBytes_ ends with a lead byte
    long fallbackLeft_ = 0;                  // characters of a \u fallback still to skip
    char32_t highSurrogate_ = 0;
};
