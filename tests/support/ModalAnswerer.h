#pragma once
// Answers the modal boxes and dialogs a test provokes, so that no test ever
// waits on one: every few milliseconds it looks for the active popup menu or
// modal widget, notes what it said and closes it the way the test asked.

#include <QColor>
#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>

class ModalAnswerer : public QObject
{
    Q_OBJECT

public:
    struct Box {
        QString kind;  // "critical", "information", "warning", "question" or the dialog's or menu's class
        QString title;
        QString text;
        QStringList buttons; // a message box's, in text order, the default one marked "(default)"
    };

    explicit ModalAnswerer(QObject *parent = nullptr);

    // How dialogs are answered; without a choice they are cancelled.
    void chooseColor(const QColor &colour) { m_colour = colour; }
    void chooseFile(const QString &path) { m_path = path; }
    // Context menus: the entry with this text is chosen; without one they are closed.
    void chooseMenuEntry(const QString &text) { m_menuEntry = text; }
    void cancelDialogs();
    // Message boxes that ask (no OK button, such as Save/Discard/Cancel):
    // answered with this button (a QMessageBox::StandardButton), or with this
    // key pressed on the box (Qt::Key_Escape, Qt::Key_Return), the key first;
    // without either they are rejected.
    void chooseQuestionButton(int button) { m_questionButton = button; }
    void chooseQuestionKey(int key) { m_questionKey = key; }
    // A question box is answered only once `ready` returns true; it is asked
    // at every look while the box is open, so a test can act meanwhile.
    void answerQuestionsWhen(std::function<bool()> ready) { m_questionReady = std::move(ready); }

    // What was answered so far, oldest first.
    const QList<Box> &boxes() const { return m_boxes; }
    // Only the message boxes, as "title/text" strings, handy in comparisons.
    QStringList messages() const;
    void clear() { m_boxes.clear(); }

private:
    void answer();

    QTimer m_timer;
    QColor m_colour;
    QString m_path;
    QString m_menuEntry;
    int m_questionButton = 0;
    int m_questionKey = 0;
    std::function<bool()> m_questionReady;
    QList<Box> m_boxes;
};
