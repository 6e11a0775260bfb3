#include "tavo/core/diglayout.h"

#include <array>

namespace vantero::tavo {
namespace {

constexpr std::array<ProjectRecord, 21> digRecords = {
    numberRecord("Edit3", "spliceLoss"),
    numberRecord("Edit4", "gainMargin"),
    numberRecord("Edit6", "bitRate"),
    numberRecord("Edit11", "connectorCount"),
    numberRecord("Edit12", "connectorLoss"),
    numberRecord("Edit5", "launchedPower"),
    numberRecord("Edit2", "spectralWidth"),
    numberRecord("Edit7", "blockM"),
    numberRecord("Edit10", "blockN"),
    numberRecord("Edit13", "electricalBandwidth"),
    numberRecord("Edit14", "receiverPenalty"),
    numberRecord("Edit19", "fibreAttenuation"),
    numberRecord("Edit20", "cableSectionLength"),
    numberRecord("Edit21", "chromaticDispersion"),
    // Stored whether or not the window shows them.
    numberRecord("Edit8", "zeroDispersionWavelength"),
    numberRecord("Edit22", "dispersionSlope"),
    choiceRecord("ComboBox2", "lineCode", 2),
    // The light source is stored and restored; nothing else reads it.
    choiceRecord("RadioButton6", "RadioButton7", "lightSource"),
    choiceRecord("ComboBox3", "detectorType", 5),
    choiceRecord("ComboBox1", "berChoice", 2),
    choiceRecord("RadioButton8", "RadioButton9", "fibreType"),
};

} // namespace

constinit const ProjectLayout digLayout{".dig", digRecords};

} // namespace vantero::tavo
