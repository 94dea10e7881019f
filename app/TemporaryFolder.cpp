#include "app/TemporaryFolder.h"

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>

#include <cerrno>

#include "platform/FileManager.h"

namespace {

constexpr const char* kPrefix = "tmp-";

std::string text(const QString& string) {
    return QFile::encodeName(string).toStdString();
}

// A folder of the user's own at path: made with mode 0700 when missing, and
// then a real folder (not a link) owned by the user.
bool ownFolder(const QString& path) {
    struct stat info {};
    ::mkdir(text(path).c_str(), 0700);
    return ::lstat(text(path).c_str(), &info) == 0 && S_ISDIR(info.st_mode) &&
           info.st_uid == ::getuid();
}

}  // namespace

TemporaryFolder::TemporaryFolder() {
    QString parent = parentFolder();
    if (parent.isEmpty()) {
        return;
    }
    sweep(parent);
    QString mine = parent + QLatin1Char('/') + QLatin1String(kPrefix) + QString::number(::getpid());
    // A folder of this number is an earlier process's that had the same number.
    FileManager::removePath(text(mine));
    if (::mkdir(text(mine).c_str(), 0700) == 0) {
        path_ = mine;
    }
}

TemporaryFolder::~TemporaryFolder() {
    if (!path_.isEmpty()) {
        FileManager::removePath(text(path_));
    }
}

QString TemporaryFolder::parentFolder() {
    QString cache = qEnvironmentVariable("XDG_CACHE_HOME");
    if (!QDir::isAbsolutePath(cache)) {
        QString home = qEnvironmentVariable("HOME");
        cache = QDir::isAbsolutePath(home) ? home + QStringLiteral("/.cache") : QString();
    }
    if (!cache.isEmpty() && QDir().mkpath(cache) &&
        ownFolder(cache + QStringLiteral("/Velvanto"))) {
        return cache + QStringLiteral("/Velvanto");
    }
    QString temporary = qEnvironmentVariable("TMPDIR");
    if (!QDir::isAbsolutePath(temporary)) {
        temporary = QStringLiteral("/tmp");
    }
    QString shared = temporary + QStringLiteral("/velvanto-") + QString::number(::getuid());
    return ownFolder(shared) ? shared : QString();
}

void TemporaryFolder::sweep(const QString& parent) {
    const QStringList names = QDir(parent).entryList(
        {QLatin1String(kPrefix) + QLatin1Char('*')},
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& name : names) {
        bool number = false;
        const qint64 pid = name.mid(static_cast<qsizetype>(qstrlen(kPrefix))).toLongLong(&number);
        // Only a process that is gone gives up its folder (one we may not signal still runs).
        if (number && pid > 0 && pid != ::getpid() && ::kill(static_cast<pid_t>(pid), 0) != 0 &&
            errno == ESRCH) {
            FileManager::removePath(text(parent + QLatin1Char('/') + name));
        }
    }
}
