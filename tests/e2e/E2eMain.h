#pragma once
// main() of an end-to-end test: runs again under umockdev's preload library
// when needed, and where umockdev still cannot stand a wheel it says why and
// ends with kSkipped, which CTest reports as a skipped test (never a pass).

#include "WheelBed.h"

#include <QtTest>

#include <cstdio>

constexpr int kSkipped = 77;

#define VORLA_E2E_MAIN(Application, TestObject)                                 \
    int main(int argc, char *argv[])                                            \
    {                                                                           \
        WheelBed::reexecWithPreload(argv);                                      \
        Application app(argc, argv);                                            \
        const QString missing = WheelBed::preloadMissing();                     \
        if (!missing.isEmpty()) {                                               \
            std::fprintf(stderr, "SKIP: %s\n", qPrintable(missing));            \
            return kSkipped;                                                    \
        }                                                                       \
        TestObject test;                                                        \
        return QTest::qExec(&test, argc, argv);                                 \
    }
