#include "model/ThemeSignature.h"

#include <sodium.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "platform/Descriptor.h"
#include "platform/FileManager.h"

namespace {

bool ready() {
    // sodium_init is safe to call from several threads; once is enough.
    static const bool started = sodium_init() >= 0;
    return started;
}

std::string toBase64(const unsigned char* bytes, std::size_t size) {
    std::string text(sodium_base64_ENCODED_LEN(size, sodium_base64_VARIANT_ORIGINAL), '\0');
    sodium_bin2base64(text.data(), text.size(), bytes, size, sodium_base64_VARIANT_ORIGINAL);
    text.pop_back();  // the terminating NUL
    return text;
}

// The bytes of base64, when they are exactly size bytes; no white space or other characters.
std::optional<std::vector<unsigned char>> fromBase64(const std::string& text, std::size_t size) {
    if (!ready() ||
        text.size() != sodium_base64_ENCODED_LEN(size, sodium_base64_VARIANT_ORIGINAL) - 1) {
        return std::nullopt;
    }
    std::vector<unsigned char> bytes(size);
    std::size_t length = 0;
    const char* end = nullptr;
    if (sodium_base642bin(bytes.data(), bytes.size(), text.data(), text.size(), nullptr, &length,
                          &end, sodium_base64_VARIANT_ORIGINAL) != 0 ||
        length != size || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return bytes;
}

// A secret key's bytes when its second half is the public key its seed makes.
std::optional<std::vector<unsigned char>> secretKeyBytes(const std::string& secretKey) {
    auto secret = fromBase64(secretKey, ThemeSignature::kSecretKeyBytes);
    if (!secret) {
        return std::nullopt;
    }
    unsigned char publicKey[crypto_sign_PUBLICKEYBYTES];
    unsigned char remade[crypto_sign_SECRETKEYBYTES];
    const bool sound = crypto_sign_seed_keypair(publicKey, remade, secret->data()) == 0 &&
                       sodium_memcmp(remade, secret->data(), sizeof remade) == 0;
    sodium_memzero(remade, sizeof remade);
    if (!sound) {
        sodium_memzero(secret->data(), secret->size());
        return std::nullopt;
    }
    return secret;
}

void setWhy(std::string* why, std::string text) {
    if (why) {
        *why = std::move(text);
    }
}

// The whole regular file open as fd, from offset 0, of at most maxBytes.
std::optional<std::string> readWhole(int fd, std::size_t maxBytes, std::string* why) {
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        setWhy(why, std::string("the file can't be read (") + std::strerror(errno) + ")");
        return std::nullopt;
    }
    if (!S_ISREG(info.st_mode)) {
        setWhy(why, "it is not a regular file");
        return std::nullopt;
    }
    const std::string tooLarge = "the file is larger than " + std::to_string(maxBytes) + " bytes";
    if (static_cast<std::uintmax_t>(info.st_size) > maxBytes) {
        setWhy(why, tooLarge);
        return std::nullopt;
    }
    std::string bytes(static_cast<std::size_t>(info.st_size), '\0');
    std::size_t have = 0;
    // One byte more than the file had: a file that grows meanwhile is seen too.
    for (;;) {
        if (have == bytes.size()) {
            bytes.resize(have + std::min<std::size_t>(65536, maxBytes - have + 1));
        }
        const ssize_t got =
            ::pread(fd, bytes.data() + have, bytes.size() - have, static_cast<off_t>(have));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            setWhy(why, std::string("the file can't be read (") + std::strerror(errno) + ")");
            return std::nullopt;
        }
        if (got == 0) {
            bytes.resize(have);
            return bytes;
        }
        have += static_cast<std::size_t>(got);
        if (have > maxBytes) {
            setWhy(why, tooLarge);
            return std::nullopt;
        }
    }
}

}  // namespace

std::optional<ThemeSignature::KeyPair> ThemeSignature::generate() {
    if (!ready()) {
        return std::nullopt;
    }
    unsigned char publicKey[crypto_sign_PUBLICKEYBYTES];
    unsigned char secretKey[crypto_sign_SECRETKEYBYTES];
    crypto_sign_keypair(publicKey, secretKey);
    KeyPair keys{toBase64(publicKey, sizeof publicKey), toBase64(secretKey, sizeof secretKey)};
    sodium_memzero(secretKey, sizeof secretKey);
    return keys;
}

bool ThemeSignature::isPublicKey(const std::string& base64) {
    auto key = fromBase64(base64, kPublicKeyBytes);
    return key && crypto_core_ed25519_is_valid_point(key->data()) == 1;
}

std::optional<std::string> ThemeSignature::publicKeyOf(const std::string& secretKey) {
    auto secret = secretKeyBytes(secretKey);
    if (!secret) {
        return std::nullopt;
    }
    std::string key = toBase64(secret->data() + crypto_sign_SEEDBYTES, crypto_sign_PUBLICKEYBYTES);
    sodium_memzero(secret->data(), secret->size());
    return key;
}

std::optional<std::string> ThemeSignature::sign(const std::string& bytes,
                                                const std::string& secretKey) {
    auto secret = secretKeyBytes(secretKey);
    if (!secret) {
        return std::nullopt;
    }
    unsigned char signature[crypto_sign_BYTES];
    crypto_sign_detached(signature, nullptr, reinterpret_cast<const unsigned char*>(bytes.data()),
                         bytes.size(), secret->data());
    sodium_memzero(secret->data(), secret->size());
    return toBase64(signature, sizeof signature);
}

bool ThemeSignature::verify(const std::string& bytes, const std::string& signature,
                            const std::string& publicKey) {
    auto key = fromBase64(publicKey, kPublicKeyBytes);
    auto signed_ = fromBase64(signature, kSignatureBytes);
    return key && signed_ &&
           crypto_sign_verify_detached(signed_->data(),
                                       reinterpret_cast<const unsigned char*>(bytes.data()),
                                       bytes.size(), key->data()) == 0;
}

std::optional<std::string> ThemeSignature::signFile(int fd, std::size_t maxBytes,
                                                    const std::string& secretKey,
                                                    std::string* why) {
    auto bytes = readWhole(fd, maxBytes, why);
    if (!bytes) {
        return std::nullopt;
    }
    auto signature = sign(*bytes, secretKey);
    if (!signature) {
        setWhy(why, "the secret key is damaged");
    }
    return signature;
}

bool ThemeSignature::verifyFile(int fd, std::size_t maxBytes, const std::string& signature,
                                const std::string& publicKey, std::string* why) {
    if (!isPublicKey(publicKey)) {
        setWhy(why, "not a public key: " + publicKey);
        return false;
    }
    if (!fromBase64(signature, kSignatureBytes)) {
        setWhy(why, "the signature is not an Ed25519 signature in base64");
        return false;
    }
    auto bytes = readWhole(fd, maxBytes, why);
    if (!bytes) {
        return false;
    }
    if (!verify(*bytes, signature, publicKey)) {
        setWhy(why, "the signature does not match");
        return false;
    }
    return true;
}

std::optional<std::string> ThemeSignature::writeKeyFile(const std::string& path,
                                                        const KeyPair& keys) {
    if (publicKeyOf(keys.secretKey) != keys.publicKey) {
        return std::string("the key pair is damaged");
    }
    std::string line = std::string(kKeyFileWord) + " " + keys.secretKey + "\n";
    const bool written = FileManager::writeNew(
        path, 0600, true, FileManager::Existing::Kept,
        [&line](int fd) { return FileManager::writeAll(fd, line.data(), line.size()); });
    const int error = errno;
    sodium_memzero(line.data(), line.size());
    if (!written) {
        return error == EEXIST
                   ? std::string("a file is there already; a key file is never replaced")
                   : std::string("it could not be written (") + std::strerror(error) + ")";
    }
    return std::nullopt;
}

std::optional<std::string> ThemeSignature::readKeyFile(const std::string& path, std::string* why) {
    const Descriptor file(FileManager::openRegularFile(path, false, AT_FDCWD, kMaxKeyFileBytes));
    struct stat info {};
    if (!file.valid() || ::fstat(file.get(), &info) != 0) {
        const int error = errno;
        struct stat seen {};
        const bool link = ::lstat(path.c_str(), &seen) == 0 && S_ISLNK(seen.st_mode);
        setWhy(why, link              ? "it is a link, not the key file itself"
                    : error == EINVAL ? "it is not a regular file"
                    : error == EFBIG
                        ? "it is too large to be a key file"
                        : std::string("it can't be read (") + std::strerror(error) + ")");
        return std::nullopt;
    }
    if ((info.st_mode & 077) != 0) {
        setWhy(why, "the key file must be readable by its owner only");
        return std::nullopt;
    }
    auto text = FileManager::readDescriptor(file.get(), kMaxKeyFileBytes);
    const std::string word = std::string(kKeyFileWord) + " ";
    std::optional<std::string> key;
    if (text && text->starts_with(word)) {
        std::string rest = text->substr(word.size());
        while (!rest.empty() && (rest.back() == '\n' || rest.back() == '\r')) {
            rest.pop_back();
        }
        if (publicKeyOf(rest)) {
            key = std::move(rest);
        }
    }
    if (text) {
        sodium_memzero(text->data(), text->size());
    }
    if (!key) {
        setWhy(why, "it holds no secret key");
    }
    return key;
}
