// Fixed places of the caller's work arrays (one-based, as callers document
// them), and accessors that read like the place names.
#pragma once

namespace integrator {

namespace rwork_place {
inline constexpr int TCRIT = 1;   // input for ITASK 4 and 5
inline constexpr int H0 = 5;      // optional input: first step size
inline constexpr int HMAX = 6;    // optional input: largest |step|
inline constexpr int HMIN = 7;    // optional input: smallest |step|
inline constexpr int HU = 11;     // output: last successful step size
inline constexpr int H = 12;      // output: step size to attempt next
inline constexpr int TCUR = 13;   // output: the integrator's own time
inline constexpr int TOLSF = 14;  // output: tolerance scale factor (messages 26, 203)
inline constexpr int SEGMENTS = 21;
}  // namespace rwork_place

namespace iwork_place {
inline constexpr int ML = 1;              // input: lower half-bandwidth
inline constexpr int MU = 2;              // input: upper half-bandwidth
inline constexpr int MAXORD = 5;          // optional input
inline constexpr int MXSTEP = 6;          // optional input
inline constexpr int MXHNIL = 7;          // optional input
inline constexpr int STEP_COUNT = 11;     // output
inline constexpr int F_COUNT = 12;        // output
inline constexpr int JAC_COUNT = 13;      // output
inline constexpr int ORDER_USED = 14;     // output
inline constexpr int ORDER = 15;          // output
inline constexpr int LARGEST_ERROR = 16;  // output with ISTATE -4, -5
inline constexpr int LENRW = 17;          // output: RWORK length needed
inline constexpr int LENIW = 18;          // output: IWORK length needed
inline constexpr int PIVOTS = 21;
}  // namespace iwork_place

inline double& at_place(double* work, int place) { return work[place - 1]; }
inline int& at_place(int* work, int place) { return work[place - 1]; }

}  // namespace integrator
