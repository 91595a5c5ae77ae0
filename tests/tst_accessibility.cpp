// The window as a screen reader and a keyboard meet it, in-process through
// QAccessible (the tree Qt hands to AT-SPI and UI Automation alike): names,
// roles and values, each LED's colour, the Tab order, the page keys and the
// focus ring.
#include "app/FocusRing.h"
#include "support/WheelTest.h"

#include <QAccessible>
#include <QPushButton>
#include <QStackedWidget>

using namespace wheeltest;

namespace {

void collectFocusable(QAccessibleInterface *iface, QStringList &named, QStringList &unnamed)
{
    if (iface->state().focusable)
        (iface->text(QAccessible::Name).isEmpty() ? unnamed : named) << iface->object()->objectName();
    for (int i = 0; i < iface->childCount(); ++i)
        if (QAccessibleInterface *child = iface->child(i))
            collectFocusable(child, named, unnamed);
}

// A button's colour as the wheel keeps it: its last slot's levels, written out.
QString storedColour(const char *button)
{
    const vorla::LedBlock block = sim::storedLeds();
    const int slot = lastSlotOf(button);
    return QColor(kLevels[channelLevel(block.data(), 3 * slot)], kLevels[channelLevel(block.data(), 3 * slot + 1)],
                  kLevels[channelLevel(block.data(), 3 * slot + 2)])
        .name()
        .toUpper();
}

} // namespace

class AccessibilityTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<Session> s;

    QWidget *child(const QString &name) const { return s->child<QWidget>(qPrintable(name)); }
    QAccessibleInterface *accessible(const QString &name) const
    {
        return QAccessible::queryAccessibleInterface(child(name));
    }
    int currentPage() const { return s->child<QStackedWidget>("stackedWidget")->currentIndex(); }
    QString focused() const { return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString(); }
    QImage shot() const { return s->window->grab().toImage().convertToFormat(QImage::Format_RGB32); }
    QRect rectOf(const QString &name) const { return QRect(child(name)->mapTo(s->window.get(), QPoint()), child(name)->size()); }
    // Pixels that differ between two shots outside some rectangles.
    static int changedPixels(const QImage &a, const QImage &b, const QList<QRect> &leftOut)
    {
        int changed = 0;
        for (int y = 0; y < a.height(); ++y)
            for (int x = 0; x < a.width(); ++x)
                changed += a.pixel(x, y) != b.pixel(x, y)
                           && std::none_of(leftOut.begin(), leftOut.end(), [&](const QRect &r) { return r.contains(x, y); });
        return changed;
    }
    void showPage(int index)
    {
        static const char *const sidebar[] = {"pbS1", "pbS2", "pbS3", "pbS4", "pbS5"};
        s->child<QPushButton>(sidebar[index])->click();
    }

private slots:
    void init()
    {
        sim::reset();
        s = std::make_unique<Session>();
        s->start();
        s->window->show();
        s->window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(s->window.get()));
    }

    void cleanup()
    {
        s.reset();
        verifyCleanEnd();
    }

    // Hidden pages' controls included: 31 take the focus, and each has a name.
    void everyFocusableControlHasAName()
    {
        QStringList named, unnamed;
        collectFocusable(QAccessible::queryAccessibleInterface(s->window.get()), named, unnamed);
        QCOMPARE(unnamed, QStringList());
        QCOMPARE(named.size(), 31);
    }

    void controls_data()
    {
        QTest::addColumn<QString>("object");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("role");
        QTest::addColumn<QVariant>("value");   // the value interface's, or none
        QTest::addColumn<QString>("state");    // "checked", "unchecked", "invisible" or empty
        QTest::newRow("close") << "pbClose" << "Close" << int(QAccessible::Button) << QVariant() << "";
        QTest::newRow("sidebar, page shown") << "pbS1" << "INPUTS" << int(QAccessible::CheckBox) << QVariant() << "checked";
        QTest::newRow("sidebar, page hidden") << "pbS4" << "DEVICE" << int(QAccessible::CheckBox) << QVariant() << "unchecked";
        QTest::newRow("bite point") << "hsBite" << "BITE POINT" << int(QAccessible::Slider) << QVariant(60) << "";
        QTest::newRow("combined") << "cbPaddle" << "COMBINED" << int(QAccessible::CheckBox) << QVariant() << "checked";
        QTest::newRow("firmware path") << "lePath" << "FIRMWARE" << int(QAccessible::EditableText) << QVariant() << "";
        QTest::newRow("file button") << "pbPath" << "Choose firmware file…" << int(QAccessible::Button) << QVariant() << "";
        QTest::newRow("upload") << "pbUpgrade" << "Upgrade" << int(QAccessible::Button) << QVariant() << "";
        QTest::newRow("progress") << "pgUpgrade" << "Upload progress" << int(QAccessible::ProgressBar) << QVariant(24) << "";
        QTest::newRow("save colours") << "pbSave" << "Save Setting" << int(QAccessible::Button) << QVariant() << "";
        QTest::newRow("version") << "lbVersion" << "Firmware Version:1.0.3" << int(QAccessible::StaticText) << QVariant() << "";
        QTest::newRow("banner") << "disconnectedBanner"
                                << "The wheel is disconnected. Waiting for it to be plugged in again ..."
                                << int(QAccessible::AlertMessage) << QVariant() << "";
        QTest::newRow("wheel picture") << "lbMainRGB" << "" << int(QAccessible::Graphic) << QVariant() << "invisible";
        QTest::newRow("header picture") << "lbSplit" << "" << int(QAccessible::Graphic) << QVariant() << "invisible";
    }
    void controls()
    {
        QFETCH(QString, object);
        QFETCH(QString, name);
        QFETCH(int, role);
        QFETCH(QVariant, value);
        QFETCH(QString, state);
        QAccessibleInterface *iface = accessible(object);
        QVERIFY(iface);
        QCOMPARE(iface->text(QAccessible::Name), name);
        QCOMPARE(int(iface->role()), role);
        QCOMPARE(iface->valueInterface() ? iface->valueInterface()->currentValue() : QVariant(), value);
        QCOMPARE(iface->state().checked, state == QLatin1String("checked"));
        QCOMPARE(bool(iface->state().invisible), state == QLatin1String("invisible") || !child(object)->isVisible());
    }

    // Each LED is named by its button and describes the colour it shows, also after a pick.
    void ledsTellTheirColours()
    {
        for (const char *button : {"pbB1", "pbB2", "pbB3", "pbB4", "pbB5", "pbB6", "pbB9", "pbB10", "pbB11",
                                   "pbB12", "pbB13", "pbB14", "pbD3", "pbD4", "pbD13", "pbD16", "pbD23", "pbD26"}) {
            QAccessibleInterface *iface = accessible(button);
            QCOMPARE(iface->text(QAccessible::Name), QStringLiteral("LED ") + &button[2]);
            QCOMPARE(int(iface->role()), int(QAccessible::Button));
            QCOMPARE(iface->text(QAccessible::Description), QStringLiteral("Colour ") + storedColour(button));
        }
        s->answerer.chooseColor(QColor(0x12, 0x34, 0xAB));
        s->child<QPushButton>("pbD16")->click();
        QCOMPARE(accessible("pbD16")->text(QAccessible::Description), QStringLiteral("Colour #1234AB"));
    }

    // Tab from the first sidebar button round the window, on each page with controls.
    void tabOrder_data()
    {
        const QStringList sidebar{"pbS1", "pbS2", "pbS3", "pbS4", "pbS5"};
        QTest::addColumn<int>("page");
        QTest::addColumn<QStringList>("order");
        QTest::newRow("INPUTS") << 0 << sidebar + QStringList{"pbClose", "pbS1"};
        QTest::newRow("RGB") << 1
                             << sidebar + QStringList{"pbB1", "pbB2", "pbD3", "pbB3", "pbB4", "pbB5", "pbB6",
                                                      "pbD13", "pbD23", "pbD16", "pbD26", "pbB9", "pbB10", "pbD4",
                                                      "pbB11", "pbB12", "pbB13", "pbB14", "pbSave", "pbClose", "pbS1"};
        QTest::newRow("PADDLES") << 2 << sidebar + QStringList{"cbPaddle", "hsBite", "pbSaveP", "pbClose", "pbS1"};
        QTest::newRow("DEVICE") << 3 << sidebar + QStringList{"lePath", "pbPath", "pbUpgrade", "pbClose", "pbS1"};
    }
    void tabOrder()
    {
        QFETCH(int, page);
        QFETCH(QStringList, order);
        showPage(page);
        child("pbS1")->setFocus(Qt::OtherFocusReason);
        QStringList walked{focused()};
        while (walked.size() < order.size()) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            walked << focused();
        }
        QCOMPARE(walked, order);
    }

    void pageKeys_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("from");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("shown");
        QTest::addColumn<QString>("to");
        const int ctrl = Qt::ControlModifier, none = Qt::NoModifier;
        QTest::newRow("Ctrl+Tab") << 0 << "pbS1" << int(Qt::Key_Tab) << ctrl << 1 << "pbS2";
        QTest::newRow("Ctrl+Shift+Tab wraps") << 0 << "pbS1" << int(Qt::Key_Backtab) << int(ctrl | Qt::ShiftModifier) << 4 << "pbS5";
        QTest::newRow("Ctrl+PgDown from an LED") << 1 << "pbB1" << int(Qt::Key_PageDown) << ctrl << 2 << "pbS3";
        QTest::newRow("Ctrl+PgUp from the slider") << 2 << "hsBite" << int(Qt::Key_PageUp) << ctrl << 1 << "pbS2";
        QTest::newRow("Down") << 0 << "pbS2" << int(Qt::Key_Down) << none << 0 << "pbS3";
        QTest::newRow("Left") << 0 << "pbS2" << int(Qt::Key_Left) << none << 0 << "pbS1";
        QTest::newRow("Up at the top") << 0 << "pbS1" << int(Qt::Key_Up) << none << 0 << "pbS1";
        QTest::newRow("Right at the bottom") << 0 << "pbS5" << int(Qt::Key_Right) << none << 0 << "pbS5";
        QTest::newRow("Enter") << 0 << "pbS4" << int(Qt::Key_Return) << none << 3 << "pbS4";
        QTest::newRow("Space") << 0 << "pbS3" << int(Qt::Key_Space) << none << 2 << "pbS3";
    }
    void pageKeys()
    {
        QFETCH(int, page);
        QFETCH(QString, from);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(int, shown);
        QFETCH(QString, to);
        showPage(page);
        child(from)->setFocus(Qt::OtherFocusReason);
        QTest::keyClick(child(from), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(currentPage(), shown);
        QCOMPARE(focused(), to);
        QVERIFY(child(QStringLiteral("pbS%1").arg(shown + 1))->property("checked").toBool());
    }

    void sliderPreviewsWithArrows()
    {
        showPage(2);
        QTest::keyClick(child("hsBite"), Qt::Key_Right);
        QCOMPARE(int(sim::shownPaddle()), 61);
    }

    // After Tab a ring in the sidebar's blue lies around the focused control
    // and nothing changed around it (the control itself is drawn by Qt's
    // style, as before); after a mouse click the window is as it was.
    void focusRing_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::newRow("sidebar button") << 0 << "pbS1" << "pbS2";
        QTest::newRow("LED button") << 1 << "pbS5" << "pbB1";
        QTest::newRow("path field") << 3 << "pbS5" << "lePath";
    }
    void focusRing()
    {
        QFETCH(int, page);
        QFETCH(QString, from);
        QFETCH(QString, to);
        const QPoint header(600, 20);
        showPage(page);
        QTest::mouseMove(s->window.get(), header);
        child(from)->setFocus(Qt::OtherFocusReason);
        const QImage before = shot();

        QTest::keyClick(child(from), Qt::Key_Tab);
        QCOMPARE(focused(), to);
        const QImage marked = shot();
        const QRect control = rectOf(to);
        const QRect ring = control.adjusted(-FocusRing::kWidth, -FocusRing::kWidth, FocusRing::kWidth, FocusRing::kWidth);
        int band = 0, blue = 0;
        for (int y = ring.top(); y <= ring.bottom(); ++y)
            for (int x = ring.left(); x <= ring.right(); ++x)
                if (marked.rect().contains(x, y) && !control.contains(x, y)) {
                    ++band;
                    blue += QColor(marked.pixel(x, y)) == FocusRing::colour();
                }
        // The whole band, but what the window's edge cuts off.
        QVERIFY(band >= 2 * (control.width() + control.height()));
        QCOMPARE(blue, band);
        QCOMPARE(changedPixels(before, marked, {ring}), 0);

        // Qt's style may still tint the focused button itself; all else is as before.
        const QString sidebar = QStringLiteral("pbS%1").arg(page + 1);
        QTest::mouseClick(child(sidebar), Qt::LeftButton);
        QTest::mouseMove(s->window.get(), header);
        QCOMPARE(changedPixels(before, shot(), {rectOf(sidebar)}), 0);
    }
};

QTEST_MAIN(AccessibilityTest)
#include "tst_accessibility.moc"
