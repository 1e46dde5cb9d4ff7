#pragma once
// Message boxes as Qt's modal QMessageBox. The box kind gives the icon, each caption one
// push button with its result code; line breaks "\r" and "\r\n" show as new lines and
// the text is never read as rich text. Closing a box without a choice picks its escape
// button: "&No" for a question (closing counts as No), the only button otherwise.
// Install with platform::setMessagePresenter.
#include "platform/messagebox.h"

#include <memory>

class QMessageBox;
class QWidget;

namespace platform {

// The Qt box for a message box, ready to exec().
std::unique_ptr<QMessageBox> buildQtMessageBox(const MessageBox &box, QWidget *parent = nullptr);

// The result code of a finished Qt box built by buildQtMessageBox: the code of the
// clicked button, BoxClosed when none was clicked.
int qtMessageBoxResult(const QMessageBox &box);

class QtMessagePresenter : public MessagePresenter
{
public:
    int present(const MessageBox &box) override;
};

} // namespace platform
