#include "reports/valueformat.h"

#include <gtest/gtest.h>
#include <QDateTime>

namespace kelvo {
namespace {

struct FormatCase {
    QVariant value;
    const char* format;
    const char* expected;
};

class ValueFormat : public ::testing::TestWithParam<FormatCase> {};

TEST_P(ValueFormat, PrintsValuesAsAnAccountantExpects) {
    EXPECT_EQ(formatValue(GetParam().value, QString::fromUtf8(GetParam().format)).toStdString(),
              GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Reports, ValueFormat,
    ::testing::Values(
        FormatCase{1234567.891, "## ### ##0.00", "1 234 567,89"},
        FormatCase{-5.0, "## ### ##0.00", "-5,00"},
        FormatCase{QStringLiteral("1234.5"), "## ### ##0.00", "1 234,50"}, // amounts held as text
        FormatCase{1234.5, "0.00", "1234,50"}, FormatCase{12.25, "", "12,25"},
        FormatCase{qlonglong(2014), "", "2014"}, FormatCase{QDate(2014, 3, 5), "", "05.03.2014"},
        FormatCase{QDate(2014, 3, 5), "d.M.yyyy", "5.3.2014"},
        FormatCase{QDateTime(QDate(2014, 12, 31), QTime(0, 0)), "", "31.12.2014"},
        FormatCase{QDateTime(QDate(2014, 12, 31), QTime(8, 5)), "", "31.12.2014 08:05:00"},
        FormatCase{QStringLiteral("A"), "## ### ##0.00", "A"},
        FormatCase{QVariant(), "## ### ##0.00", ""}));

} // namespace
} // namespace kelvo
