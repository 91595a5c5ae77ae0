#include "i18n/PseudoText.h"

#include <QHash>
#include <QRegularExpression>
#include <QStringList>

namespace {

// %1, %L1, %n; <b>, </b>; &amp;. Kept as they are, wherever they stand.
const QRegularExpression &keptPattern()
{
    static const QRegularExpression kept(QStringLiteral(R"(%L?\d+|%n|<[^>]*>|&[A-Za-z]+;)"));
    return kept;
}

// The file pattern that ends a file-dialog filter, with the space before it:
// " (*.bin)", " (*.png *.jpg)".
const QRegularExpression &filePattern()
{
    static const QRegularExpression pattern(QStringLiteral(R"(\s*\(\*[^()]*\)$)"));
    return pattern;
}

const QString kSeparator = QStringLiteral(";;");

QChar accented(QChar c)
{
    static const QString from = QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ");
    static const QString to = QStringLiteral(
        "áƀçđéƒĝĥíĵķĺɱñóƥʠŕśţúṽŵẋýžÁƁÇĐÉƑĜĤÍĴĶĹṀÑÓƤǪŔŚŢÚṼŴẊÝŽ");
    const int index = from.indexOf(c);
    return index < 0 ? c : to.at(index);
}

QString accentFreeText(const QString &text)
{
    QString result;
    int from = 0;
    QRegularExpressionMatchIterator kept = keptPattern().globalMatch(text);
    const auto accentUpTo = [&](int end) {
        for (int i = from; i < end; ++i)
            result += accented(text.at(i));
    };
    while (kept.hasNext()) {
        const QRegularExpressionMatch match = kept.next();
        accentUpTo(match.capturedStart());
        result += match.captured();
        from = match.capturedEnd();
    }
    accentUpTo(text.size());
    return result;
}

QString translateFilter(const QString &filter)
{
    if (filter.isEmpty())
        return filter;
    const QRegularExpressionMatch pattern = filePattern().match(filter);
    const int end = pattern.hasMatch() ? pattern.capturedStart() : filter.size();
    return QLatin1Char('[') + accentFreeText(filter.left(end)) + QLatin1Char(']') + filter.mid(end);
}

} // namespace

QString pseudo::translate(const QString &source)
{
    QStringList filters = source.split(kSeparator);
    for (QString &filter : filters)
        filter = translateFilter(filter);
    return filters.join(kSeparator);
}

bool pseudo::isTranslated(const QString &shown)
{
    QString rest;
    for (const QString &filter : shown.split(kSeparator)) {
        const QRegularExpressionMatch pattern = filePattern().match(filter);
        rest += pattern.hasMatch() ? filter.left(pattern.capturedStart()) : filter;
    }
    rest.remove(keptPattern());
    static const QRegularExpression asciiLetter(QStringLiteral("[A-Za-z]"));
    return rest.contains(QLatin1Char('[')) && rest.contains(QLatin1Char(']')) && !rest.contains(asciiLetter);
}
