#include "models/velmo64v6/derived.h"

#include "models/calcium/state_vector.h"
#include "models/velmo64v6/network.h"

namespace velmo64v6 {

namespace {

// The frame's common formulas read these elements at the frame's positions.
constexpr int shared_places[][2] = {{Ca_cyt, calcium::Ca_cyt}, {PMCA_M_star, calcium::PMCA_M_star},
                                    {Ca_ext, calcium::Ca_ext}, {Ca_cyt_int, calcium::Ca_cyt_int},
                                    {M, calcium::M},           {MCa4, calcium::MCa4},
                                    {B, calcium::B},           {BCa4, calcium::BCa4},
                                    {PMCA_M, calcium::PMCA_M}, {PMCA, calcium::PMCA},
                                    {SERCA, calcium::SERCA},   {Ca_lum, calcium::Ca_lum},
                                    {L, calcium::L},           {LCa30, calcium::LCa30},
                                    {S, calcium::S},           {R, calcium::R},
                                    {R_S, calcium::R_S},       {ARCC, calcium::ARCC},
                                    {S2, calcium::S2},         {Gprot, calcium::Gprot},
                                    {GS2, calcium::GS2},       {NCX_M_star, calcium::NCX_M_star},
                                    {NCX_M, calcium::NCX_M},   {NCX, calcium::NCX}};
constexpr bool places_alike() {
  for (const auto& p : shared_places)
    if (p[0] != p[1]) return false;
  return true;
}
static_assert(places_alike());

const calcium::rate_constants constants{ratcon};

}  // namespace

double pmca_set_point(const double* Y) { return calcium::pmca_set_point(constants, Y); }

void form_step_quantities(step_quantities& q, const double* Y, double tprint) {
  calcium::form_common_quantities(q, Y, constants, tprint);

  const double ca = Y[Ca_cyt], ca_lum = Y[Ca_lum];
  const double FE = ip3r_ca_factor(ca, k(40), k(41));
  const double FES = ip3r_ca_factor(ca, k(42), k(43));
  q.jIP3R = ((k(38) * Y[IP3R]) * Y[IP3]) * ca_lum / ((FES * ca_lum) + (FE * k(39)));
  // The terms of fex's Ca_cyt derivative (there is no jSOCC), summed left to
  // right in jtot's own order: jNCX comes before the indicator terms here,
  // after them in fex.
  q.jtot =
      ((((((((((((q.j1 - q.j2) - q.j3) - q.jMon) + q.jMoff) - q.jBon) + q.jBoff) - q.j23) + q.j27) +
          q.jARCC) +
         q.jIP3R) -
        q.jNCX) -
       ((ca * k(50)) * Y[Ind])) +
      (k(51) * Y[Cacyt_Ind]);

  q.Ca_cyt_set_SERCA = (k(21) * ca_lum) / k(20);
  q.Ca_ER_set_theor = (k(20) * ca) / k(21);
}

}  // namespace velmo64v6
