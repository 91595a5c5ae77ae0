// The console face of a GUI program on Windows. vorla-setting.exe is a GUI
// program: started from cmd or PowerShell, the shell neither waits for it nor
// sees its output or exit status. This launcher, installed beside it as
// vorla-setting.com (cmd and PowerShell take .com before .exe when the name is
// typed without extension), starts the .exe of its own name with the same
// arguments and standard handles, waits for it and returns its exit status.
// A GUI-subsystem child never gets a console window of its own, and one
// started from Explorer never passes through here, so no console flashes.
// The command line joins this console itself (app/CommandLine.cpp), so that
// Ctrl+C reaches it; the launcher then leaves Ctrl+C to it and keeps waiting,
// as the program must not end while the wheel takes a firmware image.

#include "app/console/CommandTail.h"

#include <windows.h>

#include <string>

namespace {

int fail(const wchar_t *what)
{
    const DWORD code = GetLastError();
    wchar_t message[512] = L"";
    FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, message,
                   sizeof message / sizeof message[0], nullptr);
    std::wstring text = std::wstring(what) + L": " + message;
    if (text.empty() || text.back() != L'\n')
        text += L"\r\n";
    const HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
    DWORD written = 0;
    if (!WriteConsoleW(error, text.c_str(), static_cast<DWORD>(text.size()), &written, nullptr)) {
        // Not a console (redirected): the text as UTF-8.
        const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0,
                                             nullptr, nullptr);
        std::string bytes(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), bytes.data(), size, nullptr,
                            nullptr);
        WriteFile(error, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    }
    return 127;
}

DWORD childId = 0;

// Whether the program has joined this console, and so gets its Ctrl+C itself.
bool childOnConsole()
{
    DWORD ids[64] = {};
    const DWORD count = GetConsoleProcessList(ids, sizeof ids / sizeof ids[0]);
    for (DWORD i = 0; i < count && i < sizeof ids / sizeof ids[0]; ++i)
        if (ids[i] == childId)
            return true;
    return false;
}

// Ctrl+C and Ctrl+Break: the program decides when it has them too; the
// window, which has not, ends with the launcher (through the job).
BOOL WINAPI onConsoleControl(DWORD event)
{
    return (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT) && childId != 0 && childOnConsole();
}

} // namespace

int wmain()
{
    std::wstring program(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, program.data(), static_cast<DWORD>(program.size()));
        if (length == 0)
            return fail(L"vorla-setting: cannot find its own path");
        if (length < program.size()) {
            program.resize(length);
            break;
        }
        program.resize(program.size() * 2);
    }
    const std::size_t dot = program.find_last_of(L'.');
    if (dot == std::wstring::npos || program.find_last_of(L"\\/") > dot)
        return fail(L"vorla-setting: unexpected launcher name");
    program.replace(dot, std::wstring::npos, L".exe");

    // The arguments as the shell passed them: no code page touches them.
    std::wstring commandLine = L"\"" + program + L"\"" + vorla::argumentsOf(GetCommandLineW());

    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);

    // The program ends with the launcher (a closed console; Ctrl+C unless it
    // has it too): it sits in a job that is killed when the launcher's handle
    // to it closes.
    const HANDLE job = CreateJobObjectW(nullptr, nullptr);
    if (job) {
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
        limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
        SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof(limits));
    }

    PROCESS_INFORMATION process{};
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE, CREATE_SUSPENDED, nullptr,
                        nullptr, &startup, &process))
        return fail(L"vorla-setting: cannot start the program");
    if (job)
        AssignProcessToJobObject(job, process.hProcess);
    childId = process.dwProcessId;
    SetConsoleCtrlHandler(onConsoleControl, TRUE);
    ResumeThread(process.hThread);
    CloseHandle(process.hThread);

    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD status = 1;
    GetExitCodeProcess(process.hProcess, &status);
    CloseHandle(process.hProcess);
    if (job)
        CloseHandle(job);
    return static_cast<int>(status);
}
