// Run stamp from the local clock and process CPU time.
#include "textio/clock.h"

#include <sys/times.h>
#include <unistd.h>

#include <ctime>

namespace textio {
namespace {

std::tm local_now() {
  const std::time_t now = std::time(nullptr);
  std::tm t{};
  localtime_r(&now, &t);
  return t;
}

void two_digits(char* p, int v) {
  p[0] = static_cast<char>('0' + v / 10 % 10);
  p[1] = static_cast<char>('0' + v % 10);
}

// English month names whatever the locale.
constexpr const char* month_names[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

void format_date(const std::tm& t, char date[10]) {
  two_digits(date, t.tm_mday);
  date[2] = '-';
  const char* m = month_names[t.tm_mon >= 0 && t.tm_mon < 12 ? t.tm_mon : 0];
  date[3] = m[0];
  date[4] = m[1];
  date[5] = m[2];
  date[6] = '-';
  two_digits(date + 7, (t.tm_year % 100 + 100) % 100);
  date[9] = '\0';
}

void format_time(const std::tm& t, char time[9]) {
  two_digits(time, t.tm_hour);
  time[2] = ':';
  two_digits(time + 3, t.tm_min);
  time[5] = ':';
  two_digits(time + 6, t.tm_sec);
  time[8] = '\0';
}

// Ticks of the process-times service counted in hundredths of a second
// (the service's own tick is 1/100 s on the usual systems).
float hundredths_to_seconds(clock_t ticks) {
  static const long per_second = ::sysconf(_SC_CLK_TCK);
  long long hundredths = static_cast<long long>(ticks);
  if (per_second > 0 && per_second != 100) hundredths = hundredths * 100 / per_second;
  return static_cast<float>(hundredths) / 100.0f;
}

}  // namespace

run_stamp read_clock() { return stamp_of(local_now()); }

run_stamp stamp_of(const std::tm& t) {
  run_stamp s;
  format_date(t, s.date);
  format_time(t, s.time);
  return s;
}

void read_time_of_day(char time[9]) { format_time(local_now(), time); }

void read_date(char date[10]) { format_date(local_now(), date); }

cpu_times read_cpu_times() {
  struct tms t {};
  ::times(&t);
  return {hundredths_to_seconds(t.tms_utime), hundredths_to_seconds(t.tms_stime)};
}

}  // namespace textio
