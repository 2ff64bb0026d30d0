#include "models/velmo64v6/run_state.h"

namespace velmo64v6 {

bool set_up(run_state& s) {
  const parameters& p = s.p;
  load_rate_constants(p);
  for (int i = 0; i < NEQ; ++i) s.Y[i] = p.Y[i];
  s.Y[Ca_cyt_int] = 0.0;
  s.TPRINT = p.TPRINT0;
  s.duration = p.TPHASE[0];
  s.IPHASE = 0;
  s.K3END2 = s.K3END4 = 0.0;

  s.Kd_M = k(9) / k(8);
  s.Kd_NCX_M = k(68) / k(67);
  s.Kd_B = k(11) / k(10);
  s.Kd_PMCA_M = k(13) / k(12);

  calcium::indicator& o = s.optics;
  for (int b = 0; b < 3; ++b) o.BAND[b] = p.BAND[b];
  o.IND_TOTAL = s.Y[Ind];
  o.KDIND = k(51) / k(50);

  if (!calcium::window_reset(s.window, p.NSW)) return false;
  calcium::detector_reset(s.detector, p.OFFSET[0], p.OFFSET[1], p.OFFSET[2], maximum_echo,
                          calcium::period_layout::fixed);
  s.q = step_quantities{};
  return true;
}

}  // namespace velmo64v6
