// Answers a message box of another program under wine: waits for a top-level
// window with the given title, says that it saw it, and closes it as the
// user's Escape or the title bar's close button would. Exits 0 when it
// answered one, 1 when none came in time.
//   answer_box TITLE SECONDS

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

int wmain(int argc, wchar_t *argv[])
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: answer_box TITLE SECONDS\n");
        return 2;
    }
    const std::wstring title = argv[1];
    const int tenths = std::wcstol(argv[2], nullptr, 10) * 10;
    for (int i = 0; i < tenths; ++i) {
        if (const HWND box = FindWindowW(nullptr, title.c_str())) {
            if (IsWindowVisible(box)) {
                std::printf("answered \"%ls\"\n", title.c_str());
                std::fflush(stdout);
                PostMessageW(box, WM_CLOSE, 0, 0);
                return 0;
            }
        }
        Sleep(100);
    }
    std::printf("no window \"%ls\" within %ls s\n", title.c_str(), argv[2]);
    return 1;
}
