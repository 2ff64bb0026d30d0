#include "models/calcium/run_driver.h"

#include <chrono>
#include <memory>
#include <string>

#include "models/calcium/clamp.h"
#include "models/calcium/integration.h"
#include "models/calcium/parameter_file.h"
#include "models/calcium/parameter_lines.h"
#include "models/calcium/phase_report.h"
#include "models/calcium/program.h"
#include "models/calcium/report_output.h"
#include "models/calcium/result_files.h"
#include "models/calcium/rows.h"
#include "models/calcium/run_report.h"
#include "models/calcium/run_state.h"
#include "models/calcium/state_vector.h"
#include "textio/freeform.h"
#include "textio/units.h"

namespace calcium {

namespace {

using clock_type = std::chrono::steady_clock;

// The single-precision 0.1 widened to double: the interval of phases 3 to 5.
constexpr double later_phase_interval = static_cast<double>(0.1f);

double seconds(clock_type::duration d) { return std::chrono::duration<double>(d).count(); }

// The frame as a program description: velmo67, velmo66 or velmo65 by its
// configuration.
class frame_program final : public program_description {
 public:
  frame_program(const frame_config& cfg, run_timing* timing)
      : cfg_(cfg),
        r_(std::make_unique<run_state>()),
        timing_(timing),
        integration_{cfg.fex,   cfg.jex,      cfg.NEQ,   cfg.RTOL,    cfg.ATOL,
                     r_->RWORK, rwork_length, r_->IWORK, iwork_length},
        file_count_(written_files(cfg.files, files_)) {}

  textio::line_end line_end() const override { return cfg_.line_end; }

  bool read_parameters(textio::read_error* err, std::string* run_name_notice) override {
    return read_parameter_file(cfg_, *r_, err, run_name_notice);
  }

  std::string set_up() override {
    if (set_up_after_reading(cfg_, *r_)) return {};
    return std::string(cfg_.input.file_name) + ": " + window_length_problem(r_->NSW);
  }

  std::string_view run_name() const override { return r_->run_name(); }
  std::span<const result_file> result_files() const override { return {files_, file_count_}; }

  void write_run_information(const textio::run_stamp& start) override {
    calcium::write_run_information(r_->run_name(), r_->TPHASE, start, r_->OFFSET);
  }

  void write_run_start(const textio::run_stamp& start) override {
    write_run_header(r_->run_name(), start);
    if (cfg_.files.spectrum) write_spectrum(r_->optics, spectrum_unit);
    reset_integrator();
  }

  bool start_phase() override {
    r_->IPHASE += 1;
    detector_phase_start(r_->detector);
    if (r_->IPHASE == 6) return false;
    if (r_->IPHASE >= 2) {
      const int p = r_->IPHASE;
      if (r_->TPHASE[p - 1] == 0.0) return false;
      r_->duration = r_->TPHASE[p - 1];
      r_->nout = r_->NOUT[p - 1];
      for (const phase_switch& s : cfg_.switches)
        if (s.phase == p)
          cfg_.ratcon[k_slot(s.k) - 1] =
              r_->phase_change[s.line - first_phase_change_line][s.value - 1];
    }
    put_both(report_out::console, textio::freeform().text("Phase ").integer(r_->IPHASE).view());
    calibrate(r_->optics);
    return true;
  }

  int integrate_step() override {
    timed_integration();
    clamp_small_values(r_->Y, cfg_.clamp);
    return r_->ISTATE;
  }

  bool finish_step() override {
    run_state& r = *r_;
    window_sample(r.window, r.Y[Ca_cyt]);
    if (cfg_.maxima) detector_step(r.detector, r.IPHASE, r.Y[Ca_cyt], r.TPRINT);

    const double tprint = r.TPRINT;
    const step_values s = values(tprint);
    const bool rows_due = row_triple_due(r.nout, r.NCOUNT);
    if (rows_due) {
      form_row_and_report_quantities(tprint);
      write_row(data_unit, cfg_.rows->data, s);
      if (cfg_.files.er) write_row(er_unit, cfg_.rows->er, s);
      write_row(flux_unit, cfg_.rows->flux, s);
    }
    if (cfg_.files.sliding_window) write_row(window_unit, cfg_.rows->window, s);

    r.TOUT += r.DTOUT;
    r.TPRINT += r.DTOUT;
    if (r.TOUT <= r.duration) return true;
    if (!rows_due) form_row_and_report_quantities(tprint);
    return false;
  }

  void end_phase() override {
    close_step_output_timing();
    run_state& r = *r_;
    reset_integrator();
    if (r.IPHASE == 2 && cfg_.dtout_reset_after_phase2) r.DTOUT = later_phase_interval;
    if (cfg_.maxima) period_analysis(r.detector);

    const phase_report_data p{
        r.IPHASE,          r.nout, r.Y,    k(),         &r.d,       r.window.mean,
        r.detector.period, r.Kd_M, r.Kd_B, r.Kd_PMCA_M, r.Kd_NCX_M, cfg_.lum_pmca_integrals};
    write_phase_report(p, cfg_.rate_constant_report);
    if (cfg_.files.store) write_row(store_unit, cfg_.rows->store, values(r.TPRINT));
    put_both(report_out::summary, textio::blank_record());
  }

  void close_result_files() override { close_frame_files(cfg_.files); }

  void write_end_of_run_report(const textio::run_stamp& end) override {
    const textio::cpu_times cpu =
        cfg_.cpu_time_lines ? textio::read_cpu_times() : textio::cpu_times{};
    calcium::write_end_of_run_report(r_->run_name(), end, cfg_.cpu_time_lines ? &cpu : nullptr,
                                     "========================================== ");
    textio::close_unit(summary_unit);
  }

 private:
  rate_constants k() const { return {cfg_.ratcon}; }

  // What this step's rows read; the derived quantities and the optics are
  // read when the row is written.
  step_values values(double tprint) const {
    return {tprint, r_->Y, &r_->d, &r_->optics, r_->window.mean, k()};
  }

  void reset_integrator() {
    r_->T = 0.0;
    r_->TOUT = 0.0;
    r_->ISTATE = 1;
  }

  void timed_integration() {
    run_state& r = *r_;
    if (!timing_) {
      integration_.advance(r.Y, r.T, r.TOUT, r.ISTATE);
      return;
    }
    // Two clock reads a step: the time since the previous step's integrate()
    // returned is that step's output.
    const auto t0 = clock_type::now();
    if (step_output_open_) timing_->step_output_seconds += seconds(t0 - step_output_start_);
    integration_.advance(r.Y, r.T, r.TOUT, r.ISTATE);
    step_output_start_ = clock_type::now();
    step_output_open_ = true;
    timing_->integrate_seconds += seconds(step_output_start_ - t0);
  }

  // The output of the last step of a phase ends with the phase.
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
  void form_row_and_report_quantities(double tprint) {
    run_state& r = *r_;
    form_derived(r.d, r.Y, k(), tprint, cfg_.lum_pmca_integrals);
    output_step_optics(r.optics, r.Y[Ind], r.Y[Cacyt_Ind]);
    r.d.PMCA_M_estimated = pmca_m_estimate(r.Kd_PMCA_M, r.Y[M], r.d.total_PMCA);
  }

  const frame_config& cfg_;
  // The run data is large (work arrays, window); kept off the stack.
  std::unique_ptr<run_state> r_;
  run_timing* timing_;
  integration integration_;
  result_file files_[frame_file_count];
  std::size_t file_count_;
  clock_type::time_point step_output_start_{};
  bool step_output_open_ = false;
};

}  // namespace

int run_frame(const frame_config& cfg, run_timing* timing) {
  const auto t0 = timing ? clock_type::now() : clock_type::time_point{};
  frame_program program(cfg, timing);
  const int status = run_program(program);
  if (timing) timing->total_seconds = seconds(clock_type::now() - t0);
  return status;
}

}  // namespace calcium
