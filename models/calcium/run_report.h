// The records that open and close a run: the run-information file "tmp" and
// the run header of the calcium programs, the end-of-run report of the frame
// and nilpora, and the run stamp in parentheses that every header shows.
#pragma once

#include <span>
#include <string_view>

#include "textio/clock.h"
#include "textio/freeform.h"

namespace calcium {

// Appends the items `open`, the date, ", ", the time and ")" to `f`, so
// that the line shows " (dd-Mon-yy, hh:mm:ss)" for `open` " (".
textio::freeform& add_stamp(textio::freeform& f, std::string_view open,
                            const textio::run_stamp& stamp);

// What "tmp" is written from.
struct run_information {
  std::string_view runname;
  const double* TPHASE;  // 5
  const textio::run_stamp* stamp;
  const double* OFFSET;  // 3
};

// One record (line) of "tmp": its name, meaning and how it is formed.
struct run_information_record {
  std::string_view name;
  std::string_view meaning;
  void (*form)(textio::freeform& f, const run_information& i);
};

// The ten records of the calcium programs' "tmp", in order.
extern const std::span<const run_information_record> run_information_records;

// The ten records of "tmp" on run_info_unit (the run skeleton holds its lock): the whole run
// name; the total of the five phase durations and the ends of phases 1 to 4, each summed left to
// right from TPHASE(1); the run stamp; the three thresholds.
void write_run_information(std::string_view runname, const double (&TPHASE)[5],
                           const textio::run_stamp& stamp, const double (&OFFSET)[3]);

// The run header, each line to the summary file first: a blank record,
// "Run <name> (<date>, <time>)" and a rule of 36 '=' and two blanks.
void write_run_header(std::string_view runname, const textio::run_stamp& stamp);

// The end-of-run report, after the result files are closed: "Execution of
// <name> ended at: <time>" (summary file first); with `cpu`, the pair
// "Execution time (s): " user + system and "System time    (s): " system,
// both to the console, then both to the summary file; "Date: <date>"
// (console first); `rule` and a blank record (summary file first).
void write_end_of_run_report(std::string_view runname, const textio::run_stamp& end,
                             const textio::cpu_times* cpu, std::string_view rule);

}  // namespace calcium
