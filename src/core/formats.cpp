#include "formats.h"

#include <QRegularExpression>
#include <cmath>

namespace kelvo {

QString formatNumber(double value, const QString& pattern)
{
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");

    const int point = pattern.indexOf(QLatin1Char('.'));
    const QString intPattern = point < 0 ? pattern : pattern.left(point);
    const QString fracPattern = point < 0 ? QString() : pattern.mid(point + 1);
    const int decimals = int(fracPattern.count(QLatin1Char('0')) + fracPattern.count(QLatin1Char('#')));
    const int minFrac = int(fracPattern.count(QLatin1Char('0')));
    const bool grouped = intPattern.contains(QLatin1Char(' ')) || intPattern.contains(QLatin1Char(','));
    const int minInt = int(intPattern.count(QLatin1Char('0')));

    QString digits = QString::number(std::fabs(value), 'f', decimals);
    QString intPart = digits;
    QString fracPart;
    if (const int dot = digits.indexOf(QLatin1Char('.')); dot >= 0) {
        intPart = digits.left(dot);
        fracPart = digits.mid(dot + 1);
    }
    while (fracPart.size() > minFrac && fracPart.endsWith(QLatin1Char('0')))
        fracPart.chop(1);
    if (intPart == QLatin1String("0") && minInt == 0)
        intPart.clear();
    while (intPart.size() < minInt)
        intPart.prepend(QLatin1Char('0'));

    if (grouped) {
        for (int i = int(intPart.size()) - 3; i > 0; i -= 3)
            intPart.insert(i, QLatin1Char(' '));
    }
    QString result = intPart;
    if (!fracPart.isEmpty())
        result += QLatin1Char(',') + fracPart;
    const bool isZero = result.count(QLatin1Char('0')) + result.count(QLatin1Char(' ')) +
                            result.count(QLatin1Char(',')) ==
                        result.size();
    if (value < 0 && !isZero)
        result.prepend(QLatin1Char('-'));
    return result;
}

QString DateFormat::format(const QDate& date) const
{
    if (!date.isValid())
        return {};
    return date.toString(pattern_);
}

QDate DateFormat::parse(const QString& text) const
{
    static const QRegularExpression shape(
        QStringLiteral("^\\s*(\\d{1,4})[./-](\\d{1,2})[./-](\\d{1,4})\\s*$"));
    const auto match = shape.match(text);
    if (!match.hasMatch())
        return {};
    // The pattern tells the order of the parts: year first ("yyyy-MM-dd") or day first.
    const bool yearFirst = pattern_.trimmed().startsWith(QLatin1Char('y'));
    const QString yearText = yearFirst ? match.captured(1) : match.captured(3);
    const QString dayText = yearFirst ? match.captured(3) : match.captured(1);
    if (yearText.size() != 4)
        return {};
    const QDate date(yearText.toInt(), match.captured(2).toInt(), dayText.toInt());
    return date.isValid() ? date : QDate();
}

} // namespace kelvo
