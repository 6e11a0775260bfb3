#pragma once

#include <QObject>

class QAbstractButton;
class QTabWidget;
class QWidget;

namespace vantero::ui {

// The keyboard of a main window: Enter in any field, closed list, radio
// button or page tab runs the window's default button, and Esc does nothing
// there. A push button with the focus keeps its own Enter and Space. An open
// drop-down list keeps its keys as lists do: Enter picks the highlighted item,
// as the user's own pick, and Esc closes the list.
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

// Gives the keyboard focus to the first field of the notebook's page that is
// shown, in the page's tab order: where a window starts, so that Enter runs
// its default button at once.
void focusFirstField(QTabWidget* notebook);

} // namespace vantero::ui
