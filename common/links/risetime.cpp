#include "common/links/risetime.h"

#include "common/numbers/extended.h"

namespace vantero {

double systemRiseTime(LineCode lineCode, double codeRatio, double bitRate) {
    return store((Extended(1000) * lineCodeFactor(lineCode)) / (Extended(codeRatio) * bitRate));
}

double electricalRiseTime(double bandwidth) {
    return store(Extended(350) / bandwidth);
}

double chromaticRiseTime(double dispersion, double spectralWidth) {
    return store(Extended(0.001L) * dispersion * spectralWidth);
}

double modalRiseTime(double normalizedBandwidth) {
    return store(Extended(442) / normalizedBandwidth);
}

namespace {

Extended square(double x) {
    return Extended(x) * x;
}

} // namespace

bool riseTimeBudgetMet(double system, double electrical) {
    return square(system) > Extended(2) * electrical * electrical;
}

double riseTimeDistance(double system, double electrical, double chromatic,
                        std::optional<double> modal, RiseTimeSolver solver) {
    const Extended system2 = square(system);
    const Extended electrical2x2 = Extended(2) * electrical * electrical;
    if (modal) {
        return store(solver(store(system2), store(electrical2x2), store(square(chromatic)),
                            store(square(*modal))));
    }
    return store(squareRoot((system2 - electrical2x2) / square(chromatic)));
}

} // namespace vantero
