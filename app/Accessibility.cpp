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
#include <QStackedWidget>

#include <algorithm>
#include <iterator>

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

// The sidebar buttons, by object name (their parent is centralwidget).
constexpr const char *kSidebar[] = {"pbS1", "pbS2", "pbS3", "pbS4", "pbS5"};

bool isSidebarButton(const QObject *object)
{
    const QObject *parent = object->parent();
    if (!parent || parent->objectName() != QLatin1String("centralwidget"))
        return false;
    return std::any_of(std::begin(kSidebar), std::end(kSidebar),
                       [object](const char *name) { return object->objectName() == QLatin1String(name); });
}

// A sidebar button as what it is, the tab of a page: selected (and checked,
// as it is lit) while its page shows. Its action is a click. Qt's own action
// for a checkable button toggles it, which checks a second button and shows
// no page: the window switches pages on a click and keeps exactly one button
// checked, which a toggle bypasses.
class SidebarTabAccessible : public QAccessibleWidget
{
public:
    explicit SidebarTabAccessible(QWidget *button)
        : QAccessibleWidget(button, QAccessible::PageTab)
    {
    }
    QString text(QAccessible::Text t) const override
    {
        // The form's texts carry no mnemonic.
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
            return button()->text();
        return QAccessibleWidget::text(t);
    }
    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.selectable = true;
        state.selected = state.checked = button()->isChecked();
        return state;
    }
    QStringList actionNames() const override
    {
        QStringList names;
        if (widget()->isEnabled())
            names << pressAction();
        return names + QAccessibleWidget::actionNames();
    }
    void doAction(const QString &action) override
    {
        // A toggle, where a client asks for one, chooses the page as well;
        // on the shown page's button it keeps it checked, as a click does.
        if (widget()->isEnabled() && (action == pressAction() || action == toggleAction()))
            button()->click();
        else
            QAccessibleWidget::doAction(action);
    }
    QStringList keyBindingsForAction(const QString &) const override { return {}; }

private:
    QPushButton *button() const { return static_cast<QPushButton *>(widget()); }
};

QAccessibleInterface *windowAccessible(const QString &className, QObject *object)
{
    if (!object || !object->isWidgetType())
        return nullptr;
    if (className == QLatin1String("QPushButton") && isSidebarButton(object))
        return new SidebarTabAccessible(static_cast<QWidget *>(object));
    if (className == QLatin1String("DisconnectedBanner"))
        return new BannerAccessible(static_cast<QWidget *>(object));
    if (className == QLatin1String("QLabel") && isDecoration(object))
        return new DecorationAccessible(static_cast<QWidget *>(object));
    return nullptr;
}

} // namespace

namespace accessibility {

void installFactory()
{
    // After QApplication's own factory, so that it is asked first (the last
    // installed is), and before the widgets are built: Qt keeps the first
    // interface it makes for an object, and with accessibility on from the
    // start it makes one as soon as a widget takes a text. Installed once.
    QAccessible::installFactory(windowAccessible);
}

void setUp(QMainWindow *window, MainWindowForm *form)
{
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
    // Which tab is selected changes with the page; Qt tells only the checked
    // state on its own.
    QObject::connect(form->stackedWidget, &QStackedWidget::currentChanged, window, [form](int page) {
        QPushButton *const tabs[] = {form->pbS1, form->pbS2, form->pbS3, form->pbS4, form->pbS5};
        for (int i = 0; i < int(std::size(tabs)); ++i) {
            QAccessibleEvent event(tabs[i], i == page ? QAccessible::SelectionAdd : QAccessible::SelectionRemove);
            QAccessible::updateAccessibility(&event);
        }
    });

    new KeyboardNavigation(window, form);
    new FocusRing(window);
}

void describeLed(QWidget *button, const QColor &colour)
{
    button->setAccessibleDescription(MainWindow::tr("Colour %1").arg(colour.name().toUpper()));
}

} // namespace accessibility
