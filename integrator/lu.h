// Gaussian elimination with partial pivoting, column by column, for full and
// band matrices; the inner work goes through BLAS level 1. All indices (pivots,
// status) are one-based. Status 0: factors usable; k > 0: the pivot of column
// k is exactly zero. Job 0 solves A x = b, any other job A' x = b.
#pragma once

namespace integrator {

// a: n x n, column-major, leading dimension lda; p: n pivot rows.
void lu_factor(double* a, int lda, int n, int* p, int& status);
void lu_solve(const double* a, int lda, int n, const int* p, double* b, int job);

// abd: band storage with leading dimension lda >= 2*ml + mu + 1; element
// (i, j) of the matrix in row ml + mu + 1 + i - j of column j, rows 1..ml
// being room for the fill-in.
void band_factor(double* abd, int lda, int n, int ml, int mu, int* p, int& status);
void band_solve(const double* abd, int lda, int n, int ml, int mu, const int* p, double* b,
                int job);

}  // namespace integrator
