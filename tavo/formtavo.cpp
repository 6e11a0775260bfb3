#include "tavo/formtavo.h"

#include "common/ui/choicelist.h"
#include "common/ui/keyboard.h"
#include "common/ui/mainwindow.h"
#include "common/ui/platform.h"
#include "common/ui/results.h"
#include "tavo/core/diglayout.h"
#include "tavo/core/pointlink.h"
#include "tavo/core/sensitivity.h"
#include "tavo/dialogfibra.h"
#include "ui_formtavo.h"

#include <QAction>

namespace vantero::tavo {
namespace {

// The list index of "InGaAs APD (1550nm)" and "InGaAs PIN (1300nm)".
constexpr int apd1550Index = InGaAsApd1550 - 1;
constexpr int pin1300Index = InGaAsPin1300 - 1;

} // namespace

TFormTAVO::TFormTAVO(ui::Platform& platform, QWidget* parent)
    : QMainWindow(parent), m_ui(std::make_unique<Ui::TFormTAVO>()), m_platform(platform),
      m_guard(platform, this,
              [this](std::string_view input) {
                  return ui::inputField<PointLinkInput>(this, DialogFibra->Edit1, pointLinkInputs,
                                                        input);
              }),
      m_files(this, platform, digLayout, ProjectFileName) {
    m_ui->setupUi(this);
    ui::frameMainWindow(this, QSize(662, 498));

    m_lineCodes = new ui::ChoiceList(m_ui->ComboBox2);
    m_detectors = new ui::ChoiceList(m_ui->ComboBox3);
    m_bers = new ui::ChoiceList(m_ui->ComboBox1);

    const auto& g = m_guard;
    connect(m_ui->BitBtn1, &QPushButton::clicked, this, g.slot(this, &TFormTAVO::BitBtn1Click));
    connect(m_ui->BitBtn3, &QPushButton::clicked, this, g.slot(this, &TFormTAVO::BitBtn1Click));
    connect(m_ui->BitBtn2, &QPushButton::clicked, this, g.slot(this, &TFormTAVO::BitBtn2Click));
    connect(m_ui->Button2, &QPushButton::clicked, this, g.slot(this, &TFormTAVO::Button2Click));
    connect(m_detectors, &ui::ChoiceList::userChanged, this,
            g.slot(this, &TFormTAVO::ComboBox3Change));
    connect(m_bers, &ui::ChoiceList::userChanged, this, g.slot(this, &TFormTAVO::ComboBox1Change));
    connect(m_ui->Edit9, &QLineEdit::textEdited, this, g.slot(this, &TFormTAVO::Edit9KeyPress));
    connect(m_ui->Abrir1, &QAction::triggered, this, g.slot(this, &TFormTAVO::Abrir1Click));
    connect(m_ui->SpeedButton1, &QToolButton::clicked, this, g.slot(this, &TFormTAVO::Abrir1Click));
    connect(m_ui->Salvar1, &QAction::triggered, this, g.slot(this, &TFormTAVO::Salvar1Click));
    connect(m_ui->SpeedButton2, &QToolButton::clicked, this,
            g.slot(this, &TFormTAVO::Salvar1Click));
    connect(m_ui->SalvarComo1, &QAction::triggered, this,
            g.slot(this, &TFormTAVO::SalvarComo1Click));

    new ui::EnterRunsDefault(m_ui->centralwidget, m_ui->BitBtn1);
    ui::nameForAssistiveTechnology(this);
    FormCreate();

    DialogFibra = new TDialogFibra(this);
    ui::nameForAssistiveTechnology(DialogFibra);

    ui::centreOnScreen(this);
}

TFormTAVO::~TFormTAVO() = default;

void TFormTAVO::FormCreate() {
    m_detectors->select(0);
    m_bers->select(0);
    m_lineCodes->select(0);
    ProjectFileName.clear();
}

PointLinkInput TFormTAVO::currentInput() const {
    PointLinkInput input;
    ui::readInputs<PointLinkInput>(this, DialogFibra->Edit1, input, pointLinkInputs);
    input.lineCode = m_lineCodes->selectedIndex() == 1 ? LineCode::RZ : LineCode::NRZ;
    input.berChoice = m_bers->selectedIndex() == 1 ? BerChoice::Ber1E11 : BerChoice::Ber1E9;
    input.detectorType = m_detectors->selectedIndex() + 1;
    input.fibreType =
        m_ui->RadioButton8->isChecked() ? FibreType::SingleMode : FibreType::Multimode;
    return input;
}

void TFormTAVO::BitBtn1Click() {
    m_ui->GroupBox1->show();
    m_ui->BitBtn2->setText(QStringLiteral("&Sair"));
    const PointLinkInput input = currentInput();
    checkLeadingInputs(input);
    for (QLineEdit* field : {m_ui->Edit15, m_ui->Edit16, m_ui->Edit17, m_ui->Edit18}) {
        field->setText(QStringLiteral(" "));
    }
    ui::applyOutputs<PointLinkResult>(this, m_platform, calculatePointLink(input),
                                      pointLinkResults);
}

void TFormTAVO::BitBtn2Click() {
    m_platform.endApplication();
}

void TFormTAVO::Button2Click() {
    DialogFibra->showModeless();
    m_ui->RadioButton9->setChecked(true);
}

double TFormTAVO::convertBitRate() const {
    return convertField(m_ui->Edit6->text().toStdString(), "bitRate");
}

void TFormTAVO::writeSensitivity(double sensitivity) {
    m_ui->Edit9->setText(QString::fromStdString(formatResult(sensitivity)));
}

void TFormTAVO::ComboBox3Change() {
    const int code = m_detectors->selectedIndex() + 1;
    if (m_detectors->selectedIndex() != apd1550Index) {
        m_bers->select(0); // 1E-11 goes only with the 1550 nm APD
    }
    applyDispersionRows();
    const double bitRate = convertBitRate();
    const BerChoice ber = m_bers->selectedIndex() == 1 ? BerChoice::Ber1E11 : BerChoice::Ber1E9;
    writeSensitivity(detectorSensitivity(ber, code, bitRate));
}

void TFormTAVO::ComboBox1Change() {
    if (m_bers->selectedIndex() == 1) {
        m_detectors->select(apd1550Index); // the low error rate needs the APD
        writeSensitivity(detectorSensitivity(BerChoice::Ber1E11, InGaAsApd1550, convertBitRate()));
    }
    const BerChoice ber = m_bers->selectedIndex() == 1 ? BerChoice::Ber1E11 : BerChoice::Ber1E9;
    const int code = m_detectors->selectedIndex() + 1;
    writeSensitivity(detectorSensitivity(ber, code, convertBitRate()));
}

void TFormTAVO::Edit9KeyPress() {
    // A sensitivity typed by hand replaces the photodetector's curve.
    m_detectors->select(-1);
}

void TFormTAVO::Abrir1Click() {
    m_files.open();
}

void TFormTAVO::Salvar1Click() {
    m_files.save();
}

void TFormTAVO::SalvarComo1Click() {
    m_files.saveAs();
}

void TFormTAVO::applyDispersionRows() {
    const bool at1300 = m_detectors->selectedIndex() == pin1300Index;
    for (QWidget* row :
         {static_cast<QWidget*>(m_ui->Label13), static_cast<QWidget*>(m_ui->Edit8),
          static_cast<QWidget*>(m_ui->Label22), static_cast<QWidget*>(m_ui->Edit22)}) {
        row->setVisible(at1300);
    }
    m_ui->Label25->setVisible(!at1300);
    m_ui->Edit21->setVisible(!at1300);
}

} // namespace vantero::tavo
