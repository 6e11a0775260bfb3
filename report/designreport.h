#pragma once

#include "common/calculator/calculator.h"

#include <optional>
#include <string>
#include <vector>

namespace vantero::report {

// What the design report of one link says, gathered from the calculator's
// description, its session and its run, with no layout and no Qt: the
// painter (report/paint) lays it out on A4 pages.

// One line of the inputs: the label the window shows beside the field (or the
// title of a choice's group), the text or the selected item, and the unit.
struct ReportInput {
    std::string label;
    std::string text;
    std::string unit;
    bool choice = false;
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

struct DesignReport {
    std::string program;     // "tavo"
    std::string caption;     // the calculator window's caption
    std::string projectFile; // the file opened, or empty
    std::string date;        // dd/mm/aaaa
    std::vector<ReportInputPage> pages;
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
};

// Gathers the report of the link of `session`, whose run is `run`.
// `projectFile` is the file the figures were opened from (empty for none).
DesignReport designReport(const Session& session, const RunReport& run,
                          const std::string& projectFile, const std::string& date);

// The inputs of a session by page of the window, each with its label, text
// and unit, as the report lists them.
std::vector<ReportInputPage> reportInputPages(const Session& session);

// Today's date in the report's form, dd/mm/aaaa.
std::string todaysDate();

} // namespace vantero::report
