/* Rise-time distance of a multimode fibre link: the entry `Newton` of the
 * shared library libpelkadi. Plain C, so that outside callers can use it. */
#ifndef PELKADI_NEWTON_H
#define PELKADI_NEWTON_H

#if defined(__i386__)
#define PELKADI_CALL __attribute__((stdcall))
#else
#define PELKADI_CALL
#endif

#if defined(PELKADI_BUILDING)
#define PELKADI_API __attribute__((visibility("default")))
#else
#define PELKADI_API
#endif

/* The exponent q of the fibre length in the modal rise time, tm * L^q: between
 * 0.5 (strong mode mixing) and 1 (none); 0.7 is the usual estimate. */
#define PELKADI_MODAL_LENGTH_EXPONENT 0.7

#ifdef __cplusplus
extern "C" {
#endif

/* Distance L > 0 in km at which the rise-time budget of a multimode link is
 * used up:  td2*L^2 + tm2*L^(2q) = ts2 - te2x2, with q = 0.7 (modal rise time
 * growing as L^q, the usual estimate for fibre with mode mixing).
 *   ts2   square of the system rise time (ns^2)
 *   te2x2 twice the square of the transmitter/receiver rise time (ns^2)
 *   td2   square of the chromatic rise time per km ((ns/km)^2)
 *   tm2   square of the modal rise time per km at one km (ns^2)
 * Returns 0 when ts2 <= te2x2 (no budget left), +infinity when td2 and tm2 are
 * both 0 (nothing limits the distance). */
PELKADI_API double PELKADI_CALL Newton(double ts2, double te2x2, double td2, double tm2);

#ifdef __cplusplus
}
#endif

#endif
