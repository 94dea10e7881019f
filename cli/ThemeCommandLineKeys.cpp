#include "cli/ThemeCommandLine.h"

#include <QCommandLineParser>

#include <ostream>

#include "model/ThemeSignature.h"

// The command that makes an author's signing key: keygen.

int ThemeCommandLine::keygen(const QCommandLineParser& parser) {
    const std::string path = operands(parser).front();
    const auto keys = ThemeSignature::generate();
    if (!keys) {
        return fail(path, "no key could be made (the system's random source is not available)");
    }
    if (const auto why = ThemeSignature::writeKeyFile(path, *keys)) {
        return fail(path, *why);
    }
    out_ << keys->publicKey << '\n';
    return kSuccess;
}
