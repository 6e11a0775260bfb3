// main() of the window tests: a QApplication on the offscreen platform (when
// no platform is set), and a watchdog that fails the running test and closes
// the box if a real modal box ever comes up, instead of hanging. Every box of
// the windows goes through the recording platform, so none should.
#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    testing::InitGoogleTest(&argc, argv);

    QTimer watchdog;
    QObject::connect(&watchdog, &QTimer::timeout, [] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            ADD_FAILURE() << "a real modal window came up: " << qPrintable(modal->windowTitle());
            modal->close();
        }
    });
    watchdog.start(50);
    return RUN_ALL_TESTS();
}
