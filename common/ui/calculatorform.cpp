#include "common/ui/calculatorform.h"

#include "common/ui/choicelist.h"
#include "common/ui/formfibradlg.h"
#include "common/ui/keyboard.h"
#include "common/ui/mainwindow.h"
#include "common/ui/platform.h"
#include "common/ui/program.h"
#include "common/ui/reportentry.h"
#include "common/ui/results.h"

#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QToolButton>

namespace vantero::ui {

CalculatorForm::CalculatorForm(Platform& platform, const Calculator& calculator, QWidget* parent)
    : QMainWindow(parent), m_platform(platform), m_calculator(calculator),
      m_guard(platform, this, [this](std::string_view input) { return inputField(input); }),
      m_files(this, platform, calculator, ProjectFileName) {
    nameListsByTheirLabels();
}

CalculatorForm::~CalculatorForm() = default;

void CalculatorForm::finishSetUp(const Shape& shape) {
    m_shape = shape;
    frameMainWindow(this, shape.clientArea);
    setWindowIcon(calculatorIcon(m_calculator));

    const auto& g = m_guard;
    auto* ok = component<QPushButton>("BitBtn1");
    connect(ok, &QPushButton::clicked, this, g.slot(this, &CalculatorForm::BitBtn1Click));
    connect(component<QPushButton>("BitBtn2"), &QPushButton::clicked, this,
            g.slot(this, &CalculatorForm::BitBtn2Click));
    connect(component<QAction>("Abrir1"), &QAction::triggered, this,
            g.slot(this, &CalculatorForm::Abrir1Click));
    connect(component<QToolButton>("SpeedButton1"), &QToolButton::clicked, this,
            g.slot(this, &CalculatorForm::Abrir1Click));
    connect(component<QAction>("Salvar1"), &QAction::triggered, this,
            g.slot(this, &CalculatorForm::Salvar1Click));
    connect(component<QToolButton>("SpeedButton2"), &QToolButton::clicked, this,
            g.slot(this, &CalculatorForm::Salvar1Click));
    connect(component<QAction>("SalvarComo1"), &QAction::triggered, this,
            g.slot(this, &CalculatorForm::SalvarComo1Click));
    auto* report = new QAction(QStringLiteral("Relatório de projeto (PDF)..."), this);
    report->setObjectName(QStringLiteral("RelatorioDeProjeto1"));
    QMenu* file = findChild<QMenu*>(QStringLiteral("Arquivo1"));
    file->addSeparator();
    file->addAction(report);
    connect(report, &QAction::triggered, this,
            g.slot(this, &CalculatorForm::RelatorioDeProjeto1Click));

    new EnterRunsDefault(centralWidget(), ok);
    nameForAssistiveTechnology(this);
    FormCreate();
    focusFirstField(component<QTabWidget>("TabbedNotebook1"));

    m_fibreDialog = createFibreDialog();
    nameForAssistiveTechnology(m_fibreDialog);
    centreOnScreen(this);
}

TFormFibraDlg* CalculatorForm::createFibreDialog() {
    return new TFormFibraDlg(this);
}

void CalculatorForm::showFibreDialog() {
    m_fibreDialog->showModeless();
}

QWidget* CalculatorForm::inputField(std::string_view input) const {
    const auto index = m_calculator.findInput(input);
    if (!index) {
        return nullptr;
    }
    const InputDescription& field = m_calculator.inputs()[*index];
    if (field.heldByDialog()) {
        return m_fibreDialog != nullptr ? m_fibreDialog->Edit1 : nullptr;
    }
    return componentNamed<QLineEdit>(QString::fromUtf8(field.component));
}

std::unique_ptr<Session> CalculatorForm::windowSession() const {
    std::unique_ptr<Session> session = m_calculator.newSession();
    for (std::size_t i = 0; i < m_calculator.inputs().size(); ++i) {
        auto* field = qobject_cast<QLineEdit*>(inputField(m_calculator.inputs()[i].name));
        session->setText(i, field->text().toStdString());
    }
    for (std::size_t i = 0; i < m_calculator.choices().size(); ++i) {
        const ChoiceDescription& choice = m_calculator.choices()[i];
        session->setChoice(i, choice.valueOfItem(selectedItem(centralWidget(), choice)));
    }
    return session;
}

void CalculatorForm::FormCreate() {
    ProjectFileName.clear();
}

CalculatorForm::Calculation CalculatorForm::calculate() {
    component<QGroupBox>("GroupBox1")->show();
    component<QPushButton>("BitBtn2")->setText(QStringLiteral("&Sair"));
    Calculation done{windowSession(), {}};
    if (m_shape.convertsBeforeBlanking) {
        done.session->checkLeadingInputs();
    }
    done.report = done.session->run();
    const std::optional<RunFault>& fault = done.report.fault;
    if (fault && dynamic_cast<const NumberFormatFailure*>(&fault->failure())) {
        fault->raise(); // before anything is blanked or written
    }
    for (const QString& result : m_shape.blankedResults) {
        componentNamed<QLineEdit>(result)->setText(m_shape.blankText);
    }
    writeOutputs(centralWidget(), m_platform, done.report);
    return done;
}

void CalculatorForm::BitBtn1Click() {
    const Calculation done = calculate();
    if (done.report.fault) {
        done.report.fault->raise(); // for the guard to show, after the outputs
    }
}

void CalculatorForm::RelatorioDeProjeto1Click() {
    const Calculation done = calculate();
    if (done.report.fault) {
        // Shown as OK shows it, before the file is asked for.
        m_guard.run([&done] { done.report.fault->raise(); });
    }
    saveDesignReport(this, m_platform, *done.session, done.report, ProjectFileName);
}

void CalculatorForm::BitBtn2Click() {
    m_platform.endApplication();
}

void CalculatorForm::Abrir1Click() {
    m_files.open();
}

void CalculatorForm::Salvar1Click() {
    m_files.save();
}

void CalculatorForm::SalvarComo1Click() {
    m_files.saveAs();
}

} // namespace vantero::ui
