// Run stamp and process CPU time.
#pragma once

#include <ctime>

namespace textio {

struct run_stamp {
  char date[10];  // "dd-Mon-yy" + NUL, 9 characters
  char time[9];   // "hh:mm:ss" + NUL, 8 characters
};

// The stamp of a broken-down time: English month names whatever the locale.
run_stamp stamp_of(const std::tm& t);

// Local date and time of day, now.
run_stamp read_clock();
// Only the time of day (hh:mm:ss), now.
void read_time_of_day(char time[9]);
// Only the date (dd-Mon-yy), now.
void read_date(char date[10]);

struct cpu_times {
  float user;    // user ticks / 100
  float system;  // system ticks / 100
};
cpu_times read_cpu_times();

}  // namespace textio
