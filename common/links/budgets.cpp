#include "common/links/budgets.h"

#include "common/links/risetime.h"

#include <cmath>

namespace vantero {
namespace {

Extended square(double x) {
    return Extended(x) * x;
}

// L^q for a length L >= 0.
Extended lengthPower(double km, double exponent) {
    return Extended(std::pow(static_cast<long double>(km), static_cast<long double>(exponent)));
}

} // namespace

void checkLength(double km) {
    if (!(km >= 0)) {
        throw ArithmeticFault(FaultKind::InvalidOperation);
    }
}

void addRiseTimeBudget(LinkBudgets& budgets, double system, double electrical, double chromatic,
                       std::optional<double> modal, double km) {
    auto add = [&](std::string_view name, std::string_view caption, TermKind kind, double value) {
        budgets.riseTimeTerms.push_back({name, caption, ns, kind, value});
    };
    add("systemRiseTime", "Tempo de subida do sistema (permitido)", TermKind::Available, system);

    // The transmitter is taken as fast as the receiver, the two in quadrature.
    const Extended transmitterReceiver2 = Extended(2) * electrical * electrical;
    add("transmitterReceiverRiseTime", "Transmissor + receptor", TermKind::RiseTime,
        store(squareRoot(transmitterReceiver2)));

    const Extended chromatic2 = square(chromatic) * km * km;
    add("chromaticRiseTime", "Dispersão cromática", TermKind::RiseTime,
        store(squareRoot(chromatic2)));

    Extended link2 = transmitterReceiver2 + chromatic2;
    if (modal) {
        const Extended modalTerm = Extended(*modal) * lengthPower(km, modalLengthExponent);
        add("modalRiseTime", "Dispersão modal", TermKind::RiseTime, store(modalTerm));
        link2 = link2 + modalTerm * modalTerm;
    }
    const Extended link = squareRoot(link2);
    add("linkRiseTime", "Tempo de subida do enlace", TermKind::Total, store(link));

    budgets.riseTimeBudgetPossible = riseTimeBudgetMet(system, electrical);
    budgets.riseTimeMargin = store(Extended(system) - link);
}

} // namespace vantero
