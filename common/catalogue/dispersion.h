#pragma once

namespace vantero::catalogue {

// The chromatic dispersion (ps/(nm.km)) at `wavelength` (nm) of a fibre
// whose zero-dispersion wavelength is `lambda0` (nm) and whose slope there is
// `s0` (ps/(nm^2.km)): D = S0/4 (λ - λ0^4/λ^3).
double chromaticDispersion(double wavelength, double lambda0, double s0);

// The worst case at `wavelength` of a fibre whose zero-dispersion wavelength
// lies between `lambda0Min` and `lambda0Max`: the end of that range that
// gives the larger magnitude of dispersion (the lower end on a tie), and
// that dispersion.
struct WorstDispersion {
    double dispersion;
    double lambda0;
};
WorstDispersion worstDispersion(double wavelength, double lambda0Min, double lambda0Max,
                                double s0);

} // namespace vantero::catalogue
