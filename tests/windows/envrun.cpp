// Wine leaves the Unix environment's QT_* variables out of a Windows
// program's environment, and the tests steer Qt with them (the platform, its
// fonts, where test output goes). wine-run.sh hands each over as
// VORLA_WINE_QT_*; this puts them back under their own names, then runs the
// program with the rest of its command line, untouched, and returns its exit
// status.
//   envrun PROGRAM [ARGUMENTS...]

#include "app/console/CommandTail.h"

#include <windows.h>

#include <cwchar>
#include <string>

int wmain()
{
    const wchar_t kPrefix[] = L"VORLA_WINE_";
    const std::size_t prefixLength = std::wcslen(kPrefix);
    if (wchar_t *environment = GetEnvironmentStringsW()) {
        for (const wchar_t *entry = environment; *entry; entry += std::wcslen(entry) + 1) {
            const std::wstring variable(entry);
            const std::size_t equals = variable.find(L'=');
            if (variable.compare(0, prefixLength, kPrefix) == 0 && equals != std::wstring::npos)
                SetEnvironmentVariableW(variable.substr(prefixLength, equals - prefixLength).c_str(),
                                        variable.substr(equals + 1).c_str());
        }
        FreeEnvironmentStringsW(environment);
    }

    // The program is the first word of what follows our own name.
    const wchar_t *tail = vorla::argumentsOf(GetCommandLineW());
    while (*tail == L' ' || *tail == L'\t')
        ++tail;
    std::wstring commandLine(tail);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                        &process)) {
        std::fwprintf(stderr, L"envrun: cannot start %ls (error %lu)\n", commandLine.c_str(), GetLastError());
        return 127;
    }
    CloseHandle(process.hThread);
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD status = 1;
    GetExitCodeProcess(process.hProcess, &status);
    CloseHandle(process.hProcess);
    return static_cast<int>(status);
}
