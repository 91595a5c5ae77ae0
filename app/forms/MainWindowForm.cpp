#include "app/forms/MainWindowForm.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFont>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMetaObject>
#include <QPixmapCache>
#include <QProgressBar>
#include <QPushButton>
#include <QRect>
#include <QSize>
#include <QSizePolicy>
#include <QSlider>
#include <QStackedWidget>
#include <QString>
#include <QWidget>

namespace {

// Qt's own pixmap-cache limit, which the style's small pixmaps are sized for.
constexpr int kQtPixmapCacheKb = 10 * 1024;

// The look of the window lives in these style sheets, one per kind of widget.
// The pictures come from the embedded ":/img/" bundle through border-image.

// Selects the window by its object name, so a window named otherwise keeps
// the platform background.
const char kWindowStyle[] =
    "QMainWindow#MainWindow {\n"
    "  background-color: rgb(26,25,25);\n"
    "}";

const char kHeaderPictureStyle[] = "border-image: url(:/img/head.png)";

const char kTitleStyle[] =
    "color: white;\n"
    "font-size: 20px;\n"
    "font-weight: bold;";

const char kEmblemPictureStyle[] = "border-image: url(:/img/logo.png)";

const char kRuleStyle[] = "background: rgb(112,112,112)";

// Sidebar and action buttons differ only in the gradient's selector:
// ":checked" for the page buttons, ":pressed" for the action buttons.
const char kSidebarButtonStyle[] =
    "QPushButton {\n"
    "\tcolor: white;\n"
    "\tborder: 1px solid rgb(112, 112,112);\n"
    "    background-color:rgba(0, 0, 0, 0);\n"
    "    font-size: 15px;\n"
    "    font-weight: bold;\n"
    "}\n"
    "\n"
    "QPushButton:checked {\n"
    "    background-color:qlineargradient(spread:pad, x1:0, y1:0, x2:1, y2:0, "
    "stop:0 rgba(17, 146, 207, 255), stop:1 rgba(9, 74, 105, 255))\n"
    "}\n"
    "\n"
    "QPushButton:hover {\n"
    "\tcolor: lightgray;\n"
    "}";

const char kCloseButtonStyle[] =
    "QPushButton {\n"
    "    border-image:url(:/img/close.png)\n"
    "}\n"
    "\n"
    "QPushButton:hover {\n"
    "    border-image:url(:/img/closeh.png)\n"
    "}\n";

const char kWheelPictureStyle[] = "border-image: url(:/img/back.png)";

const char kActionButtonStyle[] =
    "QPushButton {\n"
    "\tcolor: white;\n"
    "\tborder: 1px solid rgb(112, 112,112);\n"
    "    background-color:rgba(0, 0, 0, 0);\n"
    "    font-size: 15px;\n"
    "    font-weight: bold;\n"
    "}\n"
    "\n"
    "QPushButton:pressed {\n"
    "    background-color:qlineargradient(spread:pad, x1:0, y1:0, x2:1, y2:0, "
    "stop:0 rgba(17, 146, 207, 255), stop:1 rgba(9, 74, 105, 255))\n"
    "}\n"
    "\n"
    "QPushButton:hover {\n"
    "\tcolor: lightgray;\n"
    "}";

const char kCaptionStyle[] =
    "color:white;\n"
    "font-size:14px;";

const char kBoldCaptionStyle[] =
    "color:white;\n"
    "font-size:14px;\n"
    "font-weight: bold;";

const char kAboutPictureStyle[] = "border-image: url(:/img/about.png);";

// Constructs a widget under parent, names it and places it; the caller then
// applies the widget's own properties.
template <typename W>
W *place(QWidget *parent, const char *name, int x, int y, int w, int h)
{
    W *widget = new W(parent);
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(QRect(x, y, w, h));
    return widget;
}

QWidget *newPage(const char *name)
{
    QWidget *page = new QWidget();
    page->setObjectName(QString::fromLatin1(name));
    return page;
}

QString style(const char *sheet)
{
    return QString::fromUtf8(sheet);
}

// The texts are marked with QT_TRANSLATE_NOOP where they are written, so that
// lupdate finds them under the window's context.
QString translated(const char *text)
{
    return QCoreApplication::translate("MainWindow", text, nullptr);
}

// What the pictures of the ":/img/" bundle take decoded, 32 bits a pixel as a
// pixmap keeps them, in KiB. Reads only the files' headers.
int picturesKb()
{
    const QDir pictures(QStringLiteral(":/img"));
    qint64 bytes = 0;
    for (const QString &name : pictures.entryList(QDir::Files)) {
        const QSize size = QImageReader(pictures.filePath(name)).size();
        if (size.isValid())
            bytes += qint64(size.width()) * size.height() * 4;
    }
    return int((bytes + 1023) / 1024);
}

} // namespace

void MainWindowForm::setupUi(QMainWindow *window)
{
    // The style sheets below load their pictures as the widgets are polished.
    // The wheel drawing alone is 3200 x 1800 (22 MiB decoded) and sits on three
    // pages; Qt's default pixmap cache (10 MiB) cannot keep it, so every label
    // would decode it anew. Room for the bundle beside the style's own pixmaps.
    QPixmapCache::setCacheLimit(qMax(QPixmapCache::cacheLimit(), kQtPixmapCacheKb + picturesKb()));

    if (window->objectName().isEmpty())
        window->setObjectName(QString::fromLatin1("MainWindow"));
    window->resize(900, 500);
    QSizePolicy sizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    sizePolicy.setHorizontalStretch(0);
    sizePolicy.setVerticalStretch(0);
    sizePolicy.setHeightForWidth(window->sizePolicy().hasHeightForWidth());
    window->setSizePolicy(sizePolicy);
    window->setMinimumSize(QSize(900, 500));
    window->setMaximumSize(QSize(900, 500));
    window->setSizeIncrement(QSize(0, 0));
    window->setStyleSheet(style(kWindowStyle));

    centralwidget = new QWidget(window);
    centralwidget->setObjectName(QString::fromLatin1("centralwidget"));

    // Header strip.
    lbSplit = place<QLabel>(centralwidget, "lbSplit", 0, 0, 901, 71);
    lbSplit->setStyleSheet(style(kHeaderPictureStyle));

    lbHead = place<QLabel>(centralwidget, "lbHead", 350, 10, 311, 31);
    // One bold Arial serves title, sidebar and captions; sizes come from the
    // style sheets.
    QFont font;
    font.setFamily(QString::fromLatin1("Arial"));
    font.setBold(true);
    lbHead->setFont(font);
    lbHead->setStyleSheet(style(kTitleStyle));
    lbHead->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    lbIcon = place<QLabel>(centralwidget, "lbIcon", 310, 10, 31, 31);
    lbIcon->setStyleSheet(style(kEmblemPictureStyle));

    lbLine = place<QLabel>(centralwidget, "lbLine", 140, 80, 751, 1);
    lbLine->setStyleSheet(style(kRuleStyle));

    // Sidebar. Checked marks the visible page; the window keeps exactly one
    // checked, there is no button group.
    const auto sidebarButton = [this, &font](const char *name, int x, int y) {
        auto *button = place<QPushButton>(centralwidget, name, x, y, 131, 81);
        button->setFont(font);
        button->setStyleSheet(style(kSidebarButtonStyle));
        button->setCheckable(true);
        return button;
    };
    pbS1 = sidebarButton("pbS1", 0, 80);
    pbS1->setChecked(true);

    pbS2 = sidebarButton("pbS2", 0, 164);
    pbS4 = sidebarButton("pbS4", 0, 332);
    pbS3 = sidebarButton("pbS3", 0, 248);
    pbS5 = sidebarButton("pbS5", 0, 416);

    pbClose = place<QPushButton>(centralwidget, "pbClose", 860, 10, 24, 24);
    pbClose->setAutoFillBackground(false);
    pbClose->setStyleSheet(style(kCloseButtonStyle));
    pbClose->setIconSize(QSize(16, 16));

    stackedWidget = place<QStackedWidget>(centralwidget, "stackedWidget", 140, 90, 751, 401);

    // Page 0, "INPUTS": the wheel drawing.
    page1 = newPage("page1");
    lbMain = place<QLabel>(page1, "lbMain", 61, 11, 640, 360);
    lbMain->setStyleSheet(style(kWheelPictureStyle));
    lbMain->setScaledContents(false);
    stackedWidget->addWidget(page1);

    // Page 1, "RGB": the LED buttons sit on the drawing over the wheel's
    // own buttons.
    page2 = newPage("page2");
    lbMainRGB = place<QLabel>(page2, "lbMainRGB", 61, 11, 640, 360);
    lbMainRGB->setStyleSheet(style(kWheelPictureStyle));
    pbSave = place<QPushButton>(page2, "pbSave", 300, 369, 161, 31);
    pbSave->setStyleSheet(style(kActionButtonStyle));
    const auto ledButton = [page2 = page2](const char *name, int x, int y, int w, int h) {
        auto *button = place<QPushButton>(page2, name, x, y, w, h);
        button->setStyleSheet(style(kLedButtonStyle));
        return button;
    };
    pbB1 = ledButton("pbB1", 150, 37, 24, 24);
    pbB2 = ledButton("pbB2", 211, 67, 24, 24);
    pbB3 = ledButton("pbB3", 238, 139, 25, 25);
    pbB4 = ledButton("pbB4", 267, 220, 24, 24);
    pbB5 = ledButton("pbB5", 242, 269, 24, 24);
    pbB6 = ledButton("pbB6", 227, 317, 24, 24);
    pbB9 = ledButton("pbB9", 589, 37, 24, 24);
    pbB10 = ledButton("pbB10", 527, 67, 24, 24);
    pbB11 = ledButton("pbB11", 500, 139, 25, 25);
    pbB12 = ledButton("pbB12", 472, 220, 24, 24);
    pbB13 = ledButton("pbB13", 496, 269, 24, 24);
    pbB14 = ledButton("pbB14", 512, 317, 24, 24);
    pbD13 = ledButton("pbD13", 300, 122, 26, 25);
    pbD16 = ledButton("pbD16", 300, 276, 26, 25);
    pbD26 = ledButton("pbD26", 437, 276, 26, 25);
    pbD23 = ledButton("pbD23", 437, 122, 26, 25);
    pbD3 = ledButton("pbD3", 183, 110, 25, 25);
    pbD4 = ledButton("pbD4", 555, 110, 25, 25);
    stackedWidget->addWidget(page2);

    // Page 2, "PADDLES".
    page3 = newPage("page3");
    lbPaddle = place<QLabel>(page3, "lbPaddle", 61, 11, 640, 360);
    lbPaddle->setStyleSheet(style(kWheelPictureStyle));
    lbPaddle->setScaledContents(false);
    pbSaveP = place<QPushButton>(page3, "pbSaveP", 300, 369, 161, 31);
    pbSaveP->setStyleSheet(style(kActionButtonStyle));
    hsBite = place<QSlider>(page3, "hsBite", 309, 40, 141, 22);
    hsBite->setStyleSheet(QString());
    hsBite->setMaximum(100);
    hsBite->setValue(50);
    hsBite->setOrientation(Qt::Horizontal);
    lbBite = place<QLabel>(page3, "lbBite", 310, 15, 141, 21);
    lbBite->setFont(font);
    lbBite->setStyleSheet(style(kCaptionStyle));
    lbBite->setAlignment(Qt::AlignCenter);
    cbPaddle = place<QCheckBox>(page3, "cbPaddle", 10, 0, 111, 20);
    cbPaddle->setStyleSheet(style(kCaptionStyle));
    stackedWidget->addWidget(page3);

    // Page 3, "DEVICE": firmware upload.
    page4 = newPage("page4");
    label_4 = place<QLabel>(page4, "label_4", 60, 60, 121, 21);
    label_4->setFont(font);
    label_4->setStyleSheet(style(kCaptionStyle));
    label_4->setAlignment(Qt::AlignCenter);
    lePath = place<QLineEdit>(page4, "lePath", 180, 60, 421, 21);
    pbPath = place<QPushButton>(page4, "pbPath", 610, 60, 31, 21);
    pbPath->setStyleSheet(style(kActionButtonStyle));
    pbUpgrade = place<QPushButton>(page4, "pbUpgrade", 330, 120, 91, 31);
    pbUpgrade->setStyleSheet(style(kActionButtonStyle));
    pgUpgrade = place<QProgressBar>(page4, "pgUpgrade", 180, 330, 411, 23);
    pgUpgrade->setAutoFillBackground(false);
    pgUpgrade->setStyleSheet(QString());
    pgUpgrade->setValue(24);
    lbUpgrade = place<QLabel>(page4, "lbUpgrade", 290, 300, 171, 21);
    lbUpgrade->setFont(font);
    lbUpgrade->setStyleSheet(style(kCaptionStyle));
    lbUpgrade->setAlignment(Qt::AlignCenter);
    stackedWidget->addWidget(page4);

    // Page 4, "ABOUT".
    page5 = newPage("page5");
    label = place<QLabel>(page5, "label", 180, 100, 400, 125);
    label->setStyleSheet(style(kAboutPictureStyle));
    label_2 = place<QLabel>(page5, "label_2", 180, 240, 401, 20);
    label_2->setFont(font);
    label_2->setStyleSheet(style(kBoldCaptionStyle));
    label_2->setAlignment(Qt::AlignCenter);
    lbVersion = place<QLabel>(page5, "lbVersion", 380, 380, 371, 21);
    lbVersion->setFont(font);
    lbVersion->setStyleSheet(style(kCaptionStyle));
    lbVersion->setAlignment(Qt::AlignCenter);
    stackedWidget->addWidget(page5);

    window->setCentralWidget(centralwidget);

    retranslateUi(window);

    stackedWidget->setCurrentIndex(4);

    // The window's slots are named on + word, never on_<object>_<signal>, so
    // this connects nothing; the window makes its connections itself.
    QMetaObject::connectSlotsByName(window);
}

void MainWindowForm::retranslateUi(QMainWindow *window)
{
    window->setWindowTitle(translated(QT_TRANSLATE_NOOP("MainWindow", "Vorla Setting")));
    lbSplit->setText(QString());
    lbHead->setText(translated(QT_TRANSLATE_NOOP("MainWindow", "VORLA Z-ARC")));
    lbIcon->setText(QString());
    lbLine->setText(QString());
    pbS1->setText(translated(QT_TRANSLATE_NOOP("MainWindow", "INPUTS")));
    pbS2->setText(translated(QT_TRANSLATE_NOOP("MainWindow", "RGB")));
    pbS4->setText(translated(QT_TRANSLATE_NOOP("MainWindow", "DEVICE")));
    pbS3->setText(translated(QT_TRANSLATE_NOOP("MainWindow", "PADDLES")));
    pbS5->setText(translated(QT_TRANSLATE_NOOP("MainWindow", "ABOUT")));
    pbClose->setText(QString());
    lbMain->setText(QString());
    lbMainRGB->setText(QString());
    pbSave->setText(translated(QT_TRANSLATE_NOOP("MainWindow", "Save Setting")));
    pbB1->setText(QString());
    pbB2->setText(QString());
    pbB3->setText(QString());
    pbB4->setText(QString());
    pbB5->setText(QString());
    pbB6->setText(QString());
    pbB9->setText(QString());
    pbB10->setText(QString());
    pbB11->setText(QString());
    pbB12->setText(QString());
    pbB13->setText(QString());
    pbB14->setText(QString());
    pbD13->setText(QString());
    pbD16->setText(QString());
    pbD26->setText(QString());
    pbD23->setText(QString());
    pbD3->setText(QString());
    pbD4->setText(QString());
    lbPaddle->setText(QString());
    pbSaveP->setText(translated(QT_TRANSLATE_NOOP("MainWindow", "Save Setting")));
    lbBite->setText(translated(QT_TRANSLATE_NOOP("MainWindow", "BITE POINT")));
    cbPaddle->setText(translated(QT_TRANSLATE_NOOP("MainWindow", "COMBINED")));
    label_4->setText(translated(QT_TRANSLATE_NOOP("MainWindow", "FIRMWARE")));
    pbPath->setText(translated(QT_TRANSLATE_NOOP("MainWindow", "...")));
    pbUpgrade->setText(translated(QT_TRANSLATE_NOOP("MainWindow", "Upgrade")));
    lbUpgrade->setText(translated(QT_TRANSLATE_NOOP("MainWindow", "Uploading ...")));
    label->setText(QString());
    label_2->setText(translated(QT_TRANSLATE_NOOP("MainWindow", "www.vorla-racing.com")));
    lbVersion->setText(QString());
    // The licence, told without adding anything to the page itself.
    page5->setToolTip(translated(QT_TRANSLATE_NOOP(
        "MainWindow", "Vorla Setting is free software under the GNU General Public License, version 3 or later.")));
}
