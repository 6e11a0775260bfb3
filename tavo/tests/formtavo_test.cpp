#include "common/ui/recordingplatform.h"
#include "common/ui/tests/typing.h"
#include "tavo/core/pointlink.h"
#include "tavo/dialogfibra.h"
#include "tavo/formtavo.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

namespace vantero::tavo {
namespace {

// A main window shown on the offscreen platform, its boxes recorded.
struct Tavo : testing::Test {
    ui::RecordingPlatform platform;
    TFormTAVO form{platform};

    void SetUp() override {
        form.show();
        form.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    }

    template <typename W = QWidget> W* find(const char* name) const {
        W* widget = form.findChild<W*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    QLineEdit* edit(const char* name) const { return find<QLineEdit>(name); }
    QString text(const char* name) const {
        if (auto* label = form.findChild<QLabel*>(QString::fromLatin1(name))) {
            return label->text();
        }
        return edit(name)->text();
    }
    QComboBox* list(const char* name) const { return find<QComboBox>(name); }
    void retype(QLineEdit* field, const QString& typed) {
        field->setFocus();
        field->selectAll();
        ui::testing::typeText(field, typed);
    }
    // Types into a list's edit box, as a user picking an item by name.
    void typeInto(const char* listName, const QString& typed) {
        QLineEdit* box = list(listName)->lineEdit();
        box->setFocus();
        box->selectAll();
        ui::testing::typeText(box, typed);
    }
    void clickOk() { QTest::mouseClick(find<QPushButton>("BitBtn1"), Qt::LeftButton); }
};

TEST_F(Tavo, startState) {
    EXPECT_EQ(form.windowTitle(),
              "Distância Máxima Alcançada para Enlace Ponto-a-Ponto com Modulação Digital");
    EXPECT_EQ(find<QTabWidget>("TabbedNotebook1")->currentIndex(), 2); // "Receptor"
    EXPECT_EQ(list("ComboBox3")->currentText(), "Si PIN (800-900nm)");
    EXPECT_EQ(list("ComboBox1")->currentText(), "1E-9");
    EXPECT_EQ(list("ComboBox2")->currentText(), "Código NRZ");
    EXPECT_EQ(text("Edit9"), "-38.21522");
    for (const char* result : {"Edit15", "Edit16", "Edit17", "Edit18"}) {
        EXPECT_EQ(text(result), "") << result;
        EXPECT_TRUE(edit(result)->isReadOnly()) << result;
        EXPECT_EQ(edit(result)->focusPolicy(), Qt::NoFocus) << result;
    }
    EXPECT_FALSE(find<QGroupBox>("GroupBox1")->isVisible());
    EXPECT_EQ(find<QPushButton>("BitBtn2")->text(), "&Cancelar");
    EXPECT_TRUE(find<QRadioButton>("RadioButton8")->isChecked());
    EXPECT_TRUE(find<QRadioButton>("RadioButton6")->isChecked());
    EXPECT_FALSE(find<QGroupBox>("GroupBox4")->isVisible()); // light source never shown
    EXPECT_FALSE(form.DialogFibra->isVisible());
    EXPECT_TRUE(form.ProjectFileName.isEmpty());
    EXPECT_EQ(form.centralWidget()->size(), QSize(662, 498));
}

TEST_F(Tavo, fieldsStartWithTheCalculationsInitialTexts) {
    const PointLinkInput defaults;
    for (const auto& field : pointLinkInputs) {
        const QLineEdit* widget =
            field.heldByDialog ? form.DialogFibra->Edit1 : edit(field.component.data());
        EXPECT_EQ(widget->text().toStdString(), (defaults.*field.member).text()) << field.name;
    }
}

TEST_F(Tavo, okWithTheDefaultsWritesTheWorkedExample) {
    clickOk();
    EXPECT_TRUE(platform.boxes.isEmpty()) << platform.boxes.join("; ").toStdString();
    EXPECT_EQ(text("Edit9"), "-38.21522");
    EXPECT_EQ(text("Edit15"), "49.52537");
    EXPECT_EQ(text("Edit17"), "15.44118");
    EXPECT_EQ(text("Edit18"), "17.50000");
    EXPECT_EQ(text("Edit16"), "2274.89331");
    EXPECT_EQ(text("Label1"), "Distância máxima em termos de potência (km)");
    EXPECT_EQ(text("Label8"), "O sistema é limitado por atenuação");
    EXPECT_EQ(text("Edit1"), "49.52537");
    EXPECT_EQ(text("Edit21"), "2.03"); // typed dispersion, not rewritten
    EXPECT_TRUE(find<QGroupBox>("GroupBox1")->isVisible());
    EXPECT_EQ(find<QPushButton>("BitBtn2")->text(), "&Sair");
}

TEST_F(Tavo, helpButtonRunsTheSameCalculation) {
    QTest::mouseClick(find<QPushButton>("BitBtn3"), Qt::LeftButton);
    EXPECT_EQ(text("Edit1"), "49.52537");
    EXPECT_TRUE(platform.boxes.isEmpty());
}

TEST_F(Tavo, returnToZeroShowsTheMessageThenTheDispersionVerdict) {
    // State: an earlier run filled every result; then RZ line code.
    clickOk();
    typeInto("ComboBox2", "Código RZ");
    QStringList atMessage;
    platform.whileBoxIsUp = [&](const QString&) {
        atMessage = {text("Edit15"), text("Edit17"), text("Edit18"),
                     text("Edit16"), text("Label8"), text("Edit1")};
    };
    clickOk();
    EXPECT_EQ(platform.boxes, QStringList{"error: tempo de subida do sistema menor que a soma "
                                          "dos tempos do transmissor e do receptor"});
    // When the box was up: the budgets before it written, the rise-time
    // distance blank, the verdict still the earlier run's.
    EXPECT_EQ(atMessage, (QStringList{"49.52537", "7.72059", "17.50000", " ",
                                      "O sistema é limitado por atenuação", "49.52537"}));
    EXPECT_EQ(text("Edit16"), " ");
    EXPECT_EQ(text("Label1"), "Distância máxima em termos de dispersão (km)");
    EXPECT_EQ(text("Label8"), "O sistema é limitado por dispersão");
    EXPECT_EQ(text("Edit1"), "0.00000");
}

TEST_F(Tavo, detectorAt1300nmSwapsTheDispersionRowsAndBack) {
    typeInto("ComboBox3", "InGaAs PIN (1300nm)");
    for (const char* shown : {"Label13", "Edit8", "Label22", "Edit22"}) {
        EXPECT_FALSE(find(shown)->isHidden()) << shown;
    }
    for (const char* hidden : {"Label25", "Edit21"}) {
        EXPECT_TRUE(find(hidden)->isHidden()) << hidden;
    }
    EXPECT_EQ(text("Edit9"), "-43.13484");
    clickOk();
    EXPECT_EQ(text("Edit21"), "-2.85702"); // computed, also while hidden

    typeInto("ComboBox3", "Si APD (800-900nm)");
    for (const char* hidden : {"Label13", "Edit8", "Label22", "Edit22"}) {
        EXPECT_TRUE(find(hidden)->isHidden()) << hidden;
    }
    EXPECT_FALSE(find("Label25")->isHidden());
    EXPECT_FALSE(find("Edit21")->isHidden());
    EXPECT_EQ(text("Edit21"), "-2.85702"); // the last calculation's value
    EXPECT_EQ(text("Edit9"), "-55.68243");
}

TEST_F(Tavo, lowErrorRateSelectsTheApdAndAnotherDetectorGoesBack) {
    typeInto("ComboBox1", "1E-11");
    EXPECT_EQ(list("ComboBox3")->currentText(), "InGaAs APD (1550nm)");
    EXPECT_EQ(list("ComboBox3")->currentIndex(), 3);
    EXPECT_EQ(text("Edit9"), "-54.39780");

    typeInto("ComboBox3", "Si APD (800-900nm)");
    EXPECT_EQ(list("ComboBox1")->currentText(), "1E-9");
    EXPECT_EQ(text("Edit9"), "-55.68243");
}

TEST_F(Tavo, aTypedSensitivityEmptiesThePhotodetectorList) {
    typeInto("ComboBox1", "1E-11");
    retype(edit("Edit9"), "-40");
    EXPECT_EQ(list("ComboBox3")->currentIndex(), -1);
    EXPECT_EQ(list("ComboBox3")->currentText(), "");
    EXPECT_EQ(text("Edit9"), "-40");
    EXPECT_EQ(list("ComboBox1")->currentText(), "1E-11"); // BER left as it was

    clickOk(); // the typed figure is used, and stays as typed
    EXPECT_EQ(text("Edit9"), "-40");
    EXPECT_EQ(text("Edit15"), "52.50000");

    typeInto("ComboBox1", "1E-9");
    EXPECT_EQ(list("ComboBox3")->currentIndex(), -1);
    EXPECT_EQ(text("Edit9"), "-66.00127");
}

TEST_F(Tavo, freeTextInThePhotodetectorListIsNoSelection) {
    typeInto("ComboBox1", "1E-11");
    typeInto("ComboBox3", "my detector");
    EXPECT_EQ(list("ComboBox3")->currentIndex(), -1);
    EXPECT_EQ(list("ComboBox3")->currentText(), "my detector");
    EXPECT_EQ(list("ComboBox1")->currentText(), "1E-9");
    EXPECT_EQ(text("Edit9"), "-66.00127");
}

TEST_F(Tavo, theDialogIsModelessAndItsTypedValueCounts) {
    QTest::mouseClick(find<QPushButton>("Button2"), Qt::LeftButton);
    EXPECT_TRUE(form.DialogFibra->isVisible());
    EXPECT_TRUE(find<QRadioButton>("RadioButton9")->isChecked());

    retype(form.DialogFibra->Edit1, "200");
    QTest::mouseClick(form.DialogFibra->CancelBtn, Qt::LeftButton);
    EXPECT_EQ(form.DialogFibra->Edit1->text(), "100");
    clickOk();
    const QString with100 = text("Edit16");
    EXPECT_EQ(with100, "2.86573");

    QTest::mouseClick(find<QPushButton>("Button2"), Qt::LeftButton);
    retype(form.DialogFibra->Edit1, "200"); // typed, not confirmed
    clickOk();
    EXPECT_TRUE(form.DialogFibra->isVisible());
    EXPECT_NE(text("Edit16"), with100);

    QTest::mouseClick(form.DialogFibra->OKBtn, Qt::LeftButton);
    EXPECT_EQ(form.DialogFibra->Edit2->text(), "200");
    // Single-mode fibre leaves the dialog as it is and does not read it.
    find<QRadioButton>("RadioButton8")->click();
    form.DialogFibra->Edit1->setText("0");
    clickOk();
    EXPECT_EQ(text("Edit16"), "2274.89331");
}

TEST_F(Tavo, aBadNumberIsReportedAndItsFieldFocused) {
    clickOk();
    retype(edit("Edit19"), "0,35");
    clickOk();
    EXPECT_EQ(platform.boxes, QStringList{"failure: \"0,35\" não é um número válido."});
    EXPECT_TRUE(edit("Edit19")->hasFocus());
    EXPECT_EQ(edit("Edit19")->selectedText(), "0,35");
    // Nothing after the conversion happened: the results stand.
    EXPECT_EQ(text("Edit15"), "49.52537");
    EXPECT_EQ(text("Edit1"), "49.52537");
}

TEST_F(Tavo, aBadNumberInTheDialogFocusesTheDialog) {
    QTest::mouseClick(find<QPushButton>("Button2"), Qt::LeftButton);
    retype(form.DialogFibra->Edit1, "1OO");
    clickOk();
    EXPECT_EQ(platform.boxes, QStringList{"failure: \"1OO\" não é um número válido."});
    EXPECT_TRUE(form.DialogFibra->isVisible());
    EXPECT_EQ(form.DialogFibra->focusWidget(), form.DialogFibra->Edit1);
    EXPECT_EQ(form.DialogFibra->Edit1->selectedText(), "1OO");
}

TEST_F(Tavo, aFaultStopsTheRunWithTheEarlierOutputsShown) {
    retype(edit("Edit13"), "0"); // electrical bandwidth 0
    clickOk();
    EXPECT_EQ(platform.boxes, QStringList{"failure: Floating point division by zero."});
    EXPECT_EQ(text("Edit15"), "49.52537");
    EXPECT_EQ(text("Edit17"), "15.44118");
    EXPECT_EQ(text("Edit18"), " ");
    EXPECT_EQ(text("Edit16"), " ");
    // The group and "&Sair" came before the fault, with the design captions.
    EXPECT_TRUE(find<QGroupBox>("GroupBox1")->isVisible());
    EXPECT_EQ(find<QPushButton>("BitBtn2")->text(), "&Sair");
    EXPECT_EQ(text("Label8"), "O sistema é limitado por atenuação.");
}

TEST_F(Tavo, enterInAnyFieldOrListRunsOkAndEscDoesNothing) {
    for (const char* name : {"Edit3", "Edit13", "Edit22", "Edit9"}) {
        edit("Edit15")->clear();
        QTest::keyClick(edit(name), Qt::Key_Return);
        EXPECT_EQ(text("Edit15"), "49.52537") << name;
    }
    edit("Edit15")->clear();
    QTest::keyClick(list("ComboBox2")->lineEdit(), Qt::Key_Enter);
    EXPECT_EQ(text("Edit15"), "49.52537");
    EXPECT_EQ(list("ComboBox2")->count(), 2);

    edit("Edit15")->clear();
    QTest::keyClick(edit("Edit3"), Qt::Key_Escape);
    QTest::keyClick(list("ComboBox3")->lineEdit(), Qt::Key_Escape);
    EXPECT_EQ(text("Edit15"), "");
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(platform.endRequests, 0);
}

TEST_F(Tavo, abortButtonEndsTheProgramBeforeAndAfterOk) {
    QTest::mouseClick(find<QPushButton>("BitBtn2"), Qt::LeftButton);
    EXPECT_EQ(platform.endRequests, 1);
    clickOk();
    QTest::mouseClick(find<QPushButton>("BitBtn2"), Qt::LeftButton);
    EXPECT_EQ(platform.endRequests, 2);
    EXPECT_TRUE(platform.boxes.isEmpty());
}

// A temporary folder for the project files of one test.
struct TavoFiles : Tavo {
    QTemporaryDir folder;
    QString path(const char* name) const { return folder.filePath(QString::fromLatin1(name)); }
    void saveAs(const QString& answer) {
        platform.saveAnswers << answer;
        form.findChild<QAction*>("SalvarComo1")->trigger();
    }
    void open(const QString& answer) {
        platform.openAnswers << answer;
        QTest::mouseClick(find<QToolButton>("SpeedButton1"), Qt::LeftButton);
    }
    QByteArray bytes(const QString& file) const {
        QFile f(file);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << file.toStdString();
        return f.readAll();
    }
};

TEST_F(TavoFiles, saveAsThenOpenRestoresEveryFieldAndChoice) {
    // State: fields and every choice changed from their initial state.
    retype(edit("Edit6"), "155");
    retype(edit("Edit12"), "1.23456");
    retype(edit("Edit22"), "0.1");
    typeInto("ComboBox2", "Código RZ");
    typeInto("ComboBox3", "InGaAs PIN (1300nm)");
    find<QRadioButton>("RadioButton7")->setChecked(true); // LASER, never shown
    find<QRadioButton>("RadioButton9")->click();
    saveAs(path("link"));
    EXPECT_TRUE(platform.boxes.isEmpty()) << platform.boxes.join("; ").toStdString();
    EXPECT_EQ(form.ProjectFileName, path("link.dig"));
    EXPECT_EQ(form.windowTitle(), "VANTERO [ " + path("link.dig") + " ]");
    EXPECT_EQ(bytes(path("link.dig")).size(), 126);

    // A fresh window opens it: numbers as three-decimal text, choices set.
    ui::RecordingPlatform other;
    TFormTAVO reopened(other);
    other.openAnswers << path("link.dig");
    reopened.findChild<QAction*>("Abrir1")->trigger();
    EXPECT_TRUE(other.boxes.isEmpty()) << other.boxes.join("; ").toStdString();
    const auto textOf = [&](const char* name) {
        return reopened.findChild<QLineEdit*>(name)->text();
    };
    EXPECT_EQ(textOf("Edit6"), "155.000");
    EXPECT_EQ(textOf("Edit12"), "1.235");
    EXPECT_EQ(textOf("Edit19"), "0.350");
    EXPECT_EQ(textOf("Edit22"), "0.100");
    EXPECT_EQ(textOf("Edit8"), "1330.000");
    EXPECT_EQ(reopened.findChild<QComboBox*>("ComboBox2")->currentIndex(), 1);
    EXPECT_EQ(reopened.findChild<QComboBox*>("ComboBox3")->currentIndex(), 4);
    EXPECT_EQ(reopened.findChild<QComboBox*>("ComboBox1")->currentIndex(), 0);
    EXPECT_TRUE(reopened.findChild<QRadioButton*>("RadioButton7")->isChecked());
    EXPECT_TRUE(reopened.findChild<QRadioButton*>("RadioButton9")->isChecked());
    EXPECT_EQ(reopened.windowTitle(), "VANTERO [ " + path("link.dig") + " ]");
    // Selecting from the file runs no list action: the sensitivity and the
    // dispersion rows stay as they were.
    EXPECT_EQ(textOf("Edit9"), "-38.21522");
    EXPECT_TRUE(reopened.findChild<QWidget*>("Edit8")->isHidden());
}

TEST_F(TavoFiles, saveKeepsAnExtensionInAnyCaseAndAppendsItOtherwise) {
    saveAs(path("x.DIG"));
    EXPECT_TRUE(QFile::exists(path("x.DIG")));
    saveAs(path("x.dig.bak"));
    EXPECT_TRUE(QFile::exists(path("x.dig.bak.dig")));
    // "Salvar..." now writes to the current file without asking.
    retype(edit("Edit4"), "7");
    QTest::mouseClick(find<QToolButton>("SpeedButton2"), Qt::LeftButton);
    EXPECT_EQ(platform.saveDialogs, 2);
    EXPECT_EQ(bytes(path("x.dig.bak.dig")).mid(6, 6), QByteArray::fromHex("83 00 00 00 00 60"));
}

TEST_F(TavoFiles, saveRightAfterStartAsksForANameAndCancelWritesNothing) {
    form.findChild<QAction*>("Salvar1")->trigger();
    EXPECT_EQ(platform.saveDialogs, 1);
    EXPECT_TRUE(form.ProjectFileName.isEmpty());
    EXPECT_EQ(form.windowTitle(),
              "Distância Máxima Alcançada para Enlace Ponto-a-Ponto com Modulação Digital");
    EXPECT_TRUE(QDir(folder.path()).isEmpty());
}

TEST_F(TavoFiles, aFileOfAnotherKindIsRefused) {
    saveAs(path("link"));
    const QString title = form.windowTitle();
    retype(edit("Edit6"), "99");
    open(path("link.dat"));
    EXPECT_EQ(platform.boxes, QStringList{"warning: O VANTERO não pode abrir este arquivo"});
    EXPECT_EQ(form.windowTitle(), title);
    EXPECT_EQ(form.ProjectFileName, path("link.dig"));
    EXPECT_EQ(text("Edit6"), "99");
}

TEST_F(TavoFiles, aShortFileChangesNothing) {
    saveAs(path("link"));
    QFile shortFile(path("short.dig"));
    ASSERT_TRUE(shortFile.open(QIODevice::WriteOnly));
    shortFile.write(bytes(path("link.dig")).left(90));
    shortFile.close();
    retype(edit("Edit3"), "8");
    open(path("short.dig"));
    EXPECT_EQ(platform.boxes, QStringList{"failure: Read beyond end of file."});
    EXPECT_EQ(text("Edit3"), "8");
    EXPECT_EQ(form.ProjectFileName, path("link.dig"));
    EXPECT_EQ(form.windowTitle(), "VANTERO [ " + path("link.dig") + " ]");
}

TEST_F(TavoFiles, aBadNumberStopsTheSaveAndLeavesTheFileAlone) {
    saveAs(path("link"));
    const QByteArray before = bytes(path("link.dig"));
    retype(edit("Edit3"), "1,5");
    form.findChild<QAction*>("Salvar1")->trigger();
    EXPECT_EQ(platform.boxes, QStringList{"failure: \"1,5\" não é um número válido."});
    EXPECT_TRUE(edit("Edit3")->hasFocus());
    EXPECT_EQ(bytes(path("link.dig")), before);
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList{"link.dig"});
}

TEST_F(TavoFiles, aTypedSensitivityIsSavedAsNoDetector) {
    retype(edit("Edit9"), "-40");
    saveAs(path("typed"));
    EXPECT_EQ(bytes(path("typed.dig")).mid(108, 6), QByteArray(6, '\0'));
    typeInto("ComboBox3", "Si APD (800-900nm)");
    open(path("typed.dig"));
    EXPECT_TRUE(platform.boxes.isEmpty()) << platform.boxes.join("; ").toStdString();
    // No code: the list stays as it was.
    EXPECT_EQ(list("ComboBox3")->currentIndex(), 1);
}

TEST_F(Tavo, noLabelIsCutOff) {
    const auto check = [](QWidget* window) {
        for (QLabel* label : window->findChildren<QLabel*>()) {
            if (!label->wordWrap()) {
                EXPECT_LE(label->sizeHint().width(), label->width())
                    << label->objectName().toStdString() << ": " << label->text().toStdString();
            } else {
                EXPECT_LE(label->heightForWidth(label->width()), label->height())
                    << label->objectName().toStdString();
            }
        }
        for (QAbstractButton* button : window->findChildren<QAbstractButton*>()) {
            if (!button->text().isEmpty() && button->isVisibleTo(window)) {
                EXPECT_LE(button->sizeHint().width(), button->width() + 8)
                    << button->objectName().toStdString();
            }
        }
    };
    check(&form);
    check(form.DialogFibra);
}

TEST_F(Tavo, everyWidgetHasAnAccessibleName) {
    EXPECT_EQ(edit("Edit6")->accessibleName(), "Taxa de transmissão de dados (Mbits/s)");
    EXPECT_EQ(find<QPushButton>("BitBtn1")->accessibleName(), "OK");
    for (QWidget* widget : form.findChildren<QWidget*>()) {
        if (!widget->objectName().isEmpty() && !widget->objectName().startsWith("qt_")) {
            EXPECT_FALSE(widget->accessibleName().isEmpty()) << widget->objectName().toStdString();
        }
    }
}

} // namespace
} // namespace vantero::tavo
