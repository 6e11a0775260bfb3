#include "common/ui/testing/calculatorwindowtests.h"
#include "common/ui/testing/reportentrytests.h"
#include "tavo/core/description.h"
#include "tavo/dialogfibra.h"
#include "tavo/formtavo.h"

namespace vantero::tavo {
namespace {

// The point-to-point window, as the shared window tests see it.
struct PointProgram {
    using Form = TFormTAVO;
    static const Calculator& calculator() { return tavo::calculator(); }
    static const VerdictTexts& texts() { return pointLinkTexts; }

    static constexpr const char* formName = "FormTAVO";
    static constexpr QSize clientArea{662, 498};
    static constexpr QRect notebookGeometry{10, 50, 340, 397};
    static constexpr QRect panelGeometry{359, 40, 293, 407};
    static constexpr int buttonsY = 461;
    static constexpr int startPage = 2;                 // "Receptor"
    static constexpr const char* firstField = "Edit13"; // where the focus starts
    static constexpr const char* okCaption = "&OK";
    static constexpr std::array resultFields{"Edit15", "Edit16", "Edit17", "Edit18"};
    static constexpr const char* maximumField = "Edit1";
    static constexpr bool maximumFieldIsTabStop = true; // an ordinary field
    static constexpr const char* comparisonTitle = "Comparação entre os dois balanços";
    static constexpr const char* distanceCaption = "Label1";
    static constexpr const char* fibreButton = "Button2";
    static constexpr bool fibreButtonEnabledAtStart = true;
    static constexpr const char* blankText = " ";
    static constexpr const char* badNumberField = "Edit19"; // the fibre attenuation, on "Fibra"
    // Whether OK converts the fields before it blanks the results.
    static constexpr bool convertsBeforeBlanking = true;
    static constexpr const char* foreignName = "link.dat";
    static constexpr const char* printCaption = "Imprimir...";
    static constexpr const char* riseTimeMessage =
        "tempo de subida do sistema menor que a soma dos tempos do transmissor e do receptor";

    static ui::testing::Texts defaultResults() {
        return {{"Edit9", "-38.21522"},
                {"Edit15", "49.52537"},
                {"Edit17", "15.44118"},
                {"Edit18", "17.50000"},
                {"Edit16", "2274.89331"},
                {"Label1", "Distância máxima em termos de potência (km)"},
                {"Label8", "O sistema é limitado por atenuação"},
                {"Edit1", "49.52537"},
                {"Edit21", "2.03"}}; // typed dispersion, not rewritten
    }
    // RZ picked in the line-code list: the budget can then not be met.
    template <typename Window> static void exceedRiseTimeBudget(Window& window) {
        QLineEdit* box = window.template find<QComboBox>("ComboBox2")->lineEdit();
        box->setFocus();
        box->selectAll();
        ui::testing::typeText(box, "Código RZ");
    }
    // An electrical bandwidth of 0, after the power budget and the system
    // rise time.
    template <typename Window> static void causeFault(Window& window) {
        window.retype(window.edit("Edit13"), "0");
    }
    static ui::testing::Texts afterFault() {
        return {{"Edit15", "49.52537"}, {"Edit17", "15.44118"}, {"Edit18", " "}, {"Edit16", " "}};
    }
    // "..." selects "Fibra Multimodo" itself.
    template <typename Window> static void selectMultimode(Window&) {}
};

} // namespace
} // namespace vantero::tavo

namespace vantero::ui::testing {

INSTANTIATE_TYPED_TEST_SUITE_P(Tavo, CalculatorWindow, tavo::PointProgram);
INSTANTIATE_TYPED_TEST_SUITE_P(Tavo, DesignReportEntry, tavo::PointProgram);

namespace {

using tavo::TDialogFibra;

// The point-to-point window's own behaviour: its lists, the sensitivity field,
// the dispersion rows, "..." and "A&juda".
struct Tavo : CalculatorWindow<tavo::PointProgram> {
    QComboBox* list(const char* name) const { return find<QComboBox>(name); }
    // Types into a list's edit box, as a user picking an item by name.
    void typeInto(const char* listName, const QString& typed) {
        QLineEdit* box = list(listName)->lineEdit();
        box->setFocus();
        box->selectAll();
        typeText(box, typed);
    }
};

TEST_F(Tavo, theListsStartOnTheirFirstItemsAndTheLightSourceIsHidden) {
    EXPECT_EQ(list("ComboBox3")->currentText(), "Si PIN (800-900nm)");
    EXPECT_EQ(list("ComboBox1")->currentText(), "1E-9");
    EXPECT_EQ(list("ComboBox2")->currentText(), "Código NRZ");
    EXPECT_EQ(text("Edit9"), "-38.21522");
    EXPECT_TRUE(find<QRadioButton>("RadioButton8")->isChecked());
    EXPECT_TRUE(find<QRadioButton>("RadioButton6")->isChecked());
    EXPECT_FALSE(find<QGroupBox>("GroupBox4")->isVisible()); // light source never shown
    EXPECT_EQ(form.DialogFibra, &dialog);
    EXPECT_EQ(dialog.objectName(), "DialogFibra");
    EXPECT_NE(qobject_cast<TDialogFibra*>(&dialog), nullptr);
}

TEST_F(Tavo, helpButtonRunsTheSameCalculation) {
    QTest::mouseClick(find<QPushButton>("BitBtn3"), Qt::LeftButton);
    EXPECT_EQ(text("Edit1"), "49.52537");
    EXPECT_TRUE(platform.boxes.isEmpty());
}

TEST_F(Tavo, theRiseTimesStandWhenTheRiseTimeMessageComesUp) {
    tavo::PointProgram::exceedRiseTimeBudget(*this);
    QStringList atMessage;
    platform.whileBoxIsUp = [&](const QString&) {
        atMessage = {text("Edit15"), text("Edit17"), text("Edit18"), text("Edit16")};
    };
    clickOk();
    EXPECT_EQ(atMessage, (QStringList{"49.52537", "7.72059", "17.50000", " "}));
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

TEST_F(Tavo, anOpenListTakesEnterAndEscAsListsDo) {
    // State: the photodetector list open, its second item highlighted. Enter
    // picks it as the user's own pick (the list's change event runs) and
    // closes the list without running OK; Esc closes it and changes nothing;
    // only in the closed list does Enter run OK.
    QComboBox* detectors = list("ComboBox3");
    detectors->setFocus();
    detectors->showPopup();
    QAbstractItemView* items = detectors->view();
    ASSERT_TRUE(items->isVisible());
    QTest::keyClick(items, Qt::Key_Down);
    QTest::keyClick(items, Qt::Key_Return);
    EXPECT_FALSE(items->isVisible());
    EXPECT_EQ(detectors->currentText(), "Si APD (800-900nm)");
    EXPECT_EQ(text("Edit9"), "-55.68243");
    EXPECT_EQ(text("Edit15"), "");

    detectors->showPopup();
    QTest::keyClick(items, Qt::Key_Down);
    QTest::keyClick(items, Qt::Key_Escape);
    EXPECT_FALSE(items->isVisible());
    EXPECT_EQ(detectors->currentText(), "Si APD (800-900nm)");
    EXPECT_EQ(text("Edit15"), "");

    QTest::keyClick(detectors->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(text("Edit9"), "-55.68243");
    EXPECT_EQ(text("Edit15"), "78.63738");
    EXPECT_TRUE(platform.boxes.isEmpty()) << boxes().toStdString();
}

TEST_F(Tavo, aTypedSensitivityThatIsNotANumberChangesNoResult) {
    // The sensitivity is converted only when no photodetector is selected,
    // late in the run: the results of the last run all stay.
    clickOk();
    retype(edit("Edit9"), "-4O");
    clickOk();
    EXPECT_EQ(platform.boxes, QStringList{"failure: \"-4O\" não é um número válido."});
    EXPECT_TRUE(edit("Edit9")->hasFocus());
    EXPECT_EQ(differences({{"Edit15", "49.52537"},
                           {"Edit17", "15.44118"},
                           {"Edit18", "17.50000"},
                           {"Edit16", "2274.89331"},
                           {"Edit1", "49.52537"}}),
              QStringList());
}

TEST_F(Tavo, freeTextInThePhotodetectorListIsNoSelection) {
    typeInto("ComboBox1", "1E-11");
    typeInto("ComboBox3", "my detector");
    EXPECT_EQ(list("ComboBox3")->currentIndex(), -1);
    EXPECT_EQ(list("ComboBox3")->currentText(), "my detector");
    EXPECT_EQ(list("ComboBox1")->currentText(), "1E-9");
    EXPECT_EQ(text("Edit9"), "-66.00127");
}

TEST_F(Tavo, theFibreButtonSelectsMultimodeFibre) {
    clickFibreButton();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(find<QRadioButton>("RadioButton9")->isChecked());
    clickOk();
    EXPECT_EQ(text("Edit16"), "2.86573");
}

TEST_F(Tavo, openingAFileRunsNoListAction) {
    // State: a file saved with the 1300 nm detector; the lists picked by hand
    // since. Opening selects from the file without the lists' actions: the
    // sensitivity and the dispersion rows stay as they were.
    select(choice("detectorType"), 4);
    saveAs(path("link"));
    typeInto("ComboBox3", "Si APD (800-900nm)");
    const QString sensitivity = text("Edit9");
    open(path("link.dig"));
    EXPECT_TRUE(platform.boxes.isEmpty()) << boxes().toStdString();
    EXPECT_EQ(list("ComboBox3")->currentIndex(), 4);
    EXPECT_EQ(text("Edit9"), sensitivity);
    EXPECT_TRUE(find("Edit8")->isHidden());
    // The untouched fields come back with three decimals.
    EXPECT_EQ(text("Edit19"), "0.350");
    EXPECT_EQ(text("Edit8"), "1330.000");
    EXPECT_EQ(text("Edit22"), "0.092");
}

TEST_F(Tavo, aTypedSensitivityIsSavedAsNoDetector) {
    retype(edit("Edit9"), "-40");
    saveAs(path("typed"));
    EXPECT_EQ(bytes(path("typed.dig")).mid(108, 6), QByteArray(6, '\0'));
    typeInto("ComboBox3", "Si APD (800-900nm)");
    open(path("typed.dig"));
    EXPECT_TRUE(platform.boxes.isEmpty()) << boxes().toStdString();
    // No code: the list stays as it was.
    EXPECT_EQ(list("ComboBox3")->currentIndex(), 1);
}

} // namespace
} // namespace vantero::ui::testing
