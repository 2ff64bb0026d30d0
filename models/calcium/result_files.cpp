#include "models/calcium/result_files.h"

#include "models/calcium/report_output.h"
#include "models/calcium/run_report.h"
#include "textio/freeform.h"
#include "textio/units.h"

namespace calcium {

namespace {

// The ER file comes last: the integrator's messages go there once it is open.
constexpr result_file files[] = {
    {data_unit, ".txt", ""},
    {run_info_unit, "", "tmp"},
    {summary_unit, "_summary.txt", ""},
    {window_unit, "_sw.txt", ""},
    {flux_unit, "_fluxes.txt", ""},
    {spectrum_unit, "_spec.txt", ""},
    {store_unit, "_jSOCC-Ca_lum.txt", ""},
    {er_unit, "_ER.txt", ""},
};

}  // namespace

const std::span<const result_file> frame_result_files = files;

bool writes_file(const file_set& f, int unit) {
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

std::string file_name(const result_file& f, std::string_view runname) {
  return f.fixed_name.empty() ? std::string(runname) + std::string(f.suffix)
                              : std::string(f.fixed_name);
}

std::string result_file_name(std::string_view runname, int unit) {
  std::string name;
  for (const result_file& f : files)
    if (f.unit == unit) name = file_name(f, runname);
  name.resize(80, ' ');
  return name;
}

bool open_result_files(const frame_config& cfg, run_state& r, std::string* error) {
  // All the files open as one group, the ER file last, so that a file that
  // cannot be created leaves every file of an earlier run as it was.
  std::string names[8];
  textio::unit_file group[8];
  std::size_t n = 0;
  for (const result_file& f : files) {
    if (!writes_file(cfg.files, f.unit)) continue;
    names[n] = result_file_name(r.run_name(), f.unit);
    group[n] = {f.unit, names[n],
                f.unit == run_info_unit ? textio::sharing::directory : textio::sharing::run};
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
    if (writes_file(cfg.files, unit)) textio::close_unit(unit);

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
