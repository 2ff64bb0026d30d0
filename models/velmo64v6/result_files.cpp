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

}  // namespace

bool open_result_files(const parameters& p, std::string* error) {
  const std::string name(p.run_name());
  // One group, so that a file that cannot be created leaves every file of an
  // earlier run as it was. The group refuses a file that is the parameter
  // file itself, so the echo file never replaces the user's input with its
  // rounded copy (a run name ' ./VELMO64v6', a link).
  const std::string data = name + ".txt", echo = name + ".INP", summary = name + "_summary.txt",
                    window = name + "_sw.txt", flux = name + "_fluxes.txt",
                    spectrum = name + "_spec.txt", er = name + "_ER.txt";
  return textio::open_units({{calcium::data_unit, data},
                             {echo_unit, echo},
                             {calcium::run_info_unit, "tmp", textio::sharing::directory},
                             {calcium::summary_unit, summary},
                             {calcium::window_unit, window},
                             {calcium::flux_unit, flux},
                             {calcium::spectrum_unit, spectrum},
                             {calcium::er_unit, er}},
                            error);
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
