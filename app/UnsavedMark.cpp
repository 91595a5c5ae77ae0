#include "app/UnsavedMark.h"

#include <QPushButton>

namespace {

// Right of the 161-pixel button with a gap, as tall as it; the pages have
// nothing there.
constexpr int kGap = 12;
constexpr int kWidth = 200;
// Amber as on the wheel's grip LEDs; an edge on the left is the mark itself.
const char kStyle[] = "color: rgb(255, 149, 0); border-style: solid; border-width: 0px 0px 0px 4px;"
                      " border-color: rgb(255, 149, 0); padding-left: 8px;"
                      " font-family: Arial; font-weight: bold; font-size: 14px;";

} // namespace

UnsavedMark::UnsavedMark(QPushButton *saveButton)
    : QLabel(saveButton->parentWidget())
    , saveButton(saveButton)
{
    const QRect button = saveButton->geometry();
    setGeometry(button.right() + 1 + kGap, button.top(), kWidth, button.height());
    setStyleSheet(QString::fromLatin1(kStyle));
    setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setText(tr("Unsaved changes"));
    setAccessibleName(tr("Unsaved changes"));
    hide();
}

void UnsavedMark::setUnsaved(const QString &description)
{
    const bool unsaved = !description.isEmpty();
    if (!unsaved && isHidden())
        return;
    if (isHidden())
        buttonDescription = saveButton->accessibleDescription();
    saveButton->setAccessibleDescription(unsaved ? description : buttonDescription);
    setAccessibleDescription(description);
    setToolTip(description);
    setVisible(unsaved);
}
