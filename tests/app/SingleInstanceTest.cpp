// A second start of the editor hands its theme to the one that runs.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QtConcurrent>

#include "app/SingleInstance.h"
#include "support/TestEnvironment.h"

namespace fs = std::filesystem;

class SingleInstanceTest : public TestEnvironment {
protected:
    QString socketPath() const { return QString::fromStdString((temp() / "editor").string()); }
    // Hands path over from another thread while this one serves, as two processes would.
    bool handOverWhileServing(const SingleInstance& starting, const QString& path) {
        QFuture<bool> handed = QtConcurrent::run([&] { return starting.handOver(path); });
        QElapsedTimer timer;
        timer.start();
        while (!handed.isFinished() && timer.elapsed() < 10000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        }
        QCoreApplication::processEvents();
        return handed.isFinished() && handed.result();
    }
};

TEST_F(SingleInstanceTest, ALaterStartHandsItsThemeOverAndTheFirstIsAsked) {
    SingleInstance running(socketPath());
    SingleInstance starting(socketPath());
    EXPECT_FALSE(starting.handOver("Blue.docktheme")) << "nobody runs yet";
    ASSERT_TRUE(running.listen());
    QStringList asked;
    QObject::connect(&running, &SingleInstance::activationRequested,
                     [&](const QString& path) { asked << path; });
    QString before = QDir::currentPath();
    QDir::setCurrent(QString::fromStdString(temp().string()));
    // A relative path means the starting editor's folder; a name with a line
    // break stays one request.
    EXPECT_TRUE(handOverWhileServing(starting, "Blue.docktheme"));
    EXPECT_TRUE(handOverWhileServing(starting, ""));
    EXPECT_TRUE(handOverWhileServing(starting, "/themes/Über\n%41.docktheme"));
    QDir::setCurrent(before);
    EXPECT_EQ(asked, (QStringList{QString::fromStdString((temp() / "Blue.docktheme").string()),
                                  QString(), "/themes/Über\n%41.docktheme"}));
}

TEST_F(SingleInstanceTest, ASocketLeftByACrashedEditorIsTakenOver) {
    {
        SingleInstance crashed(socketPath());
        ASSERT_TRUE(crashed.listen());
    }
    writeFile(temp() / "editor", "");  // a stale socket file stands there
    SingleInstance next(socketPath());
    EXPECT_FALSE(next.handOver(""));
    EXPECT_TRUE(next.listen());
    EXPECT_EQ(fs::status(temp() / "editor").type(), fs::file_type::socket);
    EXPECT_EQ(fs::status(temp() / "editor").permissions() & fs::perms::others_all, fs::perms::none);
}
