#include "anel/core/ringlink.h"
#include "anel/formanel.h"
#include "common/ui/tests/networkformtests.h"

namespace vantero::anel {
namespace {

// The ring window, as the shared window tests see it.
struct RingProgram {
    using Form = TFormAnel;
    using Input = RingLinkInput;
    static std::span<const InputField<Input>> inputs() { return ringLinkInputs; }
    static RingLinkResult calculate(const Input& input) { return calculateRingLink(input); }

    static constexpr const char* formName = "FormAnel";
    static constexpr const char* caption = "Configuração em Anel";
    static constexpr QSize clientArea{718, 421};
    static constexpr int panelWidth = 294;
    static constexpr int startPage = 3; // "Fibra"
    static constexpr int edit1Page = 1; // the switch input loss, on "Transmissor"
    static constexpr const char* comparisonTitle = "Comparação entre os dois balanços";
    static constexpr const char* distanceCaption = "Label7";
    static constexpr const char* defaultPowerDistance = "11.42857";
    static constexpr const char* defaultRiseTimeDistance = "1.19213";
    static constexpr const char* dispersionCaption = "Distância máxima em termos de dispersão (Km)";
    static constexpr const char* dispersionVerdict = "O sistema é limitado por dispersão";
    static constexpr const char* attenuationCaption =
        "Distância máxima em termos de atenuação vale (Km)";
    static constexpr const char* attenuationVerdict = "O sistema é limitado por atenuação";
    static constexpr const char* extension = "anel";
    static constexpr const char* foreignName = "ring.ane";
    static constexpr const char* printCaption = "Imprimir";
    static constexpr int fileBytes = 96;
    // A bit rate of 1000 Mbit/s leaves a system rise time of 0.6125 ns.
    template <typename Window> static void exceedRiseTimeBudget(Window& window) {
        window.retype(window.edit("Edit6"), "1000");
    }
};

} // namespace
} // namespace vantero::anel

namespace vantero::ui::testing {

INSTANTIATE_TYPED_TEST_SUITE_P(Anel, NetworkWindow, anel::RingProgram);

namespace {

using Ring = NetworkWindow<anel::RingProgram>;

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
