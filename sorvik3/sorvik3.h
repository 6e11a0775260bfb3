/* Newton-Raphson solver of a logarithmic loss equation: the entry `Sorvik3` of
 * the shared library libsorvik3. Plain C, so that outside callers can use it. */
#ifndef SORVIK3_SORVIK3_H
#define SORVIK3_SORVIK3_H

#if defined(__i386__)
#define SORVIK3_CALL __attribute__((stdcall))
#else
#define SORVIK3_CALL
#endif

#if defined(SORVIK3_BUILDING)
#define SORVIK3_API __attribute__((visibility("default")))
#else
#define SORVIK3_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Seeks x with L(x) = aten_borda, where
 *   L(x) = 89.54 + termo_A + 21 log10(freq) - 18 log10(H)
 *          + 38 log10(x) - 18 log10(1 - x^2 / (17 H)),
 * by Newton-Raphson steps from x = 0.002005, at most 20 of them, stopping
 * early only on a step below 1e-10. The estimate is kept in single precision,
 * so the result carries single precision only (as a rule the single next to
 * the root).
 * Arguments are not checked. The logarithm of a zero or negative value writes
 * "<program>: log10: SING error" (zero) or "<program>: log10: DOMAIN error"
 * (negative) as one line to standard error and goes on with -DBL_MAX or a
 * not-a-number. Safe to call from several threads at once. */
SORVIK3_API double SORVIK3_CALL Sorvik3(double aten_borda, double freq, double termo_A, double H);

#ifdef __cplusplus
}
#endif

#endif
