#pragma once
// A small mark beside a page's "Save Setting", shown while the wheel shows
// something of that page that it has not stored. A screen reader finds it by
// its name, and hears it on the button too: while the mark shows, the button's
// description says what is unsaved.

#include <QLabel>

class QPushButton;

class UnsavedMark : public QLabel
{
    Q_OBJECT

public:
    // Placed right of `saveButton`, in the same parent; hidden at first.
    // `description` says what is unsaved on this page.
    UnsavedMark(QPushButton *saveButton, const QString &description);

    void setUnsaved(bool unsaved);

private:
    QPushButton *saveButton;
    QString description;
    QString buttonDescription; // the button's own, given back when the mark goes
};
