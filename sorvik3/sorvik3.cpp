#include "sorvik3/sorvik3.h"

#include "sorvik3/solver.h"

extern "C" SORVIK3_API double SORVIK3_CALL Sorvik3(double aten_borda, double freq, double termo_A,
                                                   double H) {
    return vantero::sorvik3::solve(aten_borda, freq, termo_A, H);
}
