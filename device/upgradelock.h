#pragma once
// One program at a time while the wheel takes a firmware image. Two instances
// can run at once (a window and a command, or two windows); a report from one
// cutting into the other's firmware stream can spoil the image. The instance
// that upgrades holds a per-user lock file (QLockFile) from the transfer's
// start until the wheel has restarted and been read again; every other one
// sends nothing meanwhile: connection.h refuses its reports, and its session
// or command says that the wheel is being upgraded. A lock left by a process
// that is gone (crashed, killed) is stale and taken over at once.
//
// The lock lives in the user's runtime directory ($XDG_RUNTIME_DIR, else the
// user's cache directory; on Windows the user's temporary folder), as
// vorla-setting-upgrade.lock.

#include <QString>

namespace vorla::upgradelock {

// The lock file's path.
QString path();
// Puts the lock elsewhere: for the simulated wheel's program, whose wheel is
// not the real one, and for tests, which run side by side. Before any use.
void setPath(const QString &path);

// Takes the lock for this process; false when another instance holds it.
// Where no lock file can be made at all (no writable directory), the upgrade
// goes ahead unguarded rather than never. Taking it twice is harmless.
bool acquire();
// Gives it back; harmless when not held.
void release();
// Whether this process holds it (any thread may ask).
bool heldHere();
// Whether another instance holds it now: a stale lock does not count. Cheap
// while there is no lock file at all.
bool heldElsewhere();

} // namespace vorla::upgradelock
