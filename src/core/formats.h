#pragma once

#include <QDate>
#include <QString>

namespace kelvo {

// The display format of amounts, "## ### ##0.00": two decimals, the whole part in
// groups of three digits separated by a blank, a decimal comma.
inline const QString kAmountFormat = QStringLiteral("## ### ##0.00");

// Formats a number by a display pattern of '#', '0', ' ' (group separator) and
// '.' (decimal point, shown as a comma). "## ### ##0.00" turns 1234567.89 into
// "1 234 567,89" and -5 into "-5,00".
QString formatNumber(double value, const QString& pattern);

// The program's short date format. Windows show and read dates through it; it
// starts as a Czech desktop writes dates ("d.M.yyyy") and can be changed during
// the run (the update check sets "dd.MM.yyyy"). One object is owned by the
// application and handed to whoever shows or reads dates.
class DateFormat {
public:
    explicit DateFormat(QString pattern = QStringLiteral("d.M.yyyy")) : pattern_(std::move(pattern)) {}

    const QString& pattern() const { return pattern_; }
    void setPattern(const QString& pattern) { pattern_ = pattern; }

    QString format(const QDate& date) const;
    // Reads a date typed by the user: day, month and four-digit year in the
    // pattern's order, separated by '.', with or without leading zeros. An
    // invalid text gives an invalid date.
    QDate parse(const QString& text) const;

private:
    QString pattern_;
};

} // namespace kelvo
