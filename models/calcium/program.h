// A program as the run skeleton sees it. run_program() owns the run and
// every way out of it (textio/exit_path.h); a program describes only what
// is its own. The run, in order:
//   read the parameter file (a cut run name is told on standard error) and
//   set up; either failing stops the run with status 2;
//   open the result files as one group (all or nothing, never onto the
//   parameter file, standard output or a file another run is writing) and
//   read the run stamp;
//   what comes before "tmp"; "tmp" rewritten under its lock (a stop signal
//   while waiting for it ends the run, "tmp" untouched); the start of the
//   run's report;
//   the phases, each a sequence of output steps: before every step the stop
//   signal check, after every integration ERROR HALT if it failed;
//   the files closed, the end stamp read, the end-of-run report;
//   the exit status, which main returns.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "models/calcium/result_file.h"
#include "textio/clock.h"
#include "textio/line_end.h"
#include "textio/value_reader.h"

namespace calcium {

class program_description {
 public:
  virtual ~program_description() = default;

  // Of every line of every file, the console and standard error.
  virtual textio::line_end line_end() const = 0;

  // Reads the parameter file; false with *err on its first error. A run
  // name cut to its field leaves the line that says so in *run_name_notice.
  virtual bool read_parameters(textio::read_error* err, std::string* run_name_notice) = 0;
  // The set-up after reading: empty, or the line that says why the run
  // cannot start.
  virtual std::string set_up() = 0;

  // The run name as read, whole and blank-padded.
  virtual std::string_view run_name() const = 0;
  // The result files in the order of creation; the one on run_info_unit is
  // "tmp", shared with the other runs in the directory.
  virtual std::span<const result_file> result_files() const = 0;

  // What is written before "tmp" (an echo of the parameter file).
  virtual void write_before_run_information(const textio::run_stamp& /*start*/) {}
  // The records of "tmp", on run_info_unit, while the run holds it.
  virtual void write_run_information(const textio::run_stamp& start) = 0;
  // After "tmp": the run header and what the report shows before phase 1.
  virtual void write_run_start(const textio::run_stamp& start) = 0;

  // The start of the next phase; false when the run ends instead.
  virtual bool start_phase() = 0;
  // An output step up to its integration: what comes before it, the
  // integrator call to the next output time, and what the step writes even
  // when the integration failed. Returns the integrator's ISTATE.
  virtual int integrate_step() = 0;
  // The rest of a step whose integration succeeded; false after the last
  // step of the phase.
  virtual bool finish_step() = 0;
  // The end of a phase, after its last step: its report.
  virtual void end_phase() = 0;

  // After the last phase: the files closed but the summary file (and what
  // the report writes before that).
  virtual void close_result_files() = 0;
  // The end-of-run report on the console and the summary file, which it
  // closes.
  virtual void write_end_of_run_report(const textio::run_stamp& end) = 0;
};

// Runs `p` in the working directory; returns the exit status
// (textio/exit_path.h).
int run_program(program_description& p);

}  // namespace calcium
