#include "DateTime.h"
#include "Clock.h"
#include "ComCtrls.h"
#include "Exception.h"
#include "GuiTestSupport.h"

#include <clocale>
#include <cmath>
#include <string>

namespace {

struct FormatCase {
    const char *format;
    int y, mo, d, h, mi, s;
    const char *expected;
};

class DateTimeFormat : public ::testing::TestWithParam<FormatCase> {};

TEST_P(DateTimeFormat, FormatsWithFixedDesignators)
{
    const FormatCase &c = GetParam();
    TDateTime dt(EncodeDate(c.y, c.mo, c.d).Val + EncodeTime(c.h, c.mi, c.s, 0).Val);
    EXPECT_EQ(FormatDateTime(c.format, dt), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, DateTimeFormat,
    ::testing::Values(FormatCase{"yyyy/mm/dd hh:nn:ss am/pm", 2006, 3, 7, 0, 5, 9, "2006/03/07 12:05:09 am"},
                      FormatCase{"yyyy/mm/dd hh:nn:ss am/pm", 2006, 3, 7, 12, 0, 0, "2006/03/07 12:00:00 pm"},
                      FormatCase{"yyyy/mm/dd hh:nn:ss am/pm", 2006, 12, 31, 23, 59, 59,
                                 "2006/12/31 11:59:59 pm"},
                      FormatCase{"hh:nn:ss ampm", 2020, 1, 1, 13, 4, 5, "01:04:05 PM"},
                      FormatCase{"hh:nn:ss ampm", 2020, 1, 1, 9, 4, 5, "09:04:05 AM"},
                      FormatCase{"hh:nn:ss", 2020, 1, 1, 21, 4, 5, "21:04:05"},
                      FormatCase{"h:mm AM/PM", 2020, 1, 1, 21, 4, 5, "9:04 PM"},
                      FormatCase{"d mmm yy", 2024, 2, 29, 0, 0, 0, "29 Feb 24"},
                      FormatCase{"'at' hh\"h\"", 2024, 2, 29, 7, 0, 0, "at 07h"}));

TEST(DateTime, ScaleStartsAt18991230)
{
    EXPECT_DOUBLE_EQ(EncodeDate(1899, 12, 30).Val, 0.0);
    EXPECT_DOUBLE_EQ(EncodeDate(1900, 1, 1).Val, 2.0);
    EXPECT_DOUBLE_EQ(EncodeDate(2002, 1, 1).Val, 37257.0);
    int y, m, d;
    DecodeDate(TDateTime(37257.75), y, m, d);
    EXPECT_EQ(y * 10000 + m * 100 + d, 20020101);
    int h, mi, s, ms;
    DecodeTime(TDateTime(37257.75), h, mi, s, ms);
    EXPECT_EQ(h, 18);
    EXPECT_EQ(DayOfWeek(EncodeDate(2026, 1, 1)), 5); // a Thursday
}

TEST(DateTime, InvalidPartsRaise)
{
    EXPECT_THROW(EncodeDate(2023, 2, 29), Exception);
    EXPECT_THROW(EncodeDate(2024, 13, 1), Exception);
    EXPECT_THROW(EncodeTime(24, 0, 0, 0), Exception);
    EXPECT_NO_THROW(EncodeDate(2024, 2, 29));
}

TEST(DateTime, ValuesBeyondTheCalendarDecodeAsDayZero)
{
    for (double v : {std::nan(""), HUGE_VAL, -HUGE_VAL, 1e300, -1e19}) {
        int y = 0, m = 0, d = 0, h = 1, mi = 1, s = 1, ms = 1;
        DecodeDate(TDateTime(v), y, m, d);
        DecodeTime(TDateTime(v), h, mi, s, ms);
        EXPECT_EQ(y * 10000 + m * 100 + d, 18991230) << v;
        EXPECT_EQ(h + mi + s + ms, 0) << v;
    }
}

TEST(DateTime, RoundingDoesNotProduceSixtySeconds)
{
    TDateTime almost(EncodeDate(2020, 1, 1).Val + 86399.9996 / 86400.0);
    EXPECT_EQ(FormatDateTime("yyyy/mm/dd hh:nn:ss", almost), "2020/01/02 00:00:00");
}

TEST(DateTime, NowFollowsTheInstalledClock)
{
    auto clock = std::make_shared<kv::MockClock>();
    kv::ScopedClock scoped(clock);
    std::time_t t = clock->wallTime();
    std::tm local{};
    localtime_r(&t, &local);
    int y, m, d;
    DecodeDate(Now(), y, m, d);
    EXPECT_EQ(y, local.tm_year + 1900);
    EXPECT_EQ(d, local.tm_mday);
}

class Picker : public GuiTest {};

TEST_F(Picker, ClipsToRangeAndRunsNoChangeFromCode)
{
    TForm form(nullptr);
    auto *p = new TDateTimePicker(&form);
    int changes = 0;
    p->OnChange = [&](TObject *) { ++changes; };
    p->SetMinDate(EncodeDate(2002, 1, 1));
    p->SetMaxDate(EncodeDate(2012, 12, 31));
    p->SetDateTime(EncodeDate(2030, 5, 5));
    EXPECT_DOUBLE_EQ(p->Date().Val, EncodeDate(2012, 12, 31).Val);
    p->SetDateTime(TDateTime(EncodeDate(2005, 6, 7).Val + EncodeTime(15, 30, 0, 0).Val));
    EXPECT_EQ(FormatDateTime("yyyy/mm/dd hh:nn:ss am/pm", p->DateTime()), "2005/06/07 03:30:00 pm");
    EXPECT_EQ(changes, 0);
}

} // namespace
