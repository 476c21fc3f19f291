#include "runtime/TimeStamp.h"

#include <atomic>
#include <cstdio>

#include "platform/Platform.h"

namespace {

constexpr const char* kMonthNames[12] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                         "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
constexpr int kDaysFrom1900To2000 = 36524;
constexpr int kDaysIn400Years = 146097;
constexpr int32_t kOffsetNotMeasured = 0x7FFFFFFF;

std::atomic<int32_t> gLocalOffset{kOffsetNotMeasured};

int32_t MeasureLocalOffset(const TimeStamp& local) {
  TimeStamp utc;
  GetUTCTimeStamp(&utc);
  int64_t difference = TimeStampDifference(local, utc);
  difference += difference > 0 ? 30 : -30;
  return int32_t(difference / 60 * 60);
}

}  // namespace

bool IsLeapYear(int year) {
  return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

int64_t DayNumberOfYear(int year) {
  if (year < 1900) return 0;
  if (year <= 2000) {
    const int64_t n = year - 1900;
    return n * 365 + (n - 1) / 4;
  }
  const int64_t k = (year - 2000) / 400;
  const int64_t m = (year - 2000) % 400;
  return kDaysFrom1900To2000 + kDaysIn400Years * k + m * 365 + (m + 3) / 4 - (m - 1) / 100;
}

void TimeStampFromTm(TimeStamp* destination, const std::tm& time) {
  if (!destination) return;
  destination->mDay = int32_t(DayNumberOfYear(time.tm_year + 1900) + time.tm_yday);
  destination->mSecond = time.tm_hour * 3600 + time.tm_min * 60 + time.tm_sec;
  destination->mOffset = 0;
}

void GetUTCTimeStamp(TimeStamp* destination) {
  std::tm time{};
  if (destination && PlatformCurrentTime(false, &time)) TimeStampFromTm(destination, time);
}

void GetLocalTimeStamp(TimeStamp* destination) {
  std::tm time{};
  if (!destination || !PlatformCurrentTime(true, &time)) return;
  TimeStampFromTm(destination, time);
  int32_t offset = gLocalOffset.load(std::memory_order_relaxed);
  if (offset == kOffsetNotMeasured) {
    offset = MeasureLocalOffset(*destination);
    gLocalOffset.store(offset, std::memory_order_relaxed);
  }
  destination->mOffset += offset;
}

int64_t TimeStampDifference(const TimeStamp& a, const TimeStamp& b) {
  return (int64_t(a.mDay) - b.mDay) * 86400 + (int64_t(a.mSecond) - b.mSecond);
}

int TimeStampDayOfYear(const TimeStamp& stamp, int* year) {
  int found = stamp.mDay / 366 + 1900;
  while (DayNumberOfYear(found + 1) <= stamp.mDay) ++found;
  if (year) *year = found;
  return int(stamp.mDay - DayNumberOfYear(found) + 1);
}

int FormatTimeStamp(char* destination, int size, const TimeStamp& stamp) {
  int year = 0;
  const int dayOfYear = TimeStampDayOfYear(stamp, &year);
  int monthLengths[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (IsLeapYear(year)) monthLengths[1] = 29;
  int month = 0;
  int daysBefore = 0;
  while (month < 11 && daysBefore + monthLengths[month] < dayOfYear) daysBefore += monthLengths[month++];
  int day = dayOfYear - daysBefore;
  if (day < 1) day = 1;
  if (day > monthLengths[month]) day = monthLengths[month];
  const int hours = stamp.mSecond / 3600;
  const int minutes = (stamp.mSecond - hours * 3600) / 60;
  const int seconds = stamp.mSecond - hours * 3600 - minutes * 60;
  if (!destination || size <= 0) return 0;
  const int length = std::snprintf(destination, size_t(size), "%02d-%s-%d, %02d:%02d:%02d (UTC%+d)", day,
                                   kMonthNames[month], year, hours, minutes, seconds, stamp.mOffset / 3600);
  if (length < 0) {
    destination[0] = 0;
    return 0;
  }
  return length < size ? length : size - 1;
}

int FormatLocalTime(char* destination, int size) {
  TimeStamp stamp;
  GetLocalTimeStamp(&stamp);
  return FormatTimeStamp(destination, size, stamp);
}
