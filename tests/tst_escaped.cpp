// The escaping of text from outside before a message shows it: what is not
// printable becomes \uXXXX, the rest stays, and a long text is cut without
// splitting an escape.
#include "device/escaped.h"

#include <QtTest>

class EscapedTest : public QObject
{
    Q_OBJECT

private slots:
    void escaped_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("maxLength");
        QTest::addColumn<QString>("shown");
        QTest::newRow("printable: as it is") << QStringLiteral("C:\\Users\\\u00e9 \U0001F600 \"x\"") << -1
                                             << QStringLiteral("C:\\Users\\\u00e9 \U0001F600 \"x\"");
        QTest::newRow("terminal escape sequence") << QStringLiteral("\x1b]0;owned\x07\x1b[2J") << -1
                                                  << QStringLiteral("\\u001B]0;owned\\u0007\\u001B[2J");
        QTest::newRow("NUL, tab, newline, DEL, C1") << QString::fromUtf16(u"\0\t\n\x7f\x9b", 5) << -1
                                                    << QStringLiteral("\\u0000\\u0009\\u000A\\u007F\\u009B");
        QTest::newRow("line separator, bidi override") << QStringLiteral("a\u2028b\u202ec") << -1
                                                       << QStringLiteral("a\\u2028b\\u202Ec");
        QTest::newRow("lone surrogates") << QString::fromUtf16(u"\xd800x\xdc00", 3) << -1
                                         << QStringLiteral("\\uD800x\\uDC00");
        QTest::newRow("a format character beyond U+FFFF") << QStringLiteral("\U000E0001") << -1
                                                          << QStringLiteral("\\U000E0001");
        QTest::newRow("cut at the limit") << QString(50, QLatin1Char('A')) << 40
                                          << QString(40, QLatin1Char('A')) + QStringLiteral("...");
        QTest::newRow("exactly the limit: not cut") << QString(40, QLatin1Char('A')) << 40 << QString(40, QLatin1Char('A'));
        QTest::newRow("an escape that does not fit: left out whole") << QStringLiteral("AAA\x1b") << 8
                                                                      << QStringLiteral("AAA...");
    }

    // Escaping what is escaped already changes nothing.
    void escaped()
    {
        QFETCH(QString, text);
        QFETCH(int, maxLength);
        QFETCH(QString, shown);
        QCOMPARE(vorla::escaped(text, maxLength), shown);
        QCOMPARE(vorla::escaped(shown), shown);
    }
};

QTEST_APPLESS_MAIN(EscapedTest)
#include "tst_escaped.moc"
