#include "common/ui/choicelist.h"

#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace vantero::ui {
namespace {

struct List {
    QComboBox combo;
    ChoiceList* list;
    List() : list(new ChoiceList(&combo)) {
        combo.addItems({"1E-9", "1E-11"});
        list->select(0);
        combo.show();
    }
};

TEST(ChoiceList, typedTextSelectsTheMatchingItemOrNone) {
    // Typed text: an item's exact text selects it, anything else selects none
    // and stays in the box as typed, with no completion into an item.
    struct Case {
        const char* typed;
        int selected;
    };
    for (const Case c :
         {Case{"1E-11", 1}, Case{"1E-9", 0}, Case{"1E-1", -1}, Case{"xyz", -1}, Case{"1e-9", -1}}) {
        List l;
        QSignalSpy changes(l.list, &ChoiceList::userChanged);
        l.combo.lineEdit()->clear();
        QTest::keyClicks(l.combo.lineEdit(), c.typed);
        EXPECT_EQ(l.list->selectedIndex(), c.selected) << c.typed;
        EXPECT_EQ(l.combo.currentText(), c.typed) << c.typed;
        EXPECT_EQ(changes.count(), static_cast<int>(std::strlen(c.typed))) << c.typed;
        EXPECT_EQ(l.combo.count(), 2) << "typed text was added as an item";
    }
}

TEST(ChoiceList, selectingFromProgramCodeRaisesNoChange) {
    List l;
    QSignalSpy changes(l.list, &ChoiceList::userChanged);
    l.list->select(1);
    EXPECT_EQ(l.list->selectedIndex(), 1);
    l.list->select(-1);
    EXPECT_EQ(l.list->selectedIndex(), -1);
    EXPECT_EQ(l.combo.currentText(), "");
    EXPECT_EQ(changes.count(), 0);
}

TEST(ChoiceList, pickingAnItemWithTheKeyboardIsAUserChange) {
    List l;
    QSignalSpy changes(l.list, &ChoiceList::userChanged);
    l.combo.setFocus();
    QTest::keyClick(&l.combo, Qt::Key_Down);
    EXPECT_EQ(l.list->selectedIndex(), 1);
    EXPECT_GE(changes.count(), 1);
}

TEST(Radio, aPairCanHaveNeitherChecked) {
    QWidget parent;
    auto* first = new QRadioButton(&parent);
    auto* second = new QRadioButton(&parent);
    checkRadio(first, second, 1);
    EXPECT_EQ(checkedRadio(first, second), 1);
    checkRadio(first, second, -1);
    EXPECT_EQ(checkedRadio(first, second), -1);
    checkRadio(first, second, 0);
    EXPECT_EQ(checkedRadio(first, second), 0);
    // Still exclusive for the user afterwards.
    second->click();
    EXPECT_FALSE(first->isChecked());
}

} // namespace
} // namespace vantero::ui
