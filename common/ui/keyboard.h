#pragma once

#include <QObject>

class QAbstractButton;
class QWidget;

namespace vantero::ui {

// The keyboard of a main window: Enter in any field, list, radio button or
// page tab runs the window's default button, and Esc does nothing there.
// A push button with the focus keeps its own Enter and Space.
class EnterRunsDefault final : public QObject {
    Q_OBJECT

public:
    // Installs itself on every descendant of `window` that takes the
    // keyboard (call once the window's widgets exist).
    EnterRunsDefault(QWidget* window, QAbstractButton* defaultButton);

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QAbstractButton* m_defaultButton;
};

} // namespace vantero::ui
