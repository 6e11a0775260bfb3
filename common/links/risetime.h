#pragma once

#include "common/links/choices.h"
#include "common/links/solver.h"

#include <optional>

namespace vantero {

// The rise-time budget of a digital link: the rise time the line rate allows
// must cover the transmitter, the receiver and what the fibre adds per km;
// what is left over gives the longest fibre. Every rise time is rounded to a
// double when it is stored; a fault is thrown at the step where it happens.

// System rise time (ns) allowed by the line rate: (1000 k) / (r B), with k the
// line code's factor, r the ratio of line bits to data bits of the block code
// and B the bit rate in Mbit/s.
double systemRiseTime(LineCode lineCode, double codeRatio, double bitRate);

// Rise time (ns) of a receiver of electrical bandwidth B (MHz): 350 / B.
double electricalRiseTime(double bandwidth);

// Rise time per km (ns/km) that chromatic dispersion D (ps/(nm km)) gives a
// source of spectral width dl (nm): 0.001 D dl.
double chromaticRiseTime(double dispersion, double spectralWidth);

// Modal rise time (ns) of one km of multimode fibre of normalised bandwidth
// Bm (MHz km): 442 / Bm.
double modalRiseTime(double normalizedBandwidth);

// Whether the system rise time leaves room for the fibre: Ts^2 > 2 te^2,
// strictly, the transmitter being taken as fast as the receiver and the two
// adding in quadrature.
bool riseTimeBudgetMet(double system, double electrical);

// Length of fibre (km) that uses up what the budget leaves. Single-mode fibre
// (no modal rise time): sqrt((Ts^2 - 2 te^2) / td^2). Multimode fibre: the
// solver's answer for Ts^2, 2 te^2, td^2 and tm^2, each rounded to a double,
// taken as it comes (a not-a-number included; beyond a double is the overflow
// fault).
double riseTimeDistance(double system, double electrical, double chromatic,
                        std::optional<double> modal, RiseTimeSolver solver);

} // namespace vantero
