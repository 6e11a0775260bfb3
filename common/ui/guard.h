#pragma once

#include <QString>

#include <functional>
#include <string_view>

class QWidget;

namespace vantero::ui {

class Platform;

// Runs the window's event handlers. The one place where a failure of a
// handler is caught: it ends the handler and is shown in the application's
// error box. When the failure is a text that is not a number and the window
// can tell which field held it, that field then gets the focus with its text
// selected, ready to be corrected, on its notebook page brought to the front.
class HandlerGuard {
public:
    // Finds the field that holds the input of the given name, or nullptr.
    using FieldLocator = std::function<QWidget*(std::string_view input)>;

    HandlerGuard(Platform& platform, QWidget* window, FieldLocator locator = {});

    void run(const std::function<void()>& handler) const;

    // A slot that runs `handler` of `object` under the guard.
    template <typename Object> auto slot(Object* object, void (Object::*handler)()) const {
        return [this, object, handler] { run([object, handler] { (object->*handler)(); }); };
    }

    Platform& platform() const { return m_platform; }

private:
    Platform& m_platform;
    QWidget* m_window;
    FieldLocator m_locator;
};

} // namespace vantero::ui
