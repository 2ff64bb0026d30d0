#include "models/velmo64v6/driver.h"

#include <string>

#include "integrator/integrate.h"
#include "models/calcium/clamp.h"
#include "models/calcium/derived.h"
#include "models/calcium/parameter_lines.h"
#include "models/calcium/report_output.h"
#include "models/calcium/run_report.h"
#include "models/velmo64v6/echo_file.h"
#include "models/velmo64v6/phase_report.h"
#include "models/velmo64v6/ramps.h"
#include "models/velmo64v6/result_files.h"
#include "models/velmo64v6/rows.h"
#include "textio/exit_path.h"
#include "textio/freeform.h"
#include "textio/units.h"

namespace velmo64v6 {

namespace {

// The small-value clamp after every integrator call; SERCA and Ca_lum are
// not clamped.
constexpr int clamp[] = {Ca_cyt, S, R, R_S, ARCC, IP3R, IP3, PLC, NCX_M_star};

run_state state;  // large; lives for the whole process

// Next call starts a fresh integration from the current Y.
void reset_integrator(run_state& s) {
  s.q.Ca_cyt_set_PMCA = pmca_set_point(s.Y);
  s.neq = NEQ;
  s.ITOL = 1;
  s.RTOL = 1.0e-7;
  s.ATOL = 1.0e-12;
  s.ITASK = 1;
  s.ISTATE = 1;
  s.IOPT = 0;
  s.LRW = rwork_length;
  s.LIW = iwork_length;
  s.MF = 22;
  s.T = 0.0;
  s.TOUT = 0.0;
}

void output_step(run_state& s) {
  textio::stop_if_signalled();
  if (s.IPHASE >= 2)
    apply_ramp(s.IPHASE, ramp_time(s.TPRINT, s.p.TPHASE, s.IPHASE), s.p, &s.K3END2, &s.K3END4);
  integrator::integrate(fex, &s.neq, s.Y, s.T, s.TOUT, s.ITOL, &s.RTOL, &s.ATOL, s.ITASK, s.ISTATE,
                        s.IOPT, s.RWORK, s.LRW, s.IWORK, s.LIW, jex, s.MF);
  calcium::clamp_small_values(s.Y, clamp);

  form_step_quantities(s.q, s.Y, s.TPRINT);
  calcium::output_step_optics(s.optics, s.Y[Ind], s.Y[Cacyt_Ind]);
  write_flux_row(s);
  if (s.ISTATE < 0) textio::error_halt(s.ISTATE);

  calcium::window_sample(s.window, s.Y[Ca_cyt]);
  calcium::detector_step(s.detector, s.IPHASE, s.Y[Ca_cyt], s.TPRINT);
  s.q.PMCA_M_estimated = calcium::pmca_m_estimate(s.Kd_PMCA_M, s.Y[M], s.q.total_PMCA);
  write_data_row(s);
  write_er_row(s);
  write_window_row(s);

  s.TPRINT += s.p.DTOUT;
  s.TOUT += s.p.DTOUT;
}

// Phase start; false when the run ends here.
bool start_phase(run_state& s) {
  ++s.IPHASE;
  calcium::detector_phase_start(s.detector);
  if (s.IPHASE == 6) return false;
  if (s.IPHASE >= 2) {
    const double d = s.p.TPHASE[s.IPHASE - 1];
    if (d == 0.0) return false;
    s.duration = d;
    apply_phase_switch(s.IPHASE, s.p.pc);
  }
  calcium::put_both(calcium::report_out::console,
                    textio::freeform().text("Phase ").integer(s.IPHASE).view());
  calcium::calibrate(s.optics);
  return true;
}

}  // namespace

int run_program() {
  textio::set_line_end(line_end);
  return textio::run([] {
    run_state& s = state;

    textio::read_error err;
    std::string run_name_notice;
    if (!read_parameters(parameter_file_name, &s.p, &err, &run_name_notice))
      textio::stop_before_output(err.message());
    if (!run_name_notice.empty()) textio::warn(run_name_notice);
    if (!set_up(s))
      textio::stop_before_output(std::string(parameter_file_name) + ": " +
                                 calcium::window_length_problem(s.p.NSW));

    std::string open_error;
    if (!open_result_files(s.p, &open_error)) textio::stop_before_output(open_error);
    s.stamp = textio::read_clock();
    write_echo_file(echo_unit, s.p, s.stamp);
    textio::close_unit(echo_unit);
    calcium::write_run_information(s.p.run_name(), s.p.TPHASE, s.stamp, s.p.OFFSET);
    calcium::write_run_header(s.p.run_name(), s.stamp);
    calcium::write_spectrum(s.optics, calcium::spectrum_unit);

    reset_integrator(s);
    while (start_phase(s)) {
      do {
        output_step(s);
      } while (s.TOUT <= s.duration);
      reset_integrator(s);
      calcium::period_analysis(s.detector);
      write_phase_report(s);
    }
    write_run_end();
  });
}

}  // namespace velmo64v6
