#pragma once
// What a screen reader hears of the window, through Qt's bridge to the
// platform (AT-SPI on Linux, UI Automation on Windows): a name for every
// control that takes the focus, each LED button's colour, the captions that
// name the slider and the path field, the sidebar as page tabs whose action
// chooses the page as a click does, the disconnected banner as an alert, and
// nothing of the pictures that only decorate. Also sets up the keyboard
// (KeyboardNavigation) and the focus ring (FocusRing). The form's texts and
// style sheets stay as they are.

class MainWindowForm;
class QColor;
class QMainWindow;
class QWidget;

namespace accessibility {

// Called before the window's widgets are built.
void installFactory();

// Called once the form is built, before anything else is added to the window.
void setUp(QMainWindow *window, MainWindowForm *form);

// An LED button's name ("LED B1") and its colour as #RRGGBB in its
// description; called wherever a button takes a colour.
void describeLed(QWidget *button, const QColor &colour);

} // namespace accessibility
