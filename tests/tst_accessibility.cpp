// The window as a screen reader and a keyboard meet it, through QAccessible
// (the tree Qt hands to AT-SPI and UI Automation alike), in-process.
#include "app/FocusRing.h"
#include "support/WheelTest.h"

#include <QAccessible>
#include <QPushButton>
#include <QStackedWidget>

#include <functional>

using namespace wheeltest;

class AccessibilityTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<Session> s;

    QWidget *child(const QString &name) const { return s->child<QWidget>(qPrintable(name)); }
    QAccessibleInterface *accessible(const QString &name) const { return QAccessible::queryAccessibleInterface(child(name)); }
    QString focused() const { return QApplication::focusWidget()->objectName(); }
    QRect rectOf(const QString &name) const { return QRect(child(name)->mapTo(s->window.get(), QPoint()), child(name)->size()); }
    QImage shot() const { return s->window->grab().toImage(); }
    void showPage(int page) const { static_cast<QPushButton *>(child(QStringLiteral("pbS%1").arg(page + 1)))->click(); }

    // The pixels of `b` in `area` that are not `colour` (or, with an invalid colour, differ from `a`).
    static int otherPixels(const QImage &a, const QImage &b, const QRegion &area, const QColor &colour = QColor())
    {
        int count = 0;
        for (const QRect &r : area.intersected(b.rect()))
            for (int y = r.top(); y <= r.bottom(); ++y)
                for (int x = r.left(); x <= r.right(); ++x)
                    count += colour.isValid() ? QColor(b.pixel(x, y)) != colour : a.pixel(x, y) != b.pixel(x, y);
        return count;
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
        const std::function<void(QAccessibleInterface *)> walk = [&](QAccessibleInterface *iface) {
            if (iface->state().focusable)
                (iface->text(QAccessible::Name).isEmpty() ? unnamed : named) << iface->object()->objectName();
            for (int i = 0; i < iface->childCount(); ++i)
                walk(iface->child(i));
        };
        walk(QAccessible::queryAccessibleInterface(s->window.get()));
        QCOMPARE(unnamed, QStringList());
        QCOMPARE(named.size(), 31);
    }

    void controls_data()
    {
        QTest::addColumn<QString>("object");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("role");
        QTest::addColumn<QVariant>("value"); // the value interface's
        QTest::addColumn<QString>("state");  // "checked", "selected" (and checked), "invisible" or empty
        QTest::newRow("close") << "pbClose" << "Close" << int(QAccessible::Button) << QVariant() << "";
        QTest::newRow("sidebar, page shown") << "pbS1" << "INPUTS" << int(QAccessible::PageTab) << QVariant() << "selected";
        QTest::newRow("sidebar, page hidden") << "pbS4" << "DEVICE" << int(QAccessible::PageTab) << QVariant() << "";
        QTest::newRow("bite point") << "hsBite" << "BITE POINT" << int(QAccessible::Slider) << QVariant(60) << "";
        QTest::newRow("combined") << "cbPaddle" << "COMBINED" << int(QAccessible::CheckBox) << QVariant() << "checked";
        QTest::newRow("firmware path") << "lePath" << "FIRMWARE" << int(QAccessible::EditableText) << QVariant() << "";
        QTest::newRow("file button") << "pbPath" << "Choose firmware file…" << int(QAccessible::Button) << QVariant() << "";
        QTest::newRow("upload") << "pbUpgrade" << "Upgrade" << int(QAccessible::Button) << QVariant() << "";
        QTest::newRow("progress") << "pgUpgrade" << "Upload progress" << int(QAccessible::ProgressBar) << QVariant(24) << "";
        QTest::newRow("version") << "lbVersion" << "Firmware Version:1.0.3" << int(QAccessible::StaticText) << QVariant() << "";
        QTest::newRow("banner") << "disconnectedBanner" << "The wheel is disconnected. Waiting for it to be plugged in again ..."
                                << int(QAccessible::AlertMessage) << QVariant() << "";
        QTest::newRow("picture") << "lbSplit" << "" << int(QAccessible::Graphic) << QVariant() << "invisible";
    }
    void controls()
    {
        QFETCH(QString, object);
        QFETCH(QString, name);
        QFETCH(int, role);
        QFETCH(QVariant, value);
        QFETCH(QString, state);
        QAccessibleInterface *iface = accessible(object);
        QCOMPARE(iface->text(QAccessible::Name), name);
        QCOMPARE(int(iface->role()), role);
        QCOMPARE(iface->valueInterface() ? iface->valueInterface()->currentValue() : QVariant(), value);
        QCOMPARE(bool(iface->state().checked), state == QLatin1String("checked") || state == QLatin1String("selected"));
        QCOMPARE(bool(iface->state().selected), state == QLatin1String("selected"));
        QCOMPARE(bool(iface->state().invisible), state == QLatin1String("invisible") || !child(object)->isVisible());
    }

    // A sidebar button's action chooses its page as a click does: its first
    // (a screen reader's "activate"), and press and toggle, which UI
    // Automation's patterns ask for. Then exactly that button is checked, and
    // selected as a tab, and its page shows.
    void sidebarActions_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("action"); // empty: the first listed
        const char *const names[] = {"INPUTS", "RGB", "PADDLES", "DEVICE", "ABOUT"};
        for (int page = 0; page < 5; ++page)
            QTest::newRow(names[page]) << (page + 1) % 5 << page << QString();
        QTest::newRow("the shown page's own") << 2 << 2 << QString();
        QTest::newRow("press") << 0 << 3 << QAccessibleActionInterface::pressAction();
        QTest::newRow("toggle") << 0 << 3 << QAccessibleActionInterface::toggleAction();
    }
    void sidebarActions()
    {
        QFETCH(int, from);
        QFETCH(int, page);
        QFETCH(QString, action);
        showPage(from);
        QAccessibleActionInterface *actions = accessible(QStringLiteral("pbS%1").arg(page + 1))->actionInterface();
        QVERIFY(actions);
        actions->doAction(action.isEmpty() ? actions->actionNames().value(0) : action);
        QStringList checked;
        for (int i = 1; i <= 5; ++i) {
            const QString name = QStringLiteral("pbS%1").arg(i);
            if (child(name)->property("checked").toBool() || accessible(name)->state().selected)
                checked << name + (accessible(name)->state().selected ? "" : " (not selected)");
        }
        QCOMPARE(checked, QStringList{QStringLiteral("pbS%1").arg(page + 1)});
        QVERIFY(s->child<QStackedWidget>("stackedWidget")->widget(page)->isVisible());
    }

    // Each LED is named by its button and tells the colour the wheel keeps, also after a pick.
    void ledsTellTheirColours()
    {
        const vorla::LedBlock block = sim::storedLeds();
        for (const char *button : kSlotButtons) {
            const int v = 3 * lastSlotOf(button);
            const QColor stored(kLevels[channelLevel(block.data(), v)], kLevels[channelLevel(block.data(), v + 1)],
                                kLevels[channelLevel(block.data(), v + 2)]);
            QCOMPARE(accessible(button)->text(QAccessible::Name), QStringLiteral("LED ") + &button[2]);
            QCOMPARE(accessible(button)->text(QAccessible::Description), "Colour " + stored.name().toUpper());
        }
        s->answerer.chooseColor(QColor(0x12, 0x34, 0xAB));
        static_cast<QPushButton *>(child("pbD16"))->click();
        QCOMPARE(accessible("pbD16")->text(QAccessible::Description), QStringLiteral("Colour #1234AB"));
    }

    // Tab from the first sidebar button round the window.
    void tabOrder_data()
    {
        const QStringList sidebar{"pbS1", "pbS2", "pbS3", "pbS4", "pbS5"};
        QTest::addColumn<int>("page");
        QTest::addColumn<QStringList>("order");
        QTest::newRow("INPUTS") << 0 << sidebar + QStringList{"pbClose", "pbS1"};
        QTest::newRow("RGB") << 1 << sidebar + QStringList{"pbB1", "pbB2", "pbD3", "pbB3", "pbB4", "pbB5", "pbB6",
                                                           "pbD13", "pbD23", "pbD16", "pbD26", "pbB9", "pbB10", "pbD4",
                                                           "pbB11", "pbB12", "pbB13", "pbB14", "pbSave", "pbClose"};
        QTest::newRow("PADDLES") << 2 << sidebar + QStringList{"cbPaddle", "hsBite", "pbSaveP", "pbClose"};
        QTest::newRow("DEVICE") << 3 << sidebar + QStringList{"lePath", "pbPath", "pbUpgrade", "pbClose"};
    }
    void tabOrder()
    {
        QFETCH(int, page);
        QFETCH(QStringList, order);
        showPage(page);
        child("pbS1")->setFocus();
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
        QTest::newRow("Up at the top") << 0 << "pbS1" << int(Qt::Key_Up) << none << 0 << "pbS1";
        QTest::newRow("Enter") << 0 << "pbS4" << int(Qt::Key_Return) << none << 3 << "pbS4";
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
        child(from)->setFocus();
        QTest::keyClick(child(from), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(s->child<QStackedWidget>("stackedWidget")->currentIndex(), shown);
        QCOMPARE(focused(), to);
        QVERIFY(child(QStringLiteral("pbS%1").arg(shown + 1))->property("checked").toBool());
    }

    // After Tab a ring in the sidebar's blue lies around the focused control
    // and nothing else around it changed (Qt's style draws the control itself);
    // after a mouse click every pixel but the clicked button's is as before.
    void focusRing_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::newRow("sidebar button") << 0 << "pbS1" << "pbS2";
        QTest::newRow("LED button") << 1 << "pbS5" << "pbB1";
    }
    void focusRing()
    {
        QFETCH(int, page);
        QFETCH(QString, from);
        QFETCH(QString, to);
        const QPoint header(600, 20);
        showPage(page);
        QTest::mouseMove(s->window.get(), header);
        child(from)->setFocus();
        const QImage before = shot();

        QTest::keyClick(child(from), Qt::Key_Tab);
        QCOMPARE(focused(), to);
        const QRect control = rectOf(to);
        const QRect ring = control.adjusted(-FocusRing::kWidth, -FocusRing::kWidth, FocusRing::kWidth, FocusRing::kWidth);
        QCOMPARE(otherPixels(before, shot(), QRegion(ring) - control, FocusRing::colour()), 0);
        QCOMPARE(otherPixels(before, shot(), QRegion(before.rect()) - ring), 0);

        const QString sidebar = QStringLiteral("pbS%1").arg(page + 1);
        QTest::mouseClick(child(sidebar), Qt::LeftButton);
        QTest::mouseMove(s->window.get(), header);
        QCOMPARE(otherPixels(before, shot(), QRegion(before.rect()) - rectOf(sidebar)), 0);
    }
};

QTEST_MAIN(AccessibilityTest)
#include "tst_accessibility.moc"
