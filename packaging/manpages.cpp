#include "packaging/manpages.h"

#include "cli/core/joined.h"
#include "cli/core/program.h"
#include "packaging/roff.h"

#include <cctype>
#include <functional>
#include <sstream>
#include <vector>

namespace vantero::packaging {
namespace {

std::string upper(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return out;
}

std::string trimmed(std::string_view text) {
    while (!text.empty() && text.back() == ' ') {
        text.remove_suffix(1);
    }
    while (!text.empty() && text.front() == ' ') {
        text.remove_prefix(1);
    }
    return std::string(text);
}

// A note as a sentence: its first letter in upper case.
std::string sentence(std::string_view note) {
    std::string text(note);
    if (!text.empty()) {
        text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
    }
    return text;
}

std::string header(std::string_view program, std::string_view version) {
    return ".TH " + upper(program) + " 1 \"\" \"VANTERO " + std::string(version) +
           "\" \"VANTERO\"\n";
}

std::string seeAlso(std::string_view self) {
    std::vector<std::string> pages;
    if (self != "vantero") {
        pages.push_back("vantero");
    }
    for (const Calculator* calculator : calculators()) {
        if (calculator->name() != self) {
            pages.emplace_back(calculator->name());
        }
    }
    return ".SH \"SEE ALSO\"\n" +
           cli::joined(
               pages, [](const std::string& page) { return ".BR " + page + " (1)"; }, ",\n") +
           "\n";
}

// "NRZ (“Código NRZ”), RZ (“Código RZ”)": each value of a choice with the
// window's item that stands for it.
std::string choiceValuesWithItems(const ChoiceDescription& choice) {
    std::string text;
    for (std::size_t v = 0; v < choice.values.size(); ++v) {
        const int item = choice.itemOfValue(static_cast<int>(v));
        text += (v == 0 ? "" : ", ") + std::string("\\fB") + roffCode(choice.values[v]) + "\\fR";
        if (item >= 0) {
            if (choice.items[static_cast<std::size_t>(item)] != choice.values[v]) {
                text += " (" + roffQuoted(choice.items[static_cast<std::size_t>(item)]) + ")";
            }
        } else {
            text +=
                " (" + roffText(choice.noItem.empty() ? "nothing selected" : choice.noItem) + ")";
        }
    }
    return text;
}

std::string initialValue(const ChoiceDescription& choice) {
    return std::string(choice.values[static_cast<std::size_t>(choice.initial)]);
}

std::string inputEntry(const InputDescription& input) {
    std::string text =
        ".TP\n.B " + roffText(trimmed(input.label)) + "\n" + "\\fB" + roffCode(input.name) + "\\fR";
    if (!input.unit.empty()) {
        text += ", in " + roffText(input.unit);
    }
    return text + "; initially " + roffText(input.initialText) + ".\n";
}

std::string choiceEntry(const ChoiceDescription& choice) {
    return ".TP\n.B " + roffText(choice.caption) + "\n\\fB" + roffCode(choice.name) +
           "\\fR: " + choiceValuesWithItems(choice) + "; initially " +
           roffCode(initialValue(choice)) + ".\n";
}

const Page pages[] = {Page::Sistema, Page::Transmissor, Page::Receptor, Page::Fibra,
                      Page::FibreDialog};

std::string what(const Calculator& calculator) {
    return "It works out two limits on the length of fibre the link can span: the distance "
           "the optical power budget allows and the distance the rise-time budget allows. "
           "The smaller of the two is the maximum distance, and the window says whether the "
           "link is limited by attenuation or by dispersion; when the rise-time budget cannot "
           "be met, it says so and gives a maximum distance of 0. OK (or Enter in any field) "
           "runs the calculation; \"...\" beside " +
           roffQuoted("Fibra Multimodo") +
           " opens the small dialog that holds the normalised bandwidth of multimode "
           "fibre. The window is in Portuguese; numbers take \".\" as the decimal point, "
           "whatever the locale, and results have five decimals.\n.PP\n.B " +
           std::string(calculator.name()) +
           "\ntakes no arguments, and reads no environment variable or settings file of its "
           "own: every figure comes from the window or from a project file.\n";
}

std::string projectFiles(const Calculator& calculator) {
    const ProjectLayout& layout = calculator.layout();
    const std::string records = cli::joined(layout.records, [](const ProjectRecord& record) {
        return "\\fB" + roffCode(record.input) + "\\fR";
    });
    return ".SH FILES\n.TP\n.I *" + roffText(layout.extension) +
           "\nA project file: " + roffQuoted("Salvar Como...") +
           " writes the window's figures to it and " + roffQuoted("Abrir...") +
           " reads them back. It holds " + std::to_string(layout.records.size()) +
           " six-byte reals (" + std::to_string(6 * layout.records.size()) +
           " bytes), one per field or choice and nothing else, in this order: " + records +
           ". A file whose name does not end in " + roffText(layout.extension) +
           " (letters in either case) is refused.\n";
}

// A part of vantero's --help in roff, from within `section`. Headings ("Exit
// status:") become sections; an entry is a line indented by two blanks, its
// tag up to the first two blanks in a row and its text after them and on the
// lines indented deeper; other lines are paragraphs.
class HelpConverter {
public:
    explicit HelpConverter(std::string section) : m_section(std::move(section)) {}

    std::string convert(std::string_view help) {
        std::istringstream lines{std::string(help)};
        for (std::string line; std::getline(lines, line);) {
            take(line);
        }
        endBlock();
        return m_out;
    }

private:
    void take(const std::string& line) {
        if (line.empty()) {
            endBlock();
            return;
        }
        if (line.back() == ':' && line.front() != ' ' && line.find(". ") == std::string::npos &&
            line.size() < 30) {
            endBlock();
            m_section = upper(line.substr(0, line.size() - 1));
            m_out += ".SH \"" + m_section + "\"\n";
            return;
        }
        if (line.front() != ' ' && m_inEntry) {
            endBlock(); // a paragraph after the entries
        }
        if (line.starts_with("  ") && !line.starts_with("   ")) {
            endBlock();
            const std::string entry = line.substr(2);
            const std::size_t gap = entry.find("  ");
            m_tag = entry.substr(0, gap);
            m_text = gap == std::string::npos ? "" : trimmed(entry.substr(gap));
            m_inEntry = true;
            return;
        }
        if (m_inEntry) {
            m_text += (m_text.empty() ? "" : " ") + trimmed(line);
            return;
        }
        m_paragraph += (m_paragraph.empty() ? "" : "\n") + line;
    }

    void endBlock() {
        if (m_inEntry) {
            m_out += ".TP\n" + formattedTag() + "\n" + roffText(m_text) + "\n";
        } else if (!m_paragraph.empty()) {
            m_out += ".PP\n" + roffText(m_paragraph) + "\n";
        }
        m_inEntry = false;
        m_tag.clear();
        m_text.clear();
        m_paragraph.clear();
    }

    // A command in bold.
    std::string formattedTag() const {
        return m_section == "EXAMPLES" ? "\\fB" + roffCode(m_tag) + "\\fR" : roffText(m_tag);
    }

    std::string m_out;
    std::string m_section;
    bool m_inEntry = false;
    std::string m_tag;
    std::string m_text;
    std::string m_paragraph;
};

// An option in bold and its argument in italics.
std::string optionTerm(const cli::OptionSpec& option, const cli::OptionForm& form) {
    std::string tag;
    if (!option.alias.empty()) {
        tag = "\\fB" + roffCode(option.alias) + "\\fR, ";
    }
    tag += "\\fB" + roffCode(option.name) + "\\fR";
    if (!form.placeholder.empty()) {
        tag += " \\fI" + roffCode(form.placeholder) + "\\fR";
    }
    return tag;
}

// The options of vantero, in the order of its --help, each form an entry.
std::string optionEntries(std::span<const cli::OptionSpec> options) {
    std::string text = ".SH \"OPTIONS\"\n";
    for (const cli::OptionSpec* option : cli::optionsInUsageOrder(options, cli::usageModes())) {
        for (std::size_t f = 0; f < option->formCount(); ++f) {
            const cli::OptionForm& form = option->forms[f];
            text += ".TP\n" + optionTerm(*option, form) + "\n" +
                    roffText(form.manual.empty() ? form.help : form.manual) + "\n";
        }
    }
    return text;
}

} // namespace

std::string programManPage(const Calculator& calculator, std::string_view version) {
    const std::string name(calculator.name());
    std::string page = header(name, version);
    page += ".SH NAME\n" + name + " \\- VANTERO calculator of a " + roffText(calculator.network()) +
            " optical-fibre link\n";
    page += ".SH SYNOPSIS\n.B " + name + "\n";
    page += ".SH DESCRIPTION\n.B " + name + "\nopens the window " +
            roffQuoted(calculator.caption()) + " for the design of a digital " +
            roffText(calculator.network()) +
            " optical-fibre link from its system, transmitter, receiver and fibre figures.\n" +
            what(calculator);

    page += ".SH WINDOW\nThe figures of each page of the window, with the name the project "
            "file and\n.BR vantero (1)\ngive them, and the text each field starts with.\n";
    for (const Page p : pages) {
        std::string entries;
        for (const InputDescription& input : calculator.inputs()) {
            if (input.page == p) {
                entries += inputEntry(input);
            }
        }
        for (const ChoiceDescription& choice : calculator.choices()) {
            if (choice.page == p) {
                entries += choiceEntry(choice);
            }
        }
        if (!entries.empty()) {
            page += ".SS \"" + roffText(pageTitle(p)) +
                    (p == Page::FibreDialog ? " (dialog)" : "") + "\"\n" + entries;
        }
    }
    page += projectFiles(calculator);
    page += seeAlso(name);
    return page;
}

std::string commandLineManPage(std::string_view version, std::span<const cli::OptionSpec> options) {
    std::string page = header("vantero", version);
    page += ".SH NAME\nvantero \\- the VANTERO calculators on the command line\n";
    page += ".SH SYNOPSIS\n";
    for (const std::string_view mode : cli::usageModes()) {
        page += ".SY vantero\n" +
                roffCode(cli::joined(cli::usageItems(mode, options), std::identity{}, " ")) +
                "\n.YS\n";
    }
    page += ".SH DESCRIPTION\n" + HelpConverter("DESCRIPTION").convert(cli::purposeText());
    page += optionEntries(options);
    page += HelpConverter("OPTIONS").convert(cli::closingHelpText());
    page += ".SH CALCULATORS\nThe inputs and choices of each calculator, as "
            "\\fB\\-\\-set\\fR and \\fB\\-\\-sweep\\fR name them, with the "
            "labels of the window's fields.\n";
    for (const Calculator* calculator : calculators()) {
        page += ".SS " + std::string(calculator->name()) + "\nThe " +
                roffText(calculator->network()) + " link of the window " +
                roffQuoted(calculator->caption()) + ", project files " +
                roffText(calculator->layout().extension) + "; see\n.BR " +
                std::string(calculator->name()) + " (1).\n";
        for (const InputDescription& input : calculator->inputs()) {
            page += ".TP\n\\fB" + roffCode(input.name) + "\\fR\n" + roffText(trimmed(input.label)) +
                    (input.unit.empty() ? "" : "; in " + roffText(input.unit)) + "; initially " +
                    roffText(input.initialText) + ".\n";
        }
        for (const ChoiceDescription& choice : calculator->choices()) {
            page += ".TP\n\\fB" + roffCode(choice.name) + "\\fR\n" + roffText(choice.caption) +
                    ": " + choiceValuesWithItems(choice) + "; initially " +
                    roffCode(initialValue(choice)) + "." +
                    (choice.note.empty() ? "" : " " + roffText(sentence(choice.note)) + ".") + "\n";
        }
    }
    page += seeAlso("vantero");
    return page;
}

} // namespace vantero::packaging
