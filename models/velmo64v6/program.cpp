#include "models/velmo64v6/program.h"

#include <string>

#include "models/calcium/clamp.h"
#include "models/calcium/derived.h"
#include "models/calcium/integration.h"
#include "models/calcium/parameter_lines.h"
#include "models/calcium/report_output.h"
#include "models/calcium/run_report.h"
#include "models/velmo64v6/echo_file.h"
#include "models/velmo64v6/phase_report.h"
#include "models/velmo64v6/ramps.h"
#include "models/velmo64v6/result_files.h"
#include "models/velmo64v6/rows.h"
#include "textio/freeform.h"
#include "textio/units.h"

namespace velmo64v6 {

namespace {

// The small-value clamp after every integrator call; SERCA and Ca_lum are
// not clamped.
constexpr int clamp[] = {Ca_cyt, S, R, R_S, ARCC, IP3R, IP3, PLC, NCX_M_star};

constexpr double RTOL = 1.0e-7;
constexpr double ATOL = 1.0e-12;

class velmo64v6_program final : public calcium::program_description {
 public:
  textio::line_end line_end() const override { return velmo64v6::line_end; }

  bool read_parameters(textio::read_error* err, std::string* run_name_notice) override {
    return velmo64v6::read_parameters(parameter_file_name, &s_.p, err, run_name_notice);
  }

  std::string set_up() override {
    if (velmo64v6::set_up(s_)) return {};
    return std::string(parameter_file_name) + ": " + calcium::window_length_problem(s_.p.NSW);
  }

  std::string_view run_name() const override { return s_.p.run_name(); }
  std::span<const calcium::result_file> result_files() const override {
    return velmo64v6::result_files;
  }

  // The echo file is written whole and closed before anything else.
  void write_before_run_information(const textio::run_stamp& start) override {
    write_echo_file(echo_unit, s_.p, start);
    textio::close_unit(echo_unit);
  }

  void write_run_information(const textio::run_stamp& start) override {
    calcium::write_run_information(s_.p.run_name(), s_.p.TPHASE, start, s_.p.OFFSET);
  }

  void write_run_start(const textio::run_stamp& start) override {
    calcium::write_run_header(s_.p.run_name(), start);
    calcium::write_spectrum(s_.optics, calcium::spectrum_unit);
    reset_integrator();
  }

  bool start_phase() override {
    run_state& s = s_;
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

  // The flux row is written even for a step that failed.
  int integrate_step() override {
    run_state& s = s_;
    if (s.IPHASE >= 2)
      apply_ramp(s.IPHASE, ramp_time(s.TPRINT, s.p.TPHASE, s.IPHASE), s.p, &s.K3END2, &s.K3END4);
    integration_.advance(s.Y, s.T, s.TOUT, s.ISTATE);
    calcium::clamp_small_values(s.Y, clamp);

    form_step_quantities(s.q, s.Y, s.TPRINT);
    calcium::output_step_optics(s.optics, s.Y[Ind], s.Y[Cacyt_Ind]);
    write_flux_row(s);
    return s.ISTATE;
  }

  bool finish_step() override {
    run_state& s = s_;
    calcium::window_sample(s.window, s.Y[Ca_cyt]);
    calcium::detector_step(s.detector, s.IPHASE, s.Y[Ca_cyt], s.TPRINT);
    s.q.PMCA_M_estimated = calcium::pmca_m_estimate(s.Kd_PMCA_M, s.Y[M], s.q.total_PMCA);
    write_data_row(s);
    write_er_row(s);
    write_window_row(s);

    s.TPRINT += s.p.DTOUT;
    s.TOUT += s.p.DTOUT;
    return s.TOUT <= s.duration;
  }

  void end_phase() override {
    reset_integrator();
    calcium::period_analysis(s_.detector);
    write_phase_report(s_);
  }

  void close_result_files() override { close_row_files(); }
  void write_end_of_run_report(const textio::run_stamp& end) override { write_run_end(end); }

 private:
  // The next call starts a fresh integration from the current Y.
  void reset_integrator() {
    s_.q.Ca_cyt_set_PMCA = pmca_set_point(s_.Y);
    s_.ISTATE = 1;
    s_.T = 0.0;
    s_.TOUT = 0.0;
  }

  run_state s_;
  const calcium::integration integration_{fex,      jex,          NEQ,      RTOL,        ATOL,
                                          s_.RWORK, rwork_length, s_.IWORK, iwork_length};
};

}  // namespace

calcium::program_description& program() {
  static velmo64v6_program p;
  return p;
}

}  // namespace velmo64v6
