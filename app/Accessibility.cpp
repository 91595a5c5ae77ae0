#include "app/Accessibility.h"

#include "app/FocusRing.h"
#include "app/KeyboardNavigation.h"
#include "app/MainWindow.h"
#include "app/forms/MainWindowForm.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>

namespace {

// The pictures that only decorate, by their parent and object name: the
// header strip, the emblem, the rule, the three wheel drawings and the logo.
struct Picture {
    const char *parent;
    const char *name;
};
constexpr Picture kDecorations[] = {
    {"centralwidget", "lbSplit"}, {"centralwidget", "lbIcon"}, {"centralwidget", "lbLine"},
    {"page1", "lbMain"},          {"page2", "lbMainRGB"},      {"page3", "lbPaddle"},
    {"page5", "label"},
};

bool isDecoration(const QObject *object)
{
    const QObject *parent = object->parent();
    if (!parent || !qobject_cast<const QLabel *>(object))
        return false;
    for (const Picture &picture : kDecorations)
        if (object->objectName() == QLatin1String(picture.name) && parent->objectName() == QLatin1String(picture.parent))
            return true;
    return false;
}

// A picture that says nothing: screen readers pass over what is not showing.
class DecorationAccessible : public QAccessibleWidget
{
public:
    explicit DecorationAccessible(QWidget *picture)
        : QAccessibleWidget(picture, QAccessible::Graphic)
    {
    }
    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.invisible = true;
        return state;
    }
};

// The disconnected banner as an alert: AT-SPI tells an alert's appearing and
// going ("showing") to the screen reader, which reads it out as it appears.
class BannerAccessible : public QAccessibleWidget
{
public:
    explicit BannerAccessible(QWidget *banner)
        : QAccessibleWidget(banner, QAccessible::AlertMessage)
    {
    }
    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name)
            return static_cast<QLabel *>(widget())->text();
        return QAccessibleWidget::text(t);
    }
};

QAccessibleInterface *windowAccessible(const QString &className, QObject *object)
{
    if (!object || !object->isWidgetType())
        return nullptr;
    if (className == QLatin1String("DisconnectedBanner"))
        return new BannerAccessible(static_cast<QWidget *>(object));
    if (className == QLatin1String("QLabel") && isDecoration(object))
        return new DecorationAccessible(static_cast<QWidget *>(object));
    return nullptr;
}

} // namespace

namespace accessibility {

void setUp(QMainWindow *window, MainWindowForm *form)
{
    // After QApplication's own factory, so that it is asked first (the last
    // installed is), and before anything asks for the pictures and the
    // banner: Qt keeps the first interface it makes for an object.
    QAccessible::installFactory(windowAccessible);
    form->pbClose->setAccessibleName(MainWindow::tr("Close"));
    form->pbPath->setAccessibleName(MainWindow::tr("Choose firmware file…"));
    form->pgUpgrade->setAccessibleName(MainWindow::tr("Upload progress"));
    // Captions name their controls, in whatever language they are shown.
    form->lbBite->setBuddy(form->hsBite);
    form->label_4->setBuddy(form->lePath);
    for (QPushButton *led : window->findChildren<QPushButton *>()) {
        if (led->parentWidget() == form->page2 && led != form->pbSave)
            led->setAccessibleName(MainWindow::tr("LED %1").arg(led->objectName().mid(2)));
    }

    new KeyboardNavigation(window, form);
    new FocusRing(window);
}

void describeLed(QWidget *button, const QColor &colour)
{
    button->setAccessibleDescription(MainWindow::tr("Colour %1").arg(colour.name().toUpper()));
}

} // namespace accessibility
