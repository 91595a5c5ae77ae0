// The wheel session on its own, on a clock the test moves: each row is what
// happens (the wheel, the watcher's notices, the window's calls, time going
// by) and what the session says, with the time it says it, and its state.
#include "device/WheelSession.h"
#include "device/upgradelock.h"
#include "sim/SimWheel.h"

#include <QFile>
#include <QLockFile>
#include <QMetaEnum>
#include <QtTest>

using std::chrono::milliseconds;

namespace {

class TestClock : public vorla::SessionClock
{
public:
    milliseconds now() const override { return time; }
    void callIn(milliseconds after, std::function<void()> call) override
    {
        dueAt = time + after;
        due = std::move(call);
    }
    void cancel() override { due = nullptr; }
    bool pending() const override { return bool(due); }

    // Makes the calls that fall due on the way, each at its time.
    void advance(milliseconds step)
    {
        const milliseconds end = time + step;
        while (due && dueAt <= end) {
            time = dueAt;
            const std::function<void()> call = std::move(due);
            due = nullptr;
            call();
        }
        time = end;
    }

private:
    milliseconds time{0};
    milliseconds dueAt{0};
    std::function<void()> due;
};

template <typename Enum>
QString keyOf(Enum value)
{
    return QString::fromLatin1(QMetaEnum::fromType<Enum>().valueToKey(int(value)));
}

// "name@ms" entries, a run of one name folded into "name@first-last×count".
QStringList folded(const QList<QPair<QString, qint64>> &said)
{
    QStringList out;
    for (int i = 0; i < said.size();) {
        int j = i;
        while (j + 1 < said.size() && said[j + 1].first == said[i].first)
            ++j;
        out << (j == i ? QStringLiteral("%1@%2").arg(said[i].first).arg(said[i].second)
                       : QStringLiteral("%1@%2-%3×%4").arg(said[i].first).arg(said[i].second).arg(said[j].second).arg(j - i + 1));
        i = j + 1;
    }
    return out;
}

// An upgrade lock as a process that is gone left it: its PID is beyond any
// the system hands out.
bool writeStaleLock()
{
    QFile file(vorla::upgradelock::path());
    return file.open(QIODevice::WriteOnly) && file.write("1073741823\nvorla-setting\n\n") > 0;
}

} // namespace

class SessionTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { sim::reset(); }
    void cleanup() { vorla::connection::close(); }

    void lifecycle_data()
    {
        // Events, split at blanks: connect, transfer, done, failed,
        // reportfailed (the window's calls); left, arrived (the watcher);
        // present, absent, deny, allow, failread (the next query fails),
        // failreads (every one from the next on) (the wheel); lock, unlock
        // (another instance's upgrade lock), stale (a lock left by a process
        // that is gone); +N (N ms go by).
        QTest::addColumn<QString>("events");
        QTest::addColumn<QString>("said");
        QTest::addColumn<QString>("state");
        const QString neverBack = "read@0 waiting@0-14750×60 waited@15000 failed:NoDevice@15000";
        const auto row = [](const char *name, const char *events, const QString &said, const char *state) {
            QTest::newRow(name) << QString(events) << said << QString(state);
        };
        row("start-up: read", "connect", "read@0", "Ready");
        row("start-up: no wheel", "absent connect", "failed:NoDevice@0", "Failed");
        row("start-up: a query fails", "failread connect", "failed:CannotRead@0", "Failed");
        row("start-up: not ours to open", "deny connect", "failed:PermissionDenied@0", "Failed");
        row("pulled out, plugged back", "connect absent left left +500 present arrived", "read@0 left@0 read@500",
            "Ready");
        row("a failed report: the wheel gone", "connect absent reportfailed", "read@0 left@0", "Away");
        row("a failed report: the wheel still there", "connect reportfailed", "read@0", "Ready");
        // The access list may lag the node by up to 2 s; one box, even when it
        // comes back refused once more; after it was read and left, a box again.
        row("back, but not ours to open",
            "connect absent left deny present arrived +3000 absent left present arrived +3000 allow arrived "
            "absent left deny present arrived +3000",
            "read@0 left@0 permission@2000 read@6000 left@6000 permission@8000", "PermissionDenied");
        row("back, and ours to open within the 2 s", "connect absent left deny present arrived +1000 allow +250",
            "read@0 left@0 read@1250", "Ready");
        row("gone during a transfer: waited for once it failed",
            "connect transfer absent left failed +1000 present arrived", "read@0 left@0 read@1000", "Ready");
        // The system may tell of a node before it lists it: the notice that came
        // while the transfer had the wheel is not waited for again.
        row("gone and back during a transfer, listed a moment after it failed",
            "connect transfer absent left arrived failed +250 present +250", "read@0 left@0 read@500", "Ready");
        row("after an upload: back at once", "connect transfer done +0", "read@0 waited@0 read@0", "Ready");
        row("a failed transfer, the wheel still there: read afresh", "connect transfer failed +0",
            "read@0 waited@0 read@0", "Ready");
        // Tried every 250 ms: opened at most 250 ms after it is back.
        row("after an upload: back after 2.1 s", "connect transfer absent done left +2100 present arrived +1000",
            "read@0 waiting@0-2000×9 waited@2250 read@2250", "Ready");
        row("after an upload: a failed read, then an answer", "connect transfer done failread +1000",
            "read@0 waiting@0 waited@250 read@250", "Ready");
        row("after an upload: every read fails for 15 s", "connect transfer done failreads +20000", neverBack, "Failed");
        row("after an upload: never back", "connect transfer absent done +20000", neverBack, "Failed");
        // Looked at every 500 ms; a window that had the wheel reads it as one that came back.
        row("another instance upgrades at start-up", "lock connect +1000 unlock +500", "other@0 done@1500 read@1500",
            "Ready");
        row("another instance upgrades, a report refused", "connect lock reportfailed +600 unlock +500",
            "read@0 other@0 done@1000 left@1000 read@1000", "Ready");
        row("another instance upgrades: no transfer here", "connect lock transfer", "read@0 busy@0", "Ready");
        row("a stale lock is no hindrance", "stale connect transfer done +0", "read@0 waited@0 read@0", "Ready");
    }

    void lifecycle()
    {
        QFETCH(QString, events);
        QFETCH(QString, said);
        QFETCH(QString, state);

        auto *clock = new TestClock;
        vorla::DeviceWatcher watcher;
        vorla::WheelSession session(nullptr, std::unique_ptr<vorla::SessionClock>(clock), &watcher);
        QList<QPair<QString, qint64>> heard;
        const auto note = [&](const QString &name) { heard.append({name, qint64(clock->now().count())}); };
        connect(&session, &vorla::WheelSession::settingsRead, [&] { note("read"); });
        connect(&session, &vorla::WheelSession::waitingAfterUpgrade,
                [&](bool waiting) { note(waiting ? "waiting" : "waited"); });
        connect(&session, &vorla::WheelSession::wheelLeft, [&] { note("left"); });
        connect(&session, &vorla::WheelSession::permissionDenied, [&] { note("permission"); });
        connect(&session, &vorla::WheelSession::otherUpgrade, [&](bool waiting) { note(waiting ? "other" : "done"); });
        QLockFile other(vorla::upgradelock::path());
        connect(&session, &vorla::WheelSession::failed, [&](vorla::WheelSession::Failure why) {
            note("failed:" + keyOf(why));
        });

        for (const QString &event : events.split(' ')) {
            const int nextReport = int(sim::received().size()) + 1;
            if (event.startsWith('+'))
                clock->advance(milliseconds(event.mid(1).toInt()));
            else if (event == "connect")
                session.connectWheel();
            else if (event == "transfer" && !session.beginTransfer())
                note("busy");
            else if (event == "transfer")
                continue;
            else if (event == "lock")
                QVERIFY(other.tryLock(0));
            else if (event == "unlock")
                other.unlock();
            else if (event == "stale")
                QVERIFY(writeStaleLock());
            else if (event == "done" || event == "failed")
                session.transferFinished(event == "done");
            else if (event == "reportfailed")
                session.reportFailed();
            else if (event == "left")
                emit watcher.wheelLeft();
            else if (event == "arrived")
                emit watcher.wheelArrived();
            else if (event == "present" || event == "absent")
                sim::setPresent(event == "present");
            else if (event == "deny" || event == "allow")
                sim::setPermissionDenied(event == "deny");
            else if (event == "failread" || event == "failreads")
                sim::failReport(nextReport, event == "failreads");
            else
                QFAIL(qPrintable("unknown event " + event));
        }
        QCOMPARE(folded(heard).join(' '), said);
        QCOMPARE(keyOf(session.state()), state);
        // The handle is held exactly while the session is ready; the upgrade
        // lock is held while a transfer runs, and given back once the wheel
        // was read again or given up.
        QCOMPARE(vorla::connection::isOpen(), session.state() == vorla::WheelSession::State::Ready);
        QCOMPARE(vorla::upgradelock::heldHere(), session.transferRunning());
        QVERIFY(sim::violations().empty());
    }
};

QTEST_MAIN(SessionTest)
#include "tst_session.moc"
