#include "tavo/formtavo.h"

#include "common/numbers/formatting.h"
#include "common/ui/choicelist.h"
#include "tavo/core/description.h"
#include "tavo/core/sensitivity.h"
#include "tavo/dialogfibra.h"
#include "ui_formtavo.h"

namespace vantero::tavo {
namespace {

// The detector of a list item (-1: none selected).
DetectorType detectorOf(int item) {
    return static_cast<DetectorType>(item + 1);
}

// The list item of a detector.
int itemOf(DetectorType detector) {
    return static_cast<int>(detector) - 1;
}

BerChoice berOf(int item) {
    return item == static_cast<int>(BerChoice::Ber1E11) ? BerChoice::Ber1E11 : BerChoice::Ber1E9;
}

} // namespace

TFormTAVO::TFormTAVO(ui::Platform& platform, QWidget* parent)
    : CalculatorForm(platform, tavo::calculator(), parent),
      m_ui(std::make_unique<Ui::TFormTAVO>()) {
    m_ui->setupUi(this);

    m_lineCodes = new ui::ChoiceList(m_ui->ComboBox2);
    m_detectors = new ui::ChoiceList(m_ui->ComboBox3);
    m_bers = new ui::ChoiceList(m_ui->ComboBox1);

    const auto& g = guard();
    // "A&juda" runs the OK action too.
    connect(m_ui->BitBtn3, &QPushButton::clicked, this,
            g.slot<CalculatorForm>(this, &TFormTAVO::BitBtn1Click));
    connect(m_ui->Button2, &QPushButton::clicked, this, g.slot(this, &TFormTAVO::Button2Click));
    connect(m_detectors, &ui::ChoiceList::userChanged, this,
            g.slot(this, &TFormTAVO::ComboBox3Change));
    connect(m_bers, &ui::ChoiceList::userChanged, this, g.slot(this, &TFormTAVO::ComboBox1Change));
    connect(m_ui->Edit9, &QLineEdit::textEdited, this, g.slot(this, &TFormTAVO::Edit9KeyPress));

    finishSetUp({QSize(662, 498),
                 {QStringLiteral("Edit15"), QStringLiteral("Edit16"), QStringLiteral("Edit17"),
                  QStringLiteral("Edit18")},
                 QStringLiteral(" "), true});
    DialogFibra = static_cast<TDialogFibra*>(fibreDialog());
}

TFormTAVO::~TFormTAVO() = default;

std::unique_ptr<ui::CalculatorForm> createForm(ui::Platform& platform) {
    return std::make_unique<TFormTAVO>(platform);
}

ui::TFormFibraDlg* TFormTAVO::createFibreDialog() {
    return new TDialogFibra(this);
}

void TFormTAVO::FormCreate() {
    m_detectors->select(0);
    m_bers->select(0);
    m_lineCodes->select(0);
    CalculatorForm::FormCreate();
}

void TFormTAVO::Button2Click() {
    showFibreDialog();
    m_ui->RadioButton9->setChecked(true);
}

double TFormTAVO::convertBitRate() const {
    return convertField(m_ui->Edit6->text().toStdString(), "bitRate");
}

void TFormTAVO::writeSensitivity(double sensitivity) {
    m_ui->Edit9->setText(QString::fromStdString(formatResult(sensitivity)));
}

void TFormTAVO::ComboBox3Change() {
    const DetectorType detector = detectorOf(m_detectors->selectedIndex());
    if (detector != lowErrorRateDetector) {
        m_bers->select(static_cast<int>(BerChoice::Ber1E9));
    }
    applyDispersionRows();
    const double bitRate = convertBitRate();
    writeSensitivity(detectorSensitivity(berOf(m_bers->selectedIndex()), detector, bitRate));
}

void TFormTAVO::ComboBox1Change() {
    if (berOf(m_bers->selectedIndex()) == BerChoice::Ber1E11) {
        m_detectors->select(itemOf(lowErrorRateDetector)); // the low error rate needs it
        writeSensitivity(
            detectorSensitivity(BerChoice::Ber1E11, lowErrorRateDetector, convertBitRate()));
    }
    const BerChoice ber = berOf(m_bers->selectedIndex());
    writeSensitivity(
        detectorSensitivity(ber, detectorOf(m_detectors->selectedIndex()), convertBitRate()));
}

void TFormTAVO::Edit9KeyPress() {
    // A sensitivity typed by hand replaces the photodetector's curve.
    m_detectors->select(-1);
}

void TFormTAVO::applyDispersionRows() {
    const Photodetector* detector = photodetector(detectorOf(m_detectors->selectedIndex()));
    const bool at1300 = detector != nullptr && detector->dispersionAt1300;
    for (QWidget* row :
         {static_cast<QWidget*>(m_ui->Label13), static_cast<QWidget*>(m_ui->Edit8),
          static_cast<QWidget*>(m_ui->Label22), static_cast<QWidget*>(m_ui->Edit22)}) {
        row->setVisible(at1300);
    }
    m_ui->Label25->setVisible(!at1300);
    m_ui->Edit21->setVisible(!at1300);
}

} // namespace vantero::tavo
