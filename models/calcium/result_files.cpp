#include "models/calcium/result_files.h"

#include "models/calcium/report_output.h"
#include "models/calcium/run_report.h"
#include "textio/freeform.h"
#include "textio/units.h"

namespace calcium {

namespace {

std::string_view suffix(int unit) {
  switch (unit) {
    case data_unit:
      return ".txt";
    case summary_unit:
      return "_summary.txt";
    case window_unit:
      return "_sw.txt";
    case flux_unit:
      return "_fluxes.txt";
    case spectrum_unit:
      return "_spec.txt";
    case store_unit:
      return "_jSOCC-Ca_lum.txt";
    case er_unit:
      return "_ER.txt";
  }
  return "";
}

bool written(const file_set& f, int unit) {
  switch (unit) {
    case window_unit:
      return f.sliding_window;
    case spectrum_unit:
      return f.spectrum;
    case store_unit:
      return f.store;
    case er_unit:
      return f.er;
  }
  return true;
}

}  // namespace

std::string result_file_name(std::string_view runname, int unit) {
  std::string name =
      unit == run_info_unit ? std::string("tmp") : std::string(runname) + std::string(suffix(unit));
  name.resize(80, ' ');
  return name;
}

bool open_result_files(const frame_config& cfg, run_state& r, std::string* error) {
  // All the files open as one group, the ER file last, so that a file that
  // cannot be created leaves every file of an earlier run as it was.
  std::string names[8];
  textio::unit_file group[8];
  std::size_t n = 0;
  for (int unit : {data_unit, run_info_unit, summary_unit, window_unit, flux_unit, spectrum_unit,
                   store_unit, er_unit}) {
    if (!written(cfg.files, unit)) continue;
    names[n] = result_file_name(r.run_name(), unit);
    group[n] = {unit, names[n],
                unit == run_info_unit ? textio::sharing::directory : textio::sharing::run};
    ++n;
  }
  if (!textio::open_units(std::span<const textio::unit_file>(group, n), error)) return false;
  textio::read_time_of_day(r.start_stamp.time);
  textio::read_date(r.start_stamp.date);
  return true;
}

void end_of_run(const frame_config& cfg, const run_state& r) {
  put_both(report_out::summary, textio::blank_record());
  for (int unit :
       {store_unit, spectrum_unit, flux_unit, er_unit, window_unit, data_unit, run_info_unit})
    if (written(cfg.files, unit)) textio::close_unit(unit);

  textio::cpu_times cpu{};
  if (cfg.cpu_time_lines) cpu = textio::read_cpu_times();
  textio::run_stamp end{};
  textio::read_time_of_day(end.time);
  textio::read_date(end.date);

  write_end_of_run_report(r.run_name(), end, cfg.cpu_time_lines ? &cpu : nullptr,
                          "========================================== ");
  textio::close_unit(summary_unit);
}

}  // namespace calcium
