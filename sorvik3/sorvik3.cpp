#include "sorvik3/sorvik3.h"

#include "sorvik3/solver.h"

#if defined(__i386__)
// A stdcall caller built elsewhere may call with the stack aligned to 4 bytes
// only: the entry realigns it before the iteration and the math library run.
#define SORVIK3_REALIGN __attribute__((force_align_arg_pointer))
#else
#define SORVIK3_REALIGN
#endif

extern "C" SORVIK3_API SORVIK3_REALIGN double SORVIK3_CALL Sorvik3(double aten_borda, double freq,
                                                                   double termo_A, double H) {
    return vantero::sorvik3::solve(aten_borda, freq, termo_A, H);
}
