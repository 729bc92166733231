#include <gtest/gtest.h>

#include "platform/datetime.h"
#include "platform/locale_formats.h"
#include "platform/paths.h"

namespace nomaro::platform {
namespace {

TEST(LocaleFormats, ItalianSeparatorsDateAndTimeWithoutZone)
{
    const LocaleFormats italian = LocaleFormats::fromLocale(QLocale(QLocale::Italian, QLocale::Italy));
    EXPECT_EQ(italian.thousandsSeparator, ".");
    EXPECT_EQ(italian.decimalSeparator, ",");
    EXPECT_EQ(italian.shortDateFormat, QStringLiteral("dd/MM/yy"));
    EXPECT_EQ(italian.longTimeFormat, QStringLiteral("HH:mm:ss"));

    const LocaleFormats american = LocaleFormats::fromLocale(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_FALSE(american.longTimeFormat.contains(u't'));
    EXPECT_TRUE(american.longTimeFormat.contains(QStringLiteral("ss")));
}

TEST(WholeNumber, GroupsPadsAndRoundsHalfAwayFromZero)
{
    const LocaleFormats italian = LocaleFormats::fromLocale(QLocale(QLocale::Italian, QLocale::Italy));
    EXPECT_EQ(formatWholeNumber(0.5, 8, italian), "       1");
    EXPECT_EQ(formatWholeNumber(1499.5, 5, italian), "1.500");
    EXPECT_EQ(formatWholeNumber(999.4, 0, italian), "999");
    EXPECT_EQ(formatWholeNumber(1234567, 5, italian), "1.234.567");
    EXPECT_EQ(formatWholeNumber(-2.5, 4, italian), "  -3");

    const LocaleFormats french = LocaleFormats::fromLocale(QLocale(QLocale::French, QLocale::France));
    // A separator of more than one byte still pads by characters.
    EXPECT_EQ(QString::fromStdString(formatWholeNumber(4883, 8, french)).size(), 8);
}

TEST(DateTimeValue, CountsDaysFromTheEndOf1899)
{
    EXPECT_EQ(toDateTimeValue(QDate(1899, 12, 30), QTime(0, 0)), 0.0);
    EXPECT_EQ(toDateTimeValue(QDate(1900, 1, 1), QTime(12, 0)), 2.5);
    EXPECT_EQ(toDateTimeValue(QDate(1899, 12, 29), QTime(6, 0)), -1.25);
    for (const QDateTime &moment : {QDateTime(QDate(2026, 12, 7), QTime(23, 59, 58)),
                                    QDateTime(QDate(1850, 6, 1), QTime(6, 30, 2)),
                                    QDateTime(QDate(2107, 1, 1), QTime(0, 0, 0))})
        EXPECT_EQ(fromDateTimeValue(toDateTimeValue(moment.date(), moment.time())), moment);
}

TEST(DateTimeText, ShortDateAndLongTimeExceptAtMidnight)
{
    const LocaleFormats italian = LocaleFormats::fromLocale(QLocale(QLocale::Italian, QLocale::Italy));
    EXPECT_EQ(formatDateTime(toDateTimeValue(QDate(2026, 12, 7), QTime(9, 5, 4)), italian), "07/12/26 09:05:04");
    EXPECT_EQ(formatDateTime(toDateTimeValue(QDate(2026, 12, 7), QTime(0, 0)), italian), "07/12/26");
    EXPECT_EQ(formatDate(toDateTimeValue(QDate(2026, 12, 7), QTime(9, 5, 4)), italian), "07/12/26");
}

TEST(JoinPath, NeverDoublesTheSeparator)
{
    EXPECT_EQ(joinPath("/home/anna", "a.txt"), "/home/anna/a.txt");
    EXPECT_EQ(joinPath("/", "etc"), "/etc");
}

} // namespace
} // namespace nomaro::platform
