#include "cli/ThemeCommandLine.h"

#include <QCommandLineParser>

#include <ostream>

#include "model/ThemeSignature.h"

// The command that makes an author's signing key: keygen.

int ThemeCommandLine::keygen(const std::vector<std::string>& arguments) {
    QCommandLineParser parser;
    describe(parser, "keygen",
             "Makes a new Ed25519 key for signing a theme's updates: writes its secret half to "
             "KEYFILE, readable by its owner only (an existing file is never replaced), and tells "
             "its public key, which \"info --set public-key=KEY\" names in the theme. Keep "
             "KEYFILE safe: updates signed with another key are refused.",
             "KEYFILE", "The new key file.");
    if (const int parsed = parse(parser, arguments, 1, 1); parsed != kSuccess) {
        return outcome(parsed);
    }
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
