#pragma once
// What the command line prints while a firmware image goes to the wheel, from
// the worker's progress values (upgrade/VorlaUpgrade.h) and the image's size:
// on a terminal one line redrawn over itself, elsewhere (a pipe, a log, the
// Windows console launcher's redirection) a line for every tenth of the
// upload. Pure functions: the command line decides where they go.

#include <QString>

namespace upgradeprogress {

// The bar for `value`: what is being done, the percentage, the bar and the
// KiB sent of the whole, e.g. "Uploading ...  45 % [######......]  101.0 of 224.0 KiB".
QString bar(int value, qint64 size);

// The line for `value` when it is the first to reach a new tenth of the
// upload (`tenthShown` keeps the last one shown, -1 before the first), or the
// first of the wheel writing; empty otherwise.
QString plainLine(int value, qint64 size, int &tenthShown);

// About how many whole seconds the transfer has left, at least 1: the rest of
// the upload at the pace so far (`elapsedMs` since it began, `value` the last
// one reported, -1 for none yet), and what is left of the wheel's four
// writing steps of `writingStepMs`.
int secondsLeft(int value, qint64 elapsedMs, qint64 writingStepMs);

} // namespace upgradeprogress
