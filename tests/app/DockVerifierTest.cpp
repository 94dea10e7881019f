// The check after an apply that the restarted stand-in Dock shows the theme.
#include <unistd.h>

#include <QSignalSpy>

#include "EditorTest.h"
#include "app/DockVerifier.h"
#include "dock/DockManifest.h"
#include "platform/Process.h"

using DockVerifierTest = EditorTest;

TEST_F(DockVerifierTest, TheRestartedDockIsComparedWithTheTheme) {
    QString theme = themeCopy("Shown");
    QMap<QString, QString> expected = DockVerifier::expectedImages(theme);
    ASSERT_EQ(expected.size(), 30);
    pid_t old = Process::start({"/bin/sleep", "30"});
    struct Case {
        bool restarted;
        bool sameImages;
        bool ok;
        QString message;
    };
    for (const Case& k :
         {Case{true, true, true, "The Dock shows Shown"},
          Case{true, false, false, "The Dock restarted but does not show Shown"},
          Case{false, true, false, "The Dock did not restart within a few seconds"}}) {
        DockManifest before;
        before.pid = old;
        ASSERT_TRUE(before.write());
        DockVerifier verifier;
        QSignalSpy result(&verifier, &DockVerifier::result);
        verifier.arm();
        verifier.verify(theme, "Shown", 500);
        if (k.restarted) {
            DockManifest after;
            after.pid = ::getpid();
            for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
                after.images[it.key()] = {1, 1, k.sameImages ? it.value() : QString("other")};
            }
            ASSERT_TRUE(after.write());
        }
        ASSERT_TRUE(waitUntil([&] { return result.count() == 1; }));
        EXPECT_EQ(result.first().at(0).toBool(), k.ok);
        EXPECT_EQ(result.first().at(1).toString(), k.message);
    }
    ::kill(old, SIGTERM);
    Process::wait(old);
}
