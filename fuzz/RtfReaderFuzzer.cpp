// Feeds arbitrary bytes to the RTF reader. Besides crashes, leaks, undefined
// behaviour and slow inputs (libFuzzer's -timeout), it stops on a broken
// round trip: whatever the reader makes of the bytes, and the bytes taken as
// plain text, must read back unchanged from what the writer makes of them.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "model/RichText.h"
#include "model/RtfReader.h"
#include "model/RtfWriter.h"

namespace {

void checkRoundTrip(const RichText& text, const char* what) {
    const std::string rtf = RtfWriter::write(text);
    if (RtfReader::read(rtf) != text) {
        std::fprintf(stderr, "round trip of %s changed the text; written:\n%s\n", what,
                     rtf.c_str());
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    if (const std::optional<RichText> text = RtfReader::read(bytes)) {
        checkRoundTrip(*text, "the document read");
    }
    checkRoundTrip(RichText::fromPlainText(bytes), "the bytes as plain text");
    return 0;
}
