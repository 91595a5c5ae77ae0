#pragma once
// The window is laid out in device-independent pixels, 900 x 500 at every
// screen scale. Qt 6 scales by the screen's factor on its own; Qt 5 only when
// asked, and must be asked before the QApplication exists.

namespace vorla {

// Call before constructing the QApplication: turns on Qt 5's high-DPI
// scaling and high-resolution pixmaps, with 150 % kept at 1.5 (not rounded
// to 2). Does nothing under Qt 6, where that is the default.
void prepareHighDpi();

} // namespace vorla
