#include "common/ui/testing/networkwindowtests.h"
#include "common/ui/testing/reportentrytests.h"
#include "estrela/core/description.h"
#include "estrela/formestrela.h"

namespace vantero::estrela {
namespace {

// The passive star window, as the shared window tests see it.
struct StarProgram {
    using Form = TFormEstrela;
    static const Calculator& calculator() { return estrela::calculator(); }
    static const VerdictTexts& texts() { return starLinkTexts; }

    static constexpr const char* formName = "FormEstrela";
    static constexpr QSize clientArea{720, 426};
    static constexpr QRect notebookGeometry{10, 50, 395, 320};
    static constexpr QRect panelGeometry{414, 40, 293, 373};
    static constexpr int buttonsY = 384;
    static constexpr int startPage = 0;                // "Sistema"
    static constexpr const char* firstField = "Edit3"; // where the focus starts
    static constexpr const char* okCaption = "OK";
    static constexpr std::array resultFields{"Edit15", "Edit16"};
    static constexpr const char* maximumField = "Edit7";
    static constexpr bool maximumFieldIsTabStop = false;
    static constexpr const char* comparisonTitle = "Comparação entre os dois Balanços";
    static constexpr const char* distanceCaption = "Label9";
    static constexpr const char* fibreButton = "Button1";
    static constexpr bool fibreButtonEnabledAtStart = false;
    static constexpr const char* blankText = "";
    static constexpr const char* badNumberField = "Edit1"; // the coupler loss, on "Receptor"
    // Whether OK converts the fields before it blanks the results.
    static constexpr bool convertsBeforeBlanking = false;
    static constexpr const char* foreignName = "net.stl2";
    static constexpr const char* printCaption = "Imprimir...";
    static constexpr const char* riseTimeMessage =
        "O tempo de subida do sistema apresentou um valor menor do que o tempo de subida do "
        "transmissor";

    static ui::testing::Texts defaultResults() {
        return {{"Edit15", "14.28571"},
                {"Edit16", "0.04347"},
                {"Label9", "Distância máxima em termos de dispersão (km)"},
                {"Label8", "O Sistema é limitado por dispersão"},
                {"Edit7", "0.04347"}};
    }
    // RZ: the defaults' rise-time budget can then not be met.
    template <typename Window> static void exceedRiseTimeBudget(Window& window) {
        window.item("RadioGroup2", 1)->click();
    }
    // A fibre attenuation of 0, before any distance.
    template <typename Window> static void causeFault(Window& window) {
        window.retype(window.edit("Edit19"), "0");
    }
    static ui::testing::Texts afterFault() { return {{"Edit15", ""}, {"Edit16", ""}}; }
    template <typename Window> static void selectMultimode(Window& window) {
        window.item("RadioGroup1", 1)->click();
    }
};

} // namespace
} // namespace vantero::estrela

namespace vantero::ui::testing {

INSTANTIATE_TYPED_TEST_SUITE_P(Estrela, CalculatorWindow, estrela::StarProgram);
INSTANTIATE_TYPED_TEST_SUITE_P(Estrela, DesignReportEntry, estrela::StarProgram);
INSTANTIATE_TYPED_TEST_SUITE_P(Estrela, NetworkWindow, estrela::StarProgram);

namespace {

using Star = CalculatorWindow<estrela::StarProgram>;

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
