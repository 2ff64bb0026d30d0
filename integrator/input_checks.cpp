#include "integrator/input_checks.h"

#include <algorithm>
#include <climits>

#include "integrator/work_places.h"

namespace integrator::driver {

namespace {

constexpr int MORD[2] = {12, 5};       // maximum order of Adams, of BDF
constexpr int MXSTP0 = 500;            // steps per call unless IWORK(6) says otherwise
constexpr int MXHNL0 = 10;             // T + H = T warnings per problem unless IWORK(7) says
constexpr int maxord_unbounded = 100;  // IWORK(5) = 0: no limit below the method's own

}  // namespace

bool check_inputs(call& c, int IOPT, int LRW, int LIW, int MF, checked_inputs& in) {
  solver_state_block& s = solver_state;
  const bool start = c.ISTATE == 1;
  const int n = c.NEQ[0];
  if (n < 1) {
    msg(messages::neq_below_one, 1, n);
    return false;
  }
  if (!start && n > s.NEQ_CURRENT) {
    msg(messages::neq_increased, 2, s.NEQ_CURRENT, n);
    return false;
  }
  in.N = n;
  if (c.ITOL < 1 || c.ITOL > 4) {
    msg(messages::itol_illegal, 1, c.ITOL);
    return false;
  }
  if (IOPT < 0 || IOPT > 1) {
    msg(messages::iopt_illegal, 1, IOPT);
    return false;
  }
  in.METHOD = MF / 10;
  in.ITERATION = MF % 10;
  if (in.METHOD < 1 || in.METHOD > 2 || in.ITERATION < 0 || in.ITERATION > 5) {
    msg(messages::mf_illegal, 1, MF);
    return false;
  }
  const bool banded = in.ITERATION >= 4;
  const int ml = banded ? at_place(c.IWORK, iwork_place::ML) : 0;
  const int mu = banded ? at_place(c.IWORK, iwork_place::MU) : 0;
  if (banded) {
    if (ml < 0 || ml >= n) {
      msg(messages::ml_illegal, 2, ml, n);
      return false;
    }
    if (mu < 0 || mu >= n) {
      msg(messages::mu_illegal, 2, mu, n);
      return false;
    }
  }

  const int mord = MORD[in.METHOD - 1];
  in.H0 = 0.0;
  if (IOPT == 0) {
    in.MAXORD = mord;
    in.MXSTEP = MXSTP0;
    in.MXHNIL = MXHNL0;
    in.HMAX_INV = 0.0;
    in.HMIN = 0.0;
  } else {
    int maxord = at_place(c.IWORK, iwork_place::MAXORD);
    if (maxord < 0) {
      msg(messages::maxord_negative, 1, maxord);
      return false;
    }
    if (maxord == 0) maxord = maxord_unbounded;
    in.MAXORD = std::min(maxord, mord);
    const int mxstep = at_place(c.IWORK, iwork_place::MXSTEP);
    if (mxstep < 0) {
      msg(messages::mxstep_negative, 1, mxstep);
      return false;
    }
    in.MXSTEP = mxstep == 0 ? MXSTP0 : mxstep;
    const int mxhnil = at_place(c.IWORK, iwork_place::MXHNIL);
    if (mxhnil < 0) {
      msg(messages::mxhnil_negative, 1, mxhnil);
      return false;
    }
    in.MXHNIL = mxhnil == 0 ? MXHNL0 : mxhnil;
    if (start) {
      in.H0 = at_place(c.RWORK, rwork_place::H0);
      if ((c.TOUT - c.T) * in.H0 < 0.0) {
        msg(messages::tout_behind_t, 0, 0, 0, 2, c.TOUT, c.T);
        msg(messages::direction_from_h0, 0, 0, 0, 1, in.H0);
        return false;
      }
    }
    const double hmax = at_place(c.RWORK, rwork_place::HMAX);
    if (hmax < 0.0) {
      msg(messages::hmax_negative, 0, 0, 0, 1, hmax);
      return false;
    }
    in.HMAX_INV = hmax > 0.0 ? 1.0 / hmax : 0.0;
    in.HMIN = at_place(c.RWORK, rwork_place::HMIN);
    if (in.HMIN < 0.0) {
      msg(messages::hmin_negative, 0, 0, 0, 1, in.HMIN);
      return false;
    }
  }

  // Layout, in 64 bits so that an absurd NEQ gives message 17, not overflow.
  // A band matrix of two thousand million rows and as wide would pass even
  // 64 bits: its length is capped far above any int, so it still fails.
  in.HIST_LEN = start ? n : s.HIST_LEN;
  const long long nn = n;
  constexpr long long too_long = 1LL << 40;
  long long matrix_len = 0;
  if (in.ITERATION == 1 || in.ITERATION == 2) matrix_len = nn * nn + 2;
  if (in.ITERATION == 3) matrix_len = nn + 2;
  if (banded) {
    const long long rows = 2LL * ml + mu + 1;
    matrix_len = rows > too_long / nn ? too_long : rows * nn + 2;
  }
  const long long matrix_at = rwork_place::SEGMENTS + (in.MAXORD + 1LL) * in.HIST_LEN;
  const long long lenrw_wide = matrix_at + matrix_len + 3 * nn - 1;
  const int lenrw = static_cast<int>(std::min<long long>(lenrw_wide, INT_MAX));
  const long long leniw_wide = (in.ITERATION == 0 || in.ITERATION == 3) ? 20 : 20 + nn;
  const int leniw = static_cast<int>(std::min<long long>(leniw_wide, INT_MAX));
  at_place(c.IWORK, iwork_place::LENRW) = lenrw;
  at_place(c.IWORK, iwork_place::LENIW) = leniw;
  if (lenrw_wide > LRW) {
    msg(messages::rwork_too_short, 2, lenrw, LRW);
    return false;
  }
  if (leniw_wide > LIW) {
    msg(messages::iwork_too_short, 2, leniw, LIW);
    return false;
  }
  in.MATRIX_WORK_AT = static_cast<int>(matrix_at);
  in.EWT_AT = static_cast<int>(matrix_at + matrix_len);
  in.F_SAVE_AT = in.EWT_AT + n;
  in.CORR_AT = in.F_SAVE_AT + n;

  const bool rtol_array = c.ITOL >= 3;
  const bool atol_array = c.ITOL == 2 || c.ITOL == 4;
  for (int i = 0; i < n; ++i) {
    const double rtoli = rtol_array ? c.RTOL[i] : c.RTOL[0];
    const double atoli = atol_array ? c.ATOL[i] : c.ATOL[0];
    if (rtoli < 0.0) {
      msg(messages::rtol_negative, 1, i + 1, 0, 1, rtoli);
      return false;
    }
    if (atoli < 0.0) {
      msg(messages::atol_negative, 1, i + 1, 0, 1, atoli);
      return false;
    }
  }
  return true;
}

void commit(const checked_inputs& in) {
  solver_state_block& s = solver_state;
  s.NEQ_CURRENT = in.N;
  s.METHOD = in.METHOD;
  s.ITERATION = in.ITERATION;
  s.MAXORD = in.MAXORD;
  s.MXSTEP = in.MXSTEP;
  s.MXHNIL = in.MXHNIL;
  s.HMIN = in.HMIN;
  s.HMAX_INV = in.HMAX_INV;
  s.HIST_LEN = in.HIST_LEN;
  s.HIST_AT = rwork_place::SEGMENTS;
  s.MATRIX_WORK_AT = in.MATRIX_WORK_AT;
  s.EWT_AT = in.EWT_AT;
  s.F_SAVE_AT = in.F_SAVE_AT;
  s.CORR_AT = in.CORR_AT;
  s.MATRIX_IWORK_AT = 1;
}

}  // namespace integrator::driver
