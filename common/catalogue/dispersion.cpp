#include "common/catalogue/dispersion.h"

#include <cmath>

namespace vantero::catalogue {

double chromaticDispersion(double wavelength, double lambda0, double s0) {
    const double ratio = lambda0 / wavelength;
    const double ratio2 = ratio * ratio;
    return s0 / 4 * (wavelength - lambda0 * ratio2 * ratio);
}

WorstDispersion worstDispersion(double wavelength, double lambda0Min, double lambda0Max,
                                double s0) {
    const double low = chromaticDispersion(wavelength, lambda0Min, s0);
    const double high = chromaticDispersion(wavelength, lambda0Max, s0);
    if (std::fabs(high) > std::fabs(low)) {
        return {high, lambda0Max};
    }
    return {low, lambda0Min};
}

} // namespace vantero::catalogue
