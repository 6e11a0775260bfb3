// Loading catalogue files: the shipped entries and their figures, and the
// files refused, each with the file, the line and the entry named.
#include "common/catalogue/catalogue.h"
#include "common/catalogue/locations.h"
#include "common/testing/filetesting.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

namespace vantero::catalogue {
namespace {

namespace fs = std::filesystem;

Catalogue shipped() {
    Catalogue catalogue;
    std::vector<std::string> notices;
    std::vector<Part> parts;
    for (const fs::path& file : catalogueFiles(VANTERO_SHIPPED_SOURCE)) {
        for (Part& part : loadCatalogueFile(file)) {
            parts.push_back(std::move(part));
        }
    }
    catalogue.addLayer(std::move(parts), notices);
    EXPECT_TRUE(notices.empty());
    return catalogue;
}

TEST(ShippedCatalogue, everyEntryHasASourcedFigureOfItsKind) {
    const Catalogue catalogue = shipped();
    EXPECT_EQ(catalogue.names(PartKind::Transceiver),
              "1000BASE-LX, 1000BASE-SX, 100BASE-LX, 10GBASE-LR, 10GBASE-ER, 10GBASE-SR, S-1.1, "
              "S-4.1, I-4, L-4.1, L-4.2");
    EXPECT_EQ(catalogue.names(PartKind::Fibre),
              "G.652.D, G.657.A1, G.657.A2, OM1, OM2, OM3, OM4, OM5, typical-single-mode, "
              "typical-multimode");
    for (const Part& part : catalogue.parts()) {
        EXPECT_FALSE(part.title.empty()) << part.name;
        EXPECT_FALSE(part.figures.empty()) << part.name;
        for (const Figure& figure : part.figures) {
            ASSERT_NE(figure.source, nullptr) << part.name << " " << figure.name;
            EXPECT_FALSE(figure.source->document.empty()) << part.name << " " << figure.name;
            EXPECT_FALSE(figure.source->address.empty()) << part.name << " " << figure.name;
        }
    }
}

// The figures a design takes, as the pages give them. (OM4's slope holds for
// 1295 to 1310 nm; its page allows less above.)
struct Expected {
    const char* part;
    const char* figure;
    std::optional<double> at; // a wavelength inside the figure's band
    double worst;
    std::optional<double> other = {}; // the other bound, where there is one
};

const Expected expected[] = {
    {"1000BASE-LX", "launch-power", {}, -11.0, -3.0},
    {"1000BASE-LX", "sensitivity", {}, -19.0},
    {"1000BASE-LX", "spectral-width", {}, 4.0},
    {"1000BASE-SX", "launch-power", {}, -9.5, -1.1},
    {"1000BASE-SX", "sensitivity", {}, -17},
    {"1000BASE-SX", "spectral-width", {}, 0.85},
    {"100BASE-LX", "launch-power", {}, -15, -8},
    {"100BASE-LX", "sensitivity", {}, -25},
    {"100BASE-LX", "spectral-width", {}, 7.7},
    {"10GBASE-LR", "launch-power", {}, -8.2, 0.5},
    {"10GBASE-LR", "sensitivity", {}, -14.4},
    {"10GBASE-LR", "overload", {}, 0.5},
    {"10GBASE-ER", "launch-power", {}, -4.7, 4.0},
    {"10GBASE-ER", "sensitivity", {}, -15.8},
    {"10GBASE-SR", "sensitivity", {}, -9.9},
    {"10GBASE-SR", "spectral-width", {}, 0.45},
    {"S-1.1", "launch-power", {}, -15, -8},
    {"S-1.1", "sensitivity", {}, -28},
    {"S-1.1", "spectral-width", {}, 7.7},
    {"S-4.1", "launch-power", {}, -15, -8},
    {"S-4.1", "sensitivity", {}, -28},
    {"S-4.1", "spectral-width", {}, 2.5},
    {"I-4", "launch-power", {}, -15, -8},
    {"I-4", "sensitivity", {}, -23},
    {"L-4.1", "launch-power", {}, -3, 2},
    {"L-4.1", "sensitivity", {}, -28},
    {"L-4.2", "launch-power", {}, -3, 2},
    {"L-4.2", "sensitivity", {}, -28},
    {"G.652.D", "attenuation", 1310, 0.4},
    {"G.652.D", "attenuation", 1540, 0.30},
    {"G.652.D", "zero-dispersion-wavelength", {}, 1324, 1300},
    {"G.652.D", "dispersion-slope", {}, 0.092, 0.073},
    {"G.657.A1", "attenuation", 1550, 0.30},
    {"G.657.A1", "bend-loss", 1550, 0.75},
    {"G.657.A2", "bend-loss", 1550, 0.1},
    {"G.657.A2", "dispersion-slope", {}, 0.092, 0.073},
    {"OM1", "bandwidth", 850, 200},
    {"OM1", "bandwidth", 1300, 500},
    {"OM2", "bandwidth", 850, 500},
    {"OM3", "bandwidth", 850, 1500},
    {"OM3", "effective-bandwidth", 850, 2000},
    {"OM4", "attenuation", 850, 3.5},
    {"OM4", "attenuation", 1300, 1.5},
    {"OM4", "zero-dispersion-wavelength", {}, 1340, 1295},
    {"OM4", "dispersion-slope", {}, 0.105},
    {"OM4", "bandwidth", 850, 3500},
    {"OM4", "effective-bandwidth", 850, 4700},
    {"OM5", "bandwidth", 850, 3500},
    {"typical-single-mode", "attenuation", 1310, 0.4},
    {"typical-single-mode", "attenuation", 1550, 0.2},
    {"typical-single-mode", "splice-loss", {}, 0.15},
    {"typical-single-mode", "connector-loss", {}, 0.5},
    {"typical-multimode", "attenuation", 850, 3},
    {"typical-multimode", "attenuation", 1300, 0.8},
    {"typical-multimode", "splice-loss", {}, 0.3},
};

TEST(ShippedCatalogue, givesTheFiguresOfItsPages) {
    const Catalogue catalogue = shipped();
    for (const Expected& e : expected) {
        const Part* part = catalogue.find(PartKind::Transceiver, e.part);
        if (part == nullptr) {
            part = catalogue.find(PartKind::Fibre, e.part);
        }
        ASSERT_NE(part, nullptr) << e.part;
        const Figure* figure = nullptr;
        std::size_t width = 0;
        for (const Figure* f : part->figuresNamed(e.figure)) {
            const bool here = e.at ? f->at && f->at->contains(*e.at) : !f->at;
            const auto span = static_cast<std::size_t>(f->at ? f->at->to - f->at->from : 0);
            if (here && (figure == nullptr || span < width)) {
                figure = f;
                width = span;
            }
        }
        ASSERT_NE(figure, nullptr) << e.part << " " << e.figure;
        EXPECT_EQ(figure->worst(), e.worst) << e.part << " " << e.figure;
        if (e.other) {
            const std::optional<double> other =
                figure->min == e.worst ? figure->max : figure->min;
            EXPECT_EQ(other, e.other) << e.part << " " << e.figure;
        }
    }
}

// What the pages do not give is not shipped.
TEST(ShippedCatalogue, leavesOutWhatNoPageGives) {
    const Catalogue catalogue = shipped();
    EXPECT_EQ(catalogue.find(PartKind::Transceiver, "10GBASE-SR")->figure("launch-power"),
              nullptr);
    EXPECT_EQ(catalogue.find(PartKind::Transceiver, "10GBASE-LR")->figure("spectral-width"),
              nullptr);
    for (const char* om : {"OM1", "OM2", "OM3", "OM5"}) {
        EXPECT_TRUE(catalogue.find(PartKind::Fibre, om)->figuresNamed("attenuation").empty())
            << om;
    }
}

constexpr const char* sources = R"([sources.page]
document = "A page"
address = "https://example.org/page"
)";

struct BadFile {
    const char* what;
    std::string text;
    const char* error;
};

const BadFile badFiles[] = {
    {"not TOML", "[[transceiver]\nname = \"x\"\n", "x.toml:1: not a TOML file: "},
    {"a figure without a source",
     std::string(sources) + "[[transceiver]]\nname = \"T\"\n"
                            "sensitivity = { value = -20, unit = \"dBm\" }\n",
     "x.toml:6: transceiver \"T\", sensitivity: has no source"},
    {"a source the file does not declare",
     std::string(sources) + "[[transceiver]]\nname = \"T\"\nsource = \"other\"\n",
     "x.toml:6: transceiver \"T\": the entry names the source \"other\", which the file does "
     "not declare as [sources.other]"},
    {"a unit that is not the figure's",
     std::string(sources) + "[[fibre]]\nname = \"F\"\ntype = \"single-mode\"\nsource = \"page\"\n"
                            "attenuation = { at = 1310, max = 0.4, unit = \"dB\" }\n",
     "x.toml:8: fibre \"F\", attenuation: the unit is \"dB/km\", not \"dB\""},
    {"a name taken twice",
     std::string(sources) + "[[fibre]]\nname = \"F\"\ntype = \"multimode\"\n\n"
                            "[[fibre]]\nname = \"f\"\ntype = \"multimode\"\n",
     "x.toml:8: fibre \"f\": the name is taken: the fibre of line 4 has it"},
    {"a launch power without its minimum",
     std::string(sources) + "[[transceiver]]\nname = \"T\"\nsource = \"page\"\n"
                            "launch-power = { max = 0, unit = \"dBm\" }\n",
     "x.toml:7: transceiver \"T\", launch-power: gives no value or min"},
    {"an unknown figure",
     std::string(sources) + "[[transceiver]]\nname = \"T\"\nsensitivty = 1\n",
     "x.toml:6: transceiver \"T\": unknown key \"sensitivty\"; a transceiver has name, title, "
     "source, wavelength, launch-power, sensitivity"},
    {"a fibre without a type", std::string(sources) + "[[fibre]]\nname = \"F\"\n",
     "x.toml:4: fibre \"F\": says no type"},
    {"a source without a place", "[sources.s]\ndocument = \"D\"\n",
     "x.toml:1: source \"s\": says neither the edition, the page nor the address of \"D\""},
    {"a name with a blank", std::string(sources) + "[[transceiver]]\nname = \"a b\"\n",
     "x.toml:5: transceiver \"a b\": a name is one word"},
    {"an attenuation at no wavelength",
     std::string(sources) + "[[fibre]]\nname = \"F\"\ntype = \"multimode\"\nsource = \"page\"\n"
                            "attenuation = { max = 3, unit = \"dB/km\" }\n",
     "x.toml:8: fibre \"F\", attenuation: says where it holds"},
    {"a table where entries go", "[transceiver]\nname = \"T\"\n",
     "x.toml:1: each transceiver is a table of its own: write [[transceiver]] above each"},
    // Beyond ASCII only in strings and comments (toml++ 3.3.0 reaches an
    // unreachable point on these).
    {"a letter beyond ASCII in a key", "[sources.caf\u00e9]\ndocument = \"D\"\n",
     "x.toml:1: not a TOML file: a character beyond ASCII outside quotes and comments"},
    {"a letter beyond ASCII escaped", "a = \"\"\"\nx\\\u0394\"\"\"\n",
     "x.toml:2: not a TOML file: a character beyond ASCII escaped by a backslash"},
    {"a letter beyond ASCII after a backslash and a blank", "a = \"\"\"x\\ \u00fb\"\"\"\n",
     "x.toml:1: not a TOML file: a character beyond ASCII escaped by a backslash"},
    {"a string after a value that is no TOML", "[s.s]\ndocument= 10x|||\"\"\"\ufefb }\n",
     "x.toml:2: not a TOML file: a quote where no string can start"},
    // Whatever comes before, the shape of a file that is no TOML is refused
    // before toml++ reads the file itself.
    {"a string after a bare value that is no TOML", "4gt =0$:[\"\"\"=\"-c\"\"\u0323ucc\n",
     "x.toml:1: not a TOML file: "},
    {"a literal string after control characters", std::string("a = 63__\x01\0\0['r\ufebe }\n", 20),
     "x.toml:1: not a TOML file: "},
    {"bytes that are not UTF-8", "# \xC3\nname = \"\xE9\"\n", "x.toml:1: not a TOML file: not UTF-8 text"},
    {"a letter beyond ASCII after a line-ending backslash", "a = \"\"\"x \\\n   \u03bb\"\"\"\n",
     "x.toml:2: not a TOML file: a character beyond ASCII right after a line-ending backslash"},
};

// Beyond ASCII in strings, comments and quoted keys is read as it is.
TEST(CatalogueFile, takesLettersBeyondAsciiInStringsAndComments) {
    const std::string text =
        std::string(sources) +
        "# \u00b5m, \u03bb0 \u2014 in a comment\n"
        "[sources.\"f\u00e1brica\"]\ndocument = '''Fibra \u00f3ptica\n\u00b5'''\n"
        "page = \"\u00a7 3\"\n"
        "[[fibre]]\nname = \"F\"\ntype = \"multimode\"\n"
        "title = \"\"\"50 \u00b5m \\\n  fibre, \u03bb0\"\"\"\n"
        "bandwidth = { at = 850, min = 500, unit = \"MHz.km\", source = \"f\u00e1brica\" }\n";
    const std::vector<Part> parts = parseCatalogue(text, "x.toml");
    ASSERT_EQ(parts.size(), 1u);
    EXPECT_EQ(parts[0].title, "50 \u00b5m fibre, \u03bb0");
    EXPECT_EQ(parts[0].figures[0].source->document, "Fibra \u00f3ptica\n\u00b5");
}

TEST(CatalogueFile, isRefusedNamingTheFileTheLineAndTheEntry) {
    for (const BadFile& bad : badFiles) {
        try {
            (void)parseCatalogue(bad.text, "x.toml");
            ADD_FAILURE() << bad.what << ": taken";
        } catch (const CatalogueError& error) {
            EXPECT_TRUE(std::string(error.what()).starts_with(bad.error))
                << bad.what << ": " << error.what();
        }
    }
}

TEST(CatalogueFile, thatCannotBeReadIsAFileFailure) {
    filetesting::TestFolder folder;
    const fs::path missing = folder.path() / "none.toml";
    try {
        (void)loadCatalogueFile(missing);
        ADD_FAILURE() << "read";
    } catch (const FileFailure& failure) {
        EXPECT_EQ(failure.path(), missing.string());
    }
}

// A user's part of a shipped name takes its place and says so; one layer
// holds each name once.
TEST(CatalogueLayers, aLaterPartTakesThePlaceOfOneOfTheSameName) {
    const std::string user = std::string(sources) +
                             "[[transceiver]]\nname = \"10gbase-lr\"\nsource = \"page\"\n"
                             "sensitivity = { value = -12, unit = \"dBm\" }\n";
    Catalogue catalogue = shipped();
    std::vector<std::string> notices;
    catalogue.addLayer(parseCatalogue(user, "mine.toml"), notices);
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_TRUE(notices[0].starts_with("transceiver \"10gbase-lr\" of mine.toml:4 takes the place "
                                       "of the one of "))
        << notices[0];
    EXPECT_EQ(catalogue.find(PartKind::Transceiver, "10GBASE-LR")->figure("sensitivity")->worst(),
              -12);
    catalogue.addLayer(parseCatalogue(user, "later.toml"), notices);
    ASSERT_EQ(notices.size(), 2u);
    EXPECT_TRUE(notices[1].ends_with("takes the place of the one of mine.toml:4")) << notices[1];
}

TEST(CatalogueLayers, oneLayerHoldsANameOnce) {
    const std::string file = std::string(sources) + "[[fibre]]\nname = \"F\"\ntype = \"multimode\"\n";
    std::vector<Part> parts = parseCatalogue(file, "a.toml");
    for (Part& part : parseCatalogue(file, "b.toml")) {
        parts.push_back(std::move(part));
    }
    Catalogue catalogue;
    std::vector<std::string> notices;
    try {
        catalogue.addLayer(std::move(parts), notices);
        ADD_FAILURE() << "taken";
    } catch (const CatalogueError& error) {
        EXPECT_STREQ(error.what(), "b.toml:4: fibre \"F\": the name is taken: a.toml:4 has it");
    }
}

} // namespace
} // namespace vantero::catalogue
