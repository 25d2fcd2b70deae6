#pragma once

#include <QString>
#include <QVariant>

namespace kelvo {

// A value as a report prints it. The format is a number pattern of '#', '0', ' '
// and '.' ("## ### ##0.00" for amounts, "0.00" for two decimals) or a date
// pattern ("dd.MM.yyyy"); empty prints dates as dd.MM.yyyy and numbers as they are.
// A format that does not suit the value is ignored.
QString formatValue(const QVariant& value, const QString& format);

} // namespace kelvo
