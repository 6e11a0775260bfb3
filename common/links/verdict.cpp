#include "common/links/verdict.h"

#include "common/numbers/extended.h"

namespace vantero {
namespace {

void report(LinkResult& out, const VerdictTexts& texts, LimitingFactor factor, double distance) {
    const bool attenuation = factor == LimitingFactor::Attenuation;
    out.limitedBy = factor;
    out.distanceCaption.setText(attenuation ? texts.attenuationCaption : texts.dispersionCaption);
    out.verdict.setText(attenuation ? texts.attenuationVerdict : texts.dispersionVerdict);
    out.maximumDistance.setNumber(distance);
}

} // namespace

void reportUnmetRiseTimeBudget(LinkResult& out, const VerdictTexts& texts, FibreType fibreType) {
    out.riseTimeMessage.setText(fibreType == FibreType::Multimode ? texts.multimodeMessage
                                                                  : texts.singleModeMessage);
    report(out, texts, LimitingFactor::Dispersion, 0);
}

void reportVerdict(LinkResult& out, const VerdictTexts& texts, double powerDistance,
                   double riseTimeDistance) {
    out.riseTimeDistance.setNumber(riseTimeDistance);
    if (Extended(riseTimeDistance) >= powerDistance) {
        report(out, texts, LimitingFactor::Attenuation, powerDistance);
    } else {
        report(out, texts, LimitingFactor::Dispersion, riseTimeDistance);
    }
}

} // namespace vantero
