#include "common/ui/guard.h"

#include "common/numbers/failure.h"
#include "common/ui/platform.h"

#include <QLineEdit>
#include <QStackedWidget>
#include <QTabWidget>
#include <QWidget>

#include <exception>
#include <new>

namespace vantero::ui {
namespace {

// Brings a field into view: the notebook pages that hold it come to the front.
void showPagesOf(QWidget* field) {
    for (QWidget* widget = field; widget->parentWidget() != nullptr;
         widget = widget->parentWidget()) {
        auto* stack = qobject_cast<QStackedWidget*>(widget->parentWidget());
        if (stack == nullptr) {
            continue;
        }
        if (auto* notebook = qobject_cast<QTabWidget*>(stack->parentWidget())) {
            notebook->setCurrentWidget(widget);
        } else {
            stack->setCurrentWidget(widget);
        }
    }
}

} // namespace

HandlerGuard::HandlerGuard(Platform& platform, QWidget* window, FieldLocator locator)
    : m_platform(platform), m_window(window), m_locator(std::move(locator)) {}

void HandlerGuard::run(const std::function<void()>& handler) const {
    try {
        handler();
    } catch (const NumberFormatFailure& failure) {
        m_platform.showFailure(m_window, QString::fromStdString(failure.text()));
        QWidget* field =
            m_locator && !failure.input().empty() ? m_locator(failure.input()) : nullptr;
        if (field != nullptr) {
            showPagesOf(field);
            field->window()->show();
            field->window()->raise();
            field->window()->activateWindow();
            field->setFocus(Qt::OtherFocusReason);
            if (auto* edit = qobject_cast<QLineEdit*>(field)) {
                edit->selectAll();
            }
        }
    } catch (const Failure& failure) {
        m_platform.showFailure(m_window, QString::fromStdString(failure.text()));
    } catch (const std::bad_alloc&) {
        m_platform.showFailure(m_window, QStringLiteral("Out of memory"));
    } catch (const std::exception& failure) {
        // Not one of the calculators' own failures (memory exhausted, say):
        // still shown, and the user can go on working.
        m_platform.showFailure(m_window, QString::fromLocal8Bit(failure.what()));
    }
}

} // namespace vantero::ui
