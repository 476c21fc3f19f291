// Calendar time stamps counted in days from 1 January 1900, and the one
// text form in which the program prints a date and time.
#pragma once

#include <cstdint>
#include <ctime>

struct TimeStamp {
  int32_t mDay = 0;     // days since 1 January 1900 (day 0)
  int32_t mSecond = 0;  // seconds since midnight, 0 to 86399
  int32_t mOffset = 0;  // this stamp's clock minus UTC, in seconds
};

// Buffer size that holds any text of FormatTimeStamp.
inline constexpr int kTimeStampTextSize = 80;

bool IsLeapYear(int year);
// The day number of 1 January of the year; years before 1900 give 0.
int64_t DayNumberOfYear(int year);

// mOffset becomes 0.
void TimeStampFromTm(TimeStamp* destination, const std::tm& time);
// The current time; a null destination is allowed and receives nothing.
void GetUTCTimeStamp(TimeStamp* destination);
// The current local time, mOffset set to the local offset from UTC. The
// offset is measured once per process.
void GetLocalTimeStamp(TimeStamp* destination);

// a minus b in seconds, from the day and second only.
int64_t TimeStampDifference(const TimeStamp& a, const TimeStamp& b);
// The 1-based day of the year; year (may be null) receives the year.
int TimeStampDayOfYear(const TimeStamp& stamp, int* year);

// "07-DEC-2026, 09:34:22 (UTC+1)": whole hours of the offset only. Writes at
// most size bytes including the terminating zero, cutting the text to fit,
// and answers the number of characters written.
int FormatTimeStamp(char* destination, int size, const TimeStamp& stamp);
int FormatLocalTime(char* destination, int size);
