#pragma once

#include "common/calculator/fields.h"

#include <QList>
#include <QObject>

class QComboBox;
class QGroupBox;
class QRadioButton;
class QWidget;

namespace vantero::ui {

// Makes a drop-down list behave as the calculators' lists do: its text can be
// typed into; typed text that is not one of the items leaves the list with no
// selection (and text that is an item selects it); nothing completes typed
// text into an item. userChanged() is emitted only for the user's own changes
// (picking an item, typing); selecting from program code emits nothing.
class ChoiceList final : public QObject {
    Q_OBJECT

public:
    explicit ChoiceList(QComboBox* list);

    // The selected item, -1 for none.
    int selectedIndex() const;
    // Selects an item (or none, with -1) without any change event. Selecting
    // none empties the list's text.
    void select(int index);

signals:
    void userChanged();

private:
    void onTextEdited(const QString& text);

    QComboBox* m_list;
};

// Checks one of a pair of radio buttons, or neither (index -1), which
// exclusive buttons do not allow by themselves.
void checkRadio(QRadioButton* first, QRadioButton* second, int index);
int checkedRadio(const QRadioButton* first, const QRadioButton* second);

// A radio group is a group box whose radio buttons (its direct children, in
// their order) are its items; other controls may stand in it too.
QList<QRadioButton*> groupButtons(const QGroupBox* group);
// The index of the group's checked item, -1 for none.
int checkedItem(const QGroupBox* group);

// The item of a choice that the window has selected, -1 for none: a list's
// selected item, a radio group's checked item, or which of a pair of radio
// buttons is checked. `fields` holds the choice's components.
int selectedItem(const QWidget* fields, const ChoiceDescription& choice);

} // namespace vantero::ui
