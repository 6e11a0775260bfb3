#pragma once

#include "common/ui/guard.h"
#include "common/ui/projectfiles.h"

#include <QMainWindow>
#include <QString>

#include <memory>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QToolButton;

namespace Ui {
class TFormTAVO;
}

namespace vantero::ui {
class ChoiceList;
class Platform;
} // namespace vantero::ui

namespace vantero::tavo {

class TDialogFibra;
struct PointLinkInput;

// The point-to-point program's main window: the link's figures on four
// pages, OK to run the budget, the results on the panel at the right, the
// project file behind the menu and the toolbar.
class TFormTAVO final : public QMainWindow {
    Q_OBJECT

public:
    explicit TFormTAVO(ui::Platform& platform, QWidget* parent = nullptr);
    ~TFormTAVO() override;

    TDialogFibra* DialogFibra;
    // The full path of the current project file; empty until one is saved or
    // opened.
    QString ProjectFileName;

    // The input record from the window as it stands.
    PointLinkInput currentInput() const;

public slots:
    void FormCreate();
    void BitBtn1Click();
    void BitBtn2Click();
    void Button2Click();
    void ComboBox3Change();
    void ComboBox1Change();
    void Edit9KeyPress();
    void Abrir1Click();
    void Salvar1Click();
    void SalvarComo1Click();

private:
    // Shows the zero-dispersion rows for the 1300 nm photodetector, the
    // chromatic-dispersion row for any other state.
    void applyDispersionRows();
    double convertBitRate() const;
    void writeSensitivity(double sensitivity);

    std::unique_ptr<Ui::TFormTAVO> m_ui;
    ui::Platform& m_platform;
    ui::HandlerGuard m_guard;
    ui::ProjectFiles m_files;
    ui::ChoiceList* m_lineCodes;
    ui::ChoiceList* m_detectors;
    ui::ChoiceList* m_bers;
};

} // namespace vantero::tavo
