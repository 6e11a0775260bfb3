#pragma once

// The window tests that the three calculators share, typed over the program.
// A program's test file describes its window in a `Program` struct (its form,
// its description, the geometry and texts its window definition fixes, and
// the figures its defaults give) and instantiates the suite with it:
//   INSTANTIATE_TYPED_TEST_SUITE_P(Tavo, CalculatorWindow, PointProgram);

#include "common/calculator/calculator.h"
#include "common/ui/calculatorform.h"
#include "common/ui/choicelist.h"
#include "common/ui/formfibradlg.h"
#include "common/ui/testing/recordingplatform.h"
#include "common/ui/testing/typing.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace vantero::ui::testing {

// A component's expected text.
using Texts = std::vector<std::pair<const char*, QString>>;

// A program's main window with its multimode fibre dialog, created as the
// program creates them, its boxes recorded.
template <typename Program> struct CalculatorProgram {
    RecordingPlatform platform;
    typename Program::Form form{platform};
    TFormFibraDlg& dialog = *form.fibreDialog();

    static const Calculator& calculator() { return Program::calculator(); }

    template <typename W = QWidget> W* find(const QString& name) const {
        // The main window's own components: the dialog has an Edit1 too.
        W* widget = form.centralWidget()->template findChild<W*>(name);
        EXPECT_NE(widget, nullptr) << name.toStdString();
        return widget;
    }
    QLineEdit* edit(const QString& name) const { return find<QLineEdit>(name); }
    QString text(const QString& name) const {
        if (auto* label = form.centralWidget()->template findChild<QLabel*>(name)) {
            return label->text();
        }
        return edit(name)->text();
    }
    // The components' texts that differ from those expected, as "name: text".
    QStringList differences(const Texts& expected) const {
        QStringList found;
        for (const auto& [name, wanted] : expected) {
            if (text(name) != wanted) {
                found << QString::fromLatin1(name) + ": \"" + text(name) + "\", not \"" + wanted +
                             "\"";
            }
        }
        return found;
    }
    QRadioButton* item(const char* group, int index) const {
        return find<QRadioButton>(QString::fromLatin1(group) + "Item" + QString::number(index));
    }
    // The index of a radio group's checked item, -1 for none.
    int checked(const char* group) const { return checkedItem(find<QGroupBox>(group)); }
    const ChoiceDescription& choice(std::string_view name) const {
        return calculator().choices()[*calculator().findChoice(name)];
    }
    int selected(std::string_view choiceName) const {
        return selectedItem(form.centralWidget(), choice(choiceName));
    }
    // Selects an item of a choice from program code: no list action runs.
    void select(const ChoiceDescription& c, int item) const {
        QWidget* first = find(QString::fromUtf8(c.components[0]));
        if (c.isButtonPair()) {
            checkRadio(qobject_cast<QRadioButton*>(first),
                       find<QRadioButton>(QString::fromUtf8(c.components[1])), item);
        } else if (auto* list = qobject_cast<QComboBox*>(first)) {
            const QSignalBlocker blocker(list);
            list->setCurrentIndex(item);
        } else {
            groupButtons(qobject_cast<QGroupBox*>(first)).at(item)->setChecked(true);
        }
    }
    // The widget of a choice that takes the keyboard: a list's edit box or
    // the first button.
    QWidget* keyboardOf(const ChoiceDescription& c) const {
        QWidget* first = find(QString::fromUtf8(c.components[0]));
        if (auto* list = qobject_cast<QComboBox*>(first)) {
            return list->lineEdit();
        }
        if (auto* group = qobject_cast<QGroupBox*>(first)) {
            return groupButtons(group).at(0);
        }
        return first;
    }
    // The name assistive technology reads.
    static QString nameOf(QWidget* widget) {
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
        return accessible != nullptr ? accessible->text(QAccessible::Name) : QString();
    }
    void retype(QLineEdit* field, const QString& typed) const {
        field->setFocus();
        field->selectAll();
        typeText(field, typed);
    }
    void clickOk() const { QTest::mouseClick(find<QPushButton>("BitBtn1"), Qt::LeftButton); }
    void clickFibreButton() const {
        QTest::mouseClick(find<QPushButton>(Program::fibreButton), Qt::LeftButton);
    }
};

template <typename Program> struct CalculatorWindow : ::testing::Test, CalculatorProgram<Program> {
    QTemporaryDir folder;

    void SetUp() override {
        this->form.show();
        this->form.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&this->form));
    }

    QString path(const QString& name) const { return folder.filePath(name); }
    QString extension() const {
        return QString::fromUtf8(this->calculator().layout().extension.substr(1));
    }
    void saveAs(const QString& answer) {
        this->platform.saveAnswers << answer;
        this->form.template findChild<QAction*>("SalvarComo1")->trigger();
    }
    void open(const QString& answer) {
        this->platform.openAnswers << answer;
        QTest::mouseClick(this->template find<QToolButton>("SpeedButton1"), Qt::LeftButton);
    }
    QByteArray bytes(const QString& file) const {
        QFile f(file);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << file.toStdString();
        return f.readAll();
    }
    QString boxes() const { return this->platform.boxes.join("; "); }
    // The rise-time distance the program's budget gives for multimode fibre
    // with the other figures at their defaults.
    static QString multimodeRiseTime(const char* normalizedBandwidth) {
        const Calculator& calculator = Program::calculator();
        const auto session = calculator.newSession();
        session->setChoice(*calculator.findChoice("fibreType"),
                           static_cast<int>(FibreType::Multimode));
        session->setText(*calculator.findInput("normalizedBandwidth"), normalizedBandwidth);
        for (const RunOutput& output : session->run().outputs) {
            if (output.name == "riseTimeDistance") {
                return QString::fromStdString(output.output.text());
            }
        }
        return {};
    }
};

TYPED_TEST_SUITE_P(CalculatorWindow);

TYPED_TEST_P(CalculatorWindow, startState) {
    using P = TypeParam;
    const auto& form = this->form;
    EXPECT_EQ(form.objectName(), P::formName);
    EXPECT_EQ(form.windowTitle().toStdString(), P::calculator().caption());
    EXPECT_EQ(form.centralWidget()->size(), P::clientArea);
    EXPECT_EQ(form.minimumSize(), form.maximumSize()); // fixed size

    auto* notebook = this->template find<QTabWidget>("TabbedNotebook1");
    EXPECT_EQ(notebook->geometry(), P::notebookGeometry);
    QStringList pages;
    for (int i = 0; i < notebook->count(); ++i) {
        pages << notebook->tabText(i);
    }
    EXPECT_EQ(pages, (QStringList{"Sistema", "Transmissor", "Receptor", "Fibra"}));
    EXPECT_EQ(notebook->currentIndex(), P::startPage);
    EXPECT_EQ(this->find("Panel1")->geometry(), P::panelGeometry);
    int x = 20;
    for (const char* button : {"BitBtn1", "BitBtn2", "BitBtn3"}) {
        EXPECT_EQ(this->find(button)->geometry(), QRect(x, P::buttonsY, 85, 28)) << button;
        x += 145;
    }

    for (const char* result : P::resultFields) {
        EXPECT_EQ(this->text(result), "") << result;
        EXPECT_TRUE(this->edit(result)->isReadOnly()) << result;
        EXPECT_EQ(this->edit(result)->focusPolicy(), Qt::NoFocus) << result;
    }
    auto* comparison = this->template find<QGroupBox>("GroupBox1");
    EXPECT_FALSE(comparison->isVisible());
    EXPECT_EQ(comparison->title(), P::comparisonTitle);
    EXPECT_EQ(this->text(P::maximumField), "");
    EXPECT_EQ(this->edit(P::maximumField)->width(), 220);
    EXPECT_EQ(static_cast<bool>(this->edit(P::maximumField)->focusPolicy() & Qt::TabFocus),
              P::maximumFieldIsTabStop);
    EXPECT_EQ(this->text(P::distanceCaption), "Distância máxima em termos de potência (km)");
    EXPECT_EQ(this->text("Label8"), "O sistema é limitado por atenuação.");

    // Every choice shows the item of its initial value.
    for (const ChoiceDescription& choice : P::calculator().choices()) {
        EXPECT_EQ(this->selected(choice.name), choice.itemOfValue(choice.initial)) << choice.name;
    }
    EXPECT_EQ(this->find(P::fibreButton)->isEnabled(), P::fibreButtonEnabledAtStart);
    EXPECT_EQ(this->template find<QPushButton>("BitBtn1")->text(), P::okCaption);
    EXPECT_EQ(this->template find<QPushButton>("BitBtn2")->text(), "&Cancelar");
    EXPECT_EQ(this->template find<QPushButton>("BitBtn3")->text(), "A&juda");
    EXPECT_FALSE(this->dialog.isVisible());
    EXPECT_EQ(this->dialog.Label1->text(), "Banda óptica normalizada na fibra (MHz.km)");
    EXPECT_TRUE(form.ProjectFileName.isEmpty());
}

TYPED_TEST_P(CalculatorWindow, theWindowDefinitionAgreesWithTheDescription) {
    // Each input of the description stands in its field, on its page, with
    // the initial text, beside a label that is its buddy and reads as the
    // description says (a label on two lines reads as one); each choice has
    // its items, in its group, on its page.
    using P = TypeParam;
    auto* notebook = this->template find<QTabWidget>("TabbedNotebook1");
    const auto pageOf = [&](QWidget* widget) {
        for (int i = 0; i < notebook->count(); ++i) {
            if (notebook->widget(i)->isAncestorOf(widget)) {
                return notebook->tabText(i).toStdString();
            }
        }
        return std::string();
    };
    const auto labels = this->form.centralWidget()->template findChildren<QLabel*>();
    for (const InputDescription& input : P::calculator().inputs()) {
        const std::string name(input.name);
        if (input.heldByDialog()) {
            EXPECT_EQ(this->dialog.Edit1->text().toStdString(), input.initialText) << name;
            EXPECT_EQ(this->dialog.Label1->text().toStdString(), input.label) << name;
            continue;
        }
        QLineEdit* field = this->edit(QString::fromUtf8(input.component));
        EXPECT_EQ(field->text().toStdString(), input.initialText) << name;
        EXPECT_EQ(pageOf(field), pageTitle(input.page)) << name;
        const auto label = std::find_if(labels.begin(), labels.end(),
                                        [&](QLabel* l) { return l->buddy() == field; });
        ASSERT_NE(label, labels.end()) << name << " has no label";
        EXPECT_EQ((*label)->text().replace('\n', ' ').toStdString(), input.label) << name;
    }
    for (const ChoiceDescription& choice : P::calculator().choices()) {
        const std::string name(choice.name);
        QWidget* first = this->find(QString::fromUtf8(choice.components[0]));
        EXPECT_EQ(pageOf(first), pageTitle(choice.page)) << name;
        QStringList items;
        QString caption;
        if (choice.isButtonPair()) {
            items << qobject_cast<QRadioButton*>(first)->text()
                  << this->template find<QRadioButton>(QString::fromUtf8(choice.components[1]))
                         ->text();
            caption = qobject_cast<QGroupBox*>(first->parentWidget())->title();
        } else if (auto* list = qobject_cast<QComboBox*>(first)) {
            for (int i = 0; i < list->count(); ++i) {
                items << list->itemText(i);
            }
            caption = qobject_cast<QGroupBox*>(list->parentWidget())->title();
        } else {
            for (QRadioButton* button : groupButtons(qobject_cast<QGroupBox*>(first))) {
                items << button->text();
            }
            caption = qobject_cast<QGroupBox*>(first)->title();
        }
        QStringList described;
        for (std::string_view item : choice.items) {
            described << QString::fromUtf8(item);
        }
        EXPECT_EQ(items, described) << name;
        EXPECT_EQ(caption.toStdString(), choice.caption) << name;
    }
}

TYPED_TEST_P(CalculatorWindow, okWithTheDefaultsWritesTheWorkedExample) {
    using P = TypeParam;
    this->clickOk();
    EXPECT_TRUE(this->platform.boxes.isEmpty()) << this->boxes().toStdString();
    EXPECT_EQ(this->differences(P::defaultResults()), QStringList());
    EXPECT_TRUE(this->find("GroupBox1")->isVisible());
    EXPECT_EQ(this->template find<QPushButton>("BitBtn2")->text(), "&Sair");
    // The verdict's caption names the distance field for assistive technology.
    EXPECT_EQ(this->nameOf(this->edit(P::maximumField)), this->text(P::distanceCaption));
}

TYPED_TEST_P(CalculatorWindow, aFailedRiseTimeBudgetShowsItsMessageThenNoLengthOfFibre) {
    // State: an earlier run filled every result; then a change whose
    // rise-time budget cannot be met.
    using P = TypeParam;
    this->clickOk();
    const QString power = this->text("Edit15");
    const QString verdict = this->text("Label8");
    const QString maximum = this->text(P::maximumField);
    P::exceedRiseTimeBudget(*this);
    QStringList atMessage;
    this->platform.whileBoxIsUp = [&](const QString&) {
        atMessage = {this->find("GroupBox1")->isVisible() ? "shown" : "hidden",
                     this->template find<QPushButton>("BitBtn2")->text(),
                     this->text("Edit15"),
                     this->text("Edit16"),
                     this->text("Label8"),
                     this->text(P::maximumField)};
    };
    this->clickOk();
    EXPECT_EQ(this->platform.boxes, QStringList{"error: " + QString::fromUtf8(P::riseTimeMessage)});
    // While the box was up: the power distance written, the rise-time
    // distance blank, the verdict still the earlier run's.
    EXPECT_EQ(atMessage, (QStringList{"shown", "&Sair", power, P::blankText, verdict, maximum}));
    EXPECT_EQ(this->text("Edit15"), power);
    EXPECT_EQ(this->text("Edit16"), P::blankText);
    EXPECT_EQ(this->text(P::distanceCaption).toStdString(), P::texts().dispersionCaption);
    EXPECT_EQ(this->text("Label8").toStdString(), P::texts().dispersionVerdict);
    EXPECT_EQ(this->text(P::maximumField), "0.00000");
}

TYPED_TEST_P(CalculatorWindow, aFaultEndsTheRunWithTheEarlierStepsShown) {
    using P = TypeParam;
    P::causeFault(*this);
    this->clickOk();
    EXPECT_EQ(this->platform.boxes, QStringList{"failure: Floating point division by zero."});
    EXPECT_EQ(this->differences(P::afterFault()), QStringList());
    // The group and "&Sair" came before the fault; the verdict is the
    // design's, with no distance.
    EXPECT_TRUE(this->find("GroupBox1")->isVisible());
    EXPECT_EQ(this->template find<QPushButton>("BitBtn2")->text(), "&Sair");
    EXPECT_EQ(this->text("Label8"), "O sistema é limitado por atenuação.");
    EXPECT_EQ(this->text(P::maximumField), "");
}

TYPED_TEST_P(CalculatorWindow, aBadNumberIsReportedAndItsFieldShownWithTheFocus) {
    // State: the results of a run; the notebook shows another page than the
    // one of the field; the dialog, with an Edit1 of its own, is open.
    using P = TypeParam;
    this->clickOk();
    auto* notebook = this->template find<QTabWidget>("TabbedNotebook1");
    QLineEdit* field = this->edit(P::badNumberField); // not on the first page shown
    this->retype(field, "1,5");
    this->select(this->choice("fibreType"), static_cast<int>(FibreType::Multimode));
    this->clickFibreButton();
    this->form.activateWindow();
    notebook->setCurrentIndex(P::startPage);
    this->clickOk();
    EXPECT_EQ(this->platform.boxes, QStringList{"failure: \"1,5\" não é um número válido."});
    EXPECT_TRUE(notebook->currentWidget()->isAncestorOf(field));
    EXPECT_TRUE(field->isVisible());
    EXPECT_EQ(QApplication::focusWidget(), field);
    EXPECT_EQ(field->selectedText(), "1,5");
    // Every result as it was.
    EXPECT_EQ(this->differences(P::defaultResults()), QStringList());
}

TYPED_TEST_P(CalculatorWindow, aFieldBeyondADoubleOverflowsWhereTheWindowConvertsIt) {
    // State: the results of a run. Action: a field beyond a double (1e400),
    // then OK. Expected: the overflow's box, and the results as they were in
    // a window that converts its fields before it blanks the results; in one
    // that blanks them first, blanked as a fault at the conversion leaves
    // them, the rest as it was.
    using P = TypeParam;
    this->clickOk();
    this->retype(this->edit(P::badNumberField), "1e400");
    this->clickOk();
    EXPECT_EQ(this->platform.boxes, QStringList{"failure: Floating point overflow."});
    Texts expected = P::defaultResults();
    if (!P::convertsBeforeBlanking) {
        for (auto& [name, text] : expected) {
            for (const auto& [blanked, blank] : P::afterFault()) {
                if (std::string_view(name) == blanked) {
                    text = blank;
                }
            }
        }
    }
    EXPECT_EQ(this->differences(expected), QStringList());
}

TYPED_TEST_P(CalculatorWindow, aBadNumberInTheDialogFocusesTheDialog) {
    // The dialog's field is converted on the path of multimode fibre only,
    // late in the run: still, no result changes.
    this->clickOk();
    this->select(this->choice("fibreType"), static_cast<int>(FibreType::Multimode));
    this->clickFibreButton();
    this->retype(this->dialog.Edit1, "1OO");
    this->clickOk();
    EXPECT_EQ(this->platform.boxes, QStringList{"failure: \"1OO\" não é um número válido."});
    EXPECT_TRUE(this->dialog.isVisible());
    EXPECT_EQ(this->dialog.focusWidget(), this->dialog.Edit1);
    EXPECT_EQ(this->dialog.Edit1->selectedText(), "1OO");
    EXPECT_EQ(this->differences(TypeParam::defaultResults()), QStringList());
}

TYPED_TEST_P(CalculatorWindow, theDialogsOkCancelAndTypedValue) {
    using P = TypeParam;
    auto& dialog = this->dialog;
    P::selectMultimode(*this);

    this->clickFibreButton();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_FALSE(dialog.isModal());
    this->retype(dialog.Edit1, "250");
    QTest::mouseClick(dialog.CancelBtn, Qt::LeftButton);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.Edit1->text(), "100");
    this->clickOk();
    EXPECT_EQ(this->text("Edit16"), this->multimodeRiseTime("100"));

    this->clickFibreButton();
    this->retype(dialog.Edit1, "250");
    QTest::mouseClick(dialog.OKBtn, Qt::LeftButton);
    EXPECT_EQ(dialog.Edit2->text(), "250");
    this->clickOk();
    EXPECT_EQ(this->text("Edit16"), this->multimodeRiseTime("250"));

    // Typed, not confirmed, the dialog still open: the value counts.
    this->clickFibreButton();
    this->retype(dialog.Edit1, "300");
    this->clickOk();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(this->text("Edit16"), this->multimodeRiseTime("300"));
    EXPECT_NE(this->multimodeRiseTime("300"), this->multimodeRiseTime("250"));
    EXPECT_TRUE(this->platform.boxes.isEmpty()) << this->boxes().toStdString();
}

TYPED_TEST_P(CalculatorWindow, singleModeFibreLeavesTheDialogOpenAndUnread) {
    using P = TypeParam;
    P::selectMultimode(*this);
    this->clickFibreButton();
    this->select(this->choice("fibreType"), static_cast<int>(FibreType::SingleMode));
    EXPECT_TRUE(this->dialog.isVisible());
    // Single-mode fibre does not read the dialog, whatever it holds.
    this->dialog.Edit1->setText("0");
    this->clickOk();
    EXPECT_TRUE(this->platform.boxes.isEmpty()) << this->boxes().toStdString();
    EXPECT_EQ(this->differences(P::defaultResults()), QStringList());
}

TYPED_TEST_P(CalculatorWindow, enterInAnyFieldOrChoiceRunsOkAndEscDoesNothing) {
    using P = TypeParam;
    const QString power = [&] {
        this->clickOk();
        return this->text("Edit15");
    }();
    for (const InputDescription& input : P::calculator().inputs()) {
        if (input.heldByDialog()) {
            continue;
        }
        this->edit("Edit15")->clear();
        QTest::keyClick(this->edit(QString::fromUtf8(input.component)), Qt::Key_Return);
        EXPECT_EQ(this->text("Edit15"), power) << input.name;
    }
    for (const ChoiceDescription& choice : P::calculator().choices()) {
        auto* list = this->form.centralWidget()->template findChild<QComboBox*>(
            QString::fromUtf8(choice.components[0]));
        const int items = list != nullptr ? list->count() : 0;
        this->edit("Edit15")->clear();
        QTest::keyClick(this->keyboardOf(choice), Qt::Key_Enter);
        EXPECT_EQ(this->text("Edit15"), power) << choice.name;
        if (list != nullptr) {
            EXPECT_EQ(list->count(), items) << choice.name; // Enter adds no item
        }
    }

    this->edit("Edit15")->clear();
    const InputDescription& first = P::calculator().inputs()[0];
    QTest::keyClick(this->edit(QString::fromUtf8(first.component)), Qt::Key_Escape);
    QTest::keyClick(this->keyboardOf(P::calculator().choices()[0]), Qt::Key_Escape);
    EXPECT_EQ(this->text("Edit15"), "");
    EXPECT_TRUE(this->form.isVisible());
    EXPECT_EQ(this->platform.endRequests, 0);
    EXPECT_TRUE(this->platform.boxes.isEmpty()) << this->boxes().toStdString();
}

TYPED_TEST_P(CalculatorWindow, theAbortButtonEndsTheProgramBeforeAndAfterOk) {
    QTest::mouseClick(this->template find<QPushButton>("BitBtn2"), Qt::LeftButton);
    EXPECT_EQ(this->platform.endRequests, 1);
    this->clickOk();
    QTest::mouseClick(this->template find<QPushButton>("BitBtn2"), Qt::LeftButton);
    EXPECT_EQ(this->platform.endRequests, 2);
    EXPECT_TRUE(this->platform.boxes.isEmpty()) << this->boxes().toStdString();
}

TYPED_TEST_P(CalculatorWindow, theFileMenuInOrderAndPrintDoesNothing) {
    using P = TypeParam;
    auto* menu = this->form.template findChild<QMenu*>("Arquivo1");
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->title(), "&Arquivo");
    QStringList entries;
    for (const QAction* action : menu->actions()) {
        entries << (action->isSeparator() ? QStringLiteral("-") : action->text());
    }
    EXPECT_EQ(entries, (QStringList{"Abrir...", "Salvar...", "Salvar Como...", "-", P::printCaption,
                                    "-", "Relatório de projeto (PDF)..."}));

    this->form.template findChild<QAction*>("Imprimir1")->trigger();
    QTest::mouseClick(this->template find<QToolButton>("SpeedButton3"), Qt::LeftButton);
    EXPECT_TRUE(this->platform.boxes.isEmpty()) << this->boxes().toStdString();
    EXPECT_EQ(this->platform.openDialogs + this->platform.saveDialogs, 0);
    EXPECT_EQ(this->platform.endRequests, 0);
    EXPECT_FALSE(this->find("GroupBox1")->isVisible()); // no calculation ran
}

TYPED_TEST_P(CalculatorWindow, saveAsThenOpenRestoresEveryFieldAndChoice) {
    // State: every numeric field and every choice changed; the dialog holds a
    // value of its own, which the file does not keep.
    using P = TypeParam;
    const Calculator& calculator = P::calculator();
    QStringList fields;
    for (const ProjectRecord& record : calculator.layout().records) {
        if (record.kind == RecordKind::Number) {
            fields << QString::fromUtf8(
                calculator.inputs()[*calculator.findInput(record.input)].component);
        }
    }
    for (int i = 0; i < fields.size(); ++i) {
        this->retype(this->edit(fields[i]), QString::number(i + 1) + ".2346");
    }
    std::vector<int> changed;
    for (const ChoiceDescription& choice : P::calculator().choices()) {
        // Another item than the initial one: the last, or the one before it.
        const int last = static_cast<int>(choice.items.size()) - 1;
        changed.push_back(this->selected(choice.name) == last ? last - 1 : last);
        this->select(choice, changed.back());
    }
    this->dialog.Edit1->setText("250");
    this->saveAs(this->path("net"));
    const QString saved = this->path("net." + this->extension());
    EXPECT_TRUE(this->platform.boxes.isEmpty()) << this->boxes().toStdString();
    EXPECT_EQ(this->form.ProjectFileName, saved);
    EXPECT_EQ(this->form.windowTitle(), "VANTERO [ " + saved + " ]");
    EXPECT_EQ(this->bytes(saved).size(),
              static_cast<qsizetype>(P::calculator().layout().byteCount()));

    // A fresh program opens it: numbers as three-decimal texts, every choice
    // selected; the dialog is not part of the file.
    CalculatorProgram<P> other;
    other.platform.openAnswers << saved;
    other.form.template findChild<QAction*>("Abrir1")->trigger();
    EXPECT_TRUE(other.platform.boxes.isEmpty()) << other.platform.boxes.join("; ").toStdString();
    for (int i = 0; i < fields.size(); ++i) {
        EXPECT_EQ(other.text(fields[i]), QString::number(i + 1) + ".235")
            << fields[i].toStdString();
    }
    for (std::size_t i = 0; i < changed.size(); ++i) {
        const ChoiceDescription& choice = P::calculator().choices()[i];
        EXPECT_EQ(other.selected(choice.name), changed[i]) << choice.name;
    }
    EXPECT_EQ(other.dialog.Edit1->text(), "100");
    EXPECT_EQ(other.form.ProjectFileName, saved);
    EXPECT_EQ(other.form.windowTitle(), "VANTERO [ " + saved + " ]");
    // The result fields are neither emptied nor computed.
    EXPECT_EQ(other.text("Edit15"), "");
    EXPECT_FALSE(other.find("GroupBox1")->isVisible());
}

TYPED_TEST_P(CalculatorWindow, saveKeepsAnExtensionInAnyCaseAndAppendsItOtherwise) {
    const QString upper = "x." + this->extension().toUpper();
    this->saveAs(this->path(upper));
    EXPECT_TRUE(QFile::exists(this->path(upper)));
    const QString doubled = "x." + this->extension() + ".bak";
    this->saveAs(this->path(doubled));
    EXPECT_TRUE(QFile::exists(this->path(doubled + "." + this->extension())));
    // "Salvar..." now writes to the current file without asking: the second
    // record is the margin of Edit4 in every layout.
    this->retype(this->edit("Edit4"), "7");
    QTest::mouseClick(this->template find<QToolButton>("SpeedButton2"), Qt::LeftButton);
    EXPECT_EQ(this->platform.saveDialogs, 2);
    EXPECT_EQ(this->bytes(this->path(doubled + "." + this->extension())).mid(6, 6),
              QByteArray::fromHex("83 00 00 00 00 60"));
    EXPECT_TRUE(this->platform.boxes.isEmpty()) << this->boxes().toStdString();
}

TYPED_TEST_P(CalculatorWindow, saveRightAfterStartAsksForANameAndCancelWritesNothing) {
    this->form.template findChild<QAction*>("Salvar1")->trigger();
    EXPECT_EQ(this->platform.saveDialogs, 1);
    EXPECT_TRUE(this->form.ProjectFileName.isEmpty());
    EXPECT_EQ(this->form.windowTitle().toStdString(), TypeParam::calculator().caption());
    EXPECT_TRUE(QDir(this->folder.path()).isEmpty());
}

TYPED_TEST_P(CalculatorWindow, aBadNumberStopsTheSaveAndLeavesTheFileAlone) {
    this->saveAs(this->path("net"));
    const QString saved = this->form.ProjectFileName;
    const QByteArray before = this->bytes(saved);
    this->retype(this->edit("Edit3"), "1,5");
    this->form.template findChild<QAction*>("Salvar1")->trigger();
    EXPECT_EQ(this->platform.boxes, QStringList{"failure: \"1,5\" não é um número válido."});
    EXPECT_TRUE(this->edit("Edit3")->hasFocus());
    EXPECT_EQ(this->bytes(saved), before);
    EXPECT_EQ(QDir(this->folder.path()).entryList(QDir::Files),
              QStringList{QFileInfo(saved).fileName()});
}

TYPED_TEST_P(CalculatorWindow, aFileOfAnotherKindIsRefused) {
    using P = TypeParam;
    this->saveAs(this->path("net"));
    const QString title = this->form.windowTitle();
    const QString name = this->form.ProjectFileName;
    QFile::copy(name, this->path(P::foreignName));
    this->retype(this->edit("Edit6"), "99");
    this->open(this->path(P::foreignName));
    EXPECT_EQ(this->platform.boxes, QStringList{"warning: O VANTERO não pode abrir este arquivo"});
    EXPECT_EQ(this->form.windowTitle(), title);
    EXPECT_EQ(this->form.ProjectFileName, name);
    EXPECT_EQ(this->text("Edit6"), "99");
}

TYPED_TEST_P(CalculatorWindow, saveAsRefusesAFolderADeviceOrNoName) {
    // State: a project saved under a name. Action: "Salvar Como..." answered
    // with a folder, or a device. Expected: each refused in the error box;
    // the name, the caption and the folder as they were.
    this->saveAs(this->path("net"));
    const QString name = this->form.ProjectFileName;
    QDir(this->folder.path()).mkdir("sub");
    const QString sub = this->path("sub");
    for (const auto& [answer, box] : {std::pair{sub, "failure: Invalid filename."},
                                      std::pair{sub + "/", "failure: Invalid filename."},
                                      std::pair{QString("/dev/null"), "failure: Not a regular file."}}) {
        this->platform.boxes.clear();
        this->saveAs(answer);
        EXPECT_EQ(this->platform.boxes, QStringList{box}) << answer.toStdString();
        EXPECT_EQ(this->form.ProjectFileName, name);
        EXPECT_EQ(this->form.windowTitle(), "VANTERO [ " + name + " ]");
    }
    EXPECT_EQ(QDir(this->folder.path()).entryList(QDir::Files),
              QStringList{QFileInfo(name).fileName()});
    EXPECT_TRUE(QDir(sub).isEmpty());
    EXPECT_FALSE(QFile::exists("/dev/null." + this->extension()));
}

TYPED_TEST_P(CalculatorWindow, aShortFileChangesNothing) {
    this->saveAs(this->path("net"));
    const QString name = this->form.ProjectFileName;
    const QString shortName = this->path("short." + this->extension());
    QFile shortFile(shortName);
    ASSERT_TRUE(shortFile.open(QIODevice::WriteOnly));
    shortFile.write(this->bytes(name).chopped(6)); // the last choice missing
    shortFile.close();
    this->retype(this->edit("Edit3"), "8");
    const ChoiceDescription& lineCode = this->choice("lineCode");
    this->select(lineCode, 1);

    this->open(shortName);
    EXPECT_EQ(this->platform.boxes, QStringList{"failure: Read beyond end of file."});
    EXPECT_EQ(this->text("Edit3"), "8");
    EXPECT_EQ(this->selected("lineCode"), 1);
    EXPECT_EQ(this->form.ProjectFileName, name);
    EXPECT_EQ(this->form.windowTitle(), "VANTERO [ " + name + " ]");
}

TYPED_TEST_P(CalculatorWindow, noLabelOrButtonIsCutOff) {
    // With the longest captions the verdict can take, too.
    using P = TypeParam;
    const auto check = [](QWidget* window) {
        for (QLabel* label : window->findChildren<QLabel*>()) {
            if (label->wordWrap()) {
                EXPECT_LE(label->heightForWidth(label->width()), label->height())
                    << label->text().toStdString();
                continue;
            }
            const QSize needed = label->sizeHint();
            EXPECT_LE(needed.width(), label->width()) << label->text().toStdString();
            EXPECT_LE(needed.height(), label->height()) << label->text().toStdString();
        }
        for (QAbstractButton* button : window->findChildren<QAbstractButton*>()) {
            if (button->text().isEmpty()) {
                continue;
            }
            if (qobject_cast<QPushButton*>(button) == nullptr) {
                EXPECT_LE(button->sizeHint().width(), button->width())
                    << button->objectName().toStdString();
                continue;
            }
            // A push button's own size hint has a style's minimum width; what
            // counts is that its picture and caption fit.
            const QString caption = QString(button->text()).remove('&');
            const int picture = button->icon().isNull() ? 0 : button->iconSize().width() + 4;
            EXPECT_LE(button->fontMetrics().horizontalAdvance(caption) + picture + 6,
                      button->width())
                << button->objectName().toStdString();
        }
        for (QGroupBox* group : window->findChildren<QGroupBox*>()) {
            EXPECT_LE(group->minimumSizeHint().width(), group->width())
                << group->objectName().toStdString();
        }
    };
    check(&this->form);
    for (const auto& [caption, verdict] :
         {std::pair{P::texts().attenuationCaption, P::texts().attenuationVerdict},
          std::pair{P::texts().dispersionCaption, P::texts().dispersionVerdict}}) {
        this->template find<QLabel>(P::distanceCaption)->setText(QString::fromUtf8(caption));
        this->template find<QLabel>("Label8")->setText(QString::fromUtf8(verdict));
        check(&this->form);
    }
    check(&this->dialog);
}

TYPED_TEST_P(CalculatorWindow, everyWidgetHasAnAccessibleName) {
    // Every field by its label as the description gives it: one line, where
    // the label on the screen takes two.
    using P = TypeParam;
    for (const InputDescription& input : P::calculator().inputs()) {
        QWidget* field = input.heldByDialog() ? this->dialog.Edit1
                                              : this->edit(QString::fromUtf8(input.component));
        EXPECT_EQ(this->nameOf(field).toStdString(), input.label) << input.name;
    }
    // Every result field by its label, its line breaks read as spaces.
    for (const RunOutput& output : P::calculator().newSession()->run().outputs) {
        if (!output.label.empty() && !output.component.empty()) {
            const QString label = QString::fromUtf8(output.label).replace('\n', ' ');
            EXPECT_EQ(this->nameOf(this->edit(QString::fromUtf8(output.component))), label)
                << output.name;
        }
    }
    // Radio buttons are named by their items.
    for (const ChoiceDescription& choice : P::calculator().choices()) {
        QWidget* first = this->find(QString::fromUtf8(choice.components[0]));
        if (qobject_cast<QComboBox*>(first) != nullptr) {
            continue;
        }
        const QList<QRadioButton*> buttons =
            choice.isButtonPair()
                ? QList<QRadioButton*>{qobject_cast<QRadioButton*>(first),
                                       this->template find<QRadioButton>(
                                           QString::fromUtf8(choice.components[1]))}
                : groupButtons(qobject_cast<QGroupBox*>(first));
        for (int i = 0; i < buttons.size(); ++i) {
            EXPECT_EQ(this->nameOf(buttons[i]).toStdString(),
                      choice.items[static_cast<std::size_t>(i)]);
        }
    }
    EXPECT_EQ(this->nameOf(this->find("BitBtn1")), "OK");
    EXPECT_EQ(this->nameOf(this->find("BitBtn2")), "Cancelar");
    for (QWidget* window :
         {static_cast<QWidget*>(&this->form), static_cast<QWidget*>(&this->dialog)}) {
        for (QWidget* widget : window->findChildren<QWidget*>()) {
            if (!widget->objectName().isEmpty() && !widget->objectName().startsWith("qt_")) {
                EXPECT_FALSE(this->nameOf(widget).isEmpty()) << widget->objectName().toStdString();
            }
            EXPECT_FALSE(this->nameOf(widget).contains('\n'))
                << widget->objectName().toStdString() << ": " << this->nameOf(widget).toStdString();
        }
    }
}

TYPED_TEST_P(CalculatorWindow, enterRightAfterStartRunsOkFromTheFirstFieldOfThePageShown) {
    // State: the window as it opens. The toolbar's picture buttons take no
    // keyboard focus; the first field of the page shown has it.
    using P = TypeParam;
    const auto toolbar = this->form.centralWidget()->template findChildren<QToolButton*>(
        QString(), Qt::FindDirectChildrenOnly);
    for (const QToolButton* button : toolbar) {
        EXPECT_EQ(button->focusPolicy(), Qt::NoFocus) << button->objectName().toStdString();
    }
    QWidget* focused = QApplication::focusWidget();
    ASSERT_NE(focused, nullptr);
    EXPECT_EQ(focused->objectName(), P::firstField);
    QTest::keyClick(focused, Qt::Key_Return);
    EXPECT_TRUE(this->platform.boxes.isEmpty()) << this->boxes().toStdString();
    EXPECT_EQ(this->differences(P::defaultResults()), QStringList());
}

TYPED_TEST_P(CalculatorWindow, namesFollowWhatTheScreenShows) {
    // Picture buttons by their tooltips, lists by their groups (not by the
    // item shown), the abort button by its caption and the window by its
    // title, as they change.
    using P = TypeParam;
    QStringList toolbar;
    for (const char* button : {"SpeedButton1", "SpeedButton2", "SpeedButton3"}) {
        toolbar << this->nameOf(this->find(button));
    }
    EXPECT_EQ(toolbar, (QStringList{"Abrir...", "Salvar...", P::printCaption}));
    for (const ChoiceDescription& choice : P::calculator().choices()) {
        auto* list = this->form.centralWidget()->template findChild<QComboBox*>(
            QString::fromUtf8(choice.components[0]));
        if (list == nullptr) {
            continue;
        }
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(list);
        EXPECT_EQ(accessible->role(), QAccessible::ComboBox) << choice.name;
        EXPECT_EQ(accessible->text(QAccessible::Name).toStdString(), choice.caption);
        EXPECT_EQ(accessible->text(QAccessible::Value), list->currentText()) << choice.name;
    }

    QWidget* abort = this->find("BitBtn2");
    EXPECT_EQ(this->nameOf(abort), "Cancelar");
    this->clickOk();
    EXPECT_EQ(this->nameOf(abort), "Sair");
    EXPECT_EQ(this->nameOf(&this->form).toStdString(), P::calculator().caption());
    this->saveAs(this->path("named"));
    EXPECT_EQ(this->nameOf(&this->form), "VANTERO [ " + this->form.ProjectFileName + " ]");
    EXPECT_EQ(this->nameOf(&this->dialog), "Fibra Multimodo");
}

TYPED_TEST_P(CalculatorWindow, theWindowShowsItsIconAndEveryButtonAPicture) {
    // Also on a desktop without an icon theme, such as this one: the
    // pictures the project draws, which the toolkit can read.
    EXPECT_FALSE(this->form.windowIcon().pixmap(32).isNull());
    for (const char* button :
         {"SpeedButton1", "SpeedButton2", "SpeedButton3", "BitBtn1", "BitBtn2", "BitBtn3"}) {
        EXPECT_FALSE(this->template find<QAbstractButton>(button)->icon().pixmap(16).isNull())
            << button;
    }
}

REGISTER_TYPED_TEST_SUITE_P(
    CalculatorWindow, startState, theWindowDefinitionAgreesWithTheDescription,
    okWithTheDefaultsWritesTheWorkedExample,
    aFailedRiseTimeBudgetShowsItsMessageThenNoLengthOfFibre,
    aFaultEndsTheRunWithTheEarlierStepsShown, aBadNumberIsReportedAndItsFieldShownWithTheFocus,
    aFieldBeyondADoubleOverflowsWhereTheWindowConvertsIt,
    aBadNumberInTheDialogFocusesTheDialog, theDialogsOkCancelAndTypedValue,
    singleModeFibreLeavesTheDialogOpenAndUnread, enterInAnyFieldOrChoiceRunsOkAndEscDoesNothing,
    theAbortButtonEndsTheProgramBeforeAndAfterOk, theFileMenuInOrderAndPrintDoesNothing,
    saveAsThenOpenRestoresEveryFieldAndChoice, saveKeepsAnExtensionInAnyCaseAndAppendsItOtherwise,
    saveRightAfterStartAsksForANameAndCancelWritesNothing,
    aBadNumberStopsTheSaveAndLeavesTheFileAlone, aFileOfAnotherKindIsRefused,
    saveAsRefusesAFolderADeviceOrNoName, aShortFileChangesNothing, noLabelOrButtonIsCutOff,
    everyWidgetHasAnAccessibleName,
    enterRightAfterStartRunsOkFromTheFirstFieldOfThePageShown, namesFollowWhatTheScreenShows,
    theWindowShowsItsIconAndEveryButtonAPicture);

} // namespace vantero::ui::testing
