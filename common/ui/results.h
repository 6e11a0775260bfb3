#pragma once

#include "common/fields.h"
#include "common/ui/platform.h"

#include <QLabel>
#include <QLineEdit>
#include <QString>
#include <QWidget>

#include <span>

namespace vantero::ui {

// Names a label, and the field it stands for, after its caption, for
// assistive technology; called again whenever the caption changes.
void nameByCaption(QLabel* label);

// Writes the outputs of a calculation run into the window in the order the
// run set them: a number or text into its field or label, a message in an
// error box (waiting there until it is dismissed). A failure that ended the
// run is raised last, for the handler guard to show.
template <typename Result>
void applyOutputs(QWidget* window, Platform& platform, const Result& result,
                  std::span<const ResultField<Result>> fields) {
    for (const auto& field : fields) {
        const Output& output = result.*field.member;
        if (!output.isSet()) {
            continue;
        }
        const QString text = QString::fromStdString(output.text());
        if (field.kind == OutputKind::Message) {
            platform.showError(window, text);
            continue;
        }
        QWidget* target = window->findChild<QWidget*>(QString::fromUtf8(field.component));
        if (auto* edit = qobject_cast<QLineEdit*>(target)) {
            edit->setText(text);
        } else if (auto* label = qobject_cast<QLabel*>(target)) {
            label->setText(text);
            nameByCaption(label);
        }
    }
    if (result.fault) {
        result.fault->raise();
    }
}

// The input record of a calculation from the texts of the window's fields:
// each numeric input from the field the table names (or the multimode fibre
// dialog's entry field), as it stands.
template <typename Input>
void readInputs(const QWidget* window, const QLineEdit* dialogField, Input& input,
                std::span<const InputField<Input>> fields) {
    for (const auto& field : fields) {
        const QLineEdit* edit =
            field.heldByDialog
                ? dialogField
                : window->findChild<const QLineEdit*>(QString::fromUtf8(field.component));
        input.*field.member = NumberText(edit->text().toStdString());
    }
}

// The field that holds the named input, for the handler guard to focus.
template <typename Input>
QWidget* inputField(QWidget* window, QLineEdit* dialogField,
                    std::span<const InputField<Input>> fields, std::string_view name) {
    const InputField<Input>* field = findInput(fields, name);
    if (field == nullptr) {
        return nullptr;
    }
    return field->heldByDialog ? dialogField
                               : window->findChild<QLineEdit*>(QString::fromUtf8(field->component));
}

// Gives every widget of a window a name for assistive technology and outside
// test drivers: a label by its caption, a field by the label that stands for
// it, any other widget by its caption, else by its component name.
void nameForAssistiveTechnology(QWidget* window);

} // namespace vantero::ui
