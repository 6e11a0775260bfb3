#pragma once

// The window tests that the passive star and the ring windows share, typed
// over the program. A program's test file describes its window in a
// `Program` struct (its form, input table, calculation, captions and the
// figures its defaults give) and instantiates the suite with it:
//   INSTANTIATE_TYPED_TEST_SUITE_P(Estrela, NetworkWindow, StarProgram);

#include "common/choices.h"
#include "common/numbers.h"
#include "common/ui/formfibradlg.h"
#include "common/ui/recordingplatform.h"
#include "common/ui/tests/typing.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

namespace vantero::ui::testing {

// A program's main window with its multimode fibre dialog, created in the
// order the program creates them, its boxes recorded.
template <typename Program> struct NetworkProgram {
    RecordingPlatform platform;
    typename Program::Form form{platform};
    TFormFibraDlg dialog{&form};

    NetworkProgram() { form.useFibreDialog(&dialog); }

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
    QRadioButton* item(const char* group, int index) const {
        return find<QRadioButton>(QString::fromLatin1(group) + "Item" + QString::number(index));
    }
    // The index of the group's checked item, -1 for none.
    int checked(const char* group) const {
        for (int i = 0; i < 3; ++i) {
            auto* button = form.centralWidget()->template findChild<QRadioButton*>(
                QString::fromLatin1(group) + "Item" + QString::number(i));
            if (button != nullptr && button->isChecked()) {
                return i;
            }
        }
        return -1;
    }
    void retype(QLineEdit* field, const QString& typed) const {
        field->setFocus();
        field->selectAll();
        typeText(field, typed);
    }
    void clickOk() const { QTest::mouseClick(find<QPushButton>("BitBtn1"), Qt::LeftButton); }
    void clickFibreButton() const {
        QTest::mouseClick(find<QPushButton>("Button1"), Qt::LeftButton);
    }
};

template <typename Program> struct NetworkWindow : ::testing::Test, NetworkProgram<Program> {
    QTemporaryDir folder;

    void SetUp() override {
        this->form.show();
        this->form.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&this->form));
    }

    QString path(const QString& name) const { return folder.filePath(name); }
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
        typename Program::Input input;
        input.fibreType = FibreType::Multimode;
        input.normalizedBandwidth = NumberText(normalizedBandwidth);
        return QString::fromStdString(Program::calculate(input).riseTimeDistance.text());
    }
};

TYPED_TEST_SUITE_P(NetworkWindow);

TYPED_TEST_P(NetworkWindow, startState) {
    using P = TypeParam;
    const auto& form = this->form;
    EXPECT_EQ(form.objectName(), P::formName);
    EXPECT_EQ(form.windowTitle(), P::caption);
    EXPECT_EQ(form.centralWidget()->size(), P::clientArea);
    EXPECT_EQ(form.minimumSize(), form.maximumSize()); // fixed size

    auto* notebook = this->template find<QTabWidget>("TabbedNotebook1");
    EXPECT_EQ(notebook->geometry(), QRect(10, 50, 395, 320));
    QStringList pages;
    for (int i = 0; i < notebook->count(); ++i) {
        pages << notebook->tabText(i);
    }
    EXPECT_EQ(pages, (QStringList{"Sistema", "Transmissor", "Receptor", "Fibra"}));
    EXPECT_EQ(notebook->currentIndex(), P::startPage);
    EXPECT_EQ(this->find("Panel1")->geometry(), QRect(414, 40, P::panelWidth, 373));
    int x = 20;
    for (const char* button : {"BitBtn1", "BitBtn2", "BitBtn3"}) {
        EXPECT_EQ(this->find(button)->geometry(), QRect(x, 384, 85, 28)) << button;
        x += 145;
    }

    for (const char* result : {"Edit15", "Edit16"}) {
        EXPECT_EQ(this->text(result), "") << result;
        EXPECT_TRUE(this->edit(result)->isReadOnly()) << result;
        EXPECT_EQ(this->edit(result)->focusPolicy(), Qt::NoFocus) << result;
    }
    auto* comparison = this->template find<QGroupBox>("GroupBox1");
    EXPECT_FALSE(comparison->isVisible());
    EXPECT_EQ(comparison->title(), P::comparisonTitle);
    EXPECT_EQ(this->text("Edit7"), "");
    EXPECT_EQ(this->edit("Edit7")->width(), 220);
    EXPECT_FALSE(this->edit("Edit7")->focusPolicy() & Qt::TabFocus);
    EXPECT_EQ(this->text(P::distanceCaption), "Distância máxima em termos de potência (km)");
    EXPECT_EQ(this->text("Label8"), "O sistema é limitado por atenuação.");

    EXPECT_EQ(this->checked("RadioGroup2"), 0); // "Código NRZ"
    EXPECT_EQ(this->checked("RadioGroup3"), 1); // "7B8B"
    EXPECT_EQ(this->checked("RadioGroup1"), 0); // "Fibra Monomodo"
    EXPECT_FALSE(this->find("Button1")->isEnabled());
    EXPECT_EQ(this->template find<QPushButton>("BitBtn1")->text(), "OK");
    EXPECT_EQ(this->template find<QPushButton>("BitBtn2")->text(), "&Cancelar");
    EXPECT_EQ(this->template find<QPushButton>("BitBtn3")->text(), "A&juda");
    EXPECT_FALSE(this->dialog.isVisible());
    EXPECT_EQ(this->dialog.Label1->text(), "Banda óptica normalizada na fibra (MHz.km)");
    EXPECT_TRUE(form.ProjectFileName.isEmpty());
}

TYPED_TEST_P(NetworkWindow, fieldsBearTheCalculationsLabelsAndInitialTexts) {
    // Each input of the calculation's table stands in its field with the
    // table's initial text, beside a label that reads as the table says (a
    // label on two lines reads as one).
    using P = TypeParam;
    const typename P::Input defaults;
    for (const auto& field : P::inputs()) {
        if (field.heldByDialog) {
            EXPECT_EQ(this->dialog.Edit1->text().toStdString(), (defaults.*field.member).text());
            continue;
        }
        const QString name = QString::fromUtf8(field.component);
        EXPECT_EQ(this->edit(name)->text().toStdString(), (defaults.*field.member).text())
            << field.name;
        EXPECT_EQ(this->text("Caption" + name).replace('\n', ' '), QString::fromUtf8(field.label))
            << field.name;
    }
}

TYPED_TEST_P(NetworkWindow, okWithTheDefaultsShowsBothDistancesAndTheVerdict) {
    using P = TypeParam;
    this->clickOk();
    EXPECT_TRUE(this->platform.boxes.isEmpty()) << this->boxes().toStdString();
    EXPECT_EQ(this->text("Edit15"), P::defaultPowerDistance);
    EXPECT_EQ(this->text("Edit16"), P::defaultRiseTimeDistance);
    EXPECT_EQ(this->text(P::distanceCaption), P::dispersionCaption);
    EXPECT_EQ(this->text("Label8"), P::dispersionVerdict);
    EXPECT_EQ(this->text("Edit7"), P::defaultRiseTimeDistance);
    EXPECT_TRUE(this->find("GroupBox1")->isVisible());
    EXPECT_EQ(this->template find<QPushButton>("BitBtn2")->text(), "&Sair");
    // The verdict's caption names the distance field for assistive technology.
    EXPECT_EQ(this->edit("Edit7")->accessibleName(), P::dispersionCaption);
}

TYPED_TEST_P(NetworkWindow, aFailedRiseTimeBudgetShowsItsMessageThenNoLengthOfFibre) {
    // State: an earlier run filled every result; then a change whose
    // rise-time budget cannot be met.
    using P = TypeParam;
    this->clickOk();
    P::exceedRiseTimeBudget(*this);
    QStringList atMessage;
    this->platform.whileBoxIsUp = [&](const QString&) {
        atMessage = {this->find("GroupBox1")->isVisible() ? "shown" : "hidden",
                     this->template find<QPushButton>("BitBtn2")->text(),
                     this->text("Edit15"),
                     this->text("Edit16"),
                     this->text("Label8"),
                     this->text("Edit7")};
    };
    this->clickOk();
    EXPECT_EQ(this->platform.boxes,
              QStringList{QStringLiteral("error: O tempo de subida do sistema apresentou um valor "
                                         "menor do que o tempo de subida do transmissor")});
    // While the box was up: the power distance written, the rise-time
    // distance emptied, the verdict still the earlier run's.
    EXPECT_EQ(atMessage, (QStringList{"shown", "&Sair", P::defaultPowerDistance, "",
                                      P::dispersionVerdict, P::defaultRiseTimeDistance}));
    EXPECT_EQ(this->text("Edit15"), P::defaultPowerDistance);
    EXPECT_EQ(this->text("Edit16"), "");
    EXPECT_EQ(this->text(P::distanceCaption), P::dispersionCaption);
    EXPECT_EQ(this->text("Label8"), P::dispersionVerdict);
    EXPECT_EQ(this->text("Edit7"), "0.00000");
}

TYPED_TEST_P(NetworkWindow, aFaultEndsTheRunWithTheEarlierStepsShown) {
    this->retype(this->edit("Edit19"), "0"); // fibre attenuation
    this->clickOk();
    EXPECT_EQ(this->platform.boxes, QStringList{"failure: Floating point division by zero."});
    EXPECT_EQ(this->text("Edit15"), "");
    EXPECT_EQ(this->text("Edit16"), "");
    // The group and "&Sair" came before the fault; the verdict is the
    // design's, with no distance.
    EXPECT_TRUE(this->find("GroupBox1")->isVisible());
    EXPECT_EQ(this->template find<QPushButton>("BitBtn2")->text(), "&Sair");
    EXPECT_EQ(this->text("Label8"), "O sistema é limitado por atenuação.");
    EXPECT_EQ(this->text("Edit7"), "");
}

TYPED_TEST_P(NetworkWindow, aBadNumberIsReportedAndItsFieldShownWithTheFocus) {
    // State: the notebook shows another page than the one of the field; the
    // dialog, with an Edit1 of its own, is open.
    using P = TypeParam;
    this->clickOk();
    this->retype(this->edit("Edit1"), "1,5");
    this->item("RadioGroup1", 1)->click();
    this->clickFibreButton();
    this->form.activateWindow();
    this->template find<QTabWidget>("TabbedNotebook1")->setCurrentIndex(P::startPage);
    this->clickOk();
    EXPECT_EQ(this->platform.boxes, QStringList{"failure: \"1,5\" não é um número válido."});
    EXPECT_EQ(this->template find<QTabWidget>("TabbedNotebook1")->currentIndex(), P::edit1Page);
    EXPECT_TRUE(this->edit("Edit1")->isVisible());
    EXPECT_EQ(QApplication::focusWidget(), this->edit("Edit1"));
    EXPECT_EQ(this->edit("Edit1")->selectedText(), "1,5");
    EXPECT_EQ(this->text("Edit15"), "");
    EXPECT_EQ(this->text("Edit7"), P::defaultRiseTimeDistance); // the verdict stands
}

TYPED_TEST_P(NetworkWindow, aBadNumberInTheDialogFocusesTheDialog) {
    this->item("RadioGroup1", 1)->click();
    this->clickFibreButton();
    this->retype(this->dialog.Edit1, "1OO");
    this->clickOk();
    EXPECT_EQ(this->platform.boxes, QStringList{"failure: \"1OO\" não é um número válido."});
    EXPECT_TRUE(this->dialog.isVisible());
    EXPECT_EQ(this->dialog.focusWidget(), this->dialog.Edit1);
    EXPECT_EQ(this->dialog.Edit1->selectedText(), "1OO");
}

TYPED_TEST_P(NetworkWindow, theFibreButtonFollowsTheFibreTypeAndLeavesTheDialogOpen) {
    auto* button = this->find("Button1");
    this->item("RadioGroup1", 1)->click();
    EXPECT_TRUE(button->isEnabled());
    this->clickFibreButton();
    EXPECT_TRUE(this->dialog.isVisible());
    EXPECT_FALSE(this->dialog.isModal());

    this->item("RadioGroup1", 0)->click();
    EXPECT_FALSE(button->isEnabled());
    EXPECT_TRUE(this->dialog.isVisible());
    // Single-mode fibre does not read the dialog, whatever it holds.
    this->dialog.Edit1->setText("0");
    this->clickOk();
    EXPECT_TRUE(this->platform.boxes.isEmpty()) << this->boxes().toStdString();
    EXPECT_EQ(this->text("Edit16"), TypeParam::defaultRiseTimeDistance);
}

TYPED_TEST_P(NetworkWindow, theDialogsOkCancelAndTypedValue) {
    this->item("RadioGroup1", 1)->click();
    auto& dialog = this->dialog;

    this->clickFibreButton();
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

TYPED_TEST_P(NetworkWindow, enterInAnyFieldOrRadioGroupRunsOkAndEscDoesNothing) {
    using P = TypeParam;
    for (const auto& field : P::inputs()) {
        if (field.heldByDialog) {
            continue;
        }
        this->edit("Edit15")->clear();
        QTest::keyClick(this->edit(QString::fromUtf8(field.component)), Qt::Key_Return);
        EXPECT_EQ(this->text("Edit15"), P::defaultPowerDistance) << field.name;
    }
    for (const char* group : {"RadioGroup2", "RadioGroup3", "RadioGroup1"}) {
        this->edit("Edit15")->clear();
        QTest::keyClick(this->item(group, 0), Qt::Key_Enter);
        EXPECT_EQ(this->text("Edit15"), P::defaultPowerDistance) << group;
    }

    this->edit("Edit15")->clear();
    QTest::keyClick(this->edit("Edit19"), Qt::Key_Escape);
    QTest::keyClick(this->item("RadioGroup2", 0), Qt::Key_Escape);
    EXPECT_EQ(this->text("Edit15"), "");
    EXPECT_TRUE(this->form.isVisible());
    EXPECT_EQ(this->platform.endRequests, 0);
    EXPECT_TRUE(this->platform.boxes.isEmpty()) << this->boxes().toStdString();
}

TYPED_TEST_P(NetworkWindow, tabRunsDownTheFibrePageToTheFibreButton) {
    this->item("RadioGroup1", 1)->click();
    this->template find<QTabWidget>("TabbedNotebook1")->setCurrentIndex(3);
    this->edit("Edit19")->setFocus();
    QStringList visited;
    for (int i = 0; i < 4; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited << QApplication::focusWidget()->objectName();
    }
    // The radio group is one stop; the arrow keys move within it.
    ASSERT_EQ(visited.size(), 4);
    EXPECT_EQ(visited[0], "Edit20");
    EXPECT_EQ(visited[1], "Edit21");
    EXPECT_TRUE(visited[2].startsWith("RadioGroup1Item")) << visited[2].toStdString();
    EXPECT_EQ(visited[3], "Button1");
}

TYPED_TEST_P(NetworkWindow, theAbortButtonEndsTheProgramBeforeAndAfterOk) {
    QTest::mouseClick(this->template find<QPushButton>("BitBtn2"), Qt::LeftButton);
    EXPECT_EQ(this->platform.endRequests, 1);
    this->clickOk();
    QTest::mouseClick(this->template find<QPushButton>("BitBtn2"), Qt::LeftButton);
    EXPECT_EQ(this->platform.endRequests, 2);
    EXPECT_TRUE(this->platform.boxes.isEmpty()) << this->boxes().toStdString();
}

TYPED_TEST_P(NetworkWindow, theFileMenuInOrderAndPrintAndHelpDoNothing) {
    auto* menu = this->form.template findChild<QMenu*>("Arquivo1");
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->title(), "&Arquivo");
    QStringList entries;
    for (const QAction* action : menu->actions()) {
        entries << (action->isSeparator() ? QStringLiteral("-") : action->text());
    }
    EXPECT_EQ(entries, (QStringList{"Abrir...", "Salvar...", "Salvar Como...", "-",
                                    TypeParam::printCaption}));

    this->form.template findChild<QAction*>("Imprimir1")->trigger();
    QTest::mouseClick(this->template find<QToolButton>("SpeedButton3"), Qt::LeftButton);
    QTest::mouseClick(this->template find<QPushButton>("BitBtn3"), Qt::LeftButton);
    EXPECT_TRUE(this->platform.boxes.isEmpty()) << this->boxes().toStdString();
    EXPECT_EQ(this->platform.openDialogs + this->platform.saveDialogs, 0);
    EXPECT_EQ(this->platform.endRequests, 0);
    EXPECT_FALSE(this->find("GroupBox1")->isVisible()); // no calculation ran
}

TYPED_TEST_P(NetworkWindow, saveAsThenOpenRestoresEveryFieldAndChoice) {
    // State: every numeric field and every choice changed; the dialog holds a
    // value of its own, which the file does not keep.
    using P = TypeParam;
    QStringList fields;
    for (const auto& field : P::inputs()) {
        if (!field.heldByDialog) {
            fields << QString::fromUtf8(field.component);
        }
    }
    for (int i = 0; i < fields.size(); ++i) {
        this->retype(this->edit(fields[i]), QString::number(i + 1) + ".2346");
    }
    this->item("RadioGroup2", 1)->click();
    this->item("RadioGroup3", 2)->click();
    this->item("RadioGroup1", 1)->click();
    this->dialog.Edit1->setText("250");
    this->saveAs(this->path("net"));
    const QString saved = this->path(QStringLiteral("net.") + P::extension);
    EXPECT_TRUE(this->platform.boxes.isEmpty()) << this->boxes().toStdString();
    EXPECT_EQ(this->form.ProjectFileName, saved);
    EXPECT_EQ(this->form.windowTitle(), "VANTERO [ " + saved + " ]");
    EXPECT_EQ(this->bytes(saved).size(), P::fileBytes);

    // A fresh program opens it: numbers as three-decimal texts, the choices
    // selected, "..." enabled for the multimode fibre it now shows.
    NetworkProgram<P> other;
    other.platform.openAnswers << saved;
    other.form.template findChild<QAction*>("Abrir1")->trigger();
    EXPECT_TRUE(other.platform.boxes.isEmpty()) << other.platform.boxes.join("; ").toStdString();
    for (int i = 0; i < fields.size(); ++i) {
        EXPECT_EQ(other.text(fields[i]), QString::number(i + 1) + ".235")
            << fields[i].toStdString();
    }
    EXPECT_EQ(other.checked("RadioGroup2"), 1);
    EXPECT_EQ(other.checked("RadioGroup3"), 2);
    EXPECT_EQ(other.checked("RadioGroup1"), 1);
    EXPECT_TRUE(other.find("Button1")->isEnabled());
    EXPECT_EQ(other.dialog.Edit1->text(), "100");
    EXPECT_EQ(other.form.ProjectFileName, saved);
    EXPECT_EQ(other.form.windowTitle(), "VANTERO [ " + saved + " ]");
    // The result fields are neither emptied nor computed.
    EXPECT_EQ(other.text("Edit15"), "");
    EXPECT_FALSE(other.find("GroupBox1")->isVisible());
}

TYPED_TEST_P(NetworkWindow, openingAFileRunsTheFibreTypesActionOnlyForAChange) {
    // State: a file of single-mode fibre; the window now on multimode fibre
    // with the dialog open.
    this->saveAs(this->path("mono"));
    const QString saved = this->form.ProjectFileName;
    this->item("RadioGroup1", 1)->click();
    this->clickFibreButton();
    auto* button = this->find("Button1");
    ASSERT_TRUE(button->isEnabled());

    this->open(saved);
    EXPECT_EQ(this->checked("RadioGroup1"), 0);
    EXPECT_FALSE(button->isEnabled());
    EXPECT_TRUE(this->dialog.isVisible()); // not hidden by the change

    // The same file again selects what is already selected: nothing runs.
    button->setEnabled(true);
    this->open(saved);
    EXPECT_TRUE(button->isEnabled());
    EXPECT_TRUE(this->platform.boxes.isEmpty()) << this->boxes().toStdString();
}

TYPED_TEST_P(NetworkWindow, saveRightAfterStartAsksForANameAndCancelWritesNothing) {
    using P = TypeParam;
    this->form.template findChild<QAction*>("Salvar1")->trigger();
    EXPECT_EQ(this->platform.saveDialogs, 1);
    EXPECT_TRUE(this->form.ProjectFileName.isEmpty());
    EXPECT_EQ(this->form.windowTitle(), P::caption);
    EXPECT_TRUE(QDir(this->folder.path()).isEmpty());

    // Once named, the toolbar's save writes there without asking.
    this->saveAs(this->path("net"));
    this->retype(this->edit("Edit4"), "7");
    QTest::mouseClick(this->template find<QToolButton>("SpeedButton2"), Qt::LeftButton);
    EXPECT_EQ(this->platform.saveDialogs, 2);
    EXPECT_TRUE(this->platform.boxes.isEmpty()) << this->boxes().toStdString();
}

TYPED_TEST_P(NetworkWindow, aFileOfAnotherKindIsRefused) {
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

TYPED_TEST_P(NetworkWindow, aShortFileChangesNothing) {
    using P = TypeParam;
    this->saveAs(this->path("net"));
    const QString name = this->form.ProjectFileName;
    const QString shortName = this->path(QStringLiteral("short.") + P::extension);
    QFile shortFile(shortName);
    ASSERT_TRUE(shortFile.open(QIODevice::WriteOnly));
    shortFile.write(this->bytes(name).chopped(6)); // the fibre type missing
    shortFile.close();
    this->retype(this->edit("Edit3"), "8");
    this->item("RadioGroup2", 1)->click();

    this->open(shortName);
    EXPECT_EQ(this->platform.boxes, QStringList{"failure: Read beyond end of file."});
    EXPECT_EQ(this->text("Edit3"), "8");
    EXPECT_EQ(this->checked("RadioGroup2"), 1);
    EXPECT_EQ(this->form.ProjectFileName, name);
    EXPECT_EQ(this->form.windowTitle(), "VANTERO [ " + name + " ]");
}

TYPED_TEST_P(NetworkWindow, noLabelOrButtonIsCutOff) {
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
    this->template find<QLabel>(P::distanceCaption)->setText(P::attenuationCaption);
    this->template find<QLabel>("Label8")->setText(P::attenuationVerdict);
    check(&this->form);
    check(&this->dialog);
}

TYPED_TEST_P(NetworkWindow, everyWidgetHasAnAccessibleName) {
    EXPECT_EQ(this->edit("Edit4")->accessibleName(), "Margem de segurança (dB)");
    EXPECT_EQ(this->find("BitBtn2")->accessibleName(), "Cancelar");
    EXPECT_EQ(this->item("RadioGroup1", 1)->accessibleName(), "Fibra Multimodo");
    EXPECT_EQ(this->dialog.Edit1->accessibleName(), "Banda óptica normalizada na fibra (MHz.km)");
    for (QWidget* window :
         {static_cast<QWidget*>(&this->form), static_cast<QWidget*>(&this->dialog)}) {
        for (QWidget* widget : window->findChildren<QWidget*>()) {
            if (!widget->objectName().isEmpty() && !widget->objectName().startsWith("qt_")) {
                EXPECT_FALSE(widget->accessibleName().isEmpty())
                    << widget->objectName().toStdString();
            }
        }
    }
}

REGISTER_TYPED_TEST_SUITE_P(
    NetworkWindow, startState, fieldsBearTheCalculationsLabelsAndInitialTexts,
    okWithTheDefaultsShowsBothDistancesAndTheVerdict,
    aFailedRiseTimeBudgetShowsItsMessageThenNoLengthOfFibre,
    aFaultEndsTheRunWithTheEarlierStepsShown, aBadNumberIsReportedAndItsFieldShownWithTheFocus,
    aBadNumberInTheDialogFocusesTheDialog, theFibreButtonFollowsTheFibreTypeAndLeavesTheDialogOpen,
    theDialogsOkCancelAndTypedValue, enterInAnyFieldOrRadioGroupRunsOkAndEscDoesNothing,
    tabRunsDownTheFibrePageToTheFibreButton, theAbortButtonEndsTheProgramBeforeAndAfterOk,
    theFileMenuInOrderAndPrintAndHelpDoNothing, saveAsThenOpenRestoresEveryFieldAndChoice,
    openingAFileRunsTheFibreTypesActionOnlyForAChange,
    saveRightAfterStartAsksForANameAndCancelWritesNothing, aFileOfAnotherKindIsRefused,
    aShortFileChangesNothing, noLabelOrButtonIsCutOff, everyWidgetHasAnAccessibleName);

} // namespace vantero::ui::testing
