#pragma once
// While a long operation blocks the user-interface thread, the windows must keep painting
// but take no input. Processing events with user input excluded only postpones the clicks
// and keys until the operation ends, where they would act late (a second "Start" click).
// A guard instead drops every user input event that arrives while it lives.
#include <QObject>

namespace suite {

class UserInputGuard : public QObject
{
public:
    UserInputGuard();
    ~UserInputGuard() override;

    UserInputGuard(const UserInputGuard &) = delete;
    UserInputGuard &operator=(const UserInputGuard &) = delete;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};

// True for the events a person causes: keys, mouse, wheel, touch, tablet, shortcuts.
bool isUserInputEvent(const QEvent &event);

} // namespace suite
