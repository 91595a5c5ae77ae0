#pragma once
// What most window tests share: a fresh simulated wheel, the window started
// on it, the reports it received, and the checks every test ends with.

#include "app/MainWindow.h"
#include "sim/SimWheel.h"
#include "support/ModalAnswerer.h"

#include <QLabel>
#include <QtTest>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
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

// The LED levels and block layout as documented, written out here so that the
// code's own table and packing cannot vouch for themselves. kLevels: the
// screen value of each of the wheel's 16 levels.
constexpr int kLevels[16] = {0, 4, 9, 17, 28, 39, 53, 69, 86, 106, 126, 149, 173, 199, 226, 255};

// The level nearest to an 8-bit channel, the lower one on a tie.
inline int nearestLevel(int channel)
{
    int best = 0;
    for (int level = 1; level < 16; ++level)
        if (std::abs(kLevels[level] - channel) < std::abs(kLevels[best] - channel))
            best = level;
    return best;
}

// Which button shows each LED slot of the wheel; the three-LED buttons
// (pbD13, pbD23, pbD16, pbD26) stand for three slots each.
constexpr const char *kSlotButtons[26] = {
    "pbB1",  "pbB9",  "pbB2",  "pbB10", "pbB3",  "pbB11", "pbB4",  "pbB12", "pbB5",
    "pbB13", "pbB6",  "pbB14", "pbD13", "pbD23", "pbD13", "pbD23", "pbD13", "pbD23",
    "pbD16", "pbD26", "pbD16", "pbD26", "pbD16", "pbD26", "pbD3",  "pbD4",
};

// The first and the last slot a button stands for (one and the same for a
// one-LED button); -1 for a name that is no LED button.
inline int firstSlotOf(const char *button)
{
    for (int k = 0; k < 26; ++k)
        if (qstrcmp(kSlotButtons[k], button) == 0)
            return k;
    return -1;
}
inline int lastSlotOf(const char *button)
{
    for (int k = 25; k >= 0; --k)
        if (qstrcmp(kSlotButtons[k], button) == 0)
            return k;
    return -1;
}

// Channel value v (3 * slot + 0/1/2 for red/green/blue) of a block: the low
// nibble of byte v / 2 for even v, its high nibble for odd v.
inline int channelLevel(const std::uint8_t *block, int v)
{
    return v % 2 ? block[v / 2] >> 4 : block[v / 2] & 0x0F;
}
inline void setChannelLevel(std::uint8_t *block, int v, int level)
{
    block[v / 2] = std::uint8_t(v % 2 ? (block[v / 2] & 0x0F) | level << 4 : (block[v / 2] & 0xF0) | level);
}

// A firmware image of `size` bytes. Its bytes are never zero and differ from
// their neighbours, so that a byte left from an earlier report cannot pass
// for a zero, nor a zero for image data.
inline QByteArray imageBytes(int size)
{
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = char((i * 37 + 11) % 251 + 1);
    return bytes;
}

// `bytes` written to `path` (empty result: it could not be).
inline QString writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size() ? path : QString();
}

// imageBytes(size) written to `path`.
inline QString writeImage(const QString &path, int size)
{
    return writeBytes(path, imageBytes(size));
}

// The content of a file, to compare with what the wheel kept.
inline Bytes fileBytes(const QString &path)
{
    QFile file(path);
    const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    return Bytes(bytes.begin(), bytes.end());
}

// Runs the event loop until the program quits (result 0), as main does after a
// start-up failure, or 5 s pass (99).
inline int runUntilQuit()
{
    QTimer safety;
    safety.setSingleShot(true);
    QObject::connect(&safety, &QTimer::timeout, [] { QCoreApplication::exit(99); });
    safety.start(5000);
    return QCoreApplication::exec();
}

// Everything on the window that sends to the wheel.
constexpr const char *kSendingControls[] = {
    "pbB1", "pbB2", "pbB3", "pbB4", "pbB5", "pbB6", "pbD13", "pbD16", "pbD3", "pbD4", "pbB9",
    "pbB10", "pbB11", "pbB12", "pbB13", "pbB14", "pbD23", "pbD26", "pbSave", "pbSaveP", "hsBite", "pbUpgrade",
};

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

    // start(), for tests that go on only when it worked.
    bool started()
    {
        start();
        return !QTest::currentTestFailed();
    }

    // Whether every control that sends is enabled (or, with false, disabled).
    bool sendingControlsEnabled(bool enabled) const
    {
        return std::all_of(std::begin(kSendingControls), std::end(kSendingControls),
                           [&](const char *name) { return child<QWidget>(name)->isEnabled() == enabled; });
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
