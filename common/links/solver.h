#pragma once

#include "pelkadi/newton.h"

namespace vantero {

// The entry that solves the rise-time budget of multimode fibre for the
// distance, in the shape of `Newton` of libpelkadi: the four squares in, the
// distance in km out. The calculations call `Newton` unless they are given
// another entry of this shape (tests give stand-ins that record or answer).
using RiseTimeSolver = double(PELKADI_CALL*)(double ts2, double te2x2, double td2, double tm2);

} // namespace vantero
