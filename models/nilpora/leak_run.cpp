#include "models/nilpora/leak_run.h"

#include <cmath>
#include <string>
#include <string_view>

#include "integrator/integrate.h"
#include "models/calcium/report_output.h"
#include "models/calcium/row_writer.h"
#include "models/calcium/run_report.h"
#include "models/nilpora/data_row.h"
#include "models/nilpora/leak_block.h"
#include "models/nilpora/leak_rhs.h"
#include "models/nilpora/parameter_file.h"
#include "textio/clock.h"
#include "textio/exit_path.h"
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

// Integrator work arrays: sized for eight equations with method flag 22.
constexpr int rwork_length = 158;
constexpr int iwork_length = 28;

// nilpora's own header: a shorter rule, and the stamp record of "tmp" (with
// no blank before its parenthesis) between the name line and the rule.
void write_run_header(std::string_view RUNNAME, const textio::run_stamp& start) {
  put_both(report_out::summary, textio::blank_record());
  textio::freeform header;
  put_both(report_out::summary,
           calcium::add_stamp(header.text("Run ").text(RUNNAME), " (", start).view());
  textio::freeform stamp;
  textio::write_unit(run_info_unit, calcium::add_stamp(stamp, "(", start).view());
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

}  // namespace

const std::span<const calcium::result_file> result_files = files;
const std::span<const record_name> run_information_records = records;

int run_program() {
  textio::set_line_end(line_end);
  return textio::run([] {
    textio::run_stamp start{};
    textio::read_time_of_day(start.time);
    textio::read_date(start.date);

    run_input in;
    textio::read_error read_failure;
    std::string run_name_notice;
    if (!read_parameter_file(parameter_file_name, &in, &read_failure, &run_name_notice))
      textio::stop_before_output(read_failure.message());
    if (!run_name_notice.empty()) textio::warn(run_name_notice);

    const std::string_view RUNNAME(in.RUNNAME, runname_length);
    // The result files open as one group before the first line is written, so
    // a file that cannot be created stops the run with nothing changed on disk.
    std::string names[std::size(files)];
    textio::unit_file group[std::size(files)];
    for (std::size_t i = 0; i < std::size(files); ++i) {
      const calcium::result_file& f = files[i];
      names[i] = calcium::file_name(f, RUNNAME);
      group[i] = {f.unit, names[i],
                  f.unit == run_info_unit ? textio::sharing::directory : textio::sharing::run};
    }
    std::string open_failure;
    if (!textio::open_units(group, &open_failure)) textio::stop_before_output(open_failure);

    {
      // "tmp" gets its second record inside the run header.
      const textio::shared_write alone(run_info_unit);
      textio::stop_if_signalled();  // stopped while waiting for it: "tmp" untouched
      textio::freeform name;
      name.text(RUNNAME);
      textio::write_unit(run_info_unit, name.view());
      write_run_header(RUNNAME, start);
    }

    double Y[2] = {in.Y[0], in.Y[1]};
    LEAKPAR.VMAX = in.VMAX0;
    LEAKPAR.KM = in.KM;
    write_concentrations(" Initial concentrations:", Y);
    put_both(report_out::summary, textio::blank_record());

    {
      textio::line vmax;
      vmax.x(1).a("Vmax.....................", 24).sci(LEAKPAR.VMAX, 12, 4);
      put_both(report_out::console, vmax.view());
    }
    put_both(report_out::summary, textio::blank_record());

    int NEQ[1] = {2};
    double T = 0.0;
    double TOUT = in.TOUT;
    double TPRINT = TOUT;
    const double DTOUT = in.DTOUT;
    const double TFINAL = in.TFINAL;
    int ITOL = 1;
    double RTOL = 1.0e-4;
    double ATOL = 1.0e-15;
    int ITASK = 1;
    int ISTATE = 1;
    int IOPT = 0;
    double RWORK[rwork_length] = {};
    int LRW = rwork_length;
    int IWORK[iwork_length] = {};
    int LIW = iwork_length;
    int MF = 22;

    do {
      textio::stop_if_signalled();
      // The rate at the end of the coming interval holds for the whole interval.
      LEAKPAR.VMAX = (1.0 - std::exp(-(in.KACT * TOUT))) * in.VMAX0;
      integrator::integrate(fex, NEQ, Y, T, TOUT, ITOL, &RTOL, &ATOL, ITASK, ISTATE, IOPT, RWORK,
                            LRW, IWORK, LIW, jex, MF);
      calcium::write_row(data_unit, data_row, leak_step{TPRINT, Y, LEAKPAR.VMAX});
      if (ISTATE < 0) textio::error_halt(ISTATE);
      TOUT += DTOUT;
      TPRINT += DTOUT;
    } while (TOUT <= TFINAL);

    textio::close_unit(run_info_unit);
    textio::close_unit(data_unit);

    write_concentrations(" Final concentrations:", Y);
    put(report_out::console, textio::blank_record());
    put(report_out::summary, textio::blank_record());
    put(report_out::console, textio::blank_record());

    textio::run_stamp end{};
    textio::read_time_of_day(end.time);
    textio::read_date(end.date);
    calcium::write_end_of_run_report(RUNNAME, end, nullptr,
                                     "======================================= ");

    textio::close_unit(summary_unit);
  });
}

}  // namespace nilpora
