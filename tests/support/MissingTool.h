#pragma once
// A test that needs a tool which scripts/run-tests.sh (or scripts/deps.sh)
// installs. Outside CI a machine without it skips the test and says which
// tool and package; under CI=true those scripts have run, so the tool's
// absence is a fault of the machine's set-up and fails the test.

#include <QtTest>

#include <cstdio>

namespace vorla::test {

inline bool inCi()
{
    return qEnvironmentVariable("CI") == QLatin1String("true");
}

inline QByteArray missingToolText(const char *tool, const char *package)
{
    return QByteArray(tool) + " is not installed (Debian package " + package
           + (inCi() ? "), and CI=true: scripts/run-tests.sh installs it" : "; scripts/run-tests.sh installs it)");
}

// From main(): the status that CTest reports as skipped (77), or a failure.
inline int missingTool(const char *tool, const char *package)
{
    std::fprintf(stderr, "%s: %s\n", inCi() ? "FAIL" : "SKIP", missingToolText(tool, package).constData());
    return inCi() ? 1 : 77;
}

} // namespace vorla::test

// From a test function: QSKIP, or QFAIL under CI=true.
#define VORLA_MISSING_TOOL(tool, package)                                                 \
    do {                                                                                  \
        if (vorla::test::inCi())                                                          \
            QFAIL(vorla::test::missingToolText(tool, package).constData());               \
        QSKIP(vorla::test::missingToolText(tool, package).constData());                   \
    } while (false)
