#pragma once
// What the bed's wheel received, written out for comparisons: one line a
// report, "set" (feature report sent), "get" (feature report read, its bytes
// as handed in) or "out" (output report), then its bytes in hex; "!" before
// a report the wheel refused.

#include "support/WheelTest.h"

#include <QStringList>

namespace e2e {

using wheeltest::Bytes;
using wheeltest::hex;

// Everything received since the last sim::reset() or sim::clearReceived().
inline QStringList record()
{
    QStringList lines;
    for (const sim::ReceivedReport &r : sim::received()) {
        const char *kind = r.kind == sim::ReportKind::FeatureSend ? "set" : r.kind == sim::ReportKind::FeatureGet ? "get" : "out";
        lines << QStringLiteral("%1%2 %3").arg(r.accepted ? "" : "!", kind, hex(r.bytes));
    }
    return lines;
}

// A report of `size` bytes that starts with `head`, zeros after it.
inline QString report(std::initializer_list<int> head, int size = 20)
{
    Bytes bytes(std::size_t(size), 0);
    std::copy(head.begin(), head.end(), bytes.begin());
    return hex(bytes);
}

// The start-up read: three LED chunk queries read with 21 bytes, the paddle
// query, the version query; then the slider's preview when the value read
// moves it (-1: none).
inline QStringList startupRecord(int paddle)
{
    QStringList lines;
    for (int chunk = 0; chunk < 3; ++chunk)
        lines << "set " + report({0x02, 0x0B, chunk}) << "get " + report({0x02}, 21);
    lines << "set " + report({0x02, 0x0B, 10}) << "get " + report({0x02});
    lines << "set " + report({0x02, 0x0B, 9}) << "get " + report({0x02});
    if (paddle >= 0)
        lines << "set " + report({0x02, 0x0A, paddle});
    return lines;
}

// The three LED reports of a block.
inline QStringList ledRecord(const vorla::LedBlock &block)
{
    QStringList lines;
    for (int chunk = 0; chunk < 3; ++chunk) {
        Bytes bytes{0x03, std::uint8_t(chunk)};
        bytes.insert(bytes.end(), block.begin() + 18 * chunk, block.begin() + 18 * chunk + 18);
        lines << "out " + hex(bytes);
    }
    return lines;
}

} // namespace e2e
