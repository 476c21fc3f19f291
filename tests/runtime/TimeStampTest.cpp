#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "runtime/TimeStamp.h"

namespace {

std::string Format(const TimeStamp& stamp) {
  char text[kTimeStampTextSize];
  const int length = FormatTimeStamp(text, sizeof(text), stamp);
  EXPECT_EQ(length, int(std::strlen(text)));
  return text;
}

}  // namespace

// The table comes from Python's datetime (tests/data/runtime/make_calendar_table.py).
TEST(TimeStamp, AgreesWithTheCalendarTable) {
  std::ifstream table(BC_TEST_DATA_DIR "/runtime/calendar_table.txt");
  ASSERT_TRUE(table) << "calendar_table.txt not found";
  int years = 0;
  int stamps = 0;
  std::string line;
  while (std::getline(table, line)) {
    std::istringstream fields(line);
    char kind = 0;
    fields >> kind;
    if (kind == 'Y') {
      int year = 0;
      int64_t dayNumber = 0;
      fields >> year >> dayNumber;
      ASSERT_EQ(DayNumberOfYear(year), dayNumber) << "year " << year;
      ++years;
    } else if (kind == 'S') {
      TimeStamp stamp;
      fields >> stamp.mDay >> stamp.mSecond >> stamp.mOffset;
      std::string expected;
      std::getline(fields >> std::ws, expected);
      ASSERT_EQ(Format(stamp), expected) << "day " << stamp.mDay << " second " << stamp.mSecond;
      ++stamps;
    }
  }
  EXPECT_EQ(years, 501);
  EXPECT_GT(stamps, 4000);
}

TEST(TimeStamp, DayNumbersOfTheDesignExamples) {
  const struct {
    int year;
    int64_t dayNumber;
  } cases[] = {{INT_MIN, 0},  {1899, 0},     {1900, 0},     {1904, 1460},  {1905, 1826},
               {2000, 36524}, {2001, 36890}, {2100, 73049}, {2101, 73414}, {2400, 182621}};
  for (const auto& c : cases) EXPECT_EQ(DayNumberOfYear(c.year), c.dayNumber) << "year " << c.year;
}

TEST(TimeStamp, FormatsTheDesignExamples) {
  const struct {
    TimeStamp stamp;
    const char* text;
  } cases[] = {
      {{36890, 0, 0}, "01-JAN-2001, 00:00:00 (UTC+0)"},
      {{int32_t(DayNumberOfYear(2026) + 340), 9 * 3600 + 34 * 60 + 22, 3600},
       "07-DEC-2026, 09:34:22 (UTC+1)"},
      {{int32_t(DayNumberOfYear(2024) + 59), 0, -18000}, "29-FEB-2024, 00:00:00 (UTC-5)"},
      {{int32_t(DayNumberOfYear(2023) + 364), 86399, 19800}, "31-DEC-2023, 23:59:59 (UTC+5)"},
      {{0, 0, -3599}, "01-JAN-1900, 00:00:00 (UTC+0)"},
  };
  for (const auto& c : cases) EXPECT_EQ(Format(c.stamp), c.text);
}

TEST(TimeStamp, DayOfYearAndDifference) {
  int year = 0;
  EXPECT_EQ(TimeStampDayOfYear({int32_t(DayNumberOfYear(2024) + 365), 0, 0}, &year), 366);
  EXPECT_EQ(year, 2024);
  EXPECT_EQ(TimeStampDayOfYear({36890, 0, 0}, nullptr), 1);
  EXPECT_EQ(TimeStampDifference({10, 5, 0}, {9, 86000, 7200}), 86400 + 5 - 86000);
  EXPECT_EQ(TimeStampDifference({0, 0, 0}, {INT_MAX, 86399, 0}), -(int64_t(INT_MAX) * 86400 + 86399));
}

TEST(TimeStamp, FromTmUsesTheDayOfTheYear) {
  std::tm time{};
  time.tm_year = 2001 - 1900;
  time.tm_yday = 31;
  time.tm_hour = 13;
  time.tm_min = 2;
  time.tm_sec = 3;
  TimeStamp stamp{1, 2, 3};
  TimeStampFromTm(&stamp, time);
  EXPECT_EQ(stamp.mDay, 36890 + 31);
  EXPECT_EQ(stamp.mSecond, 13 * 3600 + 2 * 60 + 3);
  EXPECT_EQ(stamp.mOffset, 0);
  TimeStampFromTm(nullptr, time);
}

TEST(TimeStamp, CurrentStampsAreWholeMinutesApart) {
  TimeStamp utc;
  TimeStamp local;
  GetUTCTimeStamp(&utc);
  GetLocalTimeStamp(&local);
  GetUTCTimeStamp(nullptr);
  GetLocalTimeStamp(nullptr);
  EXPECT_GT(utc.mDay, DayNumberOfYear(2020));
  EXPECT_EQ(utc.mOffset, 0);
  EXPECT_EQ(local.mOffset % 60, 0) << local.mOffset;
  EXPECT_LE(std::llabs(TimeStampDifference(local, utc) - local.mOffset), 60);
  char text[kTimeStampTextSize];
  EXPECT_GT(FormatLocalTime(text, sizeof(text)), 20) << text;
}

TEST(TimeStamp, FormatCutsToTheBufferAndSurvivesNonsenseStamps) {
  char small[8];
  EXPECT_EQ(FormatTimeStamp(small, sizeof(small), {36890, 0, 0}), 7);
  EXPECT_STREQ(small, "01-JAN-");
  EXPECT_EQ(FormatTimeStamp(nullptr, 50, {36890, 0, 0}), 0);
  EXPECT_EQ(FormatTimeStamp(small, 0, {36890, 0, 0}), 0);
  const TimeStamp nonsense[] = {{INT_MAX, INT_MAX, INT_MAX}, {INT_MIN, INT_MIN, INT_MIN}, {-1, -1, -1}};
  for (const TimeStamp& stamp : nonsense) {
    char text[kTimeStampTextSize];
    const int length = FormatTimeStamp(text, sizeof(text), stamp);
    EXPECT_GT(length, 0);
    EXPECT_LT(length, kTimeStampTextSize - 1) << text;
  }
}
