// How a part sets a calculator's inputs: the dispersion formula, the worst
// case, the wavelengths a fibre has, and the requests of the command line.
#include "calculators/registry.h"
#include "common/catalogue/dispersion.h"
#include "common/catalogue/locations.h"
#include "common/catalogue/partuse.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace vantero::catalogue {
namespace {

// By hand: S0/4 = 0.0225; 1310^4 / 1550^3 = 2.94499921e12 / 3.723875e9 =
// 790.8427; 1550 - 790.8427 = 759.1573; times 0.0225 = 17.0810 ps/(nm.km),
// the familiar figure of standard single-mode fibre at 1550 nm.
TEST(Dispersion, followsTheFitOfStandardFibre) {
    EXPECT_NEAR(chromaticDispersion(1550, 1310, 0.09), 17.0810, 5e-5);
    EXPECT_EQ(chromaticDispersion(1310, 1310, 0.09), 0);
    EXPECT_LT(chromaticDispersion(1300, 1310, 0.09), 0);
}

// The end of the zero-dispersion range farther from the wavelength.
TEST(Dispersion, worstCaseTakesTheEndThatGivesTheLargerMagnitude) {
    struct Case {
        double wavelength, low, high, s0, lambda0, dispersion;
    };
    for (const Case& c : {Case{1310, 1300, 1324, 0.092, 1324, -1.30879},
                          Case{1550, 1300, 1324, 0.092, 1300, 18.00969},
                          Case{850, 1295, 1340, 0.105, 1340, -115.50099}}) {
        const WorstDispersion worst = worstDispersion(c.wavelength, c.low, c.high, c.s0);
        EXPECT_EQ(worst.lambda0, c.lambda0) << c.wavelength;
        EXPECT_NEAR(worst.dispersion, c.dispersion, 5e-6) << c.wavelength;
    }
}

class Parts : public ::testing::Test {
protected:
    void SetUp() override {
        std::vector<Part> parts;
        for (const auto& file : catalogueFiles(VANTERO_SHIPPED_SOURCE)) {
            for (Part& part : loadCatalogueFile(file)) {
                parts.push_back(std::move(part));
            }
        }
        std::vector<std::string> notices;
        m_catalogue.addLayer(std::move(parts), notices);
    }
    const Part& part(PartKind kind, const char* name) const {
        return findPart(m_catalogue, {kind, name, {}});
    }
    static std::vector<std::string> setTexts(const PartUse& use) {
        std::vector<std::string> texts;
        for (const SetInput& set : use.set) {
            texts.push_back(std::string(set.input) + "=" + set.text);
        }
        return texts;
    }
    Catalogue m_catalogue;
};

TEST_F(Parts, aTransceiverSetsItsWorstCaseAndLeavesWhatItLacks) {
    const PartUse use =
        planPartUse(*findCalculator("tavo"), part(PartKind::Transceiver, "10GBASE-LR"), {});
    EXPECT_EQ(setTexts(use), (std::vector<std::string>{"launchedPower=-8.2",
                                                       "manualSensitivity=-14.4",
                                                       "detectorType=0"}));
    EXPECT_EQ(use.left, (std::vector<std::string_view>{"spectralWidth"}));
    EXPECT_EQ(use.set[0].figures.front()->source->key, "ru-10gbase-l");
}

TEST_F(Parts, aFibreSetsItsFiguresAtTheWavelength) {
    const PartUse at1550 =
        planPartUse(*findCalculator("tavo"), part(PartKind::Fibre, "G.652.D"), 1550);
    // The narrower of the two bands that hold 1550 nm, and the worst case.
    const std::vector<std::string> texts = setTexts(at1550);
    ASSERT_EQ(texts.size(), 5u);
    EXPECT_EQ(texts[0], "fibreAttenuation=0.3");
    EXPECT_EQ(at1550.set[1].input, "chromaticDispersion");
    EXPECT_NEAR(std::stod(at1550.set[1].text), 18.009692524588, 1e-9);
    EXPECT_EQ(std::vector(texts.begin() + 2, texts.end()),
              (std::vector<std::string>{"zeroDispersionWavelength=1300", "dispersionSlope=0.092",
                                        "fibreType=SingleMode"}));
    EXPECT_EQ(at1550.left,
              (std::vector<std::string_view>{"normalizedBandwidth", "spliceLoss", "connectorLoss"}));
    const PartUse om4 =
        planPartUse(*findCalculator("estrela"), part(PartKind::Fibre, "OM4"), 850);
    ASSERT_EQ(setTexts(om4).size(), 4u);
    EXPECT_NEAR(std::stod(om4.set[1].text), -115.500987807857, 1e-9);
    EXPECT_EQ(setTexts(om4)[0] + " " + setTexts(om4)[2] + " " + setTexts(om4)[3],
              "fibreAttenuation=3.5 fibreType=Multimode normalizedBandwidth=3500");
    const PartUse typical =
        planPartUse(*findCalculator("anel"), part(PartKind::Fibre, "typical-multimode"), 1300);
    EXPECT_EQ(setTexts(typical), (std::vector<std::string>{"fibreAttenuation=0.8",
                                                           "fibreType=Multimode",
                                                           "connectorLoss=0.5"}));
}

TEST_F(Parts, aWavelengthMustBeOneTheFibreHasFiguresAt) {
    struct Case {
        const char* fibre;
        double wavelength;
        const char* error;
    };
    for (const Case& c :
         {Case{"G.652.D", 850,
               "fibre \"G.652.D\" has no attenuation at 850 nm; it has attenuation at "
               "1310-1625 nm and 1530-1565 nm"},
          Case{"OM4", 1310,
               "fibre \"OM4\" has no attenuation at 1310 nm; it has attenuation at 850 nm and "
               "1300 nm"},
          Case{"OM3", 1550,
               "fibre \"OM3\" has no bandwidth at 1550 nm; it has bandwidth at 850 nm and "
               "1300 nm"}}) {
        try {
            (void)planPartUse(*findCalculator("tavo"), part(PartKind::Fibre, c.fibre), c.wavelength);
            ADD_FAILURE() << c.fibre << " taken at " << c.wavelength;
        } catch (const CatalogueError& error) {
            EXPECT_STREQ(error.what(), c.error);
        }
    }
}

TEST(PartRequest, readsKindNameAndWavelength) {
    const PartRequest fibre = parsePartRequest("fibre=G.652.D@1310");
    EXPECT_EQ(fibre.kind, PartKind::Fibre);
    EXPECT_EQ(fibre.name, "G.652.D");
    EXPECT_EQ(fibre.wavelength, 1310);
    EXPECT_EQ(requestText(parsePartRequest("transceiver=S-1.1")), "transceiver=S-1.1");
    for (const char* bad : {"G.652.D", "cable=x", "fibre=G.652.D", "fibre=G.652.D@",
                            "fibre=G.652.D@13x0", "fibre=G.652.D@-5", "transceiver=x@1310",
                            "fibre=@1310"}) {
        EXPECT_THROW((void)parsePartRequest(bad), CatalogueError) << bad;
    }
}

// Every calculator says what a transceiver and a fibre set in it.
TEST(PartMapping, everyCalculatorTakesTheMainFiguresOfBothKinds) {
    for (const Calculator* calculator : calculators()) {
        std::vector<PartFigure> figures;
        for (const PartInput& row : calculator->partInputs()) {
            figures.push_back(row.figure);
        }
        for (const PartFigure figure :
             {PartFigure::LaunchPower, PartFigure::Sensitivity, PartFigure::SpectralWidth,
              PartFigure::Attenuation, PartFigure::ChromaticDispersion, PartFigure::FibreType,
              PartFigure::ModalBandwidth}) {
            EXPECT_NE(std::find(figures.begin(), figures.end(), figure), figures.end())
                << calculator->name() << " " << static_cast<int>(figure);
        }
    }
}

} // namespace
} // namespace vantero::catalogue
