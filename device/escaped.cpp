#include "device/escaped.h"

namespace vorla {
namespace {

bool printable(char32_t code)
{
    switch (QChar::category(code)) {
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
        return false; // both end a line on some terminals
    default:
        return QChar::isPrint(code);
    }
}

} // namespace

QString escaped(const QString &text, int maxLength)
{
    QString shown;
    for (int i = 0; i < text.size();) {
        char32_t code = text.at(i).unicode();
        int units = 1;
        if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            code = QChar::surrogateToUcs4(text.at(i), text.at(i + 1));
            units = 2;
        }
        QString piece;
        if (printable(code)) // a lone surrogate is not
            piece = text.mid(i, units);
        else if (code <= 0xFFFF)
            piece = QStringLiteral("\\u") + QString::number(uint(code), 16).toUpper().rightJustified(4, QLatin1Char('0'));
        else
            piece = QStringLiteral("\\U") + QString::number(uint(code), 16).toUpper().rightJustified(8, QLatin1Char('0'));
        if (maxLength >= 0 && shown.size() + piece.size() > maxLength)
            return shown + QStringLiteral("...");
        shown += piece;
        i += units;
    }
    return shown;
}

} // namespace vorla
