#pragma once

#include "common/choices.h"
#include "common/fields.h"
#include "common/projectfile.h"
#include "common/ui/choicelist.h"
#include "common/ui/formfibradlg.h"
#include "common/ui/guard.h"
#include "common/ui/projectfiles.h"
#include "common/ui/results.h"

#include <QMainWindow>
#include <QSize>
#include <QString>

#include <span>
#include <string_view>

class QGroupBox;
class QLineEdit;
class QPushButton;

namespace vantero::ui {

class Platform;

// What the passive star and the ring main windows share. The network's
// figures stand on four pages, with the line code (RadioGroup2), the block
// code (RadioGroup3) and the fibre type (RadioGroup1) as radio groups; OK
// (BitBtn1) runs the program's budget, which writes the two distances
// (Edit15, Edit16) and the verdict (GroupBox1) on the panel at the right;
// "..." (Button1) shows the multimode fibre dialog while "Fibra Multimodo" is
// selected; the menu and the toolbar keep the figures in a project file.
//
// A program's window derives from it, builds its components from its window
// definition, calls finishSetUp and runs its own calculation in calculate().
class NetworkForm : public QMainWindow {
    Q_OBJECT

public:
    ~NetworkForm() override;

    // The multimode fibre dialog. The program creates it, hidden, once the
    // window exists, and hands it over with useFibreDialog before the event
    // loop runs.
    TFormFibraDlg* FormFibraDlg = nullptr;
    // The full path of the current project file; empty until one is saved or
    // opened.
    QString ProjectFileName;

    void useFibreDialog(TFormFibraDlg* dialog);

public slots:
    void FormCreate();
    void BitBtn1Click();
    void BitBtn2Click();
    void RadioGroup1Click();
    void Button1Click();
    void Abrir1Click();
    void Salvar1Click();
    void SalvarComo1Click();

protected:
    // `inputs` is the calculation's table of numeric inputs: it tells the
    // handler guard which field to focus when a text is not a number.
    template <typename Input>
    NetworkForm(Platform& platform, const ProjectLayout& layout,
                std::span<const InputField<Input>> inputs, QWidget* parent)
        : QMainWindow(parent), m_platform(platform),
          m_guard(platform, this,
                  [this, inputs](std::string_view input) {
                      return inputField<Input>(centralWidget(), fibreField(), inputs, input);
                  }),
          m_files(this, platform, layout, ProjectFileName) {}

    // Once the components exist: the frame and pictures, the handlers, the
    // keyboard, the names for assistive technology, then FormCreate.
    void finishSetUp(QSize clientArea);

    // The input record from the window as it stands: the numeric fields'
    // texts (the normalised bandwidth from the dialog's entry field) and the
    // three choices.
    template <typename Input> Input windowInput(std::span<const InputField<Input>> inputs) const {
        Input input;
        readInputs<Input>(centralWidget(), fibreField(), input, inputs);
        input.lineCode = static_cast<LineCode>(checkedItem(m_lineCodes));
        input.blockCode = static_cast<BlockCode>(checkedItem(m_blockCodes));
        input.fibreType = static_cast<FibreType>(checkedItem(m_fibreTypes));
        return input;
    }

    // Runs the program's budget on the window's input and writes its outputs
    // in their order.
    virtual void calculate() = 0;

    Platform& platform() const { return m_platform; }

private:
    QLineEdit* fibreField() const;
    template <typename Widget> Widget* component(const char* name) const;

    Platform& m_platform;
    HandlerGuard m_guard;
    ProjectFiles m_files;
    QGroupBox* m_lineCodes = nullptr;
    QGroupBox* m_blockCodes = nullptr;
    QGroupBox* m_fibreTypes = nullptr;
    QGroupBox* m_comparison = nullptr;
    QLineEdit* m_powerDistance = nullptr;
    QLineEdit* m_riseTimeDistance = nullptr;
    QPushButton* m_abort = nullptr;
    QPushButton* m_fibreDialogButton = nullptr;
};

} // namespace vantero::ui
