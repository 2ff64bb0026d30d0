#include "models/calcium/run_report.h"

#include "models/calcium/output_units.h"
#include "models/calcium/report_output.h"
#include "textio/units.h"

namespace calcium {

textio::freeform& add_stamp(textio::freeform& f, std::string_view open,
                            const textio::run_stamp& stamp) {
  return f.text(open).text(stamp.date).text(", ").text(stamp.time).text(")");
}

namespace {

using info = run_information;

// The end of phase `n` counted from the start of phase 1, summed left to right.
template <int n>
void phase_end(textio::freeform& f, const info& i) {
  double sum = i.TPHASE[0];
  for (int p = 1; p < n; ++p) sum += i.TPHASE[p];
  f.real(sum);
}

template <int n>
void threshold(textio::freeform& f, const info& i) {
  f.real(i.OFFSET[n - 1]);
}

constexpr run_information_record records[] = {
    {"RUNNAME", "the run name, all its characters",
     [](textio::freeform& f, const info& i) { f.text(i.runname); }},
    {"total duration", "TPHASE(1) + ... + TPHASE(5)", phase_end<5>},
    {"end of phase 1", "TPHASE(1), counted from the start of phase 1", phase_end<1>},
    {"end of phase 2", "TPHASE(1) + TPHASE(2)", phase_end<2>},
    {"end of phase 3", "TPHASE(1) + TPHASE(2) + TPHASE(3)", phase_end<3>},
    {"end of phase 4", "TPHASE(1) + ... + TPHASE(4)", phase_end<4>},
    {"run stamp", "date and time of the start of the run, \" (dd-Mon-yy, hh:mm:ss)\"",
     [](textio::freeform& f, const info& i) { add_stamp(f, " (", *i.stamp); }},
    {"OFFSET1", "threshold of phase 1", threshold<1>},
    {"OFFSET2", "threshold of phase 2", threshold<2>},
    {"OFFSET3", "threshold of phase 3", threshold<3>},
};

}  // namespace

const std::span<const run_information_record> run_information_records = records;

void write_run_information(std::string_view runname, const double (&TPHASE)[5],
                           const textio::run_stamp& stamp, const double (&OFFSET)[3]) {
  const info i{runname, TPHASE, &stamp, OFFSET};
  for (const run_information_record& r : records) {
    textio::freeform f;
    r.form(f, i);
    textio::write_unit(run_info_unit, f.view());
  }
}

void write_run_header(std::string_view runname, const textio::run_stamp& stamp) {
  put_both(report_out::summary, textio::blank_record());
  textio::freeform run;
  put_both(report_out::summary, add_stamp(run.text("Run ").text(runname), " (", stamp).view());
  put_both(report_out::summary,
           textio::freeform().text("====================================  ").view());
}

void write_end_of_run_report(std::string_view runname, const textio::run_stamp& end,
                             const textio::cpu_times* cpu, std::string_view rule) {
  put_both(report_out::summary, textio::freeform()
                                    .text("Execution of ")
                                    .text(runname)
                                    .text(" ended at: ")
                                    .text(end.time)
                                    .view());
  if (cpu) {
    const float execution = cpu->user + cpu->system;
    textio::freeform exec_line, system_line;
    exec_line.text("Execution time (s): ").single(execution);
    system_line.text("System time    (s): ").single(cpu->system);
    put(report_out::console, exec_line.view());
    put(report_out::console, system_line.view());
    put(report_out::summary, exec_line.view());
    put(report_out::summary, system_line.view());
  }
  put_both(report_out::console, textio::freeform().text("Date: ").text(end.date).view());
  put_both(report_out::summary, textio::freeform().text(rule).view());
  put_both(report_out::summary, textio::blank_record());
}

}  // namespace calcium
