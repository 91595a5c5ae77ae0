// The LED block byte by byte: the nearest-level reduction of 8-bit channels,
// packing and unpacking of the 26 slot colours. No window, no wheel; the
// chunk reports are checked byte for byte through the LED page.
#include "device/leds.h"
#include "support/WheelTest.h"

#include <QtTest>

using namespace wheeltest;
using vorla::LedBlock;
using vorla::LedColors;
using vorla::Rgb;

namespace {

std::uint8_t &channel(LedColors &colours, int v)
{
    Rgb &rgb = colours[std::size_t(v / 3)];
    return v % 3 == 0 ? rgb.red : v % 3 == 1 ? rgb.green : rgb.blue;
}

} // namespace

class LedLayoutTest : public QObject
{
    Q_OBJECT

private slots:
    // The table as documented; rows worked by hand at the ties between
    // neighbouring levels (a tie goes down) and just past them; then every
    // channel value against the nearest of the sixteen levels.
    void reduceChannel()
    {
        for (int level = 0; level < 16; ++level)
            QCOMPARE(int(vorla::kLevelTable[std::size_t(level)]), kLevels[level]);
        const int worked[][2] = {{2, 0},    {3, 1},    {13, 2},   {14, 3},   {116, 9},  {117, 10},
                                 {128, 10}, {137, 10}, {138, 11}, {150, 11}, {240, 14}, {241, 15}};
        for (const auto &row : worked)
            QCOMPARE(int(vorla::levelForChannel(std::uint8_t(row[0]))), row[1]);
        for (int c = 0; c < 256; ++c)
            QVERIFY2(vorla::levelForChannel(std::uint8_t(c)) == nearestLevel(c), qPrintable(QString::number(c)));
    }

    // Each of the 78 channels lands in its own nibble and nowhere else, and
    // is read back from there alone.
    void eachChannelHasItsNibble()
    {
        for (int v = 0; v < 78; ++v) {
            LedColors colours{};
            channel(colours, v) = std::uint8_t(kLevels[13]);
            const LedBlock block = vorla::packLedBlock(colours, false);
            for (int w = 0; w < 78; ++w)
                QVERIFY2(channelLevel(block.data(), w) == (w == v ? 13 : 0),
                         qPrintable(QStringLiteral("channel %1 set, channel %2 reads %3").arg(v).arg(w).arg(channelLevel(block.data(), w))));
            QVERIFY(vorla::unpackLedBlock(block.data()) == colours);
        }
    }

    // Worked by hand from the layout. Slot 0 (255, 128, 0) is levels 15, 10, 0:
    // byte 0 = 0xAF, low nibble of byte 1 = 0. Slot 25 (0, 4, 69) is levels
    // 0, 1, 7: high nibble of byte 37 = 0, byte 38 = 0x71.
    void workedExamples()
    {
        LedColors colours{};
        colours[0] = Rgb{255, 128, 0};
        colours[25] = Rgb{0, 4, 69};
        Bytes expected(54, 0);
        expected[0] = 0xAF;
        expected[38] = 0x71;
        expected[53] = 0xFF;
        QCOMPARE(hex(vorla::packLedBlock(colours, false)), hex(expected));

        // Read back: byte 0 = 0xF0 is slot 0 red 0, green 255; 0x3A in byte 1
        // is slot 0 blue 126 and slot 1 red 17; bytes from 39 on are ignored.
        std::uint8_t read[vorla::kLedReadBufferSize];
        std::fill(std::begin(read), std::end(read), 0xA5);
        std::fill_n(read, 39, 0);
        read[0] = 0xF0;
        read[1] = 0x3A;
        read[38] = 0x71;
        LedColors shown{};
        shown[0] = Rgb{0, 255, 126};
        shown[1] = Rgb{17, 0, 0};
        shown[25] = Rgb{0, 4, 69};
        QVERIFY(vorla::unpackLedBlock(read) == shown);
    }

    // Blocks with every level in every channel position, previewed and
    // stored: each channel reads as its level's screen value, and written
    // again (and again) the block comes back byte for byte, bytes 39-52 zero
    // and byte 53 0x5E or 0xFF.
    void roundTrip()
    {
        for (int shift = 0; shift < 16; ++shift) {
            LedBlock block{};
            for (int v = 0; v < 78; ++v)
                setChannelLevel(block.data(), v, (5 * v + shift) % 16);
            const bool store = shift % 2;
            block[53] = store ? 0x5E : 0xFF;
            LedColors colours = vorla::unpackLedBlock(block.data());
            for (int v = 0; v < 78; ++v)
                QCOMPARE(int(channel(colours, v)), kLevels[(5 * v + shift) % 16]);
            for (int round = 0; round < 3; ++round) {
                const LedBlock again = vorla::packLedBlock(colours, store);
                QCOMPARE(hex(again), hex(block));
                colours = vorla::unpackLedBlock(again.data());
            }
        }
    }
};

QTEST_APPLESS_MAIN(LedLayoutTest)
#include "tst_leds.moc"
