#pragma once
// Text that came from outside the program (a profile, the wheel's answers, a
// file name, the simulated wheel's event script) as a message may show it. In
// a terminal a control character moves the cursor, clears the screen or
// retitles the window, a newline splits a one-line message, and a value of
// megabytes buries it; in a box, much the same.

#include <QString>

namespace vorla {

// How much of a value taken from a file a message shows.
constexpr int kShownValueLength = 40;

// `text` with every character that is not printable written as \uXXXX
// (\UXXXXXXXX beyond U+FFFF): control and format characters, line and
// paragraph separators, lone surrogates, private and unassigned code points.
// Invalid UTF-8 has become U+FFFD on the way in, which shows. Printable text,
// backslashes included, stays as it is, so escaping twice changes nothing.
// When the result would be longer than `maxLength` characters (-1: no limit),
// it is cut before the character that does not fit and "..." is appended.
QString escaped(const QString &text, int maxLength = -1);

} // namespace vorla
