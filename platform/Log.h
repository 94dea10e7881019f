#pragma once

#include <functional>
#include <string>

// The system log. Each message is one line on standard error in the shape
//   2026-12-06 16:34:10.123 Velvanto[1234:5678] text
// and one syslog entry. A test installs a sink to capture the messages
// instead. Any thread may call; lines never interleave.
class Log {
public:
    using Sink = std::function<void(const std::string& message)>;

    static void write(const std::string& message);

    // Replaces where messages go; an empty sink restores standard error and syslog.
    // Returns the sink that was installed before.
    static Sink setSink(Sink sink);

    // The line written to standard error for message, without its newline.
    static std::string formatLine(const std::string& message);

    // text with control characters (line breaks among them, and the C1
    // controls U+0080 to U+009F) written as "\n", "\t" or "\xHH" (each
    // byte) and a backslash doubled, so a name from a file can't
    // forge a line of its own. For the parts of a message that come from outside.
    static std::string escaped(const std::string& text);
};
