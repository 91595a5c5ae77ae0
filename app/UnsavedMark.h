#pragma once
// A small mark beside a page's "Save Setting", shown while the wheel shows
// something of that page that it has not stored. A screen reader finds it by
// its name, and hears it on the button too: while the mark shows, the button's
// description (and the mark's) says what is unsaved.

#include <QLabel>

class QPushButton;

class UnsavedMark : public QLabel
{
    Q_OBJECT

public:
    // Placed right of `saveButton`, in the same parent; hidden at first.
    explicit UnsavedMark(QPushButton *saveButton);

    // Shows the mark with `description` saying what is unsaved on the page,
    // or hides it when `description` is empty.
    void setUnsaved(const QString &description);

private:
    QPushButton *saveButton;
    QString buttonDescription; // the button's own, given back when the mark goes
};
