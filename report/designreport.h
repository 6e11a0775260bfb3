#pragma once

#include "common/calculator/calculator.h"
#include "common/catalogue/partuse.h"
#include "report/trialcharts.h"

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace vantero::report {

// What the design report of one link says, gathered from the calculator's
// description, its session and its run, with no layout and no Qt: the
// painter (report/paint) lays it out on A4 pages.

// One line of the inputs: the label the window shows beside the field (or the
// title of a choice's group), the text or the selected item, and the unit;
// the input's name, and the catalogue part its text came from, if any.
struct ReportInput {
    std::string label;
    std::string text;
    std::string unit;
    bool choice = false;
    std::string name;
    std::string part;
};

// The inputs of one page of the window (or of the multimode fibre dialog).
struct ReportInputPage {
    std::string title;
    std::vector<ReportInput> inputs;
};

// One line of the results, in the order the run set them, each as the window
// shows it.
struct ReportResult {
    enum class Kind { Number, Message, Verdict, Fault } kind;
    std::string label; // beside the field; empty for the message and verdict
    std::string text;
};

// Both margins at one length of fibre (unset where the budgets fault).
struct MarginPoint {
    double km = 0;
    std::optional<double> power;    // dB
    std::optional<double> riseTime; // ns
};

// Where figures of the catalogue were read, as the catalogue gives it.
struct ReportSource {
    std::string document;
    std::string edition;
    std::string page;
    std::string address;
    std::string reproduces; // the standard whose table it reproduces; empty for its own figures
};

// One figure of a part that an input was set from: its name in the
// catalogue, the wavelengths it holds at ("1310-1625 nm", or empty), its
// value in the report's words ("de -8.2 a 0.5 dBm"), the catalogue's note on
// it, and its source, an index into the report's sources.
struct ReportFigure {
    std::string name;
    std::string band;
    std::string value;
    std::string note;
    std::size_t source = 0;
};

// One input or choice a part set: as the inputs show it (a choice by its
// item), with the figures it came from and how ("o mínimo", ...). When an
// option given after the part ("--set", or a later part's request) set it
// again, `overriddenBy` says which and `usedText` is the text the link has.
struct ReportPartInput {
    std::string name;
    std::string label;
    std::string text;
    std::string unit;
    bool choice = false;
    std::vector<ReportFigure> figures;
    std::string how;
    std::string note;
    std::string overriddenBy;
    std::string usedText;
};

// One part of the catalogue the link was given, as it was asked for
// ("fibre=G.652.D@1310"): what it is and where it was read, the inputs it
// set, in order, and those it left as they were (their labels), having no
// figure for them.
struct ReportPart {
    std::string request;
    PartKind kind = PartKind::Fibre;
    std::string name;
    std::string title;
    std::optional<double> wavelength; // nm, a fibre's
    std::string file;
    int line = 0;
    std::vector<ReportPartInput> set;
    std::vector<std::string> left;
};

struct DesignReport {
    std::string program;     // "tavo"
    std::string caption;     // the calculator window's caption
    std::string projectFile; // the file opened, or empty
    std::string date;        // dd/mm/aaaa
    std::vector<ReportInputPage> pages;
    // The catalogue parts used, in order, and the sources of the figures
    // they set, each once, in the order they first come.
    std::vector<ReportPart> parts;
    std::vector<ReportSource> sources;
    std::vector<ReportResult> results;
    bool faulted = false; // the run ended in a fault: the results stop there

    // What follows is there only for a run that did not fault.
    std::optional<double> powerDistance;
    std::optional<double> riseTimeDistance;
    double maximumDistance = 0;
    std::string maximumDistanceText;    // as the window shows it
    std::optional<LinkBudgets> budgets; // at the maximum distance

    // The distances against the bit rate, over two decades around this
    // design's (none when the calculator has no input bitRate or its bit
    // rate is not positive); points that fault are left out.
    std::string bitRateLabel; // the window's label
    std::string bitRateUnit;
    double bitRate = 0; // this design's
    std::vector<LinkDistances> bitRateSweep;

    // Both margins from 0 km to beyond the maximum distance.
    std::vector<MarginPoint> margins;

    // The trials of a statistical budget around this link (its inputs as
    // given being the worst case), when they were run.
    std::optional<TrialCharts> trials;
};

// Gathers the report of the link of `session`, whose run is `run`.
// `projectFile` is the file the figures were opened from (empty for none).
DesignReport designReport(const Session& session, const RunReport& run,
                          const std::string& projectFile, const std::string& date);

// The inputs of a session by page of the window, each with its label, text
// and unit, as the report lists them.
std::vector<ReportInputPage> reportInputPages(const Session& session);

// Adds to `report`, that of a link of `calculator`, the catalogue parts
// `uses` that set its inputs, in the order they were used, with the sources
// of the figures they set, and marks in its inputs the part each text came
// from. `setAfter` names the inputs and choices given after every part (by
// --set).
void addUsedParts(DesignReport& report, const Calculator& calculator,
                  std::span<const catalogue::PartUse> uses, std::span<const std::string> setAfter);

// Today's date in the report's form, dd/mm/aaaa.
std::string todaysDate();

} // namespace vantero::report
