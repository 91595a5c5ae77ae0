// The Windows device watcher, through its window procedure as the system
// calls it: an arrival or removal of one of the wheel's HID interfaces is
// told, any other device's is not.
#include "device/watch/WinWatcher.h"

#include <QSignalSpy>
#include <QtTest>

#include <windows.h>
// After windows.h: it needs its types.
#include <dbt.h>

#include <memory>
#include <vector>

class WinWatcherTest : public QObject
{
    Q_OBJECT

private slots:
    void tellsTheWheelsInterfaces_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("arrived");
        QTest::addColumn<int>("arrivals");
        QTest::addColumn<int>("removals");
        const QString wheel = QStringLiteral("\\\\?\\HID#VID_C872&PID_2007&Col01#7&1a2b3c4d&0&0000#"
                                             "{4d1e55b2-f16f-11cf-88cb-001111000030}");
        QTest::newRow("wheel arrives") << wheel << true << 1 << 0;
        QTest::newRow("wheel removed") << wheel << false << 0 << 1;
        QTest::newRow("lower-case ids") << wheel.toLower() << true << 1 << 0;
        QTest::newRow("another device") << QStringLiteral("\\\\?\\HID#VID_046D&PID_C077#7&0&0000#{x}") << true << 0 << 0;
        QTest::newRow("same vendor, other product")
            << QStringLiteral("\\\\?\\HID#VID_C872&PID_2008#7&0&0000#{x}") << false << 0 << 0;
    }

    void tellsTheWheelsInterfaces()
    {
        QFETCH(QString, path);
        QFETCH(bool, arrived);
        QFETCH(int, arrivals);
        QFETCH(int, removals);

        std::unique_ptr<vorla::WinWatcher> watcher(vorla::WinWatcher::create(nullptr));
        QVERIFY2(watcher, "RegisterDeviceNotification refused");
        const HWND window = FindWindowExW(HWND_MESSAGE, nullptr, L"VorlaSettingDeviceWatcher", nullptr);
        QVERIFY(window);
        QSignalSpy arrivedSpy(watcher.get(), &vorla::DeviceWatcher::wheelArrived);
        QSignalSpy leftSpy(watcher.get(), &vorla::DeviceWatcher::wheelLeft);

        // DEV_BROADCAST_DEVICEINTERFACE_W with the name after its header.
        const std::wstring name = path.toStdWString();
        std::vector<char> message(sizeof(DEV_BROADCAST_DEVICEINTERFACE_W) + name.size() * sizeof(wchar_t), 0);
        auto *broadcast = reinterpret_cast<DEV_BROADCAST_DEVICEINTERFACE_W *>(message.data());
        broadcast->dbcc_size = DWORD(message.size());
        broadcast->dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
        std::copy(name.begin(), name.end(), broadcast->dbcc_name);
        SendMessageW(window, WM_DEVICECHANGE, arrived ? DBT_DEVICEARRIVAL : DBT_DEVICEREMOVECOMPLETE,
                     reinterpret_cast<LPARAM>(broadcast));

        QCOMPARE(arrivedSpy.count(), arrivals);
        QCOMPARE(leftSpy.count(), removals);
    }
};

QTEST_GUILESS_MAIN(WinWatcherTest)
#include "tst_winwatcher.moc"
