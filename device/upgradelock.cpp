#include "device/upgradelock.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QStandardPaths>

#include <atomic>
#include <memory>
#include <mutex>

namespace vorla::upgradelock {
namespace {

// Another instance that looks (heldElsewhere) holds the lock for a moment;
// taking it waits this long for that to pass.
constexpr int kAcquireWaitMs = 100;

QString defaultPath()
{
    QString directory;
#ifdef Q_OS_WIN
    directory = QStandardPaths::writableLocation(QStandardPaths::TempLocation);
#else
    // Qt would make up a directory of its own, and warn, where there is none.
    if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        directory = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (directory.isEmpty())
        directory = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
#endif
    return QDir(directory).filePath(QStringLiteral("vorla-setting-upgrade.lock"));
}

// The path, made once; senders on any thread ask for it. Within a function,
// so that a static initialiser elsewhere may set it.
std::mutex pathMutex;
QString &chosenPath() // guarded by pathMutex
{
    static QString chosen;
    return chosen;
}

std::unique_ptr<QLockFile> &held()
{
    static std::unique_ptr<QLockFile> lock;
    return lock;
}

std::atomic<bool> holding{false};

// A lock is never stale for its age: an upgrade with a slow wheel may take
// minutes. Only a holder that is gone makes it stale.
void neverStaleForAge(QLockFile &lock)
{
    lock.setStaleLockTime(0);
}

} // namespace

QString path()
{
    std::lock_guard<std::mutex> lock(pathMutex);
    if (chosenPath().isEmpty())
        chosenPath() = defaultPath();
    return chosenPath();
}

void setPath(const QString &path)
{
    std::lock_guard<std::mutex> lock(pathMutex);
    chosenPath() = path;
}

bool acquire()
{
    if (holding)
        return true;
    QDir().mkpath(QFileInfo(path()).absolutePath());
    auto lock = std::make_unique<QLockFile>(path());
    neverStaleForAge(*lock);
    if (lock->tryLock(kAcquireWaitMs)) {
        held() = std::move(lock);
        holding = true;
        return true;
    }
    return lock->error() != QLockFile::LockFailedError;
}

void release()
{
    holding = false;
    held().reset(); // unlocks
}

bool heldHere()
{
    return holding;
}

bool heldElsewhere()
{
    if (holding || !QFileInfo::exists(path()))
        return false;
    // Taking the lock for a moment is the one way QLockFile tells a live
    // holder from a stale lock, which it removes on the way.
    QLockFile probe(path());
    neverStaleForAge(probe);
    if (probe.tryLock(0)) {
        probe.unlock();
        return false;
    }
    return probe.error() == QLockFile::LockFailedError;
}

} // namespace vorla::upgradelock
