#include "models/nilpora/parameter_file.h"

#include "textio/run_name.h"
#include "textio/value_checks.h"

namespace nilpora {

bool output_interval_never_ends(double TOUT, double DTOUT, double TFINAL) {
  if (!(TOUT <= TFINAL)) return false;  // one output step only (or NaN)
  if (DTOUT < 0.0) return true;
  return DTOUT == 0.0 && TOUT != 0.0;
}

bool read_parameter_file(const std::string& file, run_input* in, textio::read_error* err,
                         std::string* run_name_notice) {
  textio::value_reader reader(file);
  for (char& c : in->RUNNAME) c = ' ';
  if (!textio::read_run_name(reader, "run name", in->RUNNAME, runname_length, run_name_notice, err))
    return false;
  if (!reader.read({textio::real("TOUT", in->TOUT), textio::real("DTOUT", in->DTOUT),
                    textio::real("TFINAL", in->TFINAL)},
                   err))
    return false;
  if (!textio::require_finite_time(reader, "TOUT", "the first output time", in->TOUT, err) ||
      !textio::require_finite_time(reader, "DTOUT", "the output interval", in->DTOUT, err) ||
      !textio::require_finite_time(reader, "TFINAL", "the final time", in->TFINAL, err))
    return false;
  const int interval_line = reader.line_number();
  if (!reader.read({textio::real("VMAX", in->VMAX0)}, err)) return false;
  if (!reader.read({textio::real("KM", in->KM)}, err)) return false;
  if (!reader.read({textio::real("KACT", in->KACT)}, err)) return false;
  if (!reader.read({textio::real("Y(1)", in->Y[0]), textio::real("Y(2)", in->Y[1])}, err))
    return false;

  if (output_interval_never_ends(in->TOUT, in->DTOUT, in->TFINAL)) {
    err->file = file;
    err->line = interval_line;
    err->item = "DTOUT";
    err->what = in->DTOUT < 0.0
                    ? "a negative output interval never reaches TFINAL"
                    : "a zero output interval repeats the first output time without end";
    return false;
  }
  return true;
}

}  // namespace nilpora
