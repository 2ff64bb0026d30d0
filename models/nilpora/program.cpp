#include "models/nilpora/program.h"

#include <cmath>
#include <string>

#include "models/calcium/integration.h"
#include "models/calcium/output_units.h"
#include "models/calcium/report_output.h"
#include "models/calcium/row_writer.h"
#include "models/calcium/run_report.h"
#include "models/nilpora/data_row.h"
#include "models/nilpora/leak_block.h"
#include "models/nilpora/leak_rhs.h"
#include "models/nilpora/parameter_file.h"
#include "textio/freeform.h"
#include "textio/line.h"
#include "textio/units.h"

namespace nilpora {

namespace {

using calcium::data_unit;
using calcium::put;
using calcium::put_both;
using calcium::report_out;
using calcium::run_info_unit;
using calcium::summary_unit;

constexpr calcium::result_file files[] = {
    {data_unit, ".txt", ""},
    {run_info_unit, "", "tmp"},
    {summary_unit, "-terminal-output.txt", ""},
};

constexpr record_name records[] = {
    {"RUNNAME", "the run name, all its characters"},
    {"run stamp", "date and time of the start of the run, \"(dd-Mon-yy, hh:mm:ss)\""},
};

// The two pools, the tolerances, and the integrator's work arrays, sized
// for eight equations with method flag 22.
constexpr int NEQ = 2;
constexpr double RTOL = 1.0e-4;
constexpr double ATOL = 1.0e-15;
constexpr int rwork_length = 158;
constexpr int iwork_length = 28;

// nilpora's own header: a shorter rule than the frame's.
void write_run_header(std::string_view RUNNAME, const textio::run_stamp& start) {
  put_both(report_out::summary, textio::blank_record());
  textio::freeform header;
  put_both(report_out::summary,
           calcium::add_stamp(header.text("Run ").text(RUNNAME), " (", start).view());
  put_both(report_out::summary,
           textio::freeform().text("================================= ").view());
}

void write_concentrations(std::string_view title, const double* Y) {
  textio::freeform heading;
  heading.text(title);
  put_both(report_out::summary, heading.view());
  // "(1X,1PE10.3,1(',',1PE10.3))": a row of the two pools.
  char values[32];
  put_both(report_out::console, {values, calcium::form_row(values, sizeof values, {Y, 2}, 10, 3)});
}

class nilpora_program final : public calcium::program_description {
 public:
  textio::line_end line_end() const override { return nilpora::line_end; }

  bool read_parameters(textio::read_error* err, std::string* run_name_notice) override {
    return read_parameter_file(parameter_file_name, &in_, err, run_name_notice);
  }

  std::string set_up() override {
    Y_[0] = in_.Y[0];
    Y_[1] = in_.Y[1];
    LEAKPAR.VMAX = in_.VMAX0;
    LEAKPAR.KM = in_.KM;
    return {};
  }

  std::string_view run_name() const override { return {in_.RUNNAME, runname_length}; }
  std::span<const calcium::result_file> result_files() const override { return files; }

  // The stamp record has no blank before its parenthesis.
  void write_run_information(const textio::run_stamp& start) override {
    textio::freeform name;
    textio::write_unit(run_info_unit, name.text(run_name()).view());
    textio::freeform stamp;
    textio::write_unit(run_info_unit, calcium::add_stamp(stamp, "(", start).view());
  }

  void write_run_start(const textio::run_stamp& start) override {
    write_run_header(run_name(), start);
    write_concentrations(" Initial concentrations:", Y_);
    put_both(report_out::summary, textio::blank_record());
    textio::line vmax;
    vmax.x(1).a("Vmax.....................", 24).sci(LEAKPAR.VMAX, 12, 4);
    put_both(report_out::console, vmax.view());
    put_both(report_out::summary, textio::blank_record());
    TOUT_ = in_.TOUT;
    TPRINT_ = TOUT_;
  }

  // One interval, from time 0 to TFINAL.
  bool start_phase() override { return !interval_done_; }

  // The row is written even for a step that failed.
  int integrate_step() override {
    // The rate at the end of the coming interval holds for the whole interval.
    LEAKPAR.VMAX = (1.0 - std::exp(-(in_.KACT * TOUT_))) * in_.VMAX0;
    integration_.advance(Y_, T_, TOUT_, ISTATE_);
    calcium::write_row(data_unit, data_row, leak_step{TPRINT_, Y_, LEAKPAR.VMAX});
    return ISTATE_;
  }

  bool finish_step() override {
    TOUT_ += in_.DTOUT;
    TPRINT_ += in_.DTOUT;
    return TOUT_ <= in_.TFINAL;
  }

  void end_phase() override { interval_done_ = true; }

  void close_result_files() override {
    textio::close_unit(run_info_unit);
    textio::close_unit(data_unit);
  }

  void write_end_of_run_report(const textio::run_stamp& end) override {
    write_concentrations(" Final concentrations:", Y_);
    put(report_out::console, textio::blank_record());
    put(report_out::summary, textio::blank_record());
    put(report_out::console, textio::blank_record());
    calcium::write_end_of_run_report(run_name(), end, nullptr,
                                     "======================================= ");
    textio::close_unit(summary_unit);
  }

 private:
  run_input in_;
  double Y_[2] = {};
  double T_ = 0.0;
  double TOUT_ = 0.0;
  double TPRINT_ = 0.0;
  int ISTATE_ = 1;
  bool interval_done_ = false;
  double RWORK_[rwork_length] = {};
  int IWORK_[iwork_length] = {};
  const calcium::integration integration_{fex,    jex,          NEQ,    RTOL,        ATOL,
                                          RWORK_, rwork_length, IWORK_, iwork_length};
};

}  // namespace

const std::span<const calcium::result_file> result_files = files;
const std::span<const record_name> run_information_records = records;

calcium::program_description& program() {
  static nilpora_program p;
  return p;
}

}  // namespace nilpora
