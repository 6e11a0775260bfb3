#include "common/ui/results.h"

#include "common/ui/platform.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QToolButton>

namespace vantero::ui {
namespace {

// A drop-down list for assistive technology: named by the label whose buddy
// it is or by the group it stands in, its value the text it shows; its
// children the list of items and, when it can be typed into, its edit box.
// (The toolkit's own list takes its shown item for its name on this desktop.)
class NamedList final : public QAccessibleWidget {
public:
    explicit NamedList(QComboBox* list) : QAccessibleWidget(list, QAccessible::ComboBox) {}

    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Value) {
            return shown();
        }
        const QString text = QAccessibleWidget::text(kind);
        return kind == QAccessible::Name && text.isEmpty() ? shown() : text;
    }

    int childCount() const override { return list()->isEditable() ? 2 : 1; }
    QAccessibleInterface* child(int index) const override {
        if (index == 0) {
            return QAccessible::queryAccessibleInterface(list()->view());
        }
        if (index == 1 && list()->isEditable()) {
            return QAccessible::queryAccessibleInterface(list()->lineEdit());
        }
        return nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        if (child->object() == list()->view()) {
            return 0;
        }
        return list()->isEditable() && child->object() == list()->lineEdit() ? 1 : -1;
    }
    QAccessibleInterface* focusChild() const override {
        return list()->isEditable() ? child(1) : nullptr;
    }

    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.expandable = true;
        state.expanded = isOpen();
        state.editable = list()->isEditable();
        return state;
    }

    QStringList actionNames() const override { return {showMenuAction(), pressAction()}; }
    void doAction(const QString& action) override {
        if (action != showMenuAction() && action != pressAction()) {
            QAccessibleWidget::doAction(action);
        } else if (isOpen()) {
            list()->hidePopup();
        } else {
            list()->showPopup();
        }
    }

private:
    QComboBox* list() const { return static_cast<QComboBox*>(object()); }
    bool isOpen() const { return list()->view() != nullptr && list()->view()->isVisible(); }
    QString shown() const {
        return list()->isEditable() ? list()->lineEdit()->text() : list()->currentText();
    }
};

QAccessibleInterface* namedLists(const QString& className, QObject* object) {
    if (className == QLatin1String("QComboBox") && object->isWidgetType()) {
        return new NamedList(static_cast<QComboBox*>(object));
    }
    return nullptr;
}

// A caption as a name: one line, its line breaks read as spaces, without the
// mark of its mnemonic ("&&" stays a "&").
QString oneLineName(const QString& caption) {
    QString name;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == QLatin1Char('&') && i + 1 < caption.size()) {
            ++i;
        }
        name += caption[i] == QLatin1Char('\n') ? QLatin1Char(' ') : caption[i];
    }
    return name;
}

// A label on two lines names itself and its field on one. Elsewhere the
// toolkit's own names stand, which follow the caption as it changes.
void nameByOneLine(QLabel* label) {
    const QString name =
        label->text().contains(QLatin1Char('\n')) ? oneLineName(label->text()) : QString();
    label->setAccessibleName(name);
    if (QWidget* field = label->buddy()) {
        field->setAccessibleName(name);
    }
}

QString nameOf(QWidget* widget) {
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
    return accessible != nullptr ? accessible->text(QAccessible::Name) : QString();
}

} // namespace

void writeOutputs(QWidget* fields, Platform& platform, const RunReport& report) {
    for (const RunOutput& output : report.outputs) {
        const QString text = QString::fromStdString(output.output.text());
        if (output.kind == OutputKind::Message) {
            platform.showError(fields->window(), text);
            continue;
        }
        QWidget* target = fields->findChild<QWidget*>(QString::fromUtf8(output.component));
        if (auto* edit = qobject_cast<QLineEdit*>(target)) {
            edit->setText(text);
        } else if (auto* label = qobject_cast<QLabel*>(target)) {
            label->setText(text);
            nameByOneLine(label);
        }
    }
}

void nameListsByTheirLabels() {
    QAccessible::installFactory(namedLists); // once: installing again changes nothing
}

void nameForAssistiveTechnology(QWidget* window) {
    const auto pictures = window->findChildren<QToolButton*>();
    for (QToolButton* button : pictures) {
        // Shown as a picture only; the text names it.
        if (button->text().isEmpty() && !button->toolTip().isEmpty()) {
            button->setText(button->toolTip());
        }
    }
    const auto labels = window->findChildren<QLabel*>();
    for (QLabel* label : labels) {
        nameByOneLine(label);
    }
    const auto notebooks = window->findChildren<QTabWidget*>();
    for (QTabWidget* notebook : notebooks) {
        for (int i = 0; i < notebook->count(); ++i) {
            notebook->widget(i)->setAccessibleName(notebook->tabText(i).remove(QLatin1Char('&')));
        }
    }
    const auto widgets = window->findChildren<QWidget*>();
    for (QWidget* widget : widgets) {
        // A label names itself by its caption, whatever it becomes.
        const bool named = widget->objectName().isEmpty() ||
                           widget->objectName().startsWith(QLatin1String("qt_")) ||
                           qobject_cast<QLabel*>(widget) != nullptr;
        if (!named && nameOf(widget).isEmpty()) {
            widget->setAccessibleName(widget->objectName());
        }
    }
}

} // namespace vantero::ui
