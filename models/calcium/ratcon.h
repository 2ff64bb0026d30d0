// The slot rule of the calcium programs' rate-constant block `ratcon`:
// k1..k50 in slots 1..50, the IP3-receptor calcium factors FE and FES in
// slots 51 and 52 (fex writes them on every call), k51..k78 in slots 53..80,
// the STIM cooperativity COOPSTIM in slot 81, slots 82..84 reserved.
// velmo64v6 keeps the rule and stops at k68 (slot 70).
#pragma once

namespace calcium {

inline constexpr int ratcon_slots = 84;
inline constexpr int fe_slot = 51;
inline constexpr int fes_slot = 52;
inline constexpr int coopstim_slot = 81;

// Slot of rate constant kN (one-based).
constexpr int k_slot(int n) { return n <= 50 ? n : n + 2; }

// Rate constant kN of a block laid out by the rule (block[0] is slot 1).
template <class Real>
constexpr Real& k_in(Real* block, int n) {
  return block[k_slot(n) - 1];
}

// Read access to a ratcon block by k number or slot.
struct rate_constants {
  const double* slots;  // slot s at slots[s-1]
  double k(int n) const { return k_in(slots, n); }
  double slot(int s) const { return slots[s - 1]; }
};

}  // namespace calcium
