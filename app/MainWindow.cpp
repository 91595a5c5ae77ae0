#include "app/MainWindow.h"

#include "app/Accessibility.h"
#include "app/DisconnectedBanner.h"
#include "app/UnsavedMark.h"
#include "app/forms/MainWindowForm.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QLabel>
#include <QMessageBox>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QStackedWidget>
#include <QTimer>
#include <QWindow>

namespace {

// Presses in the header strip, above this local y, start a drag.
constexpr int kDragStripBottom = 49;
const QPoint kNoDrag(-1, -1);

// Qt 6 renamed the event's positions; the values are the same.
QPointF localPosition(const QMouseEvent *event)
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    return event->position();
#else
    return event->localPos();
#endif
}

QPoint roundedGlobalPosition(const QMouseEvent *event)
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    const QPointF global = event->globalPosition();
#else
    const QPointF global = event->screenPos();
#endif
    return QPoint(qRound(global.x()), qRound(global.y()));
}

} // namespace

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent)
    , ui(new MainWindowForm)
    , dragOrigin(0, 0)
    , upgrade(nullptr)
{
    accessibility::installFactory();
    ui->setupUi(this);
    accessibility::setUp(this, ui);
    // The version label shows the wheel's own text: never taken for rich text.
    ui->lbVersion->setTextFormat(Qt::PlainText);
    session = new vorla::WheelSession(this);
    disconnectedBanner = new DisconnectedBanner(ui->centralwidget);
    ledsMark = new UnsavedMark(ui->pbSave);
    paddleMark = new UnsavedMark(ui->pbSaveP);
    ledsMark->setObjectName(QStringLiteral("lbUnsaved"));
    paddleMark->setObjectName(QStringLiteral("lbUnsavedP"));

    connect(ui->pbClose, SIGNAL(clicked(bool)), this, SLOT(close()));
    for (QPushButton *button : {ui->pbS1, ui->pbS2, ui->pbS3, ui->pbS4, ui->pbS5})
        connect(button, SIGNAL(clicked(bool)), this, SLOT(onSidebar()));
    for (QPushButton *button : ledButtons())
        connect(button, SIGNAL(clicked(bool)), this, SLOT(onColorPick()));
    connect(ui->pbSave, SIGNAL(clicked(bool)), this, SLOT(onSaveColor()));
    ui->page2->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ui->page2, SIGNAL(customContextMenuRequested(QPoint)), this, SLOT(onColorMenu(QPoint)));
    connect(ui->pbPath, SIGNAL(clicked(bool)), this, SLOT(onShowPath()));
    connect(ui->pbUpgrade, SIGNAL(clicked(bool)), this, SLOT(onUpgrade()));
    connect(&upgrade, SIGNAL(progress(int)), this, SLOT(onProgress(int)));
    connect(ui->hsBite, SIGNAL(valueChanged(int)), this, SLOT(onPaddleChange()));
    connect(ui->hsBite, SIGNAL(sliderReleased()), this, SLOT(onPaddleChange()));
    connect(ui->pbSaveP, SIGNAL(clicked(bool)), this, SLOT(onSavePaddle()));
    // Also a toggle through the accessibility action, which is no click.
    connect(ui->cbPaddle, SIGNAL(toggled(bool)), this, SLOT(onPaddleToggle()));
    connect(&upgrade, SIGNAL(invalidImage()), this, SLOT(onInvalidImage()));
    connect(session, SIGNAL(settingsRead(vorla::WheelSettings)), this, SLOT(onWheelRead(vorla::WheelSettings)));
    connect(session, SIGNAL(waitingAfterUpgrade(bool)), this, SLOT(onUpgradeWait(bool)));
    connect(session, SIGNAL(wheelLeft()), this, SLOT(onWheelLeft()));
    connect(session, SIGNAL(permissionDenied()), this, SLOT(onPermissionDenied()));
    connect(session, SIGNAL(otherUpgrade(bool)), this, SLOT(onOtherUpgrade(bool)));
    connect(session, SIGNAL(failed(vorla::WheelSession::Failure)), this,
            SLOT(onWheelFailed(vorla::WheelSession::Failure)));

    ui->stackedWidget->setCurrentIndex(0);
    dragOrigin = kNoDrag;
    ui->lbUpgrade->hide();
    ui->pgUpgrade->hide();

    QTimer::singleShot(0, this, SLOT(onInit()));
}

MainWindow::~MainWindow()
{
    delete ui;
}

void MainWindow::mousePressEvent(QMouseEvent *event)
{
    // Every press ends an earlier drag: after a system move Qt 5 on X11 may
    // never deliver the release that would have ended it.
    dragOrigin = kNoDrag;
    if (event->button() != Qt::LeftButton)
        return;
    if (qRound(localPosition(event).y()) > kDragStripBottom)
        return;
    // A Wayland client cannot place its own window; the window system moves it.
    if (startSystemMove())
        return;
    dragOrigin = roundedGlobalPosition(event);
}

bool MainWindow::startSystemMove()
{
    QWindow *const handle = windowHandle();
    return handle && handle->startSystemMove();
}

void MainWindow::mouseMoveEvent(QMouseEvent *event)
{
    if (!(event->buttons() & Qt::LeftButton) || dragOrigin.x() < 0 || dragOrigin.y() < 0)
        return;
    const QPoint now = roundedGlobalPosition(event);
    const QPoint delta = now - dragOrigin;
    dragOrigin = now;
    move(pos() + delta);
}

void MainWindow::mouseReleaseEvent(QMouseEvent *)
{
    dragOrigin = kNoDrag;
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    // Leaving now would leave the wheel with half an image.
    if (upgrade.isRunning()) {
        event->ignore();
        QMessageBox::information(this, tr("Notify"), tr("Firmware upgrade in progress."));
        return;
    }
    if (!mayClose()) {
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}

void MainWindow::onSidebar()
{
    QPushButton *const sidebar[] = {ui->pbS1, ui->pbS2, ui->pbS3, ui->pbS4, ui->pbS5};
    for (QPushButton *button : sidebar)
        button->setChecked(false);

    // The page is the digit after "pbS".
    const QString name = sender() ? sender()->objectName() : QString();
    const char digit = name.size() > 3 ? name.at(3).toLatin1() : '\0';
    if (digit < '1' || digit > '5')
        return;
    const int page = digit - '1';
    sidebar[page]->setChecked(true);
    ui->stackedWidget->setCurrentIndex(page);
}
