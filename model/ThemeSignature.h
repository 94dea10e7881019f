#pragma once

#include <cstddef>
#include <optional>
#include <string>

// Ed25519 signatures of theme archives, as desktop application updaters sign
// their downloads: the author signs the archive's bytes with a secret key, the
// theme names the matching public key ("VL_DockPublicEDKey") and an update is
// taken only when its signature verifies with that key.
//
// Over libsodium: a small C library whose crypto_sign_detached and
// crypto_sign_verify_detached are the very primitive those updaters use, with
// keys in the same form (a 32-byte public key, a 64-byte secret key holding
// the seed and the public key); nothing of OpenSSL is needed and no
// cryptography is our own.
//
// Keys and signatures travel as base64 (the standard alphabet, with padding):
// a public key of 32 bytes, a secret key of 64, a signature of 64. Malformed
// input never throws: a check says false, a making says nothing.
//
// Stateless; any thread (the library is set up once, on first use).
class ThemeSignature {
public:
    static constexpr std::size_t kPublicKeyBytes = 32;
    static constexpr std::size_t kSecretKeyBytes = 64;
    static constexpr std::size_t kSignatureBytes = 64;
    // A key file holds one line, far below this.
    static constexpr std::size_t kMaxKeyFileBytes = 4096;
    // The key file's line starts with this word and a space.
    static constexpr const char* kKeyFileWord = "velvanto-ed25519-secret-key";

    struct KeyPair {
        std::string publicKey;
        std::string secretKey;
    };
    // A new key pair from the system's random source; nothing when the library can't start.
    static std::optional<KeyPair> generate();

    // Whether base64 is 32 bytes that are a point of the curve a signer's key
    // can be (random bytes mostly are not), so a key that can never verify is refused early.
    static bool isPublicKey(const std::string& base64);
    // The public key of a secret key; nothing when it is not 64 bytes or its
    // second half is not the key its seed makes (a damaged key file).
    static std::optional<std::string> publicKeyOf(const std::string& secretKey);

    // The signature of bytes; nothing when the secret key is not one (see publicKeyOf).
    static std::optional<std::string> sign(const std::string& bytes, const std::string& secretKey);
    // Whether signature is the public key's signature of bytes; false for any malformed input.
    static bool verify(const std::string& bytes, const std::string& signature,
                       const std::string& publicKey);

    // The same over a whole file open as fd, read with pread from offset 0
    // (the position is not used): a regular file of at most maxBytes, else
    // nothing or false, with why the reason for the user.
    static std::optional<std::string> signFile(int fd, std::size_t maxBytes,
                                               const std::string& secretKey, std::string* why);
    // why gets "the signature does not match" when the file is not what the
    // key signed, another sentence when it could not be read or the key or
    // signature is malformed.
    static bool verifyFile(int fd, std::size_t maxBytes, const std::string& signature,
                           const std::string& publicKey, std::string* why);

    // Writes keys' secret key to a new file at path, mode 0600, as the line
    // "<kKeyFileWord> <secret key>\n": written whole to a temporary beside it
    // and given the name only when nothing (not even a link) has it; a file
    // there is never replaced. Nothing on success, else why it failed (a
    // sentence for after the path).
    static std::optional<std::string> writeKeyFile(const std::string& path, const KeyPair& keys);
    // The secret key in the key file at path; nothing, with why, when it is a
    // link, not a regular file, larger than kMaxKeyFileBytes, open to group or
    // others ("the key file must be readable by its owner only") or holds no
    // key; why is a sentence for after the path.
    static std::optional<std::string> readKeyFile(const std::string& path, std::string* why);
};
