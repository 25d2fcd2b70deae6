#include "reports/valueformat.h"

#include "core/formats.h"

#include <QDate>
#include <QDateTime>

namespace kelvo {

namespace {

bool isNumberPattern(const QString& format) {
    if (format.isEmpty())
        return false;
    for (const QChar c : format) {
        if (c != u'#' && c != u'0' && c != u' ' && c != u'.' && c != u',')
            return false;
    }
    return true;
}

QString dateText(const QDate& date, const QString& format) {
    return date.toString(format.isEmpty() || isNumberPattern(format) ? QStringLiteral("dd.MM.yyyy")
                                                                     : format);
}

} // namespace

QString formatValue(const QVariant& value, const QString& format) {
    if (!value.isValid() || value.isNull())
        return {};
    switch (value.typeId()) {
    case QMetaType::QDate:
        return dateText(value.toDate(), format);
    case QMetaType::QDateTime: {
        const QDateTime dt = value.toDateTime();
        if (format.isEmpty() && dt.time() != QTime(0, 0))
            return dt.toString(QStringLiteral("dd.MM.yyyy hh:mm:ss"));
        if (!format.isEmpty() && !isNumberPattern(format))
            return dt.toString(format);
        return dateText(dt.date(), QString());
    }
    case QMetaType::Double:
    case QMetaType::Float:
        return formatNumber(value.toDouble(),
                            isNumberPattern(format) ? format : QStringLiteral("0.##########"));
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return isNumberPattern(format) ? formatNumber(value.toDouble(), format) : value.toString();
    default:
        break;
    }
    const QString text = value.toString();
    if (isNumberPattern(format)) {
        // Amounts that reach us as text still print in the amount format.
        bool ok = false;
        const double number =
            QString(text).trimmed().replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok);
        if (ok)
            return formatNumber(number, format);
    }
    return text;
}

} // namespace kelvo
