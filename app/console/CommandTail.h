#pragma once
// Windows hands a program its command line as one wide string. What follows
// the program's own name is passed on to another program untouched, so that
// no argument goes through a code page or another round of quoting.

namespace vorla {

// The command line after the program's name (with the blank before the first
// argument). The name ends at the closing quote if it starts with one, else
// at the first blank: the rules CommandLineToArgvW applies to the first word.
inline const wchar_t *argumentsOf(const wchar_t *commandLine)
{
    const wchar_t *p = commandLine;
    if (*p == L'"') {
        ++p;
        while (*p && *p != L'"')
            ++p;
        if (*p)
            ++p;
    } else {
        while (*p && *p != L' ' && *p != L'\t')
            ++p;
    }
    return p;
}

} // namespace vorla
