#pragma once

#include <QString>
#include <QTest>
#include <QWidget>

namespace vantero::ui::testing {

// Types text into a widget key by key, as a user does, non-ASCII letters
// ("Código", "ó") included, which QTest::keyClicks cannot send.
inline void typeText(QWidget* widget, const QString& text) {
    for (const QChar c : text) {
        if (c.unicode() < 0x80) {
            QTest::keyClick(widget, c.toLatin1());
        } else {
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
        }
    }
}

} // namespace vantero::ui::testing
