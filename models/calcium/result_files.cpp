#include "models/calcium/result_files.h"

#include "models/calcium/report_output.h"
#include "textio/freeform.h"
#include "textio/units.h"

namespace calcium {

namespace {

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
static_assert(std::size(files) == frame_file_count);

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

std::size_t written_files(const file_set& f, result_file (&out)[frame_file_count]) {
  std::size_t n = 0;
  for (const result_file& rf : files)
    if (writes_file(f, rf.unit)) out[n++] = rf;
  return n;
}

void close_frame_files(const file_set& f) {
  put_both(report_out::summary, textio::blank_record());
  for (int unit :
       {store_unit, spectrum_unit, flux_unit, er_unit, window_unit, data_unit, run_info_unit})
    if (writes_file(f, unit)) textio::close_unit(unit);
}

}  // namespace calcium
