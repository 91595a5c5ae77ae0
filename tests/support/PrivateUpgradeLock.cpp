// Linked into every test program: its upgrade lock (device/upgradelock.h) is
// its own. The tests run side by side, and one test's firmware upload must
// not hold up another's wheel; a test that plays another instance takes this
// same lock itself.

#include "device/upgradelock.h"

#include <QCoreApplication>
#include <QDir>

namespace {

const bool privateLock = [] {
    vorla::upgradelock::setPath(QDir::temp().filePath(
        QStringLiteral("vorla-setting-test-%1.lock").arg(QCoreApplication::applicationPid())));
    return true;
}();

} // namespace
