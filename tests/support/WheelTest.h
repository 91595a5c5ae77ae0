#pragma once
// What most window tests share: a fresh simulated wheel, the window started
// on it, the reports it received, and the checks every test ends with.

#include "app/MainWindow.h"
#include "sim/SimWheel.h"
#include "support/ModalAnswerer.h"

#include <QLabel>
#include <QtTest>

#include <cstdint>
#include <memory>
#include <vector>

namespace wheeltest {

using Bytes = std::vector<std::uint8_t>;

// Bytes as "02 0a 64 00 ...", so that a failed comparison shows them.
inline QString hex(const std::uint8_t *data, std::size_t size)
{
    return QString::fromLatin1(QByteArray(reinterpret_cast<const char *>(data), int(size)).toHex(' '));
}
template <typename Container>
QString hex(const Container &bytes)
{
    return hex(bytes.data(), bytes.size());
}
inline QStringList hex(const std::vector<Bytes> &reports)
{
    QStringList list;
    for (const Bytes &report : reports)
        list << hex(report);
    return list;
}

// The feature reports with command `command` (byte 1) the wheel received.
inline std::vector<Bytes> featureReports(std::uint8_t command)
{
    std::vector<Bytes> reports;
    for (const Bytes &report : sim::received(sim::ReportKind::FeatureSend))
        if (report.size() > 1 && report[1] == command)
            reports.push_back(report);
    return reports;
}

// A window on the simulated wheel, with its modal boxes answered.
struct Session {
    ModalAnswerer answerer;
    std::unique_ptr<MainWindow> window;

    // Builds the window and waits until its start-up read is done.
    void start()
    {
        window = std::make_unique<MainWindow>();
        QTRY_VERIFY(!child<QLabel>("lbVersion")->text().isEmpty());
    }

    template <typename Widget>
    Widget *child(const char *name) const
    {
        return window->findChild<Widget *>(QLatin1String(name));
    }
};

// For cleanup(): the wheel saw no protocol violation and no window is left open.
inline void verifyCleanEnd()
{
    for (const std::string &violation : sim::violations())
        QFAIL(violation.c_str());
    for (QWidget *widget : QApplication::topLevelWidgets())
        QVERIFY2(!widget->isVisible(), widget->metaObject()->className());
}

} // namespace wheeltest
