#pragma once

#include "common/calculator/calculator.h"
#include "common/ui/guard.h"
#include "common/ui/projectfiles.h"

#include <QMainWindow>
#include <QSize>
#include <QString>
#include <QStringList>

#include <memory>
#include <type_traits>

namespace vantero::ui {

class Platform;
class TFormFibraDlg;

// What the three calculators' main windows share. A calculator's figures
// stand on four pages, its numeric fields and choices named by its
// description; OK (BitBtn1, or Enter in any field) runs its calculation on the
// window's figures and writes the results in their order; the abort button
// (BitBtn2) ends the program; the menu and the toolbar keep the figures in a
// project file; the menu's last entry writes the design report; the
// multimode fibre dialog holds the normalised bandwidth.
// Every handler runs under one guard, which shows a failure in the
// application's error box.
//
// A program's window derives from it: it builds its components from its
// window definition, wires its own handlers, then calls finishSetUp.
class CalculatorForm : public QMainWindow {
    Q_OBJECT

public:
    ~CalculatorForm() override;

    // The full path of the current project file; empty until one is saved or
    // opened.
    QString ProjectFileName;

    const Calculator& calculator() const { return m_calculator; }
    // The multimode fibre dialog, created hidden with the window.
    TFormFibraDlg* fibreDialog() const { return m_fibreDialog; }

    // The window's figures as they stand: every numeric field's text (the
    // normalised bandwidth from the dialog's entry field) and the value of
    // every choice as its selection gives it.
    std::unique_ptr<Session> windowSession() const;

public slots:
    // Resets the project-file state: there is no current file name.
    virtual void FormCreate();
    // The OK action: shows the comparison group, turns the abort button into
    // "&Sair", blanks the result fields and writes the run's outputs in their
    // order, the failure that ended it last. A window that converts its
    // leading inputs before it blanks the results (Shape) stops there on a
    // field that overflows as on any other, and leaves the results; one that
    // blanks first meets the overflow in the run, after the blanking. A field
    // that is not a number at all changes no result in either: a run that
    // ends on one writes nothing.
    void BitBtn1Click();
    void BitBtn2Click();
    void Abrir1Click();
    void Salvar1Click();
    void SalvarComo1Click();
    // "Relatório de projeto (PDF)...": the OK action first (a field that is
    // not a number ends it there, with nothing written; a fault is shown as
    // OK shows it, and the report holds the results up to it), then the name
    // of a PDF file, and the design report of the window's figures written
    // to it, the same as `vantero NAME --report` writes for them.
    void RelatorioDeProjeto1Click();

protected:
    // How a program's window differs from the others.
    struct Shape {
        QSize clientArea;
        // The result fields OK blanks before a run, and the text it blanks
        // them with.
        QStringList blankedResults;
        QString blankText;
        // Whether OK converts the inputs every run converts before it blanks
        // the results, or blanks them first.
        bool convertsBeforeBlanking = false;
    };

    CalculatorForm(Platform& platform, const Calculator& calculator, QWidget* parent);

    // Once the components exist and the program's own handlers are wired:
    // the frame, icon and pictures, the design report's entry after
    // "Imprimir..." in the file menu, the shared handlers, the keyboard, the
    // names for assistive technology, FormCreate, the focus in the first
    // field of the page shown, then the multimode fibre dialog (hidden), and
    // the window centred on its screen.
    void finishSetUp(const Shape& shape);

    // The dialog the program uses; the shared one unless it has its own.
    virtual TFormFibraDlg* createFibreDialog();

    // A component of the window (not of the dialog) by its name.
    template <typename Widget> Widget* component(const char* name) const {
        return componentNamed<Widget>(QString::fromLatin1(name));
    }
    template <typename Widget> Widget* componentNamed(const QString& name) const;

    void showFibreDialog();

    Platform& platform() const { return m_platform; }
    const HandlerGuard& guard() const { return m_guard; }

private:
    // A run on the window's figures, and what it gave.
    struct Calculation {
        std::unique_ptr<Session> session;
        RunReport report;
    };

    QWidget* inputField(std::string_view input) const;
    // What OK does, up to showing the failure that ended the run.
    Calculation calculate();

    Platform& m_platform;
    const Calculator& m_calculator;
    HandlerGuard m_guard;
    ProjectFiles m_files;
    Shape m_shape;
    TFormFibraDlg* m_fibreDialog = nullptr;
};

template <typename Widget> Widget* CalculatorForm::componentNamed(const QString& name) const {
    // Widgets stand in the central widget (the dialog has fields of the same
    // names); the menu's actions belong to the window itself.
    Widget* found = nullptr;
    if constexpr (std::is_base_of_v<QWidget, Widget>) {
        found = centralWidget()->findChild<Widget*>(name);
    } else {
        found = findChild<Widget*>(name, Qt::FindDirectChildrenOnly);
    }
    Q_ASSERT_X(found != nullptr, "CalculatorForm", qPrintable(name));
    return found;
}

} // namespace vantero::ui
