#include "models/velmo64v6/network.h"

namespace velmo64v6 {

double ratcon[ratcon_slots] = {};

const char* const species_label[NEQ] = {"Ca_cyt", "PMCA.M*",   "Ca_ext", "Ca_cyt_int", "M",
                                        "MCa4",   "B",         "BCa4",   "PMCA.M",     "PMCA",
                                        "SERCA",  "Ca_lum",    "L",      "LCa30",      "S",
                                        "R",      "R.S",       "ARCC",   "IP3R",       "IP3",
                                        "Ind",    "Cacyt.Ind", "S2",     "Gprot",      "GS2",
                                        "PLC",    "NCX.M*",    "NCX.M",  "NCX"};

const char* const species_meaning[NEQ] = {
    "free cytosolic Ca",
    "Ca-activated pump complex, carries j3",
    "external Ca; constant",
    "running time integral of Ca_cyt",
    "free sensor",
    "sensor with 4 Ca bound",
    "free cytosolic buffer",
    "buffer with 4 Ca bound",
    "pump bound to M",
    "free pump",
    "ER pump, made at a rate driven by Ca_cyt",
    "free ER-lumen Ca",
    "free lumen buffer",
    "lumen buffer with 30 Ca bound",
    "signal",
    "receptor of S",
    "receptor-signal complex, gates ARCC",
    "ARCC channel amount",
    "IP3 receptor",
    "IP3",
    "free indicator",
    "Ca-bound indicator",
    "second signal",
    "free G protein",
    "G protein with S2 bound",
    "active phospholipase C",
    "Ca-activated exchanger complex, carries jNCX",
    "exchanger bound to M",
    "free exchanger",
};

namespace {
// kN read straight from the block; fex runs inside every corrector iteration,
// so no bounds logic beyond the compile-time slot mapping.
template <int N>
inline double kk() {
  return ratcon[calcium::k_slot(N) - 1];
}
}  // namespace

void fex(int*, double*, double* y, double* ydot) {
  const double ca = y[Ca_cyt], pmca_m_act = y[PMCA_M_star], ca_ext = y[Ca_ext];
  const double m = y[M], mca4 = y[MCa4], b = y[B], bca4 = y[BCa4];
  const double pmca_m = y[PMCA_M], pmca = y[PMCA], serca = y[SERCA];
  const double ca_lum = y[Ca_lum], l = y[L], lca30 = y[LCa30];
  const double s = y[S], r = y[R], rs = y[R_S], arcc = y[ARCC];
  const double ip3r = y[IP3R], ip3 = y[IP3], ind = y[Ind], cacyt_ind = y[Cacyt_Ind];
  const double s2 = y[S2], gprot = y[Gprot], gs2 = y[GS2], plc = y[PLC];
  const double ncx_m_act = y[NCX_M_star], ncx_m = y[NCX_M], ncx = y[NCX];

  const double fe = ip3r_ca_factor(ca, kk<40>(), kk<41>());
  const double fes = ip3r_ca_factor(ca, kk<42>(), kk<43>());
  ratcon[calcium::fe_slot - 1] = fe;
  ratcon[calcium::fes_slot - 1] = fes;

  const double j1 = kk<1>() * ca_ext;
  const double j2 = kk<2>() * ca;
  const double j3 = kk<3>() * ca * pmca_m_act / (kk<4>() + ca);
  const double jmon = 4.0 * kk<8>() * ca * m;
  const double jmoff = 4.0 * kk<9>() * mca4;
  const double jbon = 4.0 * kk<10>() * ca * b;
  const double jboff = 4.0 * kk<11>() * bca4;
  const double j23 = kk<23>() * serca * ca / (kk<24>() + ca);
  const double j27 = kk<27>() * ca_lum;
  const double jarcc = kk<36>() * rs * arcc * ca_ext / (ca_ext + kk<37>());
  const double jip3r = kk<38>() * ip3r * ip3 * ca_lum / (fes * ca_lum + fe * kk<39>());
  const double jncx = kk<63>() * ca * ncx_m_act / (kk<64>() + ca);

  const double pmca_deact = kk<6>() * pmca_m_act / (pmca_m_act + kk<7>());
  const double ncx_deact = kk<61>() * ncx_m_act / (ncx_m_act + kk<62>());

  const double inner = j1 - j2 - j3 - jmon + jmoff - jbon + jboff - j23 + j27;
  ydot[Ca_cyt] = jarcc + inner + jip3r + kk<51>() * cacyt_ind - kk<50>() * ca * ind - jncx;
  ydot[PMCA_M_star] = kk<5>() * ca * pmca_m - pmca_deact;
  ydot[Ca_ext] = 0.0;
  ydot[Ca_cyt_int] = ca;
  ydot[M] = kk<16>() - kk<17>() * m - kk<12>() * m * pmca + kk<13>() * pmca_m + kk<9>() * mca4 -
            kk<8>() * ca * m + kk<68>() * ncx_m - kk<67>() * m * ncx;
  ydot[MCa4] = kk<8>() * ca * m - kk<9>() * mca4;
  ydot[B] = kk<18>() - kk<19>() * b - kk<10>() * ca * b + kk<11>() * bca4;
  ydot[BCa4] = kk<10>() * ca * b - kk<11>() * bca4;
  ydot[PMCA_M] = kk<12>() * pmca * m - kk<13>() * pmca_m + pmca_deact - kk<5>() * ca * pmca_m;
  ydot[PMCA] = kk<14>() - kk<15>() * pmca - kk<12>() * pmca * m + kk<13>() * pmca_m;
  ydot[SERCA] = kk<20>() * ca - kk<21>() * serca * ca_lum / (serca + kk<22>());
  ydot[Ca_lum] = j23 - j27 - 30.0 * kk<25>() * ca_lum * l + 30.0 * kk<26>() * lca30;
  ydot[L] = kk<28>() - kk<29>() * l - kk<25>() * ca_lum * l + kk<26>() * lca30;
  ydot[LCa30] = kk<25>() * ca_lum * l - kk<26>() * lca30;
  ydot[S] = kk<30>() - kk<31>() * s - kk<34>() * s * r + kk<35>() * rs;
  ydot[R] = kk<32>() - kk<33>() * r - kk<34>() * s * r + kk<35>() * rs;
  ydot[R_S] = kk<34>() * s * r - kk<35>() * rs;
  ydot[ARCC] = kk<44>() - kk<45>() * arcc;
  ydot[IP3R] = kk<48>() - kk<49>() * ip3r;
  ydot[IP3] = kk<46>() * plc - kk<47>() * ip3;
  ydot[Ind] = kk<51>() * cacyt_ind - kk<50>() * ca * ind;
  ydot[Cacyt_Ind] = kk<50>() * ca * ind - kk<51>() * cacyt_ind;
  ydot[S2] = kk<52>() - kk<53>() * s2 - kk<54>() * s2 * gprot + kk<55>() * gs2;
  ydot[Gprot] = kk<55>() * gs2 - kk<54>() * s2 * gprot + kk<58>() - kk<59>() * gprot;
  ydot[GS2] = kk<54>() * s2 * gprot - kk<55>() * gs2;
  ydot[PLC] = kk<56>() * gs2 - kk<57>() * plc;
  ydot[NCX_M_star] = kk<60>() * ca * ncx_m - ncx_deact;
  ydot[NCX_M] = kk<67>() * m * ncx - kk<68>() * ncx_m - kk<60>() * ca * ncx_m + ncx_deact;
  ydot[NCX] = kk<65>() - kk<66>() * ncx - kk<67>() * m * ncx + kk<68>() * ncx_m;
}

// The integrator builds its Jacobian by differences (MF 22); never called.
void jex(int*, double*, double*, int*, int*, double*, int*) {}

}  // namespace velmo64v6
