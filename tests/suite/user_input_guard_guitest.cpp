#include "suite/user_input_guard.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

void click(QPushButton &button)
{
    const QPointF at(button.width() / 2.0, button.height() / 2.0);
    const QPointF global = button.mapToGlobal(at);
    QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&button, &press);
    QApplication::sendEvent(&button, &release);
}

TEST(UserInputGuard, DropsClicksWhileAliveAndNotAfterwards)
{
    QPushButton button(QStringLiteral("Starta"));
    button.resize(120, 30);
    button.show();
    int clicks = 0;
    QObject::connect(&button, &QPushButton::clicked, [&] { ++clicks; });
    {
        const suite::UserInputGuard guard;
        click(button);
        QApplication::processEvents();
        EXPECT_EQ(clicks, 0);
    }
    QApplication::processEvents();
    EXPECT_EQ(clicks, 0) << "a click made during the wait must not act late";
    click(button);
    EXPECT_EQ(clicks, 1);
}

TEST(UserInputGuard, LetsTimersAndPaintingThrough)
{
    const suite::UserInputGuard guard;
    QEvent timer(QEvent::Timer);
    QEvent paint(QEvent::Paint);
    QKeyEvent key(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    EXPECT_FALSE(suite::isUserInputEvent(timer));
    EXPECT_FALSE(suite::isUserInputEvent(paint));
    EXPECT_TRUE(suite::isUserInputEvent(key));
}

} // namespace
