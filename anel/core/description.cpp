#include "anel/core/description.h"


namespace vantero::anel {

using In = RingLinkInput;
using Res = RingLinkResult;

constexpr std::array<InputField<In>, 14> ringLinkInputs = {{
    {{"switchIsolationLoss", "Edit3", "Perdas de isolação no comutador óptico (dB)", "dB", "1",
      Page::Sistema},
     &In::switchIsolationLoss},
    {{"safetyMargin", "Edit4", "Margem de segurança (dB)", "dB", "3", Page::Sistema},
     &In::safetyMargin},
    {{"bitRate", "Edit6", "Taxa de transmissão de dados (Mbits/s)", "Mbit/s", "15", Page::Sistema},
     &In::bitRate},
    {{"isolatedStations", "Edit11", "Número de estações isoladas ", "", "0", Page::Sistema},
     &In::isolatedStations},
    {{"connectorLoss", "Edit12", "Perdas em cada conector ponto-a-ponto (dB)", "dB", "1",
      Page::Sistema},
     &In::connectorLoss},
    {{"launchedPower", "Edit5", "Potência óptica  média injetada fibra (dBm)", "dBm", "-12",
      Page::Transmissor},
     &In::launchedPower},
    {{"spectralWidth", "Edit2", "Largura espectral da fonte (nm)", "nm", "850", Page::Transmissor},
     &In::spectralWidth},
    {{"switchInputLoss", "Edit1", "Perdas de entrada no comutador óptico (dB)", "dB", "1",
      Page::Transmissor},
     &In::switchInputLoss},
    {{"receiverSensitivity", "Edit13", "Sensitividade do receptor óptico (dBm)", "dBm", "-25",
      Page::Receptor},
     &In::receiverSensitivity},
    {{"switchOutputLoss", "Edit14", "Perdas de saída no comutador óptico (dB)", "dB", "1",
      Page::Receptor},
     &In::switchOutputLoss},
    {{"fibreAttenuation", "Edit19", "Atenuação da fibra (dB/km)", "dB/km", "0.35", Page::Fibra},
     &In::fibreAttenuation},
    {{"fibreBandwidth", "Edit20", "Banda passante elétrica da fibra (MHz)", "MHz", "100",
      Page::Fibra},
     &In::fibreBandwidth},
    {{"chromaticDispersion", "Edit21", "Dispersão cromática (ps/nm.km)", "ps/(nm.km)", "40",
      Page::Fibra},
     &In::chromaticDispersion},
    {{"normalizedBandwidth", "Edit1", "Banda óptica normalizada na fibra (MHz.km)", "MHz.km", "100",
      Page::FibreDialog, true},
     &In::normalizedBandwidth},
}};

constexpr std::array<ChoiceField<In>, 3> ringLinkChoices = networkLinkChoices<In>();

constexpr std::array<ResultField<Res>, 6> ringLinkResults = networkLinkResultFields<Res>("Label7");

// 2 (N + 2) connectors and N isolating switches, N the isolated stations.
constexpr std::array<ItemLossField<In>, 2> ringLinkItemLosses = {{
    {{"connectorLoss", "the 2 (isolatedStations + 2) connectors"},
     [](const In& in, double) {
         return 2 * (convertInput<In>(in, &In::isolatedStations, ringLinkInputs) + 2);
     }},
    {{"switchIsolationLoss", "the isolatedStations isolating switches"},
     [](const In& in, double) {
         return convertInput<In>(in, &In::isolatedStations, ringLinkInputs);
     }},
}};

// The ring has one message for both fibre types.
constexpr VerdictTexts ringLinkTexts{
    .singleModeMessage = "O tempo de subida do sistema apresentou um valor menor do que o tempo "
                         "de subida do transmissor",
    .multimodeMessage = "O tempo de subida do sistema apresentou um valor menor do que o tempo "
                        "de subida do transmissor",
    .attenuationCaption = "Distância máxima em termos de atenuação vale (Km)",
    .attenuationVerdict = "O sistema é limitado por atenuação",
    .dispersionCaption = "Distância máxima em termos de dispersão (Km)",
    .dispersionVerdict = "O sistema é limitado por dispersão",
};

namespace {

// The ".anel" project file: the 13 numeric fields of the window, then the
// line code, the block code and the fibre type; 16 records, 96 bytes. The
// number of isolated stations is stored as a real like every other field,
// fractions included.
constexpr auto anelRecords = projectRecords(
    ringLinkInputs, ringLinkChoices,
    std::to_array<std::string_view>({"switchIsolationLoss", "safetyMargin", "bitRate",
                                     "isolatedStations", "connectorLoss", "launchedPower",
                                     "spectralWidth", "switchInputLoss", "receiverSensitivity",
                                     "switchOutputLoss", "fibreAttenuation", "fibreBandwidth",
                                     "chromaticDispersion", "lineCode", "blockCode", "fibreType"}));

constexpr auto ringLinkParts = networkLinkParts(ringLinkInputs, ringLinkChoices);

} // namespace

RingLinkInput::RingLinkInput() {
    setInitialFields<In>(*this, ringLinkInputs, ringLinkChoices);
}

const Calculator& calculator() {
    static const CalculatorOf<In, Res> ringLink(
        "anel", "ring", "Configuração em Anel", ".anel", ringLinkInputs, ringLinkChoices,
        ringLinkResults, anelRecords, calculateRingLink, ringLinkBudgetsAt, ringLinkParts,
        ringLinkItemLosses);
    return ringLink;
}

} // namespace vantero::anel
