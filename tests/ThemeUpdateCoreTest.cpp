#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <ranges>

#include "model/DockTheme.h"
#include "model/ThemeBundle.h"
#include "model/ThemeSignature.h"
#include "model/ThemeVersion.h"
#include "platform/Descriptor.h"
#include "platform/PropertyList.h"
#include "support/TestEnvironment.h"

namespace fs = std::filesystem;

class ThemeUpdateCoreTest : public TestEnvironment {};

TEST(ThemeVersionTest, ComparesByNumericSegmentsWithPreReleasesOlder) {
    // Oldest first, " < " between versions, "|" between the same; numbers from 2^64 - 1 last.
    const std::string order =
        "b < |0|0.0 < 0.0.1 < 1.0b|1.0B0 < 1.0b1|1.0B1 < 1.0b2 < 1.0b10 < 1.0rc1 < "
        "1.0|1.0.0|01.0| 1-0 |1.00000000000000000000000 < 1.0.1b < 1.0.1|1_0 1 < 1.8 < 1.9b < "
        "1.9 < 1.10 < 1.99.99 < 2 < 2.18446744073709551615 < "
        "2.18446744073709551616|2.00018446744073709551616 < 2.99999999999999999999 < "
        "2.100000000000000000000";
    auto split = [](std::string_view text, std::string_view mark) {
        std::vector<std::string> parts;
        for (const auto part : std::views::split(text, mark))
            parts.emplace_back(part.begin(), part.end());
        return parts;
    };
    const auto groups = split(order, " < ");
    auto sign = [](int v) { return (v > 0) - (v < 0); };
    for (std::size_t i = 0; i < groups.size(); ++i) {
        for (std::size_t j = 0; j < groups.size(); ++j) {
            for (const std::string& a : split(groups[i], "|")) {
                for (const std::string& b : split(groups[j], "|")) {
                    EXPECT_EQ(sign(ThemeVersion::compare(a, b)), sign(int(i) - int(j)))
                        << "'" << a << "' vs '" << b << "'";
                }
            }
        }
    }
}

TEST(ThemeSignatureTest, SignaturesVerifyOnlyForTheSameBytesSignatureAndKey) {
    auto keys = ThemeSignature::generate();
    auto other = ThemeSignature::generate();
    ASSERT_TRUE(keys && other);
    EXPECT_TRUE(ThemeSignature::isPublicKey(keys->publicKey));
    EXPECT_EQ(ThemeSignature::publicKeyOf(keys->secretKey), keys->publicKey);
    const std::string archive = std::string("PK\3\4 theme\0bytes", 17);
    auto signature = ThemeSignature::sign(archive, keys->secretKey);
    ASSERT_TRUE(signature);
    EXPECT_TRUE(ThemeSignature::verify(archive, *signature, keys->publicKey));
    // One changed character of the message, the signature or the key fails.
    auto flipped = [](std::string text, std::size_t at) {
        text[at] = text[at] == 'A' ? 'B' : 'A';
        return text;
    };
    EXPECT_FALSE(ThemeSignature::verify(flipped(archive, 5), *signature, keys->publicKey));
    for (std::size_t at : {3, 80}) {
        EXPECT_FALSE(ThemeSignature::verify(archive, flipped(*signature, at), keys->publicKey));
    }
    EXPECT_FALSE(ThemeSignature::verify(archive, *signature, flipped(keys->publicKey, 2)));
    EXPECT_FALSE(ThemeSignature::verify(archive, *signature, other->publicKey));
    // Malformed base64 or the wrong lengths: false or nothing, never a throw.
    const std::string zeros32(43, 'A');
    for (const std::string& bad :
         {std::string(), std::string("not base64!"), keys->publicKey + "\n", " " + keys->publicKey,
          keys->publicKey.substr(0, 43), zeros32 + "=", keys->publicKey + keys->publicKey,
          std::string(44, '='), keys->secretKey.substr(0, 44)}) {
        EXPECT_FALSE(ThemeSignature::isPublicKey(bad)) << bad;
        EXPECT_FALSE(ThemeSignature::verify(archive, *signature, bad)) << bad;
        EXPECT_FALSE(ThemeSignature::verify(archive, bad, keys->publicKey)) << bad;
        EXPECT_FALSE(ThemeSignature::publicKeyOf(bad)) << bad;
        EXPECT_FALSE(ThemeSignature::sign(archive, bad)) << bad;
    }
    // A secret key whose second half is another key's is damaged, not a signer.
    const std::string mixed = keys->secretKey.substr(0, 40) + other->secretKey.substr(40);
    EXPECT_FALSE(ThemeSignature::publicKeyOf(mixed));
    EXPECT_FALSE(ThemeSignature::sign(archive, mixed));
}

TEST_F(ThemeUpdateCoreTest, FilesAreSignedAndVerifiedWholeWithinTheirBoundAndKeyFilesArePrivate) {
    auto keys = ThemeSignature::generate();
    ASSERT_TRUE(keys);
    writeFile(temp() / "theme.zip", std::string(70000, 'z'));
    const Descriptor file(::open((temp() / "theme.zip").c_str(), O_RDONLY));
    ASSERT_GT(::lseek(file.get(), 500, SEEK_SET), 0);  // the position is not used
    std::string why;
    auto signature = ThemeSignature::signFile(file.get(), 70000, keys->secretKey, &why);
    ASSERT_TRUE(signature) << why;
    EXPECT_EQ(signature, ThemeSignature::sign(std::string(70000, 'z'), keys->secretKey));
    EXPECT_TRUE(ThemeSignature::verifyFile(file.get(), 70000, *signature, keys->publicKey, &why));
    EXPECT_FALSE(ThemeSignature::verifyFile(file.get(), 69999, *signature, keys->publicKey, &why));
    EXPECT_EQ(why, "the file is larger than 69999 bytes");
    auto other = ThemeSignature::sign("other bytes", keys->secretKey);
    EXPECT_FALSE(ThemeSignature::verifyFile(file.get(), 70000, *other, keys->publicKey, &why));
    EXPECT_EQ(why, "the signature does not match");
    const fs::path keys_ = temp() / "keys";
    fs::create_directory(keys_);
    makeFifo(keys_ / "fifo.key");
    const Descriptor fifo(::open((keys_ / "fifo.key").c_str(), O_RDONLY | O_NONBLOCK));
    EXPECT_FALSE(ThemeSignature::verifyFile(fifo.get(), 70000, *signature, keys->publicKey, &why));
    EXPECT_EQ(why, "it is not a regular file");

    // Key files: new private files, read only when private.
    const fs::path path = keys_ / "author.key";
    EXPECT_EQ(ThemeSignature::writeKeyFile(path, *keys), std::nullopt);
    struct stat info {};
    ASSERT_EQ(::lstat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0600u);
    const std::string line =
        std::string(ThemeSignature::kKeyFileWord) + " " + keys->secretKey + "\n";
    EXPECT_EQ(readFile(path), line);
    EXPECT_EQ(ThemeSignature::readKeyFile(path, &why), keys->secretKey) << why;
    // Never over an existing file, nor through a link there; nothing left beside it.
    const auto others = ThemeSignature::generate();
    EXPECT_TRUE(ThemeSignature::writeKeyFile(path, *others));
    fs::create_symlink(keys_ / "nowhere", keys_ / "link.key");
    EXPECT_TRUE(ThemeSignature::writeKeyFile(keys_ / "link.key", *others));
    EXPECT_FALSE(fs::exists(keys_ / "nowhere"));
    EXPECT_EQ(entries(keys_), (std::vector<std::string>{"author.key", "fifo.key", "link.key"}));
    EXPECT_EQ(readFile(path), line);
    // Refused: open to others, a link, a FIFO, too large, no key in it.
    writeFile(keys_ / "open.key", line);
    ::chmod((keys_ / "open.key").c_str(), 0640);
    fs::remove(keys_ / "link.key");
    fs::create_symlink(path, keys_ / "link.key");
    writeFile(keys_ / "large.key", std::string(5000, 'A'));
    writeFile(keys_ / "empty.key", "velvanto-ed25519-secret-key \n");
    ::chmod((keys_ / "empty.key").c_str(), 0600);
    for (auto [name, reason] :
         {std::pair{"open.key", "the key file must be readable by its owner only"},
          {"link.key", "it is a link, not the key file itself"},
          {"large.key", "it is too large to be a key file"},
          {"empty.key", "it holds no secret key"},
          {"fifo.key", "it is not a regular file"},
          {"missing.key", "it can't be read (No such file or directory)"}}) {
        EXPECT_FALSE(ThemeSignature::readKeyFile(keys_ / name, &why)) << name;
        EXPECT_EQ(why, reason);
    }
}

TEST_F(ThemeUpdateCoreTest, TheAuthorsKeyIsStoredUnderTheLockKeepingOtherWritersChanges) {
    writeBundle(temp() / "Blue.docktheme", themeInfo({{"Frontline", "f.png"}}, {}));
    auto theme = DockTheme::initWithBundleAtPath((temp() / "Blue.docktheme").string());
    ASSERT_TRUE(theme);
    EXPECT_EQ(theme->dockPublicKey(), std::nullopt);
    auto keys = ThemeSignature::generate();
    // Another program names the theme meanwhile: its change stays.
    auto other = DockTheme::initWithBundleAtPath(theme->dockPath());
    other->setDockName("Renamed");
    ASSERT_TRUE(other->backup());
    const auto onDisk = [&] { return *PropertyList::readDictionary(theme->indexFile()); };
    ASSERT_TRUE(theme->storePublicKey(keys->publicKey)) << theme->errorString();
    EXPECT_EQ(*onDisk().stringFor(DockTheme::kPublicKeyKey), keys->publicKey);
    EXPECT_EQ(*onDisk().stringFor(ThemeBundle::kNameKey), "Renamed");
    EXPECT_EQ(theme->dockPublicKey(), keys->publicKey);
    const PlistValue stored = onDisk();
    // Not a key: refused, nothing written or changed in memory.
    EXPECT_FALSE(theme->storePublicKey(keys->secretKey));
    EXPECT_EQ(theme->errorString(), "not a public key: " + keys->secretKey);
    EXPECT_EQ(onDisk(), stored);
    EXPECT_EQ(theme->dockPublicKey(), keys->publicKey);
    ASSERT_TRUE(theme->storePublicKey(""));
    EXPECT_EQ(onDisk().find(DockTheme::kPublicKeyKey), nullptr);
    EXPECT_EQ(theme->dockPublicKey(), std::nullopt);
}
