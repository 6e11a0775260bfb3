#include "common/numbers/failure.h"
#include "common/ui/guard.h"
#include "common/ui/testing/recordingplatform.h"

#include <QLineEdit>
#include <QTabWidget>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <stdexcept>

namespace vantero::ui {
namespace {

struct Window {
    RecordingPlatform platform;
    QWidget window;
    QLineEdit* field = new QLineEdit(QStringLiteral("0,35"), &window);
    QLineEdit* other = new QLineEdit(&window);
    HandlerGuard guard{platform, &window, [this](std::string_view input) -> QWidget* {
                           return input == "fibreAttenuation" ? field : nullptr;
                       }};
    Window() {
        window.show();
        window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
        other->setFocus();
    }
};

TEST(HandlerGuard, showsAFailureInTheErrorBoxWithAFullStop) {
    Window w;
    bool after = false;
    w.guard.run([&] {
        throw ArithmeticFault(FaultKind::DivisionByZero);
        after = true; // never reached: the failure ends the handler
    });
    EXPECT_FALSE(after);
    EXPECT_EQ(w.platform.boxes, QStringList{"failure: Floating point division by zero."});
}

TEST(HandlerGuard, focusesTheFieldThatHeldANumberItCouldNotRead) {
    Window w;
    w.guard.run([] { throw NumberFormatFailure("0,35", "fibreAttenuation"); });
    EXPECT_EQ(w.platform.boxes, QStringList{"failure: \"0,35\" não é um número válido."});
    EXPECT_TRUE(w.field->hasFocus());
    EXPECT_EQ(w.field->selectedText(), "0,35");
}

TEST(HandlerGuard, theFieldsNotebookPageComesToTheFront) {
    // State: the field stands on the second page of a notebook showing the
    // first. Expected: its page shows, and the field has the focus.
    RecordingPlatform platform;
    QTabWidget notebook;
    auto* first = new QLineEdit;
    auto* second = new QWidget;
    auto* field = new QLineEdit(QStringLiteral("1,5"), second);
    notebook.addTab(first, QStringLiteral("Sistema"));
    notebook.addTab(second, QStringLiteral("Fibra"));
    HandlerGuard guard(platform, &notebook, [&](std::string_view) { return field; });
    notebook.show();
    notebook.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&notebook));
    first->setFocus();

    guard.run([] { throw NumberFormatFailure("1,5", "fibreAttenuation"); });
    EXPECT_EQ(notebook.currentIndex(), 1);
    EXPECT_TRUE(field->isVisible());
    EXPECT_TRUE(field->hasFocus());
    EXPECT_EQ(field->selectedText(), "1,5");
}

TEST(HandlerGuard, anUnknownFieldMovesNoFocus) {
    Window w;
    w.guard.run([] { throw NumberFormatFailure("x", "somethingElse"); });
    EXPECT_EQ(w.platform.boxes.size(), 1);
    EXPECT_TRUE(w.other->hasFocus());
}

TEST(HandlerGuard, otherFailuresAreShownToo) {
    Window w;
    w.guard.run([] { throw FileFailure(2); });
    w.guard.run([] { throw std::runtime_error("no more handles"); });
    w.guard.run([] { throw std::bad_alloc(); });
    EXPECT_EQ(w.platform.boxes,
              (QStringList{"failure: File not found.", "failure: no more handles.",
                           "failure: Out of memory."}));
}

TEST(HandlerGuard, aHandlerThatSucceedsShowsNothing) {
    Window w;
    int runs = 0;
    w.guard.run([&] { ++runs; });
    EXPECT_EQ(runs, 1);
    EXPECT_TRUE(w.platform.boxes.isEmpty());
}

} // namespace
} // namespace vantero::ui
