#include "models/calcium/run_driver.h"

#include <chrono>
#include <memory>
#include <string>

#include "models/calcium/clamp.h"
#include "models/calcium/parameter_file.h"
#include "models/calcium/parameter_lines.h"
#include "models/calcium/phase_report.h"
#include "models/calcium/report_output.h"
#include "models/calcium/result_files.h"
#include "models/calcium/rows.h"
#include "models/calcium/run_report.h"
#include "models/calcium/run_state.h"
#include "models/calcium/state_vector.h"
#include "textio/exit_path.h"
#include "textio/freeform.h"
#include "textio/units.h"

namespace calcium {

namespace {

using clock_type = std::chrono::steady_clock;

// The single-precision 0.1 widened to double: the interval of phases 3 to 5.
constexpr double later_phase_interval = static_cast<double>(0.1f);

double seconds(clock_type::duration d) { return std::chrono::duration<double>(d).count(); }

class driver {
 public:
  driver(const frame_config& cfg, run_state& r, run_timing* timing)
      : cfg_(cfg), r_(r), timing_(timing) {}

  void run() {
    reset_integrator();
    while (start_phase()) {
      output_steps();
      end_phase();
    }
  }

 private:
  rate_constants k() const { return {cfg_.ratcon}; }

  // What this step's rows read; the derived quantities and the optics are
  // read when the row is written.
  step_values values(double tprint) const {
    return {tprint, r_.Y, &r_.d, &r_.optics, r_.window.mean, k()};
  }

  void reset_integrator() {
    r_.T = 0.0;
    r_.TOUT = 0.0;
    r_.ISTATE = 1;
  }

  // False when the run ends here.
  bool start_phase() {
    r_.IPHASE += 1;
    detector_phase_start(r_.detector);
    if (r_.IPHASE == 6) return false;
    if (r_.IPHASE >= 2) {
      const int p = r_.IPHASE;
      if (r_.TPHASE[p - 1] == 0.0) return false;
      r_.duration = r_.TPHASE[p - 1];
      r_.nout = r_.NOUT[p - 1];
      for (const phase_switch& s : cfg_.switches)
        if (s.phase == p)
          cfg_.ratcon[k_slot(s.k) - 1] =
              r_.phase_change[s.line - first_phase_change_line][s.value - 1];
    }
    put_both(report_out::console, textio::freeform().text("Phase ").integer(r_.IPHASE).view());
    calibrate(r_.optics);
    return true;
  }

  void integrate_step() {
    int NEQ = cfg_.NEQ, ITOL = 1, ITASK = 1, IOPT = 0, LRW = rwork_length, LIW = iwork_length,
        MF = 22;
    double RTOL = cfg_.RTOL, ATOL = cfg_.ATOL;
    const auto integrate = [&] {
      integrator::integrate(cfg_.fex, &NEQ, r_.Y, r_.T, r_.TOUT, ITOL, &RTOL, &ATOL, ITASK,
                            r_.ISTATE, IOPT, r_.RWORK, LRW, r_.IWORK, LIW, cfg_.jex, MF);
    };
    if (!timing_) {
      integrate();
      return;
    }
    // Two clock reads a step: the time since the previous step's integrate()
    // returned is that step's output.
    const auto t0 = clock_type::now();
    if (step_output_open_) timing_->step_output_seconds += seconds(t0 - step_output_start_);
    integrate();
    step_output_start_ = clock_type::now();
    step_output_open_ = true;
    timing_->integrate_seconds += seconds(step_output_start_ - t0);
  }

  // The output of the last step of a phase ends here.
  void close_step_output_timing() {
    if (!timing_ || !step_output_open_) return;
    timing_->step_output_seconds += seconds(clock_type::now() - step_output_start_);
    step_output_open_ = false;
  }

  // The derived quantities and the optics are read only by the row triple
  // and, for the last step of a phase, by the phase report and the store
  // row. Each is a function of this step's Y, rate constants and TPRINT
  // alone, so they are formed just for those steps: the values printed are
  // the same as if every step formed them.
  void form_step_quantities(double tprint) {
    form_derived(r_.d, r_.Y, k(), tprint, cfg_.lum_pmca_integrals);
    output_step_optics(r_.optics, r_.Y[Ind], r_.Y[Cacyt_Ind]);
    r_.d.PMCA_M_estimated = pmca_m_estimate(r_.Kd_PMCA_M, r_.Y[M], r_.d.total_PMCA);
  }

  void output_steps() {
    for (;;) {
      textio::stop_if_signalled();
      integrate_step();
      clamp_small_values(r_.Y, cfg_.clamp);
      if (r_.ISTATE < 0) textio::error_halt(r_.ISTATE);

      window_sample(r_.window, r_.Y[Ca_cyt]);
      if (cfg_.maxima) detector_step(r_.detector, r_.IPHASE, r_.Y[Ca_cyt], r_.TPRINT);

      const double tprint = r_.TPRINT;
      const step_values s = values(tprint);
      const bool rows_due = row_triple_due(r_.nout, r_.NCOUNT);
      if (rows_due) {
        form_step_quantities(tprint);
        write_row(data_unit, cfg_.rows->data, s);
        if (cfg_.files.er) write_row(er_unit, cfg_.rows->er, s);
        write_row(flux_unit, cfg_.rows->flux, s);
      }
      if (cfg_.files.sliding_window) write_row(window_unit, cfg_.rows->window, s);

      r_.TOUT += r_.DTOUT;
      r_.TPRINT += r_.DTOUT;
      if (!(r_.TOUT <= r_.duration)) {
        if (!rows_due) form_step_quantities(tprint);
        break;
      }
    }
    close_step_output_timing();
  }

  void end_phase() {
    reset_integrator();
    if (r_.IPHASE == 2 && cfg_.dtout_reset_after_phase2) r_.DTOUT = later_phase_interval;
    if (cfg_.maxima) period_analysis(r_.detector);

    const phase_report_data p{
        r_.IPHASE,          r_.nout, r_.Y,    k(),          &r_.d,       r_.window.mean,
        r_.detector.period, r_.Kd_M, r_.Kd_B, r_.Kd_PMCA_M, r_.Kd_NCX_M, cfg_.lum_pmca_integrals};
    write_phase_report(p, cfg_.rate_constant_report);
    if (cfg_.files.store) write_row(store_unit, cfg_.rows->store, values(r_.TPRINT));
    put_both(report_out::summary, textio::blank_record());
  }

  const frame_config& cfg_;
  run_state& r_;
  run_timing* timing_;
  clock_type::time_point step_output_start_{};
  bool step_output_open_ = false;
};

}  // namespace

int run_frame(const frame_config& cfg, run_timing* timing) {
  const auto t0 = timing ? clock_type::now() : clock_type::time_point{};
  textio::set_line_end(cfg.line_end);
  const int status = textio::run([&] {
    // The run data is large (work arrays, window); keep it off the stack.
    auto r = std::make_unique<run_state>();

    textio::read_error read_err;
    std::string run_name_notice;
    if (!read_parameter_file(cfg, *r, &read_err, &run_name_notice))
      textio::stop_before_output(read_err.message());
    if (!run_name_notice.empty()) textio::warn(run_name_notice);
    if (!set_up_after_reading(cfg, *r))
      textio::stop_before_output(std::string(cfg.input.file_name) + ": " +
                                 window_length_problem(r->NSW));

    std::string open_err;
    if (!open_result_files(cfg, *r, &open_err)) textio::stop_before_output(open_err);
    write_run_information(r->run_name(), r->TPHASE, r->start_stamp, r->OFFSET);
    write_run_header(r->run_name(), r->start_stamp);
    if (cfg.files.spectrum) write_spectrum(r->optics, spectrum_unit);

    driver(cfg, *r, timing).run();

    end_of_run(cfg, *r);
  });
  if (timing) timing->total_seconds = seconds(clock_type::now() - t0);
  return status;
}

}  // namespace calcium
