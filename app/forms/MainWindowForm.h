// The main window's widget tree, written by hand in the shape uic would give it:
// one public pointer per widget, named by its object name, built by setupUi()
// and labelled by retranslateUi(). Absolute geometry only; no layouts.
#ifndef VORLA_MAINWINDOWFORM_H
#define VORLA_MAINWINDOWFORM_H

class QCheckBox;
class QLabel;
class QLineEdit;
class QMainWindow;
class QProgressBar;
class QPushButton;
class QSlider;
class QStackedWidget;
class QWidget;

class MainWindowForm
{
public:
    // The LED buttons keep their colour in this style sheet: the LED code writes
    // a colour straight after the first "color:" and reads it back from the
    // "rgb(" triple, so every byte here matters (two spaces after
    // "background-color:" included).
    static constexpr char kLedButtonStyle[] =
        "QPushButton {\n"
        "\tborder-radius: 12px;\n"
        "\tbackground-color:  rgb(150,3,9);\n"
        "\tborder: 1px solid white;\n"
        "}";

    // Declaration order is creation order (and so stacking order among siblings).
    QWidget *centralwidget = nullptr;
    QLabel *lbSplit = nullptr;
    QLabel *lbHead = nullptr;
    QLabel *lbIcon = nullptr;
    QLabel *lbLine = nullptr;
    QPushButton *pbS1 = nullptr;
    QPushButton *pbS2 = nullptr;
    QPushButton *pbS4 = nullptr;
    QPushButton *pbS3 = nullptr;
    QPushButton *pbS5 = nullptr;
    QPushButton *pbClose = nullptr;
    QStackedWidget *stackedWidget = nullptr;
    QWidget *page1 = nullptr;
    QLabel *lbMain = nullptr;
    QWidget *page2 = nullptr;
    QLabel *lbMainRGB = nullptr;
    QPushButton *pbSave = nullptr;
    QPushButton *pbB1 = nullptr;
    QPushButton *pbB2 = nullptr;
    QPushButton *pbB3 = nullptr;
    QPushButton *pbB4 = nullptr;
    QPushButton *pbB5 = nullptr;
    QPushButton *pbB6 = nullptr;
    QPushButton *pbB9 = nullptr;
    QPushButton *pbB10 = nullptr;
    QPushButton *pbB11 = nullptr;
    QPushButton *pbB12 = nullptr;
    QPushButton *pbB13 = nullptr;
    QPushButton *pbB14 = nullptr;
    QPushButton *pbD13 = nullptr;
    QPushButton *pbD16 = nullptr;
    QPushButton *pbD26 = nullptr;
    QPushButton *pbD23 = nullptr;
    QPushButton *pbD3 = nullptr;
    QPushButton *pbD4 = nullptr;
    QWidget *page3 = nullptr;
    QLabel *lbPaddle = nullptr;
    QPushButton *pbSaveP = nullptr;
    QSlider *hsBite = nullptr;
    QLabel *lbBite = nullptr;
    QCheckBox *cbPaddle = nullptr;
    QWidget *page4 = nullptr;
    QLabel *label_4 = nullptr;
    QLineEdit *lePath = nullptr;
    QPushButton *pbPath = nullptr;
    QPushButton *pbUpgrade = nullptr;
    QProgressBar *pgUpgrade = nullptr;
    QLabel *lbUpgrade = nullptr;
    QWidget *page5 = nullptr;
    QLabel *label = nullptr;
    QLabel *label_2 = nullptr;
    QLabel *lbVersion = nullptr;

    // Builds the whole tree on window; called once, before any connection.
    void setupUi(QMainWindow *window);
    // Sets the window title and every widget text.
    void retranslateUi(QMainWindow *window);
};

#endif // VORLA_MAINWINDOWFORM_H
