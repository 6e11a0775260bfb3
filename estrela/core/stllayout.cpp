#include "estrela/core/stllayout.h"

#include <array>

namespace vantero::estrela {
namespace {

constexpr std::array<ProjectRecord, 13> stlRecords = {
    numberRecord("Edit3", "connectorLoss"),
    numberRecord("Edit4", "safetyMargin"),
    numberRecord("Edit6", "bitRate"),
    numberRecord("Edit5", "launchedPower"),
    numberRecord("Edit2", "spectralWidth"),
    numberRecord("Edit13", "receiverSensitivity"),
    numberRecord("Edit1", "couplerLoss"),
    numberRecord("Edit19", "fibreAttenuation"),
    numberRecord("Edit20", "fibreBandwidth"),
    numberRecord("Edit21", "chromaticDispersion"),
    choiceRecord("RadioGroup2", "lineCode", 2),
    choiceRecord("RadioGroup3", "blockCode", 3),
    choiceRecord("RadioGroup1", "fibreType", 2),
};

} // namespace

constinit const ProjectLayout stlLayout{".stl", stlRecords};

} // namespace vantero::estrela
