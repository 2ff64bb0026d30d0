#include "models/velmo64v6/result_files.h"

#include "models/calcium/output_units.h"
#include "models/calcium/report_output.h"
#include "textio/freeform.h"
#include "textio/units.h"

namespace velmo64v6 {

namespace {

using calcium::put_both;
using calcium::report_out;

// In the order of creation, as one group, so that the group refuses a file
// that is the parameter file itself: the echo file never replaces the
// user's input with its rounded copy (a run name ' ./VELMO64v6', a link).
constexpr calcium::result_file files[] = {
    {calcium::data_unit, ".txt", ""},          {echo_unit, ".INP", ""},
    {calcium::run_info_unit, "", "tmp"},       {calcium::summary_unit, "_summary.txt", ""},
    {calcium::window_unit, "_sw.txt", ""},     {calcium::flux_unit, "_fluxes.txt", ""},
    {calcium::spectrum_unit, "_spec.txt", ""}, {calcium::er_unit, "_ER.txt", ""},
};

}  // namespace

const std::span<const calcium::result_file> result_files = files;

void close_row_files() {
  put_both(report_out::summary, textio::blank_record());
  for (int unit : {calcium::flux_unit, calcium::er_unit, calcium::window_unit, calcium::data_unit,
                   calcium::run_info_unit, calcium::spectrum_unit})
    textio::close_unit(unit);
}

void write_run_end(const textio::run_stamp& end) {
  put_both(report_out::summary,
           textio::freeform().text("Execution ended at: ").text(end.time).view());
  put_both(report_out::summary, textio::blank_record());
  textio::close_unit(calcium::summary_unit);
}

}  // namespace velmo64v6
