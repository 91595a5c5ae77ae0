#pragma once
// The program speaks the user's language where a catalogue for it is built in
// (":/i18n/vorla-setting_<language>.qm", compiled from i18n/*.ts); Qt's own
// dialogs and buttons use Qt's catalogues where the system has them.

#include <QString>

class QCoreApplication;
class QLocale;

namespace vorla {

// Installs on app the translators for locale: the program's catalogue, looked
// up in directory, and Qt's own. They belong to app. Returns whether the
// program's catalogue was found.
bool installTranslators(QCoreApplication &app, const QLocale &locale,
                        const QString &directory = QStringLiteral(":/i18n"));

} // namespace vorla
