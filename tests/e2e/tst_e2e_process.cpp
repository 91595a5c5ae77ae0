// The program in a process of its own, on a wheel behind an emulated hidraw
// node: the installed executable, vorla-setting, as users run it, and the
// window run as an unprivileged user who may not open the node.
#include "E2eMain.h"
#include "E2eRecord.h"
#include "WheelBed.h"
#include "sim/SimWheel.h"
#include "support/MissingTool.h"

#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

#include <pwd.h>
#include <unistd.h>

namespace {

// The user the permission case runs the program as, with its group.
bool unprivilegedUser(uid_t &uid, gid_t &gid)
{
    const passwd *user = ::getpwnam("nobody");
    if (!user)
        return false;
    uid = user->pw_uid;
    gid = user->pw_gid;
    return true;
}

} // namespace

class E2eProcessTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<WheelBed> bed;

private slots:
    void init()
    {
        sim::reset();
        sim::setVersion("3.1.4");
        bed = std::make_unique<WheelBed>();
    }

    void cleanup()
    {
        bed.reset();
        for (const std::string &violation : sim::violations())
            QFAIL(violation.c_str());
    }

    // vorla-setting, unchanged, finds the wheel through udev, opens its node
    // and reads it: every query and read byte for byte, then it waits for the
    // user with the wheel open. hidapi lists a node whose descriptor has two
    // top-level collections twice, under one path: one interface, no probe.
    void installedProgramReads_data()
    {
        QTest::addColumn<bool>("joystick");
        QTest::newRow("one collection") << false;
        QTest::newRow("a joystick collection besides") << true;
    }

    void installedProgramReads()
    {
        QFETCH(bool, joystick);
        bed.reset(); // one testbed at a time
        bed = std::make_unique<WheelBed>(WheelBed::Descriptor{int(vorla::kReportSize), joystick});
        sim::setStoredPaddle(33);
        QProcess program;
        program.setProcessChannelMode(QProcess::ForwardedChannels);
        program.start(QStringLiteral(VORLA_SETTING_PATH), QStringList());
        QVERIFY2(program.waitForStarted(), qPrintable(program.errorString()));
        const QStringList expected = e2e::startupRecord(33);
        QTRY_COMPARE_WITH_TIMEOUT(e2e::record().size(), expected.size(), 10000);
        QTest::qWait(100); // nothing more comes
        QCOMPARE(e2e::record(), expected);
        QCOMPARE(sim::openCount(), 1);
        QCOMPARE(program.state(), QProcess::Running);
        program.terminate();
        QVERIFY(program.waitForFinished(5000));
    }

    // A node the user may not open: the program does not get the wheel and
    // ends. With permission, the same user opens and reads it, so that the
    // denied run fails for the node's mode and nothing else.
    void permissionDenied_data()
    {
        QTest::addColumn<bool>("deny");
        QTest::newRow("allowed") << false;
        QTest::newRow("denied") << true;
    }

    void permissionDenied()
    {
        QFETCH(bool, deny);
        uid_t uid;
        gid_t gid;
        if (::geteuid() != 0 || !unprivilegedUser(uid, gid))
            QSKIP("needs to run as root, with a user \"nobody\" to run the program as");
        const QString setpriv = QStandardPaths::findExecutable(QStringLiteral("setpriv"));
        if (setpriv.isEmpty())
            VORLA_MISSING_TOOL("setpriv", "util-linux"); // to run the program as another user
        if (::access(VORLA_E2E_DRIVER_PATH, X_OK) != 0)
            QSKIP("the build directory cannot be reached by \"nobody\"");

        bed->denyPermission(deny);
        QProcess program;
        program.setProcessChannelMode(QProcess::SeparateChannels);
        program.start(setpriv, {QStringLiteral("--reuid=%1").arg(uid), QStringLiteral("--regid=%1").arg(gid),
                                QStringLiteral("--clear-groups"), QStringLiteral("--"),
                                QStringLiteral(VORLA_E2E_DRIVER_PATH), QStringLiteral("--quit-after-start")});
        QVERIFY2(program.waitForStarted(), qPrintable(program.errorString()));
        const bool ended = program.waitForFinished(15000);
        const QString out = QString::fromLocal8Bit(program.readAllStandardOutput());
        const QString err = QString::fromLocal8Bit(program.readAllStandardError());
        if (!ended)
            program.kill();
        QVERIFY2(ended, qPrintable(out + err));
        QVERIFY2(program.exitStatus() == QProcess::NormalExit && program.exitCode() == 0, qPrintable(out + err));
        if (!deny) {
            QCOMPARE(out.trimmed(), QStringLiteral("version: Firmware Version:3.1.4"));
            QCOMPARE(sim::openCount(), 1);
            return;
        }
        // The program told the user what to do, with one critical box, and
        // never reached the wheel.
        const QStringList boxes = out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(boxes, QStringList{QStringLiteral(
                            "box: critical Error/The wheel is connected, but this user may not open it. Install the "
                            "udev rule 60-vorla-z-arc.rules (see README) and plug the wheel in again.")});
        QCOMPARE(sim::openCount(), 0);
        QVERIFY(sim::received().empty());
    }
};

VORLA_E2E_MAIN(QCoreApplication, E2eProcessTest)

#include "tst_e2e_process.moc"
