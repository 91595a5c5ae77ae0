// The LED block and the paddle report byte by byte: packing and unpacking of
// the 26 slot colours, the nearest-level reduction of 8-bit channels, the three
// LED chunk reports and the paddle setting report. No window, no wheel.
#include "device/leds.h"
#include "device/paddle.h"

#include <QRandomGenerator>
#include <QtTest>

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

using vorla::LedBlock;
using vorla::LedColors;
using vorla::Rgb;

// The wheel's 16 levels as seen on screen, written out here on their own so
// that a damaged table in the code cannot vouch for itself.
const int kLevels[16] = {0, 4, 9, 17, 28, 39, 53, 69, 86, 106, 126, 149, 173, 199, 226, 255};

// The level whose screen value is nearest to `channel`, the lower one on a tie,
// found by trying all sixteen.
int nearestLevel(int channel)
{
    int best = 0;
    for (int level = 0; level < 16; ++level)
        if (std::abs(kLevels[level] - channel) < std::abs(kLevels[best] - channel))
            best = level;
    return best;
}

// Channel value v (v = 3 * slot + 0/1/2 for red/green/blue) of a block.
int nibble(const std::uint8_t *block, int v)
{
    const std::uint8_t byte = block[v / 2];
    return v % 2 ? byte >> 4 : byte & 0x0F;
}

// A block whose 78 channel values are `levels`, bytes 39-52 zero, byte 53 `commit`.
LedBlock blockOfLevels(const std::vector<int> &levels, std::uint8_t commit)
{
    LedBlock block{};
    for (int v = 0; v < 78; ++v)
        block[v / 2] |= std::uint8_t(v % 2 ? levels[v] << 4 : levels[v]);
    block[53] = commit;
    return block;
}

QByteArray bytes(const std::uint8_t *data, int size)
{
    return QByteArray(reinterpret_cast<const char *>(data), size);
}

QByteArray bytes(const vorla::Report &report)
{
    return bytes(report.data(), int(report.size()));
}

QByteArray hex(const QByteArray &data)
{
    return data.toHex(' ');
}

} // namespace

class LedLayoutTest : public QObject
{
    Q_OBJECT

private slots:
    void levelTableAsDocumented()
    {
        QCOMPARE(int(vorla::kLevelTable.size()), 16);
        for (int level = 0; level < 16; ++level)
            QCOMPARE(int(vorla::kLevelTable[level]), kLevels[level]);
    }

    // Nearest level, with the ties and the edges between each pair of
    // neighbouring levels spelled out from the table.
    void reduceChannel_data()
    {
        QTest::addColumn<int>("channel");
        QTest::addColumn<int>("level");
        for (int level = 0; level < 16; ++level)
            QTest::addRow("exactly level %d (%d)", level, kLevels[level]) << kLevels[level] << level;
        for (int level = 0; level < 15; ++level) {
            const int low = kLevels[level], high = kLevels[level + 1];
            if ((low + high) % 2 == 0) {
                const int middle = (low + high) / 2;
                QTest::addRow("tie %d between %d and %d goes down", middle, low, high) << middle << level;
                QTest::addRow("%d just above the tie between %d and %d", middle + 1, low, high) << middle + 1 << level + 1;
            } else {
                const int below = (low + high) / 2;
                QTest::addRow("%d nearer to %d than to %d", below, low, high) << below << level;
                QTest::addRow("%d nearer to %d than to %d", below + 1, high, low) << below + 1 << level + 1;
            }
        }
        QTest::newRow("128 is level 10 (126), not its high nibble 8") << 128 << 10;
        QTest::newRow("150 is level 11 (149), not its high nibble 9") << 150 << 11;
        QTest::newRow("15 is level 3 (17), not level 0") << 15 << 3;
    }

    void reduceChannel()
    {
        QFETCH(int, channel);
        QFETCH(int, level);
        QCOMPARE(int(vorla::levelForChannel(std::uint8_t(channel))), level);
    }

    void reduceEveryChannelValue()
    {
        for (int channel = 0; channel < 256; ++channel)
            QVERIFY2(int(vorla::levelForChannel(std::uint8_t(channel))) == nearestLevel(channel),
                     qPrintable(QStringLiteral("channel %1").arg(channel)));
    }

    // Each of the 78 channels lands in its own nibble and nowhere else.
    void packPlacesEachChannel()
    {
        for (int v = 0; v < 78; ++v) {
            LedColors colours{};
            const int slot = v / 3;
            const std::uint8_t value = std::uint8_t(kLevels[13]); // level 13
            if (v % 3 == 0)
                colours[slot].red = value;
            else if (v % 3 == 1)
                colours[slot].green = value;
            else
                colours[slot].blue = value;
            const LedBlock block = vorla::packLedBlock(colours, false);
            for (int w = 0; w < 78; ++w)
                QVERIFY2(nibble(block.data(), w) == (w == v ? 13 : 0),
                         qPrintable(QStringLiteral("channel %1 set, channel %2 reads %3").arg(v).arg(w).arg(nibble(block.data(), w))));
        }
    }

    void packExample()
    {
        LedColors colours{};
        colours[0] = Rgb{255, 128, 0};
        const LedBlock block = vorla::packLedBlock(colours, false);
        QCOMPARE(int(block[0]), 0xAF);
        QCOMPARE(int(block[1] & 0x0F), 0);
    }

    void packTrailerBytes_data()
    {
        QTest::addColumn<bool>("store");
        QTest::addColumn<int>("commit");
        QTest::newRow("preview") << false << 0xFF;
        QTest::newRow("store") << true << 0x5E;
    }

    // Bytes 39-52 stay zero even when every channel is at full brightness, and
    // byte 53 carries the commit marker.
    void packTrailerBytes()
    {
        QFETCH(bool, store);
        QFETCH(int, commit);
        LedColors colours;
        colours.fill(Rgb{255, 255, 255});
        const LedBlock block = vorla::packLedBlock(colours, store);
        QCOMPARE(int(block.size()), 54);
        for (int i = 0; i < 39; ++i)
            QCOMPARE(int(block[i]), 0xFF);
        for (int i = 39; i < 53; ++i)
            QVERIFY2(block[i] == 0, qPrintable(QStringLiteral("byte %1").arg(i)));
        QCOMPARE(int(block[53]), commit);
    }

    void unpack_data()
    {
        QTest::addColumn<int>("byteIndex");
        QTest::addColumn<int>("byteValue");
        QTest::addColumn<int>("slot");
        QTest::addColumn<int>("red");
        QTest::addColumn<int>("green");
        QTest::addColumn<int>("blue");
        QTest::newRow("byte 0 = 0xF0: slot 0 red 0, green 255") << 0 << 0xF0 << 0 << 0 << 255 << 0;
        QTest::newRow("byte 0 = 0x0F: slot 0 red 255, green 0") << 0 << 0x0F << 0 << 255 << 0 << 0;
        QTest::newRow("byte 1 = 0x3A: slot 0 blue 126, slot 1 red 17") << 1 << 0x3A << 0 << 0 << 0 << 126;
        QTest::newRow("byte 1 = 0x3A: slot 1 red 17") << 1 << 0x3A << 1 << 17 << 0 << 0;
        QTest::newRow("byte 38 = 0x71: slot 25 green 4, blue 69") << 38 << 0x71 << 25 << 0 << 4 << 69;
        QTest::newRow("byte 37 = 0xC5: slot 24 blue 39, slot 25 red 173") << 37 << 0xC5 << 25 << 173 << 0 << 0;
    }

    void unpack()
    {
        QFETCH(int, byteIndex);
        QFETCH(int, byteValue);
        QFETCH(int, slot);
        QFETCH(int, red);
        QFETCH(int, green);
        QFETCH(int, blue);
        std::uint8_t block[vorla::kLedReadBufferSize] = {};
        block[byteIndex] = std::uint8_t(byteValue);
        const LedColors colours = vorla::unpackLedBlock(block);
        QCOMPARE(int(colours[slot].red), red);
        QCOMPARE(int(colours[slot].green), green);
        QCOMPARE(int(colours[slot].blue), blue);
        for (int other = 0; other < 26; ++other)
            if (other != slot && other != byteIndex * 2 / 3 && other != (byteIndex * 2 + 1) / 3)
                QVERIFY2(colours[other] == Rgb{}, qPrintable(QStringLiteral("slot %1").arg(other)));
    }

    void unpackEveryNibble()
    {
        for (int level = 0; level < 16; ++level) {
            std::vector<int> levels(78, 0);
            for (int v = 0; v < 78; ++v)
                levels[v] = (v + level) % 16;
            const LedBlock block = blockOfLevels(levels, 0x5E);
            const LedColors colours = vorla::unpackLedBlock(block.data());
            for (int slot = 0; slot < 26; ++slot) {
                QCOMPARE(int(colours[slot].red), kLevels[levels[3 * slot]]);
                QCOMPARE(int(colours[slot].green), kLevels[levels[3 * slot + 1]]);
                QCOMPARE(int(colours[slot].blue), kLevels[levels[3 * slot + 2]]);
            }
        }
    }

    // What follows the 39 colour bytes (the zeros, the commit byte, the rest
    // of the 72-byte read buffer) does not change a colour.
    void unpackIgnoresTrailer()
    {
        std::uint8_t clean[vorla::kLedReadBufferSize] = {};
        std::uint8_t noisy[vorla::kLedReadBufferSize];
        std::fill(std::begin(noisy), std::end(noisy), 0xA5);
        for (int i = 0; i < 39; ++i)
            clean[i] = noisy[i] = std::uint8_t(i * 7);
        QVERIFY(vorla::unpackLedBlock(clean) == vorla::unpackLedBlock(noisy));
    }

    // Every level survives a trip to the screen and back.
    void roundTripEveryLevel()
    {
        for (int level = 0; level < 16; ++level) {
            LedColors colours;
            const std::uint8_t value = std::uint8_t(kLevels[level]);
            colours.fill(Rgb{value, value, value});
            const LedBlock block = vorla::packLedBlock(colours, true);
            for (int v = 0; v < 78; ++v)
                QVERIFY2(nibble(block.data(), v) == level, qPrintable(QStringLiteral("level %1, channel %2").arg(level).arg(v)));
            QVERIFY(vorla::unpackLedBlock(block.data()) == colours);
        }
    }

    // Any block the wheel can hold is written back unchanged after it was
    // shown, and showing and saving again changes nothing more.
    void roundTripAnyBlock_data()
    {
        QTest::addColumn<quint32>("seed");
        QTest::addColumn<bool>("store");
        for (quint32 seed = 1; seed <= 6; ++seed)
            QTest::addRow("random block %u, %s", seed, seed % 2 ? "stored" : "previewed") << seed << bool(seed % 2);
    }

    void roundTripAnyBlock()
    {
        QFETCH(quint32, seed);
        QFETCH(bool, store);
        QRandomGenerator random(seed);
        for (int round = 0; round < 200; ++round) {
            std::vector<int> levels(78);
            for (int &level : levels)
                level = int(random.bounded(16));
            const LedBlock block = blockOfLevels(levels, store ? 0x5E : 0xFF);
            LedBlock again = vorla::packLedBlock(vorla::unpackLedBlock(block.data()), store);
            QCOMPARE(hex(bytes(again.data(), 54)), hex(bytes(block.data(), 54)));
            again = vorla::packLedBlock(vorla::unpackLedBlock(again.data()), store);
            QCOMPARE(hex(bytes(again.data(), 54)), hex(bytes(block.data(), 54)));
        }
    }

    // A colour picked on screen is reduced once; after that it stays put.
    void pickedColourSettles()
    {
        for (int channel = 0; channel < 256; ++channel) {
            LedColors colours;
            const std::uint8_t c = std::uint8_t(channel);
            colours.fill(Rgb{c, std::uint8_t(255 - channel), std::uint8_t(channel / 2)});
            const LedBlock first = vorla::packLedBlock(colours, true);
            const LedColors shown = vorla::unpackLedBlock(first.data());
            QCOMPARE(int(shown[7].red), kLevels[nearestLevel(channel)]);
            QCOMPARE(int(shown[7].green), kLevels[nearestLevel(255 - channel)]);
            QCOMPARE(int(shown[7].blue), kLevels[nearestLevel(channel / 2)]);
            const LedBlock second = vorla::packLedBlock(shown, true);
            QVERIFY2(first == second, qPrintable(QStringLiteral("channel %1").arg(channel)));
        }
    }

    void chunkReport_data()
    {
        QTest::addColumn<int>("chunk");
        QTest::newRow("chunk 0: block bytes 0-17") << 0;
        QTest::newRow("chunk 1: block bytes 18-35") << 1;
        QTest::newRow("chunk 2: block bytes 36-53") << 2;
    }

    void chunkReport()
    {
        QFETCH(int, chunk);
        LedBlock block;
        for (int i = 0; i < 54; ++i)
            block[i] = std::uint8_t(0x80 + i);
        const vorla::Report report = vorla::ledChunkReport(block, std::size_t(chunk));
        QCOMPARE(int(report.size()), 20);
        QCOMPARE(int(report[0]), 0x03);
        QCOMPARE(int(report[1]), chunk);
        for (int i = 0; i < 18; ++i)
            QCOMPARE(int(report[2 + i]), 0x80 + 18 * chunk + i);
    }

    // The commit marker reaches the wheel as byte 19 of the last chunk.
    void commitByteInLastChunk_data()
    {
        QTest::addColumn<bool>("store");
        QTest::addColumn<int>("commit");
        QTest::newRow("preview") << false << 0xFF;
        QTest::newRow("store") << true << 0x5E;
    }

    void commitByteInLastChunk()
    {
        QFETCH(bool, store);
        QFETCH(int, commit);
        LedColors colours;
        colours.fill(Rgb{255, 255, 255});
        const LedBlock block = vorla::packLedBlock(colours, store);
        const vorla::Report last = vorla::ledChunkReport(block, 2);
        QCOMPARE(int(last[19]), commit);
        for (int i = 5; i < 19; ++i) // block bytes 39-52
            QVERIFY2(last[i] == 0, qPrintable(QStringLiteral("report byte %1").arg(i)));
        QCOMPARE(int(last[4]), 0xFF); // block byte 38, the last colour byte
        QCOMPARE(int(vorla::ledChunkReport(block, 0)[19]), 0xFF);
        QCOMPARE(int(vorla::ledChunkReport(block, 1)[19]), 0xFF);
    }

    void paddleReport_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<bool>("store");
        QTest::addColumn<QByteArray>("expected");
        const QByteArray zeros(16, '\0');
        QTest::newRow("preview of 100") << 100 << false << QByteArray::fromHex("020a6400") + zeros;
        QTest::newRow("preview of 0") << 0 << false << QByteArray::fromHex("020a0000") + zeros;
        QTest::newRow("store of combined off") << 255 << true << QByteArray::fromHex("020affef") + zeros;
        QTest::newRow("store of 50") << 50 << true << QByteArray::fromHex("020a32ef") + zeros;
    }

    void paddleReport()
    {
        QFETCH(int, value);
        QFETCH(bool, store);
        QFETCH(QByteArray, expected);
        QCOMPARE(hex(bytes(vorla::paddleReport(std::uint8_t(value), store))), hex(expected));
    }

    void paddleCombined_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<bool>("combined");
        QTest::newRow("0: on") << 0 << true;
        QTest::newRow("50: on") << 50 << true;
        QTest::newRow("100: on") << 100 << true;
        QTest::newRow("101: off") << 101 << false;
        QTest::newRow("200: off") << 200 << false;
        QTest::newRow("255: off") << 255 << false;
    }

    void paddleCombined()
    {
        QFETCH(int, value);
        QFETCH(bool, combined);
        QCOMPARE(vorla::paddleCombined(std::uint8_t(value)), combined);
    }
};

QTEST_APPLESS_MAIN(LedLayoutTest)
#include "tst_leds.moc"
