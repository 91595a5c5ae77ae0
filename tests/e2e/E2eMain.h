#pragma once
// main() of an end-to-end test: runs again under umockdev's preload library
// when needed, and where umockdev still cannot stand a wheel it says why and
// ends with kSkipped, which CTest reports as a skipped test (never a pass).

#include "WheelBed.h"

#include <QTemporaryDir>
#include <QtTest>

#include <cstdio>

constexpr int kSkipped = 77;

// The upgrade lock (device/upgradelock.h) of this test and of the programs it
// starts lies in a runtime directory of their own: tests run side by side,
// and one's upload must not hold up another's wheel.
inline void privateRuntimeDirectory()
{
    static QTemporaryDir directory;
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(directory.path()));
}

#define VORLA_E2E_MAIN(Application, TestObject)                                 \
    int main(int argc, char *argv[])                                            \
    {                                                                           \
        WheelBed::reexecWithPreload(argv);                                      \
        Application app(argc, argv);                                            \
        privateRuntimeDirectory();                                              \
        const QString missing = WheelBed::preloadMissing();                     \
        if (!missing.isEmpty()) {                                               \
            std::fprintf(stderr, "SKIP: %s\n", qPrintable(missing));            \
            return kSkipped;                                                    \
        }                                                                       \
        TestObject test;                                                        \
        return QTest::qExec(&test, argc, argv);                                 \
    }
