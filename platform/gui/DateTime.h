#pragma once
// The framework's date-time value: whole days since 1899-12-30 plus the fraction of the day.
// Formatting is locale-independent: AM/PM designators are always the English ones.
#include <cstdint>
#include <ctime>
#include <string>

struct TDateTime {
    double Val = 0.0;
    TDateTime() = default;
    constexpr TDateTime(double v) : Val(v) {}
    operator double() const { return Val; }
};

// Local wall-clock time now (from the installed kv::Clock).
TDateTime Now();
TDateTime Date();
// Throws Exception for an invalid date or time.
TDateTime EncodeDate(int year, int month, int day);
TDateTime EncodeTime(int hour, int min, int sec, int msec);
void DecodeDate(TDateTime dt, int &year, int &month, int &day);
void DecodeTime(TDateTime dt, int &hour, int &min, int &sec, int &msec);
// Day of the week, 1 = Sunday.
int DayOfWeek(TDateTime dt);

TDateTime UnixToDateTime(std::time_t t);

// Format letters: yyyy yy m mm mmm d dd h hh n nn s ss z zzz, "am/pm" "a/p" (case as
// written, 12-hour clock), "ampm" (AM or PM, 12-hour clock), ":" "/" literal, "..." and '...'
// quoted literals. An "m" right after "h"/"hh" means minutes.
std::string FormatDateTime(const std::string &format, TDateTime dt);
// "yyyy/mm/dd hh:nn:ss am/pm", the form every date-time text of the module uses.
std::string DateTimeToStr(TDateTime dt);
