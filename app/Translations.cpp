#include "app/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace {

QString qtTranslationsPath()
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    return QLibraryInfo::path(QLibraryInfo::TranslationsPath);
#else
    return QLibraryInfo::location(QLibraryInfo::TranslationsPath);
#endif
}

// A translator for the first of locale's languages that has a catalogue
// name_<language>.qm in directory, installed on app; false when none has.
bool install(QCoreApplication &app, const QLocale &locale, const QString &name, const QString &directory)
{
    auto *translator = new QTranslator(&app);
    if (!translator->load(locale, name, QStringLiteral("_"), directory)) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    return true;
}

} // namespace

bool vorla::installTranslators(QCoreApplication &app, const QLocale &locale, const QString &directory)
{
    // Qt's first: a translator installed later is asked first.
    install(app, locale, QStringLiteral("qtbase"), qtTranslationsPath());
    return install(app, locale, QStringLiteral("vorla-setting"), directory);
}
