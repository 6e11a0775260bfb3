#include "tavo/core/description.h"


namespace vantero::tavo {

using In = PointLinkInput;
using Res = PointLinkResult;

constexpr std::array<InputField<In>, 18> pointLinkInputs = {{
    {{"bitRate", "Edit6", "Taxa de transmissão de dados (Mbits/s)", "Mbit/s", "34", Page::Sistema},
     &In::bitRate},
    {{"launchedPower", "Edit5", "Potência óptica acoplada na fibra (dBm)", "dBm", "0",
      Page::Transmissor},
     &In::launchedPower},
    {{"fibreAttenuation", "Edit19", "Valor de atenuação da fibra (dB/km)", "dB/km", "0.35",
      Page::Fibra},
     &In::fibreAttenuation},
    {{"spliceLoss", "Edit3", "Valor da perda em cada emenda (dB)", "dB", "1", Page::Sistema},
     &In::spliceLoss},
    {{"gainMargin", "Edit4", "Margem de ganho (dB)", "dB", "5", Page::Sistema}, &In::gainMargin},
    {{"connectorCount", "Edit11", "Número total de conectores ", "", "5", Page::Sistema},
     &In::connectorCount},
    {{"connectorLoss", "Edit12", "Atenuação em cada conector (dB)", "dB", "0.3", Page::Sistema},
     &In::connectorLoss},
    {{"cableSectionLength", "Edit20", "Comprimento do lance do cabo utilizado (km)", "km", "4",
      Page::Fibra},
     &In::cableSectionLength},
    {{"receiverPenalty", "Edit14", "Penalidades no receptor (dB)", "dB", "2", Page::Receptor},
     &In::receiverPenalty},
    {{"blockM", "Edit7", "m", "", "3", Page::Transmissor}, &In::blockM},
    {{"blockN", "Edit10", "n", "", "4", Page::Transmissor}, &In::blockN},
    {{"electricalBandwidth", "Edit13", "Banda elétrica de 3 dB (MHz)", "MHz", "40", Page::Receptor},
     &In::electricalBandwidth},
    {{"spectralWidth", "Edit2", "Largura espectral da fonte (nm)", "nm", "2", Page::Transmissor},
     &In::spectralWidth},
    {{"chromaticDispersion", "Edit21", "Dispersão cromática (ps/nm.km)", "ps/(nm.km)", "2.03",
      Page::Fibra, true},
     &In::chromaticDispersion},
    {{"zeroDispersionWavelength", "Edit8", "Comprimento de onda de dispersão nula (nm)", "nm",
      "1330", Page::Fibra, true},
     &In::zeroDispersionWavelength},
    {{"dispersionSlope", "Edit22", "Valor do parâmetro So (ps/nm^2.km)", "ps/(nm^2.km)", "0.092",
      Page::Fibra, true},
     &In::dispersionSlope},
    {{"manualSensitivity", "Edit9", "Sensibilidade (dBm)", "dBm", "-38.21522", Page::Receptor,
      true},
     &In::manualSensitivity},
    {{"normalizedBandwidth", "Edit1", "Banda óptica normalizada na fibra (MHz.km)", "MHz.km", "100",
      Page::FibreDialog, true},
     &In::normalizedBandwidth},
}};

namespace {

constexpr std::array<std::string_view, 2> lightSources{"LED", "LASER"};
constexpr std::array<std::string_view, 2> berChoices{"1E-9", "1E-11"};
constexpr std::array<std::string_view, 6> detectorCodes{"0", "1", "2", "3", "4", "5"};

} // namespace

constexpr std::array<ChoiceField<In>, 5> pointLinkChoices = {{
    choiceField<&In::lineCode, In>({.name = "lineCode",
                                    .components = {"ComboBox2", ""},
                                    .caption = "Código de Linha",
                                    .page = Page::Sistema,
                                    .items = lineCodeItems,
                                    .values = lineCodeNames}),
    // The light source is stored and restored; nothing else reads it.
    keptChoice<In>({.name = "lightSource",
                    .components = {"RadioButton6", "RadioButton7"},
                    .caption = "Fonte de Luz",
                    .page = Page::Transmissor,
                    .items = lightSources,
                    .values = lightSources,
                    .note = "kept in the project file only: no calculation reads it"}),
    choiceField<&In::detectorType, In>(
        {.name = "detectorType",
         .components = {"ComboBox3", ""},
         .caption = "Fotodetector",
         .page = Page::Receptor,
         .items = photodetectorCaptions,
         .values = detectorCodes,
         .initial = static_cast<int>(DetectorType::SiPin),
         .firstItem = static_cast<int>(DetectorType::SiPin),
         .codes = true,
         .noItem = "the typed sensitivity (manualSensitivity)",
         .note = "independent of berChoice, unlike the window's two lists. 0 is saved as no "
                 "photodetector selected, and opening such a file leaves detectorType at 1"}),
    choiceField<&In::berChoice, In>({.name = "berChoice",
                                     .components = {"ComboBox1", ""},
                                     .caption = "BER",
                                     .page = Page::Receptor,
                                     .items = berChoices,
                                     .values = berChoices}),
    // With neither fibre button checked the window calculates multimode fibre.
    choiceField<&In::fibreType, In>({.name = "fibreType",
                                     .components = {"RadioButton8", "RadioButton9"},
                                     .caption = "Tipo de Fibra",
                                     .page = Page::Fibra,
                                     .items = fibreTypeItems,
                                     .values = fibreTypeNames,
                                     .whenNone = static_cast<int>(FibreType::Multimode)}),
}};

constexpr std::array<ResultField<Res>, 10> pointLinkResults = {{
    {"sensitivity", "Edit9", OutputKind::Number, &Res::sensitivity, "Sensibilidade (dBm)"},
    {"powerDistance", "Edit15", OutputKind::Number, &Res::powerDistance, "Balanço de Potência(Km)"},
    {"systemRiseTime", "Edit17", OutputKind::Number, &Res::systemRiseTime,
     "Tempo de subida do sistema (ns)"},
    {"computedDispersion", "Edit21", OutputKind::Number, &Res::computedDispersion,
     "Dispersão cromática (ps/nm.km)"},
    {"txRxRiseTime", "Edit18", OutputKind::Number, &Res::txRxRiseTime,
     "Tempo de subida do Transmissor\n+ Receptor (ns)"},
    {"message", "", OutputKind::Message, &Res::riseTimeMessage},
    {"riseTimeDistance", "Edit16", OutputKind::Number, &Res::riseTimeDistance,
     "Balanço de Tempo de Subida (Km)"},
    {"distanceCaption", "Label1", OutputKind::Text, &Res::distanceCaption},
    {"verdict", "Label8", OutputKind::Text, &Res::verdict},
    {"maximumDistance", "Edit1", OutputKind::Number, &Res::maximumDistance},
}};

// The connectors are as many as connectorCount says; the splices one per
// cable section, km / cableSectionLength of them at km km, a fraction
// included (the budget spreads each splice's loss over its section).
constexpr std::array<ItemLossField<In>, 2> pointLinkItemLosses = {{
    {{"connectorLoss", "the connectorCount connectors"},
     [](const In& in, double) {
         return convertInput<In>(in, &In::connectorCount, pointLinkInputs);
     }},
    {{"spliceLoss", "the splices, one per cableSectionLength km of fibre", true},
     [](const In& in, double km) {
         return km / convertInput<In>(in, &In::cableSectionLength, pointLinkInputs);
     }},
}};

constexpr VerdictTexts pointLinkTexts{
    .singleModeMessage =
        "tempo de subida do sistema menor que a soma dos tempos do transmissor e do receptor",
    .multimodeMessage =
        "tempo de subida do sistema menor que a soma do tempo do transmissor e receptor",
    .attenuationCaption = "Distância máxima em termos de potência (km)",
    .attenuationVerdict = "O sistema é limitado por atenuação",
    .dispersionCaption = "Distância máxima em termos de dispersão (km)",
    .dispersionVerdict = "O sistema é limitado por dispersão",
};

namespace {

// The ".dig" project file: the 16 numeric fields of the window, then the line
// code, the light source, the photodetector, the BER and the fibre type; 21
// records, 126 bytes. The dispersion rows are stored whether or not the
// window shows them.
constexpr auto digRecords =
    projectRecords(pointLinkInputs, pointLinkChoices,
                   std::to_array<std::string_view>({"spliceLoss",
                                                    "gainMargin",
                                                    "bitRate",
                                                    "connectorCount",
                                                    "connectorLoss",
                                                    "launchedPower",
                                                    "spectralWidth",
                                                    "blockM",
                                                    "blockN",
                                                    "electricalBandwidth",
                                                    "receiverPenalty",
                                                    "fibreAttenuation",
                                                    "cableSectionLength",
                                                    "chromaticDispersion",
                                                    "zeroDispersionWavelength",
                                                    "dispersionSlope",
                                                    "lineCode",
                                                    "lightSource",
                                                    "detectorType",
                                                    "berChoice",
                                                    "fibreType"}));

// What a catalogue part sets: a transceiver the launched power, the typed
// sensitivity (with no photodetector selected, so that the run takes it) and
// the spectral width; a fibre at a wavelength the rest.
constexpr auto pointLinkParts = partInputs(
    pointLinkInputs, pointLinkChoices,
    std::to_array<PartInput>({
        {PartFigure::LaunchPower, "launchedPower"},
        {PartFigure::Sensitivity, "manualSensitivity"},
        {PartFigure::Sensitivity, "detectorType", "0"},
        {PartFigure::SpectralWidth, "spectralWidth"},
        {PartFigure::Attenuation, "fibreAttenuation"},
        {PartFigure::ChromaticDispersion, "chromaticDispersion", {},
         "read only with detectorType 1 to 4: with 0 or 5 the run works the dispersion out at "
         "1300 nm from zeroDispersionWavelength and dispersionSlope",
         "lida só com um fotodetector de 800-900 nm ou de 1550 nm: sem fotodetector (a "
         "sensibilidade digitada) ou com o InGaAs PIN (1300nm), o cálculo obtém a dispersão em "
         "1300 nm do comprimento de onda de dispersão nula e do parâmetro So"},
        {PartFigure::ZeroDispersionWavelength, "zeroDispersionWavelength"},
        {PartFigure::DispersionSlope, "dispersionSlope"},
        {PartFigure::FibreType, "fibreType"},
        {PartFigure::ModalBandwidth, "normalizedBandwidth"},
        {PartFigure::SpliceLoss, "spliceLoss"},
        {PartFigure::ConnectorLoss, "connectorLoss"},
    }));

} // namespace

PointLinkInput::PointLinkInput() {
    setInitialFields<In>(*this, pointLinkInputs, pointLinkChoices);
}

const Calculator& calculator() {
    static const CalculatorOf<In, Res> pointLink(
        "tavo", "point-to-point",
        "Distância Máxima Alcançada para Enlace Ponto-a-Ponto com Modulação Digital", ".dig",
        pointLinkInputs, pointLinkChoices, pointLinkResults, digRecords, calculatePointLink,
        pointLinkBudgetsAt, pointLinkParts, pointLinkItemLosses);
    return pointLink;
}

} // namespace vantero::tavo
