// The editor's parts on their own, from rich-text conversion to the single instance.
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>

#include <QMimeData>
#include <QTextDocument>
#include <QtConcurrent>

#include "EditorTest.h"
#include "app/Background.h"
#include "app/BundleFilter.h"
#include "app/DockVerifier.h"
#include "app/DragDropImageView.h"
#include "app/QtDialogs.h"
#include "app/RichTextConversion.h"
#include "app/SingleInstance.h"
#include "dock/DockManifest.h"
#include "image/ThemeScreenshots.h"
#include "model/RtfReader.h"
#include "platform/Descriptor.h"
#include "platform/Process.h"
#include "widgets/IcnsImage.h"
#include "widgets/RVAnimationAdditions.h"

TEST(RichTextConversionTest, TextsSurviveTheDocumentWithTheirAttributes) {
    RichText styled;
    styled.setAlignment(RichText::Alignment::Centre);
    styled.append("Title\n", {.size = 14, .bold = true, .colour = {200, 10, 20}});
    styled.setAlignment(RichText::Alignment::Right);
    styled.append("body ",
                  {.fontFamily = "Times", .italic = true, .underline = true, .colour = {}});
    styled.append("end", RichText::Attributes{});
    for (const RichText& text :
         {RichText(), RichText::fromPlainText("a"), RichText::fromPlainText("a\n"),
          RichText::fromPlainText("a\n\nb\n"), styled}) {
        QTextDocument document;
        RichTextConversion::fill(document, text);
        EXPECT_EQ(RichTextConversion::toRichText(document), text) << text.plainText();
    }
}

TEST(DragDropImageViewTest, OnlyTheFirstDroppedFileIsHandedOn) {
    QMimeData three, image, web;
    three.setUrls({QUrl::fromLocalFile("/a/1.png"), QUrl::fromLocalFile("/a/2.png"),
                   QUrl::fromLocalFile("/a/3.png")});
    EXPECT_EQ(DragDropImageView::firstFileName(&three), "/a/1.png");
    image.setImageData(QImage(4, 4, QImage::Format_RGB32));
    EXPECT_FALSE(DragDropImageView::firstFileName(&image));
    web.setUrls({QUrl("https://example.com/x.png")});
    EXPECT_FALSE(DragDropImageView::firstFileName(&web));
}

TEST(RVAnimationAdditionsTest, FadesLeaveTheViewAsTheyShould) {
    QWidget parent;
    QWidget* view = new QWidget(&parent);
    parent.show();
    RVAnimationAdditions::setDefaultDuration(0.02);
    RVAnimationAdditions::fadeOut(view);
    EXPECT_TRUE(view->isHidden());
    RVAnimationAdditions::fadeIn(view);
    EXPECT_FALSE(view->isHidden());
    QRect start = view->geometry();
    RVAnimationAdditions::animateToFrame(view, QRect(5, 6, 30, 40));
    EXPECT_EQ(view->geometry(), QRect(5, 6, 30, 40));
    EXPECT_FALSE(view->isHidden());
    RVAnimationAdditions::fadeToFrame(view, start);
    EXPECT_TRUE(view->isHidden());
    EXPECT_EQ(view->geometry(), start);

    // Half way in, a red view on white shows pink, also after a resize; at the end red, uncovered.
    QPalette white;
    white.setColor(QPalette::Window, Qt::white);
    parent.setPalette(white);
    parent.resize(100, 100);
    parent.setAutoFillBackground(true);
    QPalette red;
    red.setColor(QPalette::Window, Qt::red);
    view->setPalette(red);
    view->setAutoFillBackground(true);
    RVAnimationAdditions::setDefaultBlockingMode(RVAnimationAdditions::BlockingMode::Nonblocking);
    RVAnimationAdditions::fadeIn(view);
    auto* running = view->property("_rv_running_animation").value<QAbstractAnimation*>();
    ASSERT_TRUE(running);
    running->setCurrentTime(running->totalDuration() / 2);
    view->setGeometry(0, 0, 60, 50);
    auto centre = [&] { return parent.grab().toImage().pixelColor(30, 40); };
    EXPECT_EQ(centre().red(), 255);
    EXPECT_GT(centre().green(), 80);
    EXPECT_LT(centre().green(), 180);
    running->setCurrentTime(running->totalDuration());
    EXPECT_EQ(centre(), QColor(Qt::red));
    EXPECT_TRUE(view->findChildren<QWidget*>().isEmpty());
    RVAnimationAdditions::setDefaultBlockingMode(RVAnimationAdditions::BlockingMode::Blocking);
    RVAnimationAdditions::setDefaultDuration(0.2);
}

TEST(IcnsImageTest, TheEntryClosestToTheWantedSizeIsRead) {
    QImage small(128, 128, QImage::Format_ARGB32);
    small.fill(Qt::blue);
    QImage large(256, 256, QImage::Format_ARGB32);
    large.fill(Qt::green);
    QByteArray data = IcnsImage::toData({small, large});
    for (auto [wanted, side] :
         {std::pair{0, 256}, {100, 128}, {128, 128}, {200, 256}, {900, 256}}) {
        EXPECT_EQ(IcnsImage::fromData(data, wanted).width(), side) << wanted;
    }
    for (QByteArray broken :
         {QByteArray(), QByteArray("icns"), data.left(40), QByteArray("png!")}) {
        EXPECT_LE(IcnsImage::fromData(broken).width(), 0);
    }
}

using BackgroundTest = EditorTest;

TEST_F(BackgroundTest, AResultStillWantedReachesItsContextAStaleOneOrOneForAGoneContextIsDropped) {
    QThreadPool pool;
    for (auto [wanted, contextStays, delivered] :
         {std::tuple{true, true, true}, {false, true, false}, {true, false, false}}) {
        auto context = std::make_unique<QObject>();
        int got = -1;
        QFuture<int> work = Background::run(
            &pool, context.get(), [] { return 7; }, [&got](int result) { got = result; },
            [wanted = wanted] { return wanted; });
        if (!contextStays) {
            context.reset();
        }
        work.waitForFinished();
        QCoreApplication::processEvents();
        EXPECT_EQ(got, delivered ? 7 : -1) << wanted << contextStays;
    }
}

using BundleFilterTest = EditorTest;

TEST_F(BundleFilterTest,
       ABundleIsAFolderWithTheExactExtensionAndPanelsStartWhereAskedOrLastOrAtHome) {
    fs::create_directories(temp() / "A.docktheme");
    fs::create_directories(temp() / "B.DOCKTHEME");
    writeFile(temp() / "C.docktheme", "a file");
    QStringList types{"docktheme"};
    EXPECT_TRUE(BundleFilter::isBundle(at("A.docktheme"), types));
    EXPECT_FALSE(BundleFilter::isBundle(at("B.DOCKTHEME"), types));
    EXPECT_FALSE(BundleFilter::isBundle(at("C.docktheme"), types));
    EXPECT_EQ(QtDialogs::startFolder("/asked", qs(temp())), "/asked");
    EXPECT_EQ(QtDialogs::startFolder("", qs(temp())), qs(temp()));
    EXPECT_EQ(QtDialogs::startFolder("", qs(temp() / "gone")), QDir::homePath());
    EXPECT_EQ(QtDialogs::startFolder("", ""), QDir::homePath());
}

using DockVerifierTest = EditorTest;

TEST_F(DockVerifierTest, TheRestartedDockIsComparedWithTheTheme) {
    QString theme = themeCopy("Shown");
    QMap<QString, QString> expected = DockVerifier::expectedImages(theme);
    ASSERT_EQ(expected.size(), 30);
    pid_t old = Process::start({"/bin/sleep", "30"});
    for (auto [restarted, sameImages, ok, message] :
         {std::tuple{true, true, true, "The Dock shows Shown"},
          {true, false, false, "The Dock restarted but does not show Shown"},
          {false, true, false, "The Dock did not restart within a few seconds"}}) {
        DockManifest before;
        before.pid = old;
        ASSERT_TRUE(before.write());
        DockVerifier verifier;
        QSignalSpy result(&verifier, &DockVerifier::result);
        verifier.arm();
        verifier.verify(theme, "Shown", 500);
        if (restarted) {
            DockManifest after;
            after.pid = ::getpid();
            for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
                after.images[it.key()] = {1, 1, sameImages ? it.value() : QString("other")};
            }
            ASSERT_TRUE(after.write());
        }
        ASSERT_TRUE(waitUntil([&] { return result.count() == 1; }));
        EXPECT_EQ(result.first().at(0).toBool(), ok);
        EXPECT_EQ(result.first().at(1).toString(), message);
    }
    ::kill(old, SIGTERM);
    Process::wait(old);
}

using SingleInstanceTest = EditorTest;

TEST_F(SingleInstanceTest, ACrashedEditorsSocketIsTakenOverAndALaterStartHandsItsThemeOver) {
    EXPECT_FALSE(SingleInstance(at("editor")).handOver("")) << "nobody ever ran";
    {
        SingleInstance crashed(at("editor"));
        ASSERT_TRUE(crashed.listen());
    }
    writeFile(temp() / "editor", "");  // a stale socket file stands there
    SingleInstance running(at("editor"));
    SingleInstance starting(at("editor"));
    EXPECT_FALSE(starting.handOver("Blue.docktheme")) << "nobody runs yet";
    ASSERT_TRUE(running.listen());
    EXPECT_EQ(fs::status(temp() / "editor").type(), fs::file_type::socket);
    EXPECT_EQ(fs::status(temp() / "editor").permissions() & fs::perms::others_all, fs::perms::none);
    QStringList asked;
    QObject::connect(&running, &SingleInstance::activationRequested,
                     [&](const QString& path) { asked << path; });
    QString before = QDir::currentPath();
    QDir::setCurrent(qs(temp()));
    // A relative path means the starting editor's folder; a line break stays in one request.
    // The hand-over runs on another thread while this one serves, as two processes would.
    for (QString path : {"Blue.docktheme", "", "/themes/Über\n%41.docktheme"}) {
        QFuture<bool> handed = QtConcurrent::run([&] { return starting.handOver(path); });
        EXPECT_TRUE(waitUntil([&] { return handed.isFinished(); }) && handed.result())
            << text(path);
        QCoreApplication::processEvents();
    }
    QDir::setCurrent(before);
    // A client that never ends its line is dropped once it sent too much, and asks nothing.
    QFuture<void> flood = QtConcurrent::run([&] {
        Descriptor client(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
        sockaddr_un address{AF_UNIX, {}};
        std::strcpy(address.sun_path, (temp() / "editor").c_str());
        ASSERT_EQ(::connect(client.get(), reinterpret_cast<sockaddr*>(&address), sizeof address),
                  0);
        std::string junk(4096, 'x');
        while (::send(client.get(), junk.data(), junk.size(), MSG_NOSIGNAL) > 0) {
        }
    });
    EXPECT_TRUE(waitUntil([&] { return flood.isFinished(); }));
    EXPECT_EQ(asked, (QStringList{at("Blue.docktheme"), QString(), "/themes/Über\n%41.docktheme"}));
    // An editor that runs but can't answer now is waited for, never doubled.
    SingleInstance later(at("editor"));
    EXPECT_EQ(later.start("Blue.docktheme", 300), SingleInstance::Role::NoAnswer);
    EXPECT_EQ(fs::status(temp() / "editor").type(), fs::file_type::socket);
    EXPECT_FALSE(later.listen());
}

// The images a theme's Dock screenshots are drawn from.
using ThemeScreenshotsTest = TestEnvironment;

TEST_F(ThemeScreenshotsTest, ImagesAreGatheredByDockNameAndTheThreeDImageWins) {
    std::filesystem::path bundle = temp() / "Both.docktheme";
    writeBundle(bundle, themeInfo({{"Frontline", "flat.png"}, {"Separator_Vertical", "line.png"}},
                                  {{"Frontline", "glass.png"}}));
    auto theme = DockTheme::initWithBundleAtPath(bundle.string());
    ASSERT_TRUE(theme);
    std::filesystem::create_directories(temp() / "images");
    ThemeScreenshots::gatherImages(*theme, (temp() / "images").string());
    EXPECT_EQ(snapshot(temp() / "images"),
              (std::map<std::string, std::string>{{"frontline.png", "image:glass.png"},
                                                  {"separatorstraight.png", "image:line.png"}}));
}
