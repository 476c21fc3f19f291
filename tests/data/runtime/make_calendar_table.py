#!/usr/bin/env python3
"""Writes calendar_table.txt: the calendar oracle for the time-stamp tests.

Lines "Y <year> <days from 1 January 1900 to 1 January of the year>" and
"S <day> <second> <offset> <text>" with the date and time text of a stamp,
all from Python's datetime. Run once; the output is checked in beside it.
"""
import datetime
import math
import pathlib

MONTHS = ["JAN", "FEB", "MAR", "APR", "MAY", "JUN", "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"]
OFFSETS = [0, 3600, -18000, 19800, -34200, 50400, -43200, 3599, -3599]
EPOCH = datetime.datetime(1900, 1, 1)


def days_in_year(year):
    return (datetime.date(year + 1, 1, 1) - datetime.date(year, 1, 1)).days


def sample_days(year):
    """Month ends and starts, 29 February when there is one, and one moving day."""
    first = datetime.date(year, 1, 1)
    days = {datetime.date(year, 1, 1), datetime.date(year, 1, 31), datetime.date(year, 2, 1),
            datetime.date(year, 2, 28), datetime.date(year, 3, 1), datetime.date(year, 6, 30),
            datetime.date(year, 12, 31)}
    if days_in_year(year) == 366:
        days.add(datetime.date(year, 2, 29))
    days.add(first + datetime.timedelta(days=(year * 37) % days_in_year(year)))
    return sorted(days)


def main():
    lines = []
    for year in range(1900, 2401):
        lines.append(f"Y {year} {(datetime.datetime(year, 1, 1) - EPOCH).days}")
    for year in range(1900, 2401):
        for index, day in enumerate(sample_days(year)):
            second = (year * 7919 + index * 4507) % 86400
            offset = OFFSETS[(year + index) % len(OFFSETS)]
            moment = datetime.datetime(day.year, day.month, day.day) + datetime.timedelta(seconds=second)
            number = (moment - EPOCH).days
            text = (f"{moment.day:02d}-{MONTHS[moment.month - 1]}-{moment.year}, "
                    f"{moment.hour:02d}:{moment.minute:02d}:{moment.second:02d} "
                    f"(UTC{math.trunc(offset / 3600):+d})")
            lines.append(f"S {number} {second} {offset} {text}")
    out = pathlib.Path(__file__).with_name("calendar_table.txt")
    out.write_text("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
