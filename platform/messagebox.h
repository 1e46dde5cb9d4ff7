#pragma once
// Modal message boxes. Everything above the platform layer shows boxes through the
// current presenter: the Qt one in a desktop program, a terminal one in vardoctl, and a
// recording one in tests, which answers each box from a script instead of blocking.
#include <QString>
#include <QStringList>

namespace platform {

enum class BoxKind { Information, Warning, Confirmation, Error };

struct MessageBox
{
    BoxKind kind = BoxKind::Information;
    QString title;
    QString text;
    QStringList buttons;      // captions as shown, e.g. "&Yes", "&No"
    int defaultButton = 0;    // index into buttons
};

// Result codes of a box's buttons: 1 OK, 6 Yes, 7 No. Closing a box without a choice
// counts as its escape button (No for a question, OK for a box with only OK); a box
// without one gives 2, the code of Cancel.
inline constexpr int BoxOk = 1;
inline constexpr int BoxClosed = 2;
inline constexpr int BoxYes = 6;
inline constexpr int BoxNo = 7;

// The toolkit's standard box of a kind, with the toolkit's own English texts: titles
// "Information", "Warning", "Confirm" and "Error"; the button "OK", or "&Yes" and "&No"
// with Yes preselected for a confirmation.
MessageBox standardBox(BoxKind kind, const QString &text);

// The result code of a standard button caption: "OK" 1, "Cancel" 2, "&Yes" 6, "&No" 7;
// 0 for any other caption.
int buttonCode(const QString &caption);

class MessagePresenter
{
public:
    virtual ~MessagePresenter() = default;
    // Shows the box and returns when it is closed, with the result code of the answer.
    virtual int present(const MessageBox &box) = 0;
};

// The presenter in use. Until one is installed, boxes go to standard error and
// questions are answered No.
MessagePresenter &messagePresenter();
// Installs a presenter (not owned); nullptr restores the default.
void setMessagePresenter(MessagePresenter *presenter);

} // namespace platform
