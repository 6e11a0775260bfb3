#pragma once

// The window tests of "Relatório de projeto (PDF)..." that the three
// calculators share, typed over the program as CalculatorWindow is:
//   INSTANTIATE_TYPED_TEST_SUITE_P(Tavo, DesignReportEntry, PointProgram);
// The report is compared with the one the command line (VANTERO_PROGRAM)
// writes for the same figures, as poppler's pdftotext reads them (skipped
// where it is not installed).

#include "common/ui/testing/calculatorwindowtests.h"

#include <QProcess>
#include <QRegularExpression>

#include <csignal>
#include <functional>
#include <optional>
#include <sys/resource.h>

namespace vantero::ui::testing {

// The file-size limit lowered for as long as it lives: a write past it fails
// as on a full disk.
class FullDisk {
public:
    FullDisk() : m_handler(std::signal(SIGXFSZ, SIG_IGN)) {
        ::getrlimit(RLIMIT_FSIZE, &m_before);
        rlimit limit = m_before;
        limit.rlim_cur = 1024;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;
    ~FullDisk() {
        ::setrlimit(RLIMIT_FSIZE, &m_before);
        std::signal(SIGXFSZ, m_handler);
    }

private:
    void (*m_handler)(int);
    rlimit m_before{};
};

template <typename Program> struct DesignReportEntry : CalculatorWindow<Program> {
    void askForReport(const QString& answer) {
        this->platform.saveAnswers << answer;
        this->form.template findChild<QAction*>("RelatorioDeProjeto1")->trigger();
    }
    QLineEdit* field(std::string_view input) const {
        const Calculator& calculator = Program::calculator();
        return this->edit(
            QString::fromUtf8(calculator.inputs()[*calculator.findInput(input)].component));
    }
    QStringList files() const { return QDir(this->folder.path()).entryList(QDir::Files); }

    static bool havePdfText() {
        QProcess probe;
        probe.start(QStringLiteral("pdftotext"), {QStringLiteral("-v")});
        return probe.waitForFinished() && probe.exitStatus() == QProcess::NormalExit &&
               probe.exitCode() == 0;
    }
    // The text of a PDF file, its dates (dd/mm/yyyy) left out.
    static QString pdfText(const QString& pdf) {
        QProcess reader;
        reader.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
        reader.waitForFinished();
        return QString::fromUtf8(reader.readAllStandardOutput())
            .replace(QRegularExpression(QStringLiteral("\\d\\d/\\d\\d/\\d{4}")),
                     QStringLiteral("(data)"));
    }
    // The command line's report for `settings`, in the folder; its path.
    QString commandLineReport(QStringList settings) const {
        const QString pdf = this->path(QStringLiteral("vantero.pdf"));
        settings.prepend(QString::fromUtf8(Program::calculator().name()));
        settings << QStringLiteral("--report") << pdf;
        QProcess vantero;
        vantero.start(QStringLiteral(VANTERO_PROGRAM), settings);
        vantero.waitForFinished();
        EXPECT_TRUE(QFile::exists(pdf)) << vantero.readAllStandardError().toStdString();
        return pdf;
    }
    // --set for each input and choice of the window that differs from its
    // initial figure.
    QStringList changedSettings() const {
        const Calculator& calculator = Program::calculator();
        const auto window = this->form.windowSession();
        const std::vector<int> initial = calculator.initialChoices();
        QStringList settings;
        for (std::size_t i = 0; i < calculator.inputs().size(); ++i) {
            if (window->text(i) != calculator.inputs()[i].initialText) {
                settings << QStringLiteral("--set")
                         << QString::fromUtf8(calculator.inputs()[i].name) + "=" +
                                QString::fromStdString(window->text(i));
            }
        }
        for (std::size_t i = 0; i < calculator.choices().size(); ++i) {
            const ChoiceDescription& choice = calculator.choices()[i];
            if (window->choice(i) != initial[i]) {
                settings << QStringLiteral("--set")
                         << QString::fromUtf8(choice.name) + "=" +
                                QString::fromUtf8(
                                    choice.values[static_cast<std::size_t>(window->choice(i))]);
            }
        }
        return settings;
    }
};

TYPED_TEST_SUITE_P(DesignReportEntry);

TYPED_TEST_P(DesignReportEntry, writesTheCommandLinesReportForTheWindowsFigures) {
    // State: the bit rate changed; a fault in the run; a project file saved
    // and opened again. Expected: the results shown as OK shows them, then
    // the PDF file (".pdf" added to its name) that the command line writes
    // for the same figures, the same text but for the date.
    using P = TypeParam;
    // A window of its own for each case, as the program starts.
    struct Window : DesignReportEntry<P> {
        void TestBody() override {}
    };
    if (!this->havePdfText()) {
        GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    }
    struct Case {
        const char* name;
        std::function<void(Window&)> prepare;
        std::function<QStringList(Window&)> settings;
        QStringList boxes;
        QString proposed; // in the folder, when not a bare name
    };
    const QString program = QString::fromUtf8(P::calculator().name()) + ".pdf";
    const Case cases[] = {
        {"the bit rate changed",
         [](Window& t) { t.retype(t.field("bitRate"), "20"); },
         [](Window&) {
             return QStringList{"--set", "bitRate=20"};
         },
         {},
         program},
        {"a fault",
         [](Window& t) { P::causeFault(t); },
         [](Window& t) { return t.changedSettings(); },
         {"failure: Floating point division by zero."},
         program},
        {"a project file",
         [](Window& t) {
             t.retype(t.field("bitRate"), "20");
             t.saveAs(t.path("enlace"));
             t.open(t.form.ProjectFileName);
         },
         [](Window& t) {
             return QStringList{"--open", t.form.ProjectFileName};
         },
         {},
         "enlace.pdf"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Window t;
        t.SetUp();
        c.prepare(t);
        t.askForReport(t.path("relatorio"));
        EXPECT_EQ(t.platform.boxes, c.boxes);
        ASSERT_FALSE(t.platform.saveOffers.empty());
        const SaveOffer& offer = t.platform.saveOffers.back();
        EXPECT_EQ(offer.filter, "Relatório PDF (*.pdf)");
        EXPECT_EQ(offer.proposedName, c.proposed == program ? program : t.path(c.proposed));
        EXPECT_TRUE(t.find("GroupBox1")->isVisible()); // the calculation ran
        const QString written = t.path("relatorio.pdf");
        ASSERT_TRUE(QFile::exists(written)) << t.files().join(", ").toStdString();
        const QString text = t.pdfText(written);
        EXPECT_EQ(text, t.pdfText(t.commandLineReport(c.settings(t))));
        EXPECT_TRUE(
            text.contains("Arquivo de projeto: " +
                          (t.form.ProjectFileName.isEmpty() ? "nenhum" : t.form.ProjectFileName)));
    }
}

TYPED_TEST_P(DesignReportEntry, aBadNumberIsShownInItsFieldAndNothingIsAskedOrWritten) {
    using P = TypeParam;
    QLineEdit* field = this->edit(P::badNumberField);
    this->retype(field, "1,5");
    this->askForReport(this->path("relatorio"));
    EXPECT_EQ(this->platform.boxes, QStringList{"failure: \"1,5\" não é um número válido."});
    EXPECT_TRUE(field->hasFocus());
    EXPECT_EQ(this->platform.saveDialogs, 0);
    EXPECT_EQ(this->files(), QStringList());
}

TYPED_TEST_P(DesignReportEntry, cancellingTheDialogWritesNothing) {
    using P = TypeParam;
    this->askForReport(QString());
    EXPECT_EQ(this->platform.saveDialogs, 1);
    EXPECT_EQ(this->files(), QStringList());
    EXPECT_TRUE(this->platform.boxes.isEmpty()) << this->boxes().toStdString();
    EXPECT_EQ(this->differences(P::defaultResults()), QStringList()); // as OK
}

TYPED_TEST_P(DesignReportEntry, aNameEndingInPdfInAnyCaseIsKept) {
    for (const char* name : {"a.pdf", "b.PDF", "c.Pdf"}) {
        this->askForReport(this->path(name));
        EXPECT_TRUE(QFile::exists(this->path(name))) << name;
    }
    EXPECT_EQ(this->files(), (QStringList{"a.pdf", "b.PDF", "c.Pdf"}));
}

TYPED_TEST_P(DesignReportEntry, aFileThatCannotBeWrittenIsAFileFailureAndTheOldOneStays) {
    // State: a folder that does not exist; an old report on a disk too full
    // for the new one. Expected: the file-failure box, the old file as it was.
    struct Case {
        const char* name;
        QString answer;
        bool fullDisk;
        QString box;
    };
    const Case cases[] = {
        {"no such folder", "pasta que não existe/relatorio", false, "failure: File not found."},
        {"a full disk", "antigo.pdf", true, "failure: Disk full."},
    };
    QFile old(this->path("antigo.pdf"));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("o relatório de antes");
    old.close();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        this->platform.boxes.clear();
        {
            std::optional<FullDisk> disk;
            if (c.fullDisk) {
                disk.emplace();
            }
            this->askForReport(this->path(c.answer));
        }
        EXPECT_EQ(this->platform.boxes, QStringList{c.box});
        EXPECT_EQ(this->bytes(this->path("antigo.pdf")), QByteArray("o relatório de antes"));
        EXPECT_EQ(this->files(), QStringList{"antigo.pdf"});
    }
}

REGISTER_TYPED_TEST_SUITE_P(DesignReportEntry, writesTheCommandLinesReportForTheWindowsFigures,
                            aBadNumberIsShownInItsFieldAndNothingIsAskedOrWritten,
                            cancellingTheDialogWritesNothing, aNameEndingInPdfInAnyCaseIsKept,
                            aFileThatCannotBeWrittenIsAFileFailureAndTheOldOneStays);

} // namespace vantero::ui::testing
