// vantero with the catalogue of parts: --use computes as the same figures
// given by --set, the listing, and the user's own parts.
#include "calculators/registry.h"
#include "cli/core/arguments.h"
#include "cli/tests/commandline.h"
#include "common/linktable/writers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vantero::cli {
namespace {

// The shipped catalogue of the source tree, and a folder of the user's own
// of the test's, for every test here.
class Catalogue : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("VANTERO_CATALOGUE_DIR", VANTERO_SHIPPED_SOURCE, 1);
        setenv("XDG_CONFIG_HOME", m_config.file("config").c_str(), 1);
    }
    void TearDown() override {
        unsetenv("VANTERO_CATALOGUE_DIR");
        unsetenv("XDG_CONFIG_HOME");
    }
    // Writes a file into the user's catalogue folder.
    void userFile(const std::string& name, const std::string& text) {
        const std::string folder = m_config.file("config/vantero/catalogue");
        std::filesystem::create_directories(folder);
        std::ofstream(folder + "/" + name) << text;
    }
    TemporaryFolder m_config;
};

std::vector<std::string> joinedArgs(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// A link given by parts computes as the same figures given by --set, both
// budgets at a length included; a --set after them still wins.
TEST_F(Catalogue, aLinkByItsPartsComputesAsTheSameFiguresSet) {
    struct Case {
        std::vector<std::string> uses;
        std::vector<std::string> sets;
    };
    const std::vector<std::pair<std::string, Case>> cases = {
        {"tavo",
         {{"--use", "transceiver=10GBASE-LR", "--use", "fibre=G.652.D@1310"},
          {"--set", "launchedPower=-8.2", "--set", "manualSensitivity=-14.4", "--set",
           "detectorType=0", "--set", "fibreAttenuation=0.4", "--set",
           "chromaticDispersion=-1.30879482692115", "--set", "zeroDispersionWavelength=1324",
           "--set", "dispersionSlope=0.092", "--set", "fibreType=SingleMode"}}},
        {"tavo",
         {{"--use", "transceiver=1000BASE-SX", "--use", "fibre=OM4@850", "--set", "bitRate=1250"},
          {"--set", "launchedPower=-9.5", "--set", "manualSensitivity=-17", "--set",
           "detectorType=0", "--set", "spectralWidth=0.85", "--set", "fibreAttenuation=3.5",
           "--set", "chromaticDispersion=-115.500987807857", "--set",
           "zeroDispersionWavelength=1340", "--set", "dispersionSlope=0.105", "--set",
           "fibreType=Multimode", "--set", "normalizedBandwidth=3500", "--set", "bitRate=1250"}}},
        {"estrela",
         {{"--use", "transceiver=1000BASE-SX", "--use", "fibre=OM4@850"},
          {"--set", "launchedPower=-9.5", "--set", "receiverSensitivity=-17", "--set",
           "spectralWidth=0.85", "--set", "fibreAttenuation=3.5", "--set",
           "chromaticDispersion=-115.500987807857", "--set", "fibreType=Multimode", "--set",
           "normalizedBandwidth=3500"}}},
        {"anel",
         {{"--use", "transceiver=S-1.1", "--use", "fibre=typical-single-mode@1310"},
          {"--set", "launchedPower=-15", "--set", "receiverSensitivity=-28", "--set",
           "spectralWidth=7.7", "--set", "fibreAttenuation=0.4", "--set", "fibreType=SingleMode",
           "--set", "connectorLoss=0.5"}}},
        {"anel",
         {{"--use", "transceiver=S-1.1", "--set", "launchedPower=-10"},
          {"--set", "receiverSensitivity=-28", "--set", "spectralWidth=7.7", "--set",
           "launchedPower=-10"}}},
    };
    for (const auto& [calculator, c] : cases) {
        const std::vector<std::string> at = {"--at", "3", "--at", "0.5"};
        const Outcome used = runVantero(joinedArgs(joinedArgs({calculator}, c.uses), at));
        const Outcome set = runVantero(joinedArgs(joinedArgs({calculator}, c.sets), at));
        EXPECT_EQ(used.status, 0) << calculator << used.err;
        EXPECT_EQ(set.status, 0) << calculator << set.err;
        EXPECT_EQ(used.out, set.out) << calculator << " " << c.uses[1];
        EXPECT_NE(used.out, runVantero({calculator, "--at", "3", "--at", "0.5"}).out)
            << calculator << ": the parts changed nothing";
    }
}

// The JSON line a table of links gives a row that is ok: the object --json
// prints for the same link after row, id, status and error.
std::string okLine(std::size_t row, const std::string& id, const std::string& single) {
    std::string object;
    linktable::appendOnOneLine(object, single);
    return "{\"row\": " + std::to_string(row) + ", \"id\": \"" + id +
           "\", \"status\": \"ok\", \"error\": null, " + object.substr(1) + "\n";
}

// State: for each calculator, a table whose rows name parts (and a figure of
// a part, which the cell sets), on a base with a --use of its own. Action:
// run it with --json, and each row alone with the base's --use, then the
// row's parts as --use, its cells as --set and its length as --at.
// Expected: each row's line holds the single link's object.
TEST_F(Catalogue, aTableRowByItsPartsComputesAsTheSameLinkByUse) {
    struct Row {
        std::string fibre, transceiver, attenuation, length;
    };
    const std::vector<Row> rows = {
        {"G.652.D@1310", "10GBASE-LR", "", "3"},
        {"OM4@850", "1000BASE-SX", "", "0.5"},
        {"typical-single-mode@1310", "s-1.1", "0.3", "3"},
        {"", "L-4.2", "", "3"},
        {"G.657.A2@1550", "", "", "40"},
    };
    for (const Calculator* calculator : calculators()) {
        const std::string name(calculator->name());
        SCOPED_TRACE(name);
        const std::string path = m_config.file(name + ".csv");
        std::ofstream table(path);
        table << "id,fibre,transceiver,fibreAttenuation,length\n";
        for (std::size_t r = 0; r < rows.size(); ++r) {
            table << "r" << r << "," << rows[r].fibre << "," << rows[r].transceiver << ","
                  << rows[r].attenuation << "," << rows[r].length << "\n";
        }
        table.close();
        const std::vector<std::string> base = {"--use", "fibre=OM3@1300"};
        const Outcome links = runVantero(joinedArgs({name, "--links", path, "--json"}, base));
        std::size_t at = 0;
        for (std::size_t r = 0; r < rows.size(); ++r) {
            std::vector<std::string> single = joinedArgs({name}, base);
            if (!rows[r].fibre.empty()) {
                single.insert(single.end(), {"--use", "fibre=" + rows[r].fibre});
            }
            if (!rows[r].transceiver.empty()) {
                single.insert(single.end(), {"--use", "transceiver=" + rows[r].transceiver});
            }
            if (!rows[r].attenuation.empty()) {
                single.insert(single.end(), {"--set", "fibreAttenuation=" + rows[r].attenuation});
            }
            single.insert(single.end(), {"--at", rows[r].length, "--json"});
            const Outcome alone = runVantero(single);
            ASSERT_EQ(alone.status, 0) << alone.err;
            const std::string line = links.out.substr(at, links.out.find('\n', at) + 1 - at);
            at += line.size();
            EXPECT_EQ(line, okLine(r + 1, "r" + std::to_string(r), alone.out));
        }
    }
}

// State: a table whose first row names a part the catalogue lacks. Action:
// run it. Expected: that row's error, naming the column; the next row
// computed; exit status 1. A catalogue that cannot be read is refused only
// for a table that names parts. (The other part cells a row cannot use:
// common/linktable/tests/partcolumns_test.cpp.)
TEST_F(Catalogue, aPartATableCannotUseIsThatRowsError) {
    const std::string path = m_config.file("links.csv");
    std::ofstream(path) << "id,fibre,transceiver\na,OM9@850,\nb,G.652.D@1310,10GBASE-LR\n";
    const Outcome o = runVantero({"tavo", "--links", path});
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.err, "");
    const std::string rowsOut = o.out.substr(o.out.find('\n') + 1);
    EXPECT_TRUE(rowsOut.starts_with("1,a,,,,,,error,\"fibre: no fibre \"\"OM9\"\" in the "
                                    "catalogue; it has G.652.D,"))
        << rowsOut;
    EXPECT_NE(rowsOut.find("\n2,b,-3.53846"), std::string::npos) << rowsOut;

    const std::string bad = m_config.file("bad.toml");
    std::ofstream(bad) << "not TOML\n";
    EXPECT_EQ(runVantero({"tavo", "--links", path, "--catalogue", bad}).status, 2);
    const std::string plain = m_config.file("plain.csv");
    std::ofstream(plain) << "id,length\na,3\n";
    const Outcome noParts = runVantero({"tavo", "--links", plain, "--catalogue", bad});
    EXPECT_EQ(noParts.status, 0) << noParts.err;
}

TEST_F(Catalogue, standardErrorSaysWhatEachPartSetAndLeft) {
    const Outcome run =
        runVantero({"tavo", "--use", "transceiver=10GBASE-LR", "--use", "fibre=G.652.D@1310"});
    EXPECT_EQ(run.status, 0);
    for (const char* line :
         {"vantero: transceiver=10GBASE-LR: launchedPower=-8.2 (launch-power: its minimum)\n",
          "vantero: transceiver=10GBASE-LR: manualSensitivity=-14.4 (sensitivity)\n",
          "vantero: transceiver=10GBASE-LR: detectorType=0 (sensitivity: so that the run takes "
          "it)\n",
          "vantero: transceiver=10GBASE-LR: spectralWidth left as it was: the entry gives no "
          "figure for it\n",
          "vantero: fibre=G.652.D@1310: fibreAttenuation=0.4 (attenuation: at 1310-1625 nm)\n",
          "vantero: fibre=G.652.D@1310: zeroDispersionWavelength=1324 "
          "(zero-dispersion-wavelength: the end of its range that gives the larger dispersion at "
          "1310 nm)\n",
          "vantero: fibre=G.652.D@1310: fibreType=SingleMode (the fibre's type)\n"}) {
        EXPECT_NE(run.err.find(line), std::string::npos) << line << "in\n" << run.err;
    }
}

TEST_F(Catalogue, aPartThatCannotBeUsedStopsBeforeAnythingIsWritten) {
    const std::string saved = m_config.file("x.dig");
    struct Case {
        std::vector<std::string> args;
        const char* error;
    };
    for (const Case& c : {
             Case{{"tavo", "--use", "fibre=G.652.D@850", "--save", saved},
                  "vantero: fibre \"G.652.D\" has no attenuation at 850 nm; it has attenuation "
                  "at 1310-1625 nm and 1530-1565 nm\n"},
             Case{{"tavo", "--use", "transceiver=40GBASE-LR4", "--save", saved},
                  "vantero: no transceiver \"40GBASE-LR4\" in the catalogue; it has "
                  "1000BASE-LX, 1000BASE-SX, 100BASE-LX, 10GBASE-LR, 10GBASE-ER, 10GBASE-SR, "
                  "S-1.1, S-4.1, I-4, L-4.1, L-4.2\n"},
             Case{{"tavo", "--use", "fibre=OM4", "--save", saved},
                  "vantero: --use fibre=OM4: say at which wavelength (nm) the fibre is used: "
                  "fibre=OM4@WAVELENGTH\n"},
         }) {
        const Outcome run = runVantero(c.args);
        EXPECT_EQ(run.status, 2) << c.args[2];
        EXPECT_EQ(run.err, c.error);
        EXPECT_EQ(run.out, "");
        EXPECT_FALSE(std::filesystem::exists(saved));
    }
}

TEST_F(Catalogue, aUsersPartTakesThePlaceOfAShippedOneAndSaysSo) {
    userFile("mine.toml", "[sources.lab]\ndocument = \"Our measurements\"\npage = \"3\"\n\n"
                          "[[transceiver]]\nname = \"10GBASE-LR\"\nsource = \"lab\"\n"
                          "launch-power = { min = -5, unit = \"dBm\" }\n");
    const Outcome run = runVantero({"tavo", "--use", "transceiver=10GBASE-LR"});
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.err.find("vantero: catalogue: transceiver \"10GBASE-LR\" of " +
                           m_config.file("config/vantero/catalogue/mine.toml") +
                           ":5 takes the place of the one of " VANTERO_SHIPPED_SOURCE
                           "/transceivers.toml:"),
              std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find("launchedPower=-5 (launch-power: its minimum)"), std::string::npos);
    EXPECT_NE(run.err.find("manualSensitivity left as it was"), std::string::npos);

    // --catalogue files come after the user's folder; a bad one is refused.
    const std::string bad = m_config.file("bad.toml");
    std::ofstream(bad) << "[[fibre]]\nname = \"X\"\ntype = \"single-mode\"\n"
                          "attenuation = { at = 1310, max = 0.4, unit = \"dB/km\" }\n";
    const Outcome refused =
        runVantero({"tavo", "--catalogue", bad, "--use", "transceiver=10GBASE-LR"});
    EXPECT_EQ(refused.status, 2);
    EXPECT_EQ(refused.err, "vantero: " + bad + ":4: fibre \"X\", attenuation: has no source: "
                           "give it source = \"NAME\" of one of the file's [sources.NAME], or "
                           "give the entry one for all its figures\n");
    const Outcome missing = runVantero(
        {"tavo", "--catalogue", m_config.file("none.toml"), "--use", "transceiver=S-1.1"});
    EXPECT_EQ(missing.status, 3);
    EXPECT_EQ(missing.err, "vantero: " + m_config.file("none.toml") + ": File not found.\n");
}

TEST_F(Catalogue, listsItsPartsOrOneWithEveryFigureAndItsSource) {
    const Outcome all = runVantero({"catalogue"});
    EXPECT_EQ(all.status, 0);
    EXPECT_NE(all.out.find("fibre\tG.652.D\tSingle-mode fibre, ITU-T G.652.D"), std::string::npos);
    EXPECT_NE(all.out.find("\ntransceiver\t10GBASE-LR\t10 Gigabit Ethernet"), std::string::npos);
    const Outcome fibres = runVantero({"catalogue", "fibre"});
    EXPECT_EQ(fibres.out.find("transceiver"), std::string::npos);
    EXPECT_EQ(std::count(fibres.out.begin(), fibres.out.end(), '\n'), 10);

    const Outcome one = runVantero({"catalogue", "transceiver", "10gbase-lr"});
    EXPECT_EQ(one.status, 0);
    EXPECT_NE(one.out.find("  launch-power                        -8.2 to 0.5 dBm         [1]\n"),
              std::string::npos)
        << one.out;
    EXPECT_NE(one.out.find("  [1] Russian Federation rules for optical interfaces (ConsultantPlus, "
                           "cons_doc_LAW_65602); table 3"),
              std::string::npos)
        << one.out;
    EXPECT_NE(one.out.find("a reproduction of the table of IEEE 802.3ae"), std::string::npos);

    const Outcome json = runVantero({"catalogue", "fibre", "OM4", "--json"});
    EXPECT_EQ(json.status, 0);
    EXPECT_TRUE(json.out.starts_with("{\n    \"kind\": \"fibre\",\n    \"name\": \"OM4\","))
        << json.out;
    EXPECT_NE(json.out.find("\"from\": 850,\n        \"to\": 850,\n        \"unit\": \"dB/km\""),
              std::string::npos)
        << json.out;

    for (const auto& [args, error] :
         {std::pair{std::vector<std::string>{"catalogue", "cable"},
                    "vantero: catalogue lists the kinds fibre and transceiver, not \"cable\"\n"},
          std::pair{std::vector<std::string>{"catalogue", "fibre", "OM9"},
                    "vantero: no fibre \"OM9\" in the catalogue; it has G.652.D, G.657.A1, "
                    "G.657.A2, OM1, OM2, OM3, OM4, OM5, typical-single-mode, typical-multimode\n"},
          std::pair{std::vector<std::string>{"catalogue", "--use", "fibre=OM4@850"},
                    "vantero: catalogue takes only --catalogue and --json\n"}}) {
        const Outcome run = runVantero(args);
        EXPECT_EQ(run.status, 2);
        EXPECT_TRUE(run.err.starts_with(error)) << run.err;
    }
}

// The design report of a link given by parts lists each part, every input it
// set with the figures it came from and their sources, and the inputs it
// left; an input given again after it says by what, and the inputs show the
// text the link has.
TEST_F(Catalogue, theReportListsThePartsAndTheSourceOfEveryFigureTheySet) {
    const auto reportOf = [&](std::vector<std::string> args) {
        std::optional<report::DesignReport> kept;
        args.insert(args.end(), {"--report", m_config.file("r.pdf")});
        const Outcome run = runVantero(args, {}, [&](const report::DesignReport& r) {
            kept = r;
            return std::string("pdf");
        });
        EXPECT_EQ(run.status, 0) << run.err;
        return kept.value();
    };
    // Each input a part set: name=text, its figures with the documents of
    // their sources, how, and what set it again.
    const auto setLines = [](const report::DesignReport& r, const report::ReportPart& part) {
        std::vector<std::string> lines;
        for (const report::ReportPartInput& input : part.set) {
            std::string line = input.name + "=" + input.text + " " + input.unit + " |";
            for (const report::ReportFigure& figure : input.figures) {
                line += " " + figure.name + (figure.band.empty() ? "" : " em " + figure.band) +
                        ": " + figure.value + " [" + r.sources.at(figure.source).document + "]";
            }
            line += " | " + input.how;
            if (!input.overriddenBy.empty()) {
                line += " | " + input.overriddenBy + " -> " + input.usedText;
            }
            lines.push_back(line);
        }
        return lines;
    };
    // The catalogue part each input's text came from, by name.
    const auto tags = [](const report::DesignReport& r) {
        std::vector<std::string> tagged;
        for (const report::ReportInputPage& page : r.pages) {
            for (const report::ReportInput& input : page.inputs) {
                if (!input.part.empty()) {
                    tagged.push_back(input.name + ":" + input.part + "=" + input.text);
                }
            }
        }
        return tagged;
    };
    const std::string ru = "Russian Federation rules for optical interfaces (ConsultantPlus, "
                           "cons_doc_LAW_65602)";
    const std::string fuyuan = "Fuyuan, G.657.A (A1 or A2): table of fibre and cable attributes; "
                               "G.657.A1 and A2 fibres are fully compliant with ITU-T G.652.D";

    const report::DesignReport r =
        reportOf({"tavo", "--use", "transceiver=10GBASE-LR", "--use", "fibre=G.652.D@1310",
                  "--set", "fibreAttenuation=0.35"});
    ASSERT_EQ(r.parts.size(), 2u);
    const report::ReportPart& lr = r.parts[0];
    const report::ReportPart& g652 = r.parts[1];
    EXPECT_EQ(lr.request + " " + lr.name + " " + lr.title.substr(0, 19),
              "transceiver=10GBASE-LR 10GBASE-LR 10 Gigabit Ethernet");
    EXPECT_EQ(lr.kind, PartKind::Transceiver);
    EXPECT_FALSE(lr.wavelength);
    EXPECT_EQ(lr.file, VANTERO_SHIPPED_SOURCE "/transceivers.toml");
    EXPECT_GT(lr.line, 0);
    EXPECT_EQ(g652.request, "fibre=G.652.D@1310");
    EXPECT_EQ(g652.wavelength, 1310);
    EXPECT_EQ(g652.file, VANTERO_SHIPPED_SOURCE "/fibres.toml");

    EXPECT_EQ(setLines(r, lr),
              (std::vector<std::string>{
                  "launchedPower=-8.2 dBm | launch-power: de -8.2 a 0.5 dBm [" + ru +
                      "] | o mínimo",
                  "manualSensitivity=-14.4 dBm | sensitivity: -14.4 dBm [" + ru + "] | ",
                  "detectorType=(nenhum)  | sensitivity: -14.4 dBm [" + ru +
                      "] | para que o cálculo use o valor da peça"}));
    EXPECT_EQ(lr.left, (std::vector<std::string>{"Largura espectral da fonte (nm)"}));
    EXPECT_EQ(setLines(r, g652),
              (std::vector<std::string>{
                  "fibreAttenuation=0.4 dB/km | attenuation em 1310-1625 nm: no máximo 0.4 "
                  "dB/km [" + fuyuan + "] | o máximo em 1310 nm | --set -> 0.35",
                  "chromaticDispersion=-1.3087948269211531 ps/(nm.km) | "
                  "zero-dispersion-wavelength: de 1300 a 1324 nm [" + fuyuan +
                      "] dispersion-slope: de 0.073 a 0.092 ps/(nm^2.km) [" + fuyuan +
                      "] | S0/4 · (λ − λ0⁴/λ³) com λ = 1310 nm, λ0 = 1324 nm, S0 = 0.092",
                  "zeroDispersionWavelength=1324 nm | zero-dispersion-wavelength: de 1300 a 1324 "
                  "nm [" + fuyuan + "] | a ponta da sua faixa que dá a maior dispersão em 1310 nm",
                  "dispersionSlope=0.092 ps/(nm^2.km) | dispersion-slope: de 0.073 a 0.092 "
                  "ps/(nm^2.km) [" + fuyuan + "] | o máximo",
                  "fibreType=Fibra Monomodo  | | o tipo da fibra"}));
    EXPECT_TRUE(g652.set[1].note.starts_with("lida só com um fotodetector")) << g652.set[1].note;
    EXPECT_EQ(g652.left.size(), 3u);
    EXPECT_EQ(lr.set[1].figures[0].note, "average receive power, minimum");

    // Each source once, whole, in the order it first comes.
    ASSERT_EQ(r.sources.size(), 2u);
    EXPECT_EQ(r.sources[0].document, ru);
    EXPECT_EQ(r.sources[0].page, "table 3, optical interfaces 10GBASE-L");
    EXPECT_EQ(r.sources[0].address, "https://consultant.ru/document/cons_doc_LAW_65602/"
                                    "e3ad557223a50d01d798d11dd5388f6c4d099f08");
    EXPECT_EQ(r.sources[0].reproduces, "IEEE 802.3ae (IEEE 802.3, clause 52)");
    EXPECT_EQ(r.sources[1].address, "https://fuyuan.co.th/?p=3753");
    EXPECT_EQ(r.sources[1].reproduces, "ITU-T G.657 (G.657.A attributes)");

    // The inputs hold the link's texts, the one --set gave untagged.
    EXPECT_EQ(tags(r), (std::vector<std::string>{
                           "launchedPower:10GBASE-LR=-8.2", "manualSensitivity:10GBASE-LR=-14.4",
                           "detectorType:10GBASE-LR=(nenhum)",
                           "chromaticDispersion:G.652.D=-1.3087948269211531",
                           "zeroDispersionWavelength:G.652.D=1324",
                           "dispersionSlope:G.652.D=0.092", "fibreType:G.652.D=Fibra Monomodo"}));

    // A later part that sets an input again takes it over; a source of the
    // document's own figures has no standard.
    const report::DesignReport twice =
        reportOf({"anel", "--use", "fibre=typical-single-mode@1310", "--use", "fibre=G.652.D@1310"});
    ASSERT_EQ(twice.parts.size(), 2u);
    EXPECT_EQ(setLines(twice, twice.parts[0])[0],
              "fibreAttenuation=0.4 dB/km | attenuation em 1310 nm: 0.4 dB/km [The Fiber Optic "
              "Association, Loss Budget Calculator: typical loss values] | em 1310 nm | "
              "fibre=G.652.D@1310 -> 0.4");
    EXPECT_EQ(twice.sources[0].reproduces, "");
    const std::vector<std::string> twiceTags = tags(twice);
    EXPECT_NE(std::find(twiceTags.begin(), twiceTags.end(), "fibreAttenuation:G.652.D=0.4"),
              twiceTags.end());
    EXPECT_NE(std::find(twiceTags.begin(), twiceTags.end(), "connectorLoss:typical-single-mode=0.5"),
              twiceTags.end());

    // Without parts the report holds none.
    const report::DesignReport plain = reportOf({"estrela"});
    EXPECT_TRUE(plain.parts.empty());
    EXPECT_TRUE(plain.sources.empty());
    EXPECT_TRUE(tags(plain).empty());
}

// "catalogue" is a command: no calculator may take its name.
TEST(CatalogueCommand, isNoCalculatorsName) {
    EXPECT_EQ(findCalculator(catalogueCommand), nullptr);
    for (const Calculator* calculator : calculators()) {
        EXPECT_NE(calculator->name(), catalogueCommand);
    }
}

// The built program finds the shipped catalogue laid out in the build tree
// as it is installed (share/vantero/catalogue beside its folder's parent).
TEST(CatalogueCommand, theBuiltProgramFindsTheShippedCatalogue) {
    const std::string command = "env -u VANTERO_CATALOGUE_DIR XDG_CONFIG_HOME=/nonexistent " +
                                std::string(VANTERO_PROGRAM) + " catalogue transceiver S-4.1";
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    ASSERT_NE(pipe, nullptr);
    std::string out;
    std::array<char, 4096> buffer{};
    while (const std::size_t n = std::fread(buffer.data(), 1, buffer.size(), pipe.get())) {
        out.append(buffer.data(), n);
    }
    EXPECT_TRUE(out.starts_with("transceiver S-4.1: STM-4")) << out;
}

} // namespace
} // namespace vantero::cli
