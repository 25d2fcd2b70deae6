#include "core/formats.h"

#include <QDate>
#include <QString>

#include <gtest/gtest.h>

namespace kelvo {
namespace {

TEST(FormatNumber, AmountFormat)
{
    struct Case {
        double value;
        const char* expected;
    };
    const Case cases[] = {
        {1234567.89, "1 234 567,89"},
        {0, "0,00"},
        {-5, "-5,00"},
        {0.5, "0,50"},
        {999.999, "1 000,00"},
        {1e9, "1 000 000 000,00"},
        {-1234.5, "-1 234,50"},
        {123456, "123 456,00"},
        // A negative amount that shows as zero carries no minus sign.
        {-0.001, "0,00"},
        {-0.0, "0,00"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(formatNumber(c.value, kAmountFormat).toStdString(), c.expected)
            << "value " << c.value;
}

TEST(DateFormat, FormatsByPattern)
{
    const QDate date(2014, 10, 1);
    EXPECT_EQ(DateFormat(QStringLiteral("d.M.yyyy")).format(date), QStringLiteral("1.10.2014"));
    EXPECT_EQ(DateFormat(QStringLiteral("dd.MM.yyyy")).format(date), QStringLiteral("01.10.2014"));
    EXPECT_EQ(DateFormat().format(date), QStringLiteral("1.10.2014"));
    EXPECT_EQ(DateFormat().format(QDate()), QString());

    DateFormat changed;
    changed.setPattern(QStringLiteral("dd.MM.yyyy"));
    EXPECT_EQ(changed.format(QDate(2014, 3, 5)), QStringLiteral("05.03.2014"));
}

TEST(DateFormat, ParsesWithOrWithoutLeadingZeros)
{
    const QDate expected(2014, 10, 1);
    for (const char* pattern : {"d.M.yyyy", "dd.MM.yyyy"}) {
        const DateFormat format{QString::fromLatin1(pattern)};
        for (const char* text : {"1.10.2014", "01.10.2014"})
            EXPECT_EQ(format.parse(QString::fromLatin1(text)), expected)
                << pattern << " reading " << text;
        // What a date is formatted to reads back as the same date.
        EXPECT_EQ(format.parse(format.format(QDate(2000, 2, 29))), QDate(2000, 2, 29)) << pattern;
    }
}

TEST(DateFormat, RejectsInvalidText)
{
    for (const char* pattern : {"d.M.yyyy", "dd.MM.yyyy"}) {
        const DateFormat format{QString::fromLatin1(pattern)};
        for (const char* text : {"31.2.2014", "29.2.2014", "0.0.0", "1.13.2014", "1.1.10000", "",
                                 "abc", "1.10.14", "1.10.", "1..2014"})
            EXPECT_FALSE(format.parse(QString::fromLatin1(text)).isValid())
                << pattern << " accepted " << text;
    }
}

} // namespace
} // namespace kelvo
