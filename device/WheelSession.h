#pragma once
// The connection's whole life, without widgets: opening the wheel and reading
// what it stores, waiting for it while it restarts after a firmware upload,
// noticing it pulled out and plugged back in, and giving up. The session
// decides; whoever shows it (the window) follows its signals:
//
//   connectWheel() ─ read ──────────────────────────────> Ready ──> settingsRead
//        │ not read: at start-up                      ──> Failed ──> failed(why)
//        │ after an upload, or a returning wheel: tried again every 250 ms
//        │   until its deadline (15 s after the upload, 2 s after a return)
//   Ready ─ watcher: left, or a report failed and the wheel is gone
//         ──> Away ──> wheelLeft; plugged in again: connectWheel() on its own
//   Away, the returning wheel may not be opened ──> PermissionDenied
//         (permissionDenied() once, until the wheel leaves again)
//   connecting, or a report refused, while another instance upgrades the
//   wheel (device/upgradelock.h) ──> OtherUpgrade ──> otherUpgrade(true);
//         looked at every 500 ms; once it is done ──> otherUpgrade(false), and
//         the wheel is read as at start-up, or as a wheel that came back
//
// While a transfer runs (beginTransfer() to transferFinished()), the watcher's
// news is left alone: the transfer ends by itself when the wheel goes. The
// session holds the upgrade lock from beginTransfer() until the wheel has
// been read again, or given up.

#include "device/DeviceWatcher.h"
#include "device/SessionClock.h"
#include "device/connection.h"
#include "device/query.h"

#include <QObject>

#include <chrono>
#include <memory>
#include <optional>

namespace vorla {

// One look at the wheel: open it and read everything it stores. The handle is
// kept only when the read worked, so that nothing half-read is ever shown.
struct WheelLook {
    connection::OpenResult opened;
    std::optional<WheelSettings> settings; // empty unless opened and read
};
WheelLook openAndRead();

class WheelSession : public QObject
{
    Q_OBJECT

public:
    enum class State {
        Connecting,       // at start-up, or the wheel restarting after an upload
        Ready,            // open, its settings read
        Away,             // pulled out: waiting for it to be plugged in again
        PermissionDenied, // away, and the wheel that came back may not be opened
        OtherUpgrade,     // another instance upgrades the wheel: nothing is sent
        Failed,           // given up for good: the program ends
    };
    Q_ENUM(State)

    // Why the session gave up; each has its own message.
    enum class Failure {
        NoDevice,         // no wheel, or not back within the wait after an upload
        CannotRead,       // at start-up: opened, but a query failed
        PermissionDenied, // a wheel is there, but this user may not open it
    };
    Q_ENUM(Failure)

    // The program's clock and watcher where none is given. A given watcher is
    // not taken over.
    explicit WheelSession(QObject *parent = nullptr, std::unique_ptr<SessionClock> clock = {},
                          DeviceWatcher *watcher = nullptr);
    ~WheelSession() override;

    State state() const { return current; }
    bool transferRunning() const { return transfer; }
    // Whether reports may go to the wheel now: it is read and no transfer has it.
    bool canSend() const { return current == State::Ready && !transfer; }

    // How long the wheel may take to come back after a transfer (15 s).
    void setReconnectWait(std::chrono::milliseconds wait) { reconnectWait = wait; }

    // Opens the wheel and reads it, as the present state asks: the start-up
    // read, or one more try while a restarting or returning wheel has time.
    void connectWheel();

    // A firmware transfer has the wheel from here on; false, and nothing
    // changes, when another instance is upgrading it.
    bool beginTransfer();
    // The transfer is over and the wheel restarts, whatever the outcome: it is
    // opened afresh, or, after a failure with the wheel gone, waited for.
    void transferFinished(bool succeeded);
    // The transfer sent nothing: the wheel is as it was.
    void transferAbandoned();

    // A report failed: if the wheel has gone, the session goes Away; if
    // another instance upgrades it, the session waits for that to end.
    void reportFailed();

signals:
    void settingsRead(const vorla::WheelSettings &settings);
    // True while the wheel is waited for after an upload, false once that is over.
    void waitingAfterUpgrade(bool waiting);
    void wheelLeft();
    // The returning wheel may not be opened; said once until it leaves again.
    void permissionDenied();
    // True while another instance upgrades the wheel, false once it is done.
    void otherUpgrade(bool waiting);
    void failed(vorla::WheelSession::Failure why);

private slots:
    void onWheelArrived();
    void onWheelLeft();

private:
    // Why the session connects: at start-up a failure ends the program at
    // once; after an upload the wheel restarts and is tried until the
    // deadline, then the program ends; a wheel that came back is tried until
    // the deadline, then waited for again.
    enum class Reason { Startup, AfterUpgrade, Return };

    void goAway();
    // Another instance upgrades the wheel: wait until it is done.
    void waitForOtherUpgrade();
    void otherUpgradeLooked();
    // Gives the upgrade lock back, once this session's upgrade is over.
    void upgradeOver();

    std::unique_ptr<SessionClock> clock;
    DeviceWatcher *watcher;
    State current = State::Connecting;
    Reason reason = Reason::Startup;
    std::chrono::milliseconds deadline{0};
    std::chrono::milliseconds reconnectWait{15000};
    bool transfer = false;
    bool holdsLock = false; // this session's upgrade holds the upgrade lock
    bool backDuringTransfer = false; // the watcher's last news while the transfer ran: arrived
    bool permissionTold = false; // while away: permissionDenied() was said
};

} // namespace vorla
