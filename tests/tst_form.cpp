// The main window form checked against its own copy of the widget table:
// classes, parents, rectangles, style sheets, fonts, texts and start values.
#include "app/forms/MainWindowForm.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QStackedWidget>
#include <QtTest>

#include <memory>

namespace {

const char kWindow[] = "QMainWindow#MainWindow {\n  background-color: rgb(26,25,25);\n}";
const char kHeader[] = "border-image: url(:/img/head.png)";
const char kTitle[] = "color: white;\nfont-size: 20px;\nfont-weight: bold;";
const char kEmblem[] = "border-image: url(:/img/logo.png)";
const char kRule[] = "background: rgb(112,112,112)";
const char kSidebar[] =
    "QPushButton {\n\tcolor: white;\n\tborder: 1px solid rgb(112, 112,112);\n    background-color:rgba(0, 0, 0, 0);\n"
    "    font-size: 15px;\n    font-weight: bold;\n}\n\nQPushButton:checked {\n    background-color:qlineargradient("
    "spread:pad, x1:0, y1:0, x2:1, y2:0, stop:0 rgba(17, 146, 207, 255), stop:1 rgba(9, 74, 105, 255))\n}\n\n"
    "QPushButton:hover {\n\tcolor: lightgray;\n}";
const char kClose[] = "QPushButton {\n    border-image:url(:/img/close.png)\n}\n\n"
                      "QPushButton:hover {\n    border-image:url(:/img/closeh.png)\n}\n";
const char kWheel[] = "border-image: url(:/img/back.png)";
const char kAction[] =
    "QPushButton {\n\tcolor: white;\n\tborder: 1px solid rgb(112, 112,112);\n    background-color:rgba(0, 0, 0, 0);\n"
    "    font-size: 15px;\n    font-weight: bold;\n}\n\nQPushButton:pressed {\n    background-color:qlineargradient("
    "spread:pad, x1:0, y1:0, x2:1, y2:0, stop:0 rgba(17, 146, 207, 255), stop:1 rgba(9, 74, 105, 255))\n}\n\n"
    "QPushButton:hover {\n\tcolor: lightgray;\n}";
const char kLed[] = "QPushButton {\n\tborder-radius: 12px;\n\tbackground-color:  rgb(150,3,9);\n\tborder: 1px solid white;\n}";
const char kCaption[] = "color:white;\nfont-size:14px;";
const char kBoldCaption[] = "color:white;\nfont-size:14px;\nfont-weight: bold;";
const char kAbout[] = "border-image: url(:/img/about.png);";

const int kLeftV = int(Qt::AlignLeft | Qt::AlignVCenter);
const int kCenter = int(Qt::AlignCenter);

struct Row {
    const char *name, *cls, *parent;
    QRect rect;         // null: placed by its parent, not by the form
    const char *style;
    bool formFont;
    int alignment;      // 0: not checked
    const char *text;   // nullptr: the form sets no text
};

// The widget table, in declaration and creation order.
const Row kTable[] = {
    {"centralwidget", "QWidget", "MainWindow", QRect(), "", false, 0, nullptr},
    {"lbSplit", "QLabel", "centralwidget", QRect(0, 0, 901, 71), kHeader, false, 0, ""},
    {"lbHead", "QLabel", "centralwidget", QRect(350, 10, 311, 31), kTitle, true, kLeftV, "VORLA Z-ARC"},
    {"lbIcon", "QLabel", "centralwidget", QRect(310, 10, 31, 31), kEmblem, false, 0, ""},
    {"lbLine", "QLabel", "centralwidget", QRect(140, 80, 751, 1), kRule, false, 0, ""},
    {"pbS1", "QPushButton", "centralwidget", QRect(0, 80, 131, 81), kSidebar, true, 0, "INPUTS"},
    {"pbS2", "QPushButton", "centralwidget", QRect(0, 164, 131, 81), kSidebar, true, 0, "RGB"},
    {"pbS4", "QPushButton", "centralwidget", QRect(0, 332, 131, 81), kSidebar, true, 0, "DEVICE"},
    {"pbS3", "QPushButton", "centralwidget", QRect(0, 248, 131, 81), kSidebar, true, 0, "PADDLES"},
    {"pbS5", "QPushButton", "centralwidget", QRect(0, 416, 131, 81), kSidebar, true, 0, "ABOUT"},
    {"pbClose", "QPushButton", "centralwidget", QRect(860, 10, 24, 24), kClose, false, 0, ""},
    {"stackedWidget", "QStackedWidget", "centralwidget", QRect(140, 90, 751, 401), "", false, 0, nullptr},
    {"page1", "QWidget", "stackedWidget", QRect(), "", false, 0, nullptr},
    {"lbMain", "QLabel", "page1", QRect(61, 11, 640, 360), kWheel, false, 0, ""},
    {"page2", "QWidget", "stackedWidget", QRect(), "", false, 0, nullptr},
    {"lbMainRGB", "QLabel", "page2", QRect(61, 11, 640, 360), kWheel, false, 0, ""},
    {"pbSave", "QPushButton", "page2", QRect(300, 369, 161, 31), kAction, false, 0, "Save Setting"},
    {"pbB1", "QPushButton", "page2", QRect(150, 37, 24, 24), kLed, false, 0, ""},
    {"pbB2", "QPushButton", "page2", QRect(211, 67, 24, 24), kLed, false, 0, ""},
    {"pbB3", "QPushButton", "page2", QRect(238, 139, 25, 25), kLed, false, 0, ""},
    {"pbB4", "QPushButton", "page2", QRect(267, 220, 24, 24), kLed, false, 0, ""},
    {"pbB5", "QPushButton", "page2", QRect(242, 269, 24, 24), kLed, false, 0, ""},
    {"pbB6", "QPushButton", "page2", QRect(227, 317, 24, 24), kLed, false, 0, ""},
    {"pbB9", "QPushButton", "page2", QRect(589, 37, 24, 24), kLed, false, 0, ""},
    {"pbB10", "QPushButton", "page2", QRect(527, 67, 24, 24), kLed, false, 0, ""},
    {"pbB11", "QPushButton", "page2", QRect(500, 139, 25, 25), kLed, false, 0, ""},
    {"pbB12", "QPushButton", "page2", QRect(472, 220, 24, 24), kLed, false, 0, ""},
    {"pbB13", "QPushButton", "page2", QRect(496, 269, 24, 24), kLed, false, 0, ""},
    {"pbB14", "QPushButton", "page2", QRect(512, 317, 24, 24), kLed, false, 0, ""},
    {"pbD13", "QPushButton", "page2", QRect(300, 122, 26, 25), kLed, false, 0, ""},
    {"pbD16", "QPushButton", "page2", QRect(300, 276, 26, 25), kLed, false, 0, ""},
    {"pbD26", "QPushButton", "page2", QRect(437, 276, 26, 25), kLed, false, 0, ""},
    {"pbD23", "QPushButton", "page2", QRect(437, 122, 26, 25), kLed, false, 0, ""},
    {"pbD3", "QPushButton", "page2", QRect(183, 110, 25, 25), kLed, false, 0, ""},
    {"pbD4", "QPushButton", "page2", QRect(555, 110, 25, 25), kLed, false, 0, ""},
    {"page3", "QWidget", "stackedWidget", QRect(), "", false, 0, nullptr},
    {"lbPaddle", "QLabel", "page3", QRect(61, 11, 640, 360), kWheel, false, 0, ""},
    {"pbSaveP", "QPushButton", "page3", QRect(300, 369, 161, 31), kAction, false, 0, "Save Setting"},
    {"hsBite", "QSlider", "page3", QRect(309, 40, 141, 22), "", false, 0, nullptr},
    {"lbBite", "QLabel", "page3", QRect(310, 15, 141, 21), kCaption, true, kCenter, "BITE POINT"},
    {"cbPaddle", "QCheckBox", "page3", QRect(10, 0, 111, 20), kCaption, false, 0, "COMBINED"},
    {"page4", "QWidget", "stackedWidget", QRect(), "", false, 0, nullptr},
    {"label_4", "QLabel", "page4", QRect(60, 60, 121, 21), kCaption, true, kCenter, "FIRMWARE"},
    {"lePath", "QLineEdit", "page4", QRect(180, 60, 421, 21), "", false, 0, ""},
    {"pbPath", "QPushButton", "page4", QRect(610, 60, 31, 21), kAction, false, 0, "..."},
    {"pbUpgrade", "QPushButton", "page4", QRect(330, 120, 91, 31), kAction, false, 0, "Upgrade"},
    {"pgUpgrade", "QProgressBar", "page4", QRect(180, 330, 411, 23), "", false, 0, nullptr},
    {"lbUpgrade", "QLabel", "page4", QRect(290, 300, 171, 21), kCaption, true, kCenter, "Uploading ..."},
    {"page5", "QWidget", "stackedWidget", QRect(), "", false, 0, nullptr},
    {"label", "QLabel", "page5", QRect(180, 100, 400, 125), kAbout, false, 0, ""},
    {"label_2", "QLabel", "page5", QRect(180, 240, 401, 20), kBoldCaption, true, kCenter, "www.vorla-racing.com"},
    {"lbVersion", "QLabel", "page5", QRect(380, 380, 371, 21), kCaption, true, kCenter, ""},
};
const int kRows = int(sizeof kTable / sizeof kTable[0]);

} // namespace

class FormTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QMainWindow> window;
    MainWindowForm form;

private slots:
    void init()
    {
        window.reset(new QMainWindow);
        form = MainWindowForm();
        form.setupUi(window.get());
    }
    void cleanup() { window.reset(); }

    void widgetMatchesTable_data()
    {
        QTest::addColumn<int>("row");
        for (int i = 0; i < kRows; ++i)
            QTest::newRow(kTable[i].name) << i;
    }

    void widgetMatchesTable()
    {
        QFETCH(int, row);
        const Row &r = kTable[row];
        QWidget *w = window->findChild<QWidget *>(QLatin1String(r.name));
        QVERIFY(w);
        QCOMPARE(w->metaObject()->className(), r.cls);
        QVERIFY(w->parent());
        QCOMPARE(w->parent()->objectName(), QString::fromLatin1(r.parent));
        if (!r.rect.isNull())
            QCOMPARE(w->geometry(), r.rect);
        QCOMPARE(w->styleSheet(), QString::fromUtf8(r.style));
        QCOMPARE(w->testAttribute(Qt::WA_SetFont), r.formFont);
        if (r.formFont) {
            QCOMPARE(w->font().family(), QStringLiteral("Arial"));
            QVERIFY(w->font().bold());
            QCOMPARE(w->font().weight(), int(QFont::Bold));
        }
        if (r.alignment)
            QCOMPARE(int(qobject_cast<QLabel *>(w)->alignment()), r.alignment);
        if (r.text)
            QCOMPARE(w->property("text").toString(), QString::fromUtf8(r.text));
    }

    // Later siblings lie above earlier ones, so the creation order matters.
    void childrenInTableOrder()
    {
        QHash<QString, QStringList> expected;
        for (const Row &r : kTable)
            expected[QString::fromLatin1(r.parent)] << QString::fromLatin1(r.name);
        for (const QString &parent : {QStringLiteral("centralwidget"), QStringLiteral("page1"), QStringLiteral("page2"),
                                      QStringLiteral("page3"), QStringLiteral("page4"), QStringLiteral("page5")}) {
            QStringList actual;
            for (QObject *child : window->findChild<QWidget *>(parent)->children())
                if (child->isWidgetType())
                    actual << child->objectName();
            QCOMPARE(actual, expected.value(parent));
        }
    }

    void windowIsFixedAndStyled()
    {
        QCOMPARE(window->objectName(), QStringLiteral("MainWindow"));
        QCOMPARE(window->windowTitle(), QStringLiteral("Vorla Setting"));
        QCOMPARE(window->styleSheet(), QString::fromUtf8(kWindow));
        QCOMPARE(window->size(), QSize(900, 500));
        QCOMPARE(window->minimumSize(), QSize(900, 500));
        QCOMPARE(window->maximumSize(), QSize(900, 500));
        QCOMPARE(window->sizePolicy().horizontalPolicy(), QSizePolicy::Fixed);
        QCOMPARE(window->sizePolicy().verticalPolicy(), QSizePolicy::Fixed);
        QCOMPARE(window->centralWidget(), form.centralwidget);
    }

    void namedWindowKeepsItsName()
    {
        QMainWindow other;
        other.setObjectName(QStringLiteral("Other"));
        MainWindowForm otherForm;
        otherForm.setupUi(&other);
        QCOMPARE(other.objectName(), QStringLiteral("Other"));
        QCOMPARE(other.styleSheet(), QString::fromUtf8(kWindow));
    }

    void aboutPageNamesTheLicence()
    {
        QCOMPARE(form.page5->toolTip(),
                 QStringLiteral("Vorla Setting is free software under the GNU General Public License, version 3 or later."));
    }

    void ledStyleIsShared()
    {
        QCOMPARE(QString::fromUtf8(MainWindowForm::kLedButtonStyle), QString::fromUtf8(kLed));
    }

    void startValues()
    {
        QCOMPARE(form.stackedWidget->count(), 5);
        const QList<QWidget *> pages = {form.page1, form.page2, form.page3, form.page4, form.page5};
        for (int i = 0; i < pages.size(); ++i)
            QCOMPARE(form.stackedWidget->indexOf(pages[i]), i);
        QCOMPARE(form.stackedWidget->currentIndex(), 4);

        for (QPushButton *b : {form.pbS1, form.pbS2, form.pbS3, form.pbS4, form.pbS5}) {
            QVERIFY2(b->isCheckable(), qPrintable(b->objectName()));
            QCOMPARE(b->isChecked(), b == form.pbS1);
            QVERIFY(!b->group());
        }

        QCOMPARE(form.hsBite->minimum(), 0);
        QCOMPARE(form.hsBite->maximum(), 100);
        QCOMPARE(form.hsBite->value(), 50);
        QCOMPARE(form.hsBite->orientation(), Qt::Horizontal);
        QCOMPARE(form.pgUpgrade->minimum(), 0);
        QCOMPARE(form.pgUpgrade->maximum(), 100);
        QCOMPARE(form.pgUpgrade->value(), 24);
        QVERIFY(form.lePath->text().isEmpty());
        QVERIFY(!form.lePath->isReadOnly());
    }
};

QTEST_MAIN(FormTest)
#include "tst_form.moc"
