#include "common/ui/tests/networkformtests.h"
#include "estrela/core/starlink.h"
#include "estrela/formestrela.h"

namespace vantero::estrela {
namespace {

// The passive star window, as the shared window tests see it.
struct StarProgram {
    using Form = TFormEstrela;
    using Input = StarLinkInput;
    static std::span<const InputField<Input>> inputs() { return starLinkInputs; }
    static StarLinkResult calculate(const Input& input) { return calculateStarLink(input); }

    static constexpr const char* formName = "FormEstrela";
    static constexpr const char* caption = "Configuração em Estrela Passiva";
    static constexpr QSize clientArea{720, 426};
    static constexpr int panelWidth = 293;
    static constexpr int startPage = 0; // "Sistema"
    static constexpr int edit1Page = 2; // the coupler loss, on "Receptor"
    static constexpr const char* comparisonTitle = "Comparação entre os dois Balanços";
    static constexpr const char* distanceCaption = "Label9";
    static constexpr const char* defaultPowerDistance = "14.28571";
    static constexpr const char* defaultRiseTimeDistance = "0.04347";
    static constexpr const char* dispersionCaption = "Distância máxima em termos de dispersão (km)";
    static constexpr const char* dispersionVerdict = "O Sistema é limitado por dispersão";
    static constexpr const char* attenuationCaption =
        "Distância máxima em termos de atenuação (km)";
    static constexpr const char* attenuationVerdict = "O Sistema é limitado por atenuação";
    static constexpr const char* extension = "stl";
    static constexpr const char* foreignName = "net.stl2";
    static constexpr const char* printCaption = "Imprimir...";
    static constexpr int fileBytes = 78;
    // RZ: the defaults' rise-time budget can then not be met.
    template <typename Window> static void exceedRiseTimeBudget(Window& window) {
        window.item("RadioGroup2", 1)->click();
    }
};

} // namespace
} // namespace vantero::estrela

namespace vantero::ui::testing {

INSTANTIATE_TYPED_TEST_SUITE_P(Estrela, NetworkWindow, estrela::StarProgram);

namespace {

using Star = NetworkWindow<estrela::StarProgram>;

TEST_F(Star, theCouplerLabelStandsOnTwoLines) {
    EXPECT_EQ(text("CaptionEdit1"), "Perdas(inserção+divisão) do acoplador\nestrela (dB)");
    EXPECT_EQ(text("CaptionEdit5"), "Potência óptica  média injetada fibra (dBm)");
}

TEST_F(Star, multimodeFibreHasItsOwnRiseTimeMessage) {
    item("RadioGroup1", 1)->click();
    retype(edit("Edit6"), "1000");
    clickOk();
    EXPECT_EQ(platform.boxes, QStringList{"error: O tempo de subida do sistema apresentou um "
                                          "valor menor do que o tempo do transmissor"});
    EXPECT_EQ(text("Edit16"), "");
    EXPECT_EQ(text("Edit7"), "0.00000");
}

TEST_F(Star, aSpectralWidthOfTwoAndFastFibreIsLimitedByAttenuation) {
    retype(edit("Edit2"), "2");
    retype(edit("Edit21"), "3.5");
    retype(edit("Edit20"), "1000");
    item("RadioGroup3", 2)->click(); // 8B10B
    clickOk();
    EXPECT_EQ(text("Edit16"), "796.86887");
    EXPECT_EQ(text("Label9"), "Distância máxima em termos de atenuação (km)");
    EXPECT_EQ(text("Label8"), "O Sistema é limitado por atenuação");
    EXPECT_EQ(text("Edit7"), "14.28571");
}

} // namespace
} // namespace vantero::ui::testing
