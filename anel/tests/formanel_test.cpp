#include "anel/core/description.h"
#include "anel/formanel.h"
#include "common/ui/testing/networkwindowtests.h"
#include "common/ui/testing/reportentrytests.h"

namespace vantero::anel {
namespace {

// The ring window, as the shared window tests see it.
struct RingProgram {
    using Form = TFormAnel;
    static const Calculator& calculator() { return anel::calculator(); }
    static const VerdictTexts& texts() { return ringLinkTexts; }

    static constexpr const char* formName = "FormAnel";
    static constexpr QSize clientArea{718, 421};
    static constexpr QRect notebookGeometry{10, 50, 395, 320};
    static constexpr QRect panelGeometry{414, 40, 294, 373};
    static constexpr int buttonsY = 384;
    static constexpr int startPage = 3;                 // "Fibra"
    static constexpr const char* firstField = "Edit19"; // where the focus starts
    static constexpr const char* okCaption = "OK";
    static constexpr std::array resultFields{"Edit15", "Edit16", "Edit7"};
    static constexpr const char* maximumField = "Edit7";
    static constexpr bool maximumFieldIsTabStop = false;
    static constexpr const char* comparisonTitle = "Comparação entre os dois balanços";
    static constexpr const char* distanceCaption = "Label7";
    static constexpr const char* fibreButton = "Button1";
    static constexpr bool fibreButtonEnabledAtStart = false;
    static constexpr const char* blankText = "";
    static constexpr const char* badNumberField = "Edit1"; // the switch input loss, "Transmissor"
    // Whether OK converts the fields before it blanks the results.
    static constexpr bool convertsBeforeBlanking = false;
    static constexpr const char* foreignName = "ring.ane";
    static constexpr const char* printCaption = "Imprimir";
    static constexpr const char* riseTimeMessage =
        "O tempo de subida do sistema apresentou um valor menor do que o tempo de subida do "
        "transmissor";

    static ui::testing::Texts defaultResults() {
        return {{"Edit15", "11.42857"},
                {"Edit16", "1.19213"},
                {"Label7", "Distância máxima em termos de dispersão (Km)"},
                {"Label8", "O sistema é limitado por dispersão"},
                {"Edit7", "1.19213"}};
    }
    // A bit rate of 1000 Mbit/s leaves a system rise time of 0.6125 ns.
    template <typename Window> static void exceedRiseTimeBudget(Window& window) {
        window.retype(window.edit("Edit6"), "1000");
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
} // namespace vantero::anel

namespace vantero::ui::testing {

INSTANTIATE_TYPED_TEST_SUITE_P(Anel, CalculatorWindow, anel::RingProgram);
INSTANTIATE_TYPED_TEST_SUITE_P(Anel, DesignReportEntry, anel::RingProgram);
INSTANTIATE_TYPED_TEST_SUITE_P(Anel, NetworkWindow, anel::RingProgram);

namespace {

using Ring = CalculatorWindow<anel::RingProgram>;

TEST_F(Ring, theResultFieldsAreReadOnlyAndLabelsKeepTheirBlanks) {
    EXPECT_TRUE(edit("Edit7")->isReadOnly());
    EXPECT_EQ(edit("Edit7")->focusPolicy(), Qt::NoFocus);
    EXPECT_EQ(text("CaptionEdit11"), "Número de estações isoladas ");
    EXPECT_EQ(text("CaptionEdit5"), "Potência óptica  média injetada fibra (dBm)");
}

TEST_F(Ring, eachIsolatedStationCostsTwoConnectorsASwitchAndALengthOfFibre) {
    retype(edit("Edit11"), "1");
    clickOk();
    EXPECT_EQ(text("Edit15"), "1.42857"); // (13 - 1 - 1 - 3 - 6 - 1) / 0.7
    EXPECT_EQ(text("Edit7"), "1.19213");
    EXPECT_TRUE(platform.boxes.isEmpty());
}

TEST_F(Ring, aBitRateOf1000FailsTheRiseTimeBudgetOnTheFirstRunToo) {
    retype(edit("Edit6"), "1000");
    clickOk();
    EXPECT_EQ(platform.boxes, QStringList{"error: O tempo de subida do sistema apresentou um "
                                          "valor menor do que o tempo de subida do transmissor"});
    EXPECT_EQ(text("Edit15"), "11.42857");
    EXPECT_EQ(text("Edit16"), "");
    EXPECT_EQ(text("Label7"), "Distância máxima em termos de dispersão (Km)");
    EXPECT_EQ(text("Label8"), "O sistema é limitado por dispersão");
    EXPECT_EQ(text("Edit7"), "0.00000");
}

} // namespace
} // namespace vantero::ui::testing
