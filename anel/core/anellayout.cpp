#include "anel/core/anellayout.h"

#include <array>

namespace vantero::anel {
namespace {

constexpr std::array<ProjectRecord, 16> anelRecords = {
    numberRecord("Edit3", "switchIsolationLoss"),
    numberRecord("Edit4", "safetyMargin"),
    numberRecord("Edit6", "bitRate"),
    // Stored as a real like every other field, fractions included.
    numberRecord("Edit11", "isolatedStations"),
    numberRecord("Edit12", "connectorLoss"),
    numberRecord("Edit5", "launchedPower"),
    numberRecord("Edit2", "spectralWidth"),
    numberRecord("Edit1", "switchInputLoss"),
    numberRecord("Edit13", "receiverSensitivity"),
    numberRecord("Edit14", "switchOutputLoss"),
    numberRecord("Edit19", "fibreAttenuation"),
    numberRecord("Edit20", "fibreBandwidth"),
    numberRecord("Edit21", "chromaticDispersion"),
    choiceRecord("RadioGroup2", "lineCode", 2),
    choiceRecord("RadioGroup3", "blockCode", 3),
    choiceRecord("RadioGroup1", "fibreType", 2),
};

} // namespace

constinit const ProjectLayout anelLayout{".anel", anelRecords};

} // namespace vantero::anel
