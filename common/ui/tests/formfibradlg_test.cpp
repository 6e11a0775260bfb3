#include "common/ui/formfibradlg.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace vantero::ui {
namespace {

void retype(QLineEdit* edit, const char* text) {
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

TEST(FormFibraDlg, startsHiddenHoldingOneHundred) {
    TFormFibraDlg dialog;
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.windowTitle(), "Fibra Multimodo");
    EXPECT_EQ(dialog.Edit1->text(), "100");
    EXPECT_EQ(dialog.Edit2->text(), "100");
    EXPECT_FALSE(dialog.Edit2->isVisibleTo(&dialog));
    EXPECT_EQ(dialog.Label1->text(), "Banda óptica normalizada na fibra (MHz.km)");
    EXPECT_EQ(dialog.size(), QSize(313, 153));
}

TEST(FormFibraDlg, isModelessOnTopWithoutACloseBox) {
    TFormFibraDlg dialog;
    dialog.showModeless();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_FALSE(dialog.isModal());
    const Qt::WindowFlags flags = dialog.windowFlags();
    EXPECT_TRUE(flags & Qt::WindowStaysOnTopHint);
    EXPECT_FALSE(flags & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(flags & Qt::WindowSystemMenuHint);
    EXPECT_EQ(dialog.Edit1->text(), "100"); // showing changes neither field
}

TEST(FormFibraDlg, okKeepsTheValueAndCancelBringsTheLastOneBack) {
    TFormFibraDlg dialog;
    dialog.showModeless();
    retype(dialog.Edit1, "250");
    QTest::mouseClick(dialog.CancelBtn, Qt::LeftButton);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.Edit1->text(), "100");

    dialog.showModeless();
    retype(dialog.Edit1, "250");
    QTest::mouseClick(dialog.OKBtn, Qt::LeftButton);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.Edit2->text(), "250");

    dialog.showModeless();
    retype(dialog.Edit1, "300");
    QTest::mouseClick(dialog.CancelBtn, Qt::LeftButton);
    EXPECT_EQ(dialog.Edit1->text(), "250");
}

TEST(FormFibraDlg, enterIsOkAndEscIsCancel) {
    TFormFibraDlg dialog;
    dialog.showModeless();
    retype(dialog.Edit1, "123");
    QTest::keyClick(dialog.Edit1, Qt::Key_Return);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.Edit2->text(), "123");

    dialog.showModeless();
    retype(dialog.Edit1, "999");
    QTest::keyClick(dialog.Edit1, Qt::Key_Escape);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.Edit1->text(), "123");
}

TEST(FormFibraDlg, closingFromTheDesktopCountsAsCancel) {
    TFormFibraDlg dialog;
    dialog.showModeless();
    retype(dialog.Edit1, "77");
    dialog.close();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.Edit1->text(), "100");
}

TEST(FormFibraDlg, helpDoesNothing) {
    TFormFibraDlg dialog;
    dialog.showModeless();
    QTest::mouseClick(dialog.HelpBtn, Qt::LeftButton);
    EXPECT_TRUE(dialog.isVisible());
}

} // namespace
} // namespace vantero::ui
