#include "models/velmo64v6/result_files.h"

#include <string_view>

#include "models/calcium/report_output.h"
#include "models/velmo64v6/rows.h"
#include "textio/freeform.h"
#include "textio/units.h"

namespace velmo64v6 {

namespace {

using calcium::put_both;
using calcium::report_out;

// In the order of creation. The ER file opens with the others but takes unit
// 6 only after the echo file is written and closed (driver.cpp).
constexpr calcium::result_file files[] = {
    {calcium::data_unit, ".txt", ""},          {echo_unit, ".INP", ""},
    {calcium::run_info_unit, "", "tmp"},       {calcium::summary_unit, "_summary.txt", ""},
    {calcium::window_unit, "_sw.txt", ""},     {calcium::flux_unit, "_fluxes.txt", ""},
    {calcium::spectrum_unit, "_spec.txt", ""}, {calcium::er_unit, "_ER.txt", ""},
};

}  // namespace

const std::span<const calcium::result_file> result_files = files;

bool open_result_files(const parameters& p, std::string* error) {
  // One group, so that a file that cannot be created leaves every file of an
  // earlier run as it was. The group refuses a file that is the parameter
  // file itself, so the echo file never replaces the user's input with its
  // rounded copy (a run name ' ./VELMO64v6', a link).
  std::string names[std::size(files)];
  textio::unit_file group[std::size(files)];
  for (std::size_t i = 0; i < std::size(files); ++i) {
    const calcium::result_file& f = files[i];
    names[i] = calcium::file_name(f, p.run_name());
    group[i] = {f.unit, names[i],
                f.unit == calcium::run_info_unit ? textio::sharing::directory
                                                 : textio::sharing::run};
  }
  return textio::open_units(group, error);
}

void write_run_end() {
  put_both(report_out::summary, textio::blank_record());
  for (int unit : {calcium::flux_unit, calcium::er_unit, calcium::window_unit, calcium::data_unit,
                   calcium::run_info_unit, calcium::spectrum_unit})
    textio::close_unit(unit);
  char time[9];
  textio::read_time_of_day(time);
  put_both(report_out::summary, textio::freeform().text("Execution ended at: ").text(time).view());
  put_both(report_out::summary, textio::blank_record());
  textio::close_unit(calcium::summary_unit);
}

}  // namespace velmo64v6
