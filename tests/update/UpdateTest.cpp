#include <QCoreApplication>
#include <QEventLoop>
#include <QThreadPool>

#include <map>
#include <sstream>

#include "cli/ThemeCommandLine.h"
#include "model/DockTheme.h"
#include "model/ThemeSignature.h"
#include "support/TestEnvironment.h"
#include "support/UpdateServer.h"
#include "update/Appcast.h"
#include "update/ThemeUpdater.h"
#include "update/UpdateTransfer.h"

namespace fs = std::filesystem;

using Answer = UpdateServer::Answer;

class UpdateTest : public TestEnvironment {
protected:
    // Before any fixture: the server and the updater need the application.
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "update_tests";
        static char* argv[] = {name};
        [[maybe_unused]] static auto* application = new QCoreApplication(argc, argv);
    }
    void SetUp() override {
        TestEnvironment::SetUp();
        fs::create_directories(themes());
        keys = *ThemeSignature::generate();
        updater.setTimeouts({1000, 300});
    }
    void TearDown() override {
        QThreadPool::globalInstance()->waitForDone();
        TestEnvironment::TearDown();
    }

    fs::path themes() const { return temp() / "themes"; }
    std::string bundle() const { return (themes() / "Mine.docktheme").string(); }
    fs::path trash() const { return home() / ".local/share/Trash/files"; }

    // An archive of a theme of that version and key; its bytes.
    QByteArray archiveOf(const std::string& version, const std::string& key) const {
        return UpdateServer::archiveOf(temp() / ("made-" + version + key.substr(0, 4)), version,
                                       key, server.url("/feed").toStdString());
    }
    std::string sign(const QByteArray& bytes, const std::string& secret) const {
        return *ThemeSignature::sign(bytes.toStdString(), secret);
    }
    // Every file under the themes' folder and the trash, with its bytes.
    std::map<std::string, std::string> snapshot() const {
        std::map<std::string, std::string> files;
        for (const fs::path& folder : {themes(), trash()}) {
            std::error_code missing;
            for (const auto& entry : fs::recursive_directory_iterator(folder, missing)) {
                files[entry.path().string()] =
                    entry.is_regular_file() ? readFile(entry.path()) : std::string("folder");
            }
        }
        return files;
    }
    UpdateCheck check() {
        UpdateCheck found;
        QEventLoop loop;
        QObject::connect(&updater, &ThemeUpdater::checked, &loop, [&](const UpdateCheck& result) {
            found = result;
            loop.quit();
        });
        updater.check(bundle());
        loop.exec();
        return found;
    }
    // Installs item; "installed" or why not. cancelAt: cancels once that many bytes came.
    std::string install(const AppcastItem& item, qint64 cancelAt = -1) {
        std::string said;
        QEventLoop loop;
        QObject::connect(&updater, &ThemeUpdater::progress, &loop, [&](qint64 received, qint64) {
            if (cancelAt >= 0 && received >= cancelAt) {
                updater.cancel();
            }
        });
        QObject::connect(&updater, &ThemeUpdater::installed, &loop,
                         [&](bool ok, const QString& why) {
                             said = ok ? "installed" : why.toStdString();
                             loop.quit();
                         });
        updater.install(
            bundle(), item, false,
            [](const std::string&, const std::function<bool()>& swap) { return swap(); });
        loop.exec();
        QThreadPool::globalInstance()->waitForDone();
        return said;
    }

    ThemeSignature::KeyPair keys;
    UpdateServer server;
    ThemeUpdater updater{ThemeCheck::Decoder()};
};

TEST_F(UpdateTest, HostileServersAndArchivesChangeNothing) {
    const QByteArray good = archiveOf("1.1", keys.publicKey);
    const ThemeSignature::KeyPair other = *ThemeSignature::generate();
    const QByteArray otherKey = archiveOf("1.1", other.publicKey);
    const QByteArray wrongVersion = archiveOf("1.2", keys.publicKey);
    const QByteArray many = QByteArray("<item/>").repeated(10001);
    const QByteArray junk("not an archive");
    const QByteArray zip = server.url("/a.zip");
    struct Row {
        const char* name;
        Answer feed;
        Answer archive;
        std::string expected;  // the check's why, else the install's
        qint64 cancelAt = -1;
    };
    const Answer none;
    auto body = [](const QByteArray& bytes) { return Answer(200, bytes); };
    auto item = [&](const char* version, const QByteArray& bytes, const std::string& signature,
                    qint64 delta = 0) {
        return body(
            UpdateServer::feed(UpdateServer::item(version, zip, bytes.size() + delta, signature)));
    };
    auto signedItem = [&](const char* version, const QByteArray& bytes, qint64 delta = 0) {
        return item(version, bytes, sign(bytes, keys.secretKey), delta);
    };
    const std::string size = std::to_string(good.size());
    const std::vector<Row> rows = {
        Row("feed over 1 MiB", body(QByteArray((1 << 20) + 1, ' ')), none,
            "not a feed: the server announces 1048577 bytes, more than 1048576"),
        Row("endless feed", Answer(200, {}, {}, 0, true), none,
            "not a feed: the body is larger than 1048576 bytes"),
        Row("drip", Answer(200, "<rss>", {}, 400), none,
            "can't reach the server: nothing came for 0.3 s"),
        Row("to a file", Answer(302, {}, "Location: file:///etc/passwd\r\n"), none,
            "can't reach the server: the address file:///etc/passwd is not http or https"),
        Row("redirect loop", Answer(301, {}, "Location: /feed\r\n"), none,
            "can't reach the server: more than 5 redirects"),
        Row("not found", Answer(404), none,
            "can't reach the server: the server answered 404 Scripted"),
        Row("DTD", body("<?xml version=\"1.0\"?><!DOCTYPE rss [<!ENTITY a \"b\">]><rss>&a;</rss>"),
            none, "not a feed: it declares a DTD or entities"),
        Row("Latin-1", body("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><rss><channel/></rss>"),
            none, "not a feed: it is not UTF-8 (it declares ISO-8859-1)"),
        Row("bytes not UTF-8", body("<rss><channel><title>\xE9</title></channel></rss>"), none,
            "not a feed: it is not UTF-8"),
        Row("10001 items", body(UpdateServer::feed(many)), none,
            "not a feed: it has more than 10000 items"),
        Row("not newer", signedItem("1.0", good), none, "up to date"),
        Row("no signature", item("1.1", good, ""), none,
            "the update has no signature, and its theme is signed by its author"),
        Row("short", signedItem("1.1", good, 1), body(good),
            "the download is refused: the server announces " + size + " bytes, not the " +
                std::to_string(good.size() + 1) + " of the feed"),
        Row("long", signedItem("1.1", good, -1), body(good),
            "the download is refused: the server announces " + size + " bytes, not the " +
                std::to_string(good.size() - 1) + " of the feed"),
        Row("endless archive", signedItem("1.1", good), Answer(200, {}, {}, 0, true),
            "the download is refused: the body is longer than the " + size + " bytes announced"),
        Row("another key signed", item("1.1", good, sign(good, other.secretKey)), body(good),
            "the signature does not match"),
        Row("another key inside", signedItem("1.1", otherKey), body(otherKey),
            "the update is another theme (its key differs)"),
        Row("another version inside", signedItem("1.1", wrongVersion), body(wrongVersion),
            "the update is version 1.2, not the 1.1 its feed announced"),
        Row("not an archive", signedItem("1.1", junk), body(junk), "the archive is refused: "),
        Row("cancelled", signedItem("1.1", good), Answer(200, good, {}, 1), "cancelled", 4),
    };
    UpdateServer::makeTheme(bundle(), "1.0", keys.publicKey, server.url("/feed").toStdString());
    const auto before = snapshot();
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        server.answers["/feed"] = row.feed;
        server.answers["/a.zip"] = row.archive;
        const UpdateCheck found = check();
        std::string said = found.outcome == UpdateCheck::Outcome::UpToDate
                               ? "up to date"
                               : found.why.toStdString();
        if (found.outcome == UpdateCheck::Outcome::Available) {
            EXPECT_TRUE(found.signedByAuthor);
            EXPECT_EQ(found.item.notes, "New dots");
            said = install(found.item, row.cancelAt);
        }
        EXPECT_EQ(said.substr(0, row.expected.size()), row.expected);
        EXPECT_EQ(snapshot(), before);
    }
}

TEST_F(UpdateTest, ASignedUpdateTakesThePlaceAndTheOldGoesToTheTrash) {
    const QByteArray good = archiveOf("1.1", keys.publicKey);
    server.answers["/a.zip"] = {200, good};
    server.answers["/feed"] = {
        200, UpdateServer::feed(
                 UpdateServer::item("1.1", "a.zip", good.size(), sign(good, keys.secretKey)) +
                 UpdateServer::item("0.9", "old.zip", 1, "x"))};
    UpdateServer::makeTheme(bundle(), "1.0", keys.publicKey, server.url("/feed").toStdString());
    const UpdateCheck found = check();
    ASSERT_EQ(found.outcome, UpdateCheck::Outcome::Available) << found.why.toStdString();
    EXPECT_EQ(found.item.url.toString().toStdString(), server.url("/a.zip").toStdString());
    EXPECT_EQ(install(found.item), "installed");
    for (const auto& [path, version] :
         {std::pair{bundle(), "1.1"}, {(trash() / "Mine.docktheme").string(), "1.0"}}) {
        EXPECT_EQ(DockTheme::initWithBundleAtPath(path)->information().version, version) << path;
    }
    EXPECT_EQ(entries(themes()), std::vector<std::string>{"Mine.docktheme"});
    EXPECT_EQ(check().outcome, UpdateCheck::Outcome::UpToDate) << check().why.toStdString();
}

TEST_F(UpdateTest, AThemeWithoutAKeyUpdatesOverHttpsOnly) {
    UpdateServer::makeTheme(bundle(), "1.0", "", server.url("/feed").toStdString());
    EXPECT_EQ(check().why.toStdString(),
              "the feed address is refused: the address " + server.url("/feed").toStdString() +
                  " is not https (a theme without its author's key updates over https only)");
    for (auto [from, to, allowHttp, refusal] :
         {std::tuple{"https://a.example/f", "http://a.example/f", true,
                     "redirected from https down to http"},
          {"", "https://user:pw@a.example/f", true, "the address holds a user name or password"},
          {"", "ftp://a.example/f", true, "the address ftp://a.example/f is not http or https"},
          {"http://a.example/f", "https://b.example/g", false, ""}}) {
        EXPECT_EQ(UpdateTransfer::refusal(QUrl(from), QUrl(to), allowHttp).toStdString(), refusal)
            << to;
    }
}

TEST_F(UpdateTest, TheAuthorsAppcastIsReadBackNewestFirstWithSignaturesThatVerify) {
    const std::string keyFile = (temp() / "key").string();
    ASSERT_FALSE(ThemeSignature::writeKeyFile(keyFile, keys));
    std::vector<std::string> arguments = {"velvanto-theme", "appcast",
                                          "--key",          keyFile,
                                          "--url-prefix",   "https://example.org/themes",
                                          "--notes",        (temp() / "notes").string()};
    writeFile(temp() / "notes", "Rounder <corners> & dots");
    for (const char* version : {"1.9", "1.10", "1.9b"}) {
        const fs::path path = temp() / ("Mine " + std::string(version) + ".zip");
        writeFile(path, archiveOf(version, keys.publicKey).toStdString());
        arguments.push_back(path.string());
    }
    std::ostringstream out, err;
    ASSERT_EQ(ThemeCommandLine::run(arguments, out, err), ThemeCommandLine::kSuccess) << err.str();
    QString why;
    const auto items = Appcast::parse(QByteArray::fromStdString(out.str()), QUrl(), &why);
    ASSERT_TRUE(items) << why.toStdString();
    std::vector<std::string> versions;
    for (const AppcastItem& item : *items) {
        versions.push_back(item.version.toStdString());
        const fs::path path = temp() / ("Mine " + item.version.toStdString() + ".zip");
        EXPECT_TRUE(
            ThemeSignature::verify(readFile(path), item.signature.toStdString(), keys.publicKey));
        EXPECT_EQ(item.length, qint64(fs::file_size(path)));
    }
    EXPECT_EQ(versions, (std::vector<std::string>{"1.10", "1.9", "1.9b"}));
    EXPECT_EQ(items->front().url.toString(QUrl::FullyEncoded).toStdString(),
              "https://example.org/themes/Mine%201.10.zip");
    EXPECT_EQ(items->front().notes.toStdString(), "Rounder <corners> & dots");
    EXPECT_EQ(Appcast::newest(*items, "1.9")->version, "1.10");
    EXPECT_FALSE(Appcast::newest(*items, "1.10"));
}
