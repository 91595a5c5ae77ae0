// The console launcher's split of Windows' wide command line. The input, two
// bytes a UTF-16 unit, is taken twice: as a command line as it stands, whose
// split never ends past the line's end; and as a program name and arguments
// (separated by zero units), quoted the way Windows programs quote them
// (CommandLineToArgvW reads them back), whose split is exactly the arguments'
// part.

#include "FuzzCheck.h"
#include "app/console/CommandTail.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace {

// An argument as a Windows program passes it: quoted when it holds a blank or
// a quote, with backslashes doubled where a quote follows them.
std::wstring quotedArgument(const std::wstring &argument)
{
    if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos)
        return argument;
    std::wstring quoted = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        quoted += c;
        backslashes = 0;
    }
    quoted.append(2 * backslashes, L'\\');
    return quoted + L'"';
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    std::vector<wchar_t> units;
    for (std::size_t i = 0; i + 1 < size; i += 2)
        units.push_back(wchar_t(data[i] | data[i + 1] << 8));

    // The line up to its first zero, in a buffer that ends with it.
    std::size_t length = 0;
    while (length < units.size() && units[length] != 0)
        ++length;
    const std::unique_ptr<wchar_t[]> line(new wchar_t[length + 1]);
    std::copy(units.begin(), units.begin() + std::ptrdiff_t(length), line.get());
    line[length] = 0;
    const wchar_t *tail = vorla::argumentsOf(line.get());
    FUZZ_CHECK(tail >= line.get() && tail <= line.get() + length);

    // A program name (no quote can be part of one on Windows), then arguments.
    std::vector<std::wstring> words(1);
    for (const wchar_t unit : units) {
        if (unit == 0)
            words.emplace_back();
        else if (words.size() > 1 || unit != L'"')
            words.back() += unit;
    }
    const std::wstring &name = words.front();
    const bool quoteName = name.empty() || name.find_first_of(L" \t") != std::wstring::npos;
    std::wstring arguments;
    for (std::size_t i = 1; i < words.size(); ++i)
        arguments += L' ' + quotedArgument(words[i]);
    const std::wstring built = (quoteName ? L'"' + name + L'"' : name) + arguments;
    FUZZ_CHECK(vorla::argumentsOf(built.c_str()) == arguments);
    return 0;
}
