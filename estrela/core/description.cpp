#include "estrela/core/description.h"


namespace vantero::estrela {

using In = StarLinkInput;
using Res = StarLinkResult;

constexpr std::array<InputField<In>, 11> starLinkInputs = {{
    {{"connectorLoss", "Edit3", "Perdas em cada conector ponto-a-ponto (dB)", "dB", "1",
      Page::Sistema},
     &In::connectorLoss},
    {{"safetyMargin", "Edit4", "Margem de segurança (dB)", "dB", "3", Page::Sistema},
     &In::safetyMargin},
    {{"bitRate", "Edit6", "Taxa de transmissão de dados (Mbits/s)", "Mbit/s", "100", Page::Sistema},
     &In::bitRate},
    {{"launchedPower", "Edit5", "Potência óptica  média injetada fibra (dBm)", "dBm", "-10",
      Page::Transmissor},
     &In::launchedPower},
    {{"spectralWidth", "Edit2", "Largura espectral da fonte (nm)", "nm", "830", Page::Transmissor},
     &In::spectralWidth},
    {{"receiverSensitivity", "Edit13", "Sensitividade do receptor óptico (dBm)", "dBm", "-36",
      Page::Receptor},
     &In::receiverSensitivity},
    {{"couplerLoss", "Edit1", "Perdas(inserção+divisão) do acoplador estrela (dB)", "dB", "9",
      Page::Receptor},
     &In::couplerLoss},
    {{"fibreAttenuation", "Edit19", "Atenuação da fibra (dB/km)", "dB/km", "0.35", Page::Fibra},
     &In::fibreAttenuation},
    {{"fibreBandwidth", "Edit20", "Banda passante elétrica da fibra (MHz)", "MHz", "100",
      Page::Fibra},
     &In::fibreBandwidth},
    {{"chromaticDispersion", "Edit21", "Dispersão cromática (ps/nm.km)", "ps/(nm.km)", "100",
      Page::Fibra},
     &In::chromaticDispersion},
    {{"normalizedBandwidth", "Edit1", "Banda óptica normalizada na fibra (MHz.km)", "MHz.km", "100",
      Page::FibreDialog, true},
     &In::normalizedBandwidth},
}};

constexpr std::array<ChoiceField<In>, 3> starLinkChoices = networkLinkChoices<In>();

constexpr std::array<ResultField<Res>, 6> starLinkResults = networkLinkResultFields<Res>("Label9");

// Four connectors between the two stations, whatever the figures.
constexpr std::array<ItemLossField<In>, 1> starLinkItemLosses = {{
    {{"connectorLoss", "the 4 connectors"}, [](const In&, double) { return 4.0; }},
}};

constexpr VerdictTexts starLinkTexts{
    .singleModeMessage = "O tempo de subida do sistema apresentou um valor menor do que o tempo "
                         "de subida do transmissor",
    .multimodeMessage =
        "O tempo de subida do sistema apresentou um valor menor do que o tempo do transmissor",
    .attenuationCaption = "Distância máxima em termos de atenuação (km)",
    .attenuationVerdict = "O Sistema é limitado por atenuação",
    .dispersionCaption = "Distância máxima em termos de dispersão (km)",
    .dispersionVerdict = "O Sistema é limitado por dispersão",
};

namespace {

// The ".stl" project file: the 10 numeric fields of the window, then the
// line code, the block code and the fibre type; 13 records, 78 bytes.
constexpr auto stlRecords = projectRecords(
    starLinkInputs, starLinkChoices,
    std::to_array<std::string_view>({"connectorLoss", "safetyMargin", "bitRate", "launchedPower",
                                     "spectralWidth", "receiverSensitivity", "couplerLoss",
                                     "fibreAttenuation", "fibreBandwidth", "chromaticDispersion",
                                     "lineCode", "blockCode", "fibreType"}));

constexpr auto starLinkParts = networkLinkParts(starLinkInputs, starLinkChoices);

} // namespace

StarLinkInput::StarLinkInput() {
    setInitialFields<In>(*this, starLinkInputs, starLinkChoices);
}

const Calculator& calculator() {
    static const CalculatorOf<In, Res> starLink(
        "estrela", "passive star", "Configuração em Estrela Passiva", ".stl", starLinkInputs,
        starLinkChoices, starLinkResults, stlRecords, calculateStarLink, starLinkBudgetsAt,
        starLinkParts, starLinkItemLosses);
    return starLink;
}

} // namespace vantero::estrela
