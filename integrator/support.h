// Small routines shared by the driver, the step and the matrix routines:
// error weights, the weighted norm, interpolation from the history array, the
// unit roundoff, and the save / restore pair for the two global blocks.
// Arrays are one-based in the comments, zero-based in C.
#pragma once

namespace integrator {

// EWT(i) = RTOLi*|V(i)| + ATOLi, i = 1..N; RTOL(i) is taken for ITOL 3 and 4,
// ATOL(i) for ITOL 2 and 4, the first element otherwise. Weights, not their
// reciprocals: the driver inverts them after checking.
void set_weights(int N, int ITOL, const double* RTOL, const double* ATOL, const double* V,
                 double* EWT);

// sqrt(sum((V(i)*W(i))^2)/N), summed in index order.
double weighted_norm(int N, const double* V, const double* W);

// K-th derivative at T of the polynomial in the history array (HIST_LEN rows,
// column-major) into DERIVATIVE(1..NEQ_CURRENT). STATUS 0, -1 for an illegal
// K (message 51), -2 for a T outside the last step (message 52); DERIVATIVE is
// untouched on failure.
void interpolate(double T, int K, const double* HIST, int HIST_LEN, double* DERIVATIVE,
                 int& STATUS);

// The integrator's unit roundoff, the same for every I: 1.0e-14 in single
// precision widened to double (9.9999998245167e-15), not the double epsilon.
double machine_constant(int I);

inline constexpr int save_reals = 219;  // REAL_SAVE holds at least this many
inline constexpr int save_ints = 41;    // INT_SAVE: 39 of the state + 2 message settings

// Copies solver_state (219 doubles, 39 integers) and message_control
// (PRINT_FLAG into INT_SAVE(40), MESSAGE_UNIT into INT_SAVE(41)) out / back in.
void save_state(double* REAL_SAVE, int* INT_SAVE);
void restore_state(const double* REAL_SAVE, const int* INT_SAVE);

}  // namespace integrator
