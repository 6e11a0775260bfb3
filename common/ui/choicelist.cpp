#include "common/ui/choicelist.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QWidget>

namespace vantero::ui {

ChoiceList::ChoiceList(QComboBox* list) : QObject(list), m_list(list) {
    list->setEditable(true);
    list->setInsertPolicy(QComboBox::NoInsert);
    list->setCompleter(nullptr);
    list->setDuplicatesEnabled(true);
    connect(list, &QComboBox::activated, this, [this] { emit userChanged(); });
    connect(list->lineEdit(), &QLineEdit::textEdited, this, &ChoiceList::onTextEdited);
}

int ChoiceList::selectedIndex() const {
    return m_list->currentIndex();
}

void ChoiceList::select(int index) {
    const QSignalBlocker blocker(m_list);
    m_list->setCurrentIndex(index);
    if (index < 0) {
        m_list->setEditText(QString());
    }
}

void ChoiceList::onTextEdited(const QString& text) {
    // The list follows the text: an item's exact text selects it, any other
    // text selects none. The text itself stays as typed.
    const int match = m_list->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    QLineEdit* edit = m_list->lineEdit();
    const int cursor = edit->cursorPosition();
    {
        const QSignalBlocker blocker(m_list);
        m_list->setCurrentIndex(match);
        m_list->setEditText(text);
    }
    edit->setCursorPosition(cursor);
    emit userChanged();
}

void checkRadio(QRadioButton* first, QRadioButton* second, int index) {
    for (QRadioButton* button : {first, second}) {
        button->setAutoExclusive(false);
    }
    first->setChecked(index == 0);
    second->setChecked(index == 1);
    for (QRadioButton* button : {first, second}) {
        button->setAutoExclusive(true);
    }
}

int checkedRadio(const QRadioButton* first, const QRadioButton* second) {
    return first->isChecked() ? 0 : second->isChecked() ? 1 : -1;
}

QList<QRadioButton*> groupButtons(const QGroupBox* group) {
    return group->findChildren<QRadioButton*>(Qt::FindDirectChildrenOnly);
}

int checkedItem(const QGroupBox* group) {
    const QList<QRadioButton*> buttons = groupButtons(group);
    for (int i = 0; i < buttons.size(); ++i) {
        if (buttons[i]->isChecked()) {
            return i;
        }
    }
    return -1;
}

int selectedItem(const QWidget* fields, const ChoiceDescription& choice) {
    auto named = [&](std::string_view component) {
        return fields->findChild<QWidget*>(QString::fromUtf8(component));
    };
    QWidget* widget = named(choice.components[0]);
    if (choice.isButtonPair()) {
        return checkedRadio(qobject_cast<QRadioButton*>(widget),
                            qobject_cast<QRadioButton*>(named(choice.components[1])));
    }
    if (auto* list = qobject_cast<QComboBox*>(widget)) {
        return list->currentIndex();
    }
    return checkedItem(qobject_cast<QGroupBox*>(widget));
}

} // namespace vantero::ui
