#include "models/nilpora/parameter_file.h"

#include "textio/value_checks.h"

namespace nilpora {

namespace {

std::string unusable_first_output_time(const calcium::parameter_value& v) {
  return textio::non_finite_time("the first output time", *v.real);
}
std::string unusable_interval(const calcium::parameter_value& v) {
  return textio::non_finite_time("the output interval", *v.real);
}
std::string unusable_final_time(const calcium::parameter_value& v) {
  return textio::non_finite_time("the final time", *v.real);
}

}  // namespace

bool output_interval_never_ends(double TOUT, double DTOUT, double TFINAL) {
  if (!(TOUT <= TFINAL)) return false;  // one output step only (or NaN)
  if (DTOUT < 0.0) return true;
  return DTOUT == 0.0 && TOUT != 0.0;
}

calcium::parameter_layout_lines parameter_lines(run_input& in) {
  using calcium::real_value;
  calcium::parameter_layout_lines lines(6);
  lines[0].values = {calcium::text_value(
      "run name", "run name: its first 10 characters, blank-padded, begin every result-file name",
      in.RUNNAME, runname_length)};
  lines[1].values = {
      real_value("TOUT", "first output time (the integration starts at time 0)", in.TOUT,
                 unusable_first_output_time),
      real_value("DTOUT", "output interval", in.DTOUT, unusable_interval),
      real_value("TFINAL", "final time: output steps go on while the output time is at most TFINAL",
                 in.TFINAL, unusable_final_time)};
  lines[2].values = {
      real_value("VMAX", "asymptotic maximal leak rate VMAX0, approached as 1 - exp(-(KACT * t))",
                 in.VMAX0)};
  lines[3].values = {real_value("KM", "half-saturation constant of the leak", in.KM)};
  lines[4].values = {real_value("KACT", "rate constant of the rise of the maximal rate", in.KACT)};
  lines[5].values = {real_value("Y(1)", "initial source pool", in.Y[0]),
                     real_value("Y(2)", "initial receiving pool", in.Y[1])};
  return lines;
}

bool read_parameter_file(const std::string& file, run_input* in, textio::read_error* err,
                         std::string* run_name_notice) {
  textio::value_reader reader(file);
  for (char& c : in->RUNNAME) c = ' ';
  const calcium::parameter_layout_lines lines = parameter_lines(*in);
  int interval_line = 0;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (!calcium::read_parameter_line(reader, lines[i], err, run_name_notice)) return false;
    if (i == 1) interval_line = reader.line_number();
  }

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
