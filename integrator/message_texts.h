// The integrator's message lines, each text written here once: the writer
// takes the length from the text, and the tests compare with these entries.
#pragma once

#include <string_view>

namespace integrator {

// One text line of a message, blank-padded as it is printed, and the number
// of the message it belongs to (a message of several lines shares one).
struct message_line {
  std::string_view text;
  int number;
};

namespace messages {

// Illegal input: the call returns with ISTATE -3.
inline constexpr message_line istate_illegal{"INTEG--  ISTATE (=I1) ILLEGAL ", 1};
inline constexpr message_line itask_illegal{"INTEG--  ITASK (=I1) ILLEGAL  ", 2};
inline constexpr message_line not_initialized{"INTEG--  ISTATE .GT. 1 BUT INTEG NOT INITIALIZED  ",
                                              3};
inline constexpr message_line neq_below_one{"INTEG--  NEQ (=I1) .LT. 1     ", 4};
inline constexpr message_line neq_increased{"INTEG--  ISTATE = 3 AND NEQ INCREASED (I1 TO I2)  ",
                                            5};
inline constexpr message_line itol_illegal{"INTEG--  ITOL (=I1) ILLEGAL   ", 6};
inline constexpr message_line iopt_illegal{"INTEG--  IOPT (=I1) ILLEGAL   ", 7};
inline constexpr message_line mf_illegal{"INTEG--  MF (=I1) ILLEGAL     ", 8};
inline constexpr message_line ml_illegal{"INTEG--  ML (=I1) ILLEGAL.. .LT.0 OR .GE.NEQ (=I2)", 9};
inline constexpr message_line mu_illegal{"INTEG--  MU (=I1) ILLEGAL.. .LT.0 OR .GE.NEQ (=I2)", 10};
inline constexpr message_line maxord_negative{"INTEG--  MAXORD (=I1) .LT. 0  ", 11};
inline constexpr message_line mxstep_negative{"INTEG--  MXSTEP (=I1) .LT. 0  ", 12};
inline constexpr message_line mxhnil_negative{"INTEG--  MXHNIL (=I1) .LT. 0  ", 13};
inline constexpr message_line tout_behind_t{"INTEG--  TOUT (=R1) BEHIND T (=R2)      ", 14};
inline constexpr message_line direction_from_h0{
    "      INTEGRATION DIRECTION IS GIVEN BY H0 (=R1)  ", 14};
inline constexpr message_line hmax_negative{"INTEG--  HMAX (=R1) .LT. 0.0  ", 15};
inline constexpr message_line hmin_negative{"INTEG--  HMIN (=R1) .LT. 0.0  ", 16};
inline constexpr message_line rwork_too_short{
    "INTEG--  RWORK LENGTH NEEDED, LENRW (=I1), EXCEEDS LRW (=I2)", 17};
inline constexpr message_line iwork_too_short{
    "INTEG--  IWORK LENGTH NEEDED, LENIW (=I1), EXCEEDS LIW (=I2)", 18};
inline constexpr message_line rtol_negative{"INTEG--  RTOL(I1) IS R1 .LT. 0.0        ", 19};
inline constexpr message_line atol_negative{"INTEG--  ATOL(I1) IS R1 .LT. 0.0        ", 20};
inline constexpr message_line ewt_not_positive{"INTEG--  EWT(I1) IS R1 .LE. 0.0         ", 21};
inline constexpr message_line tout_too_close{
    "INTEG--  TOUT (=R1) TOO CLOSE TO T(=R2) TO START INTEGRATION", 22};
inline constexpr message_line tout_behind_last_step{
    "INTEG--  ITASK = I1 AND TOUT (=R1) BEHIND TCUR - HU (= R2)  ", 23};
inline constexpr message_line tcrit_behind_tcur{
    "INTEG--  ITASK = 4 OR 5 AND TCRIT (=R1) BEHIND TCUR (=R2)   ", 24};
inline constexpr message_line tcrit_behind_tout{
    "INTEG--  ITASK = 4 OR 5 AND TCRIT (=R1) BEHIND TOUT (=R2)   ", 25};
inline constexpr message_line start_accuracy{"INTEG--  AT START OF PROBLEM, TOO MUCH ACCURACY   ",
                                             26};
inline constexpr message_line start_accuracy_tolsf{
    "      REQUESTED FOR PRECISION OF MACHINE..  SEE TOLSF (=R1) ", 26};
inline constexpr message_line interpolation_trouble{
    "INTEG--  TROUBLE FROM INTRP. ITASK = I1, TOUT = R1", 27};

// The interpolation routine's own checks.
inline constexpr message_line interpolation_k_illegal{"INTRP--  K (=I1) ILLEGAL      ", 51};
inline constexpr message_line interpolation_t_illegal{"INTRP--  T (=R1) ILLEGAL      ", 52};
inline constexpr message_line interpolation_t_outside{
    "      T NOT IN INTERVAL TCUR - HU (= R1) TO TCUR (=R2)      ", 52};

// Warnings: T + H = T, and the last of them.
inline constexpr message_line tiny_step{"INTEG--  WARNING..INTERNAL T (=R1) AND H (=R2) ARE", 101};
inline constexpr message_line tiny_step_machine{
    "      SUCH THAT IN THE MACHINE, T + H = T ON THE NEXT STEP  ", 101};
inline constexpr message_line tiny_step_goes_on{
    "      (H = STEP SIZE). SOLVER WILL CONTINUE ANYWAY", 101};
inline constexpr message_line tiny_step_limit{"INTEG--  ABOVE WARNING HAS BEEN ISSUED I1 TIMES.  ",
                                              102};
inline constexpr message_line tiny_step_not_again{
    "      IT WILL NOT BE ISSUED AGAIN FOR THIS PROBLEM", 102};

// A failed integration: the call returns with ISTATE -1, -2, -4, -5 or -6.
inline constexpr message_line mxstep_reached{"INTEG--  AT CURRENT T (=R1), MXSTEP (=I1) STEPS   ",
                                             201};
inline constexpr message_line mxstep_before_tout{
    "      TAKEN ON THIS CALL BEFORE REACHING TOUT     ", 201};
inline constexpr message_line ewt_became_nonpositive{
    "INTEG--  AT T (=R1), EWT(I1) HAS BECOME R2 .LE. 0.", 202};
inline constexpr message_line too_much_accuracy{
    "INTEG--  AT T (=R1), TOO MUCH ACCURACY REQUESTED  ", 203};
inline constexpr message_line too_much_accuracy_tolsf{
    "      FOR PRECISION OF MACHINE..  SEE TOLSF (=R2) ", 203};
inline constexpr message_line error_test_failed{
    "INTEG--  AT T(=R1) AND STEP SIZE H(=R2), THE ERROR", 204};
inline constexpr message_line error_test_failed_repeatedly{
    "      TEST FAILED REPEATEDLY OR WITH ABS(H) = HMIN", 204};
inline constexpr message_line corrector_failed{"INTEG--  AT T (=R1) AND STEP SIZE H (=R2), THE    ",
                                               205};
inline constexpr message_line corrector_failed_repeatedly{
    "      CORRECTOR CONVERGENCE FAILED REPEATEDLY     ", 205};
inline constexpr message_line corrector_failed_hmin{"      OR WITH ABS(H) = HMIN   ", 205};

// The run-ending rules (the last line is fatal).
inline constexpr message_line repeated_start{
    "INTEG--  REPEATED CALLS WITH ISTATE = 1 AND TOUT = T (=R1)  ", 301};
inline constexpr message_line repeated_illegal_input{
    "INTEG--  REPEATED OCCURRENCES OF ILLEGAL INPUT    ", 302};
inline constexpr message_line run_aborted{"INTEG--  RUN ABORTED.. APPARENT INFINITE LOOP     ",
                                          303};

}  // namespace messages
}  // namespace integrator
