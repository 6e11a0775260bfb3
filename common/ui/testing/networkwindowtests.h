#pragma once

// The window tests that only the passive star and the ring windows share:
// their radio groups, the "..." button that follows the fibre type, and the
// help button that does nothing. A program's test file instantiates it with
// the same `Program` struct as the shared suite:
//   INSTANTIATE_TYPED_TEST_SUITE_P(Estrela, NetworkWindow, StarProgram);

#include "common/ui/testing/calculatorwindowtests.h"

namespace vantero::ui::testing {

template <typename Program> struct NetworkWindow : CalculatorWindow<Program> {};

TYPED_TEST_SUITE_P(NetworkWindow);

TYPED_TEST_P(NetworkWindow, theFibreButtonFollowsTheFibreType) {
    auto* button = this->find("Button1");
    EXPECT_FALSE(button->isEnabled());
    this->item("RadioGroup1", 1)->click();
    EXPECT_TRUE(button->isEnabled());
    this->clickFibreButton();
    EXPECT_TRUE(this->dialog.isVisible());

    this->item("RadioGroup1", 0)->click();
    EXPECT_FALSE(button->isEnabled());
    EXPECT_TRUE(this->dialog.isVisible());
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

TYPED_TEST_P(NetworkWindow, theHelpButtonDoesNothing) {
    QTest::mouseClick(this->template find<QPushButton>("BitBtn3"), Qt::LeftButton);
    EXPECT_TRUE(this->platform.boxes.isEmpty()) << this->boxes().toStdString();
    EXPECT_EQ(this->platform.openDialogs + this->platform.saveDialogs, 0);
    EXPECT_EQ(this->platform.endRequests, 0);
    EXPECT_FALSE(this->find("GroupBox1")->isVisible()); // no calculation ran
}

TYPED_TEST_P(NetworkWindow, openingAFileRunsTheFibreTypesActionOnlyForAChange) {
    // State: a file of single-mode fibre and one of multimode fibre; the
    // window on multimode fibre with the dialog open.
    this->item("RadioGroup1", 1)->click();
    this->saveAs(this->path("multi"));
    const QString multi = this->form.ProjectFileName;
    this->item("RadioGroup1", 0)->click();
    this->saveAs(this->path("mono"));
    const QString mono = this->form.ProjectFileName;
    auto* button = this->find("Button1");

    this->open(multi);
    EXPECT_EQ(this->checked("RadioGroup1"), 1);
    EXPECT_TRUE(button->isEnabled());
    this->clickFibreButton();

    this->open(mono);
    EXPECT_EQ(this->checked("RadioGroup1"), 0);
    EXPECT_FALSE(button->isEnabled());
    EXPECT_TRUE(this->dialog.isVisible()); // not hidden by the change

    // The same file again selects what is already selected: nothing runs.
    button->setEnabled(true);
    this->open(mono);
    EXPECT_TRUE(button->isEnabled());
    EXPECT_TRUE(this->platform.boxes.isEmpty()) << this->boxes().toStdString();
}

REGISTER_TYPED_TEST_SUITE_P(NetworkWindow, theFibreButtonFollowsTheFibreType,
                            tabRunsDownTheFibrePageToTheFibreButton, theHelpButtonDoesNothing,
                            openingAFileRunsTheFibreTypesActionOnlyForAChange);

} // namespace vantero::ui::testing
