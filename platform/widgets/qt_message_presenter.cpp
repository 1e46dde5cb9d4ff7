#include "platform/widgets/qt_message_presenter.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace platform {
namespace {

constexpr char ResultCodeProperty[] = "vardoResultCode";

QMessageBox::Icon iconOf(BoxKind kind)
{
    switch (kind) {
    case BoxKind::Information:
        return QMessageBox::Information;
    case BoxKind::Warning:
        return QMessageBox::Warning;
    case BoxKind::Confirmation:
        return QMessageBox::Question;
    case BoxKind::Error:
        break;
    }
    return QMessageBox::Critical;
}

QMessageBox::ButtonRole roleOf(int code)
{
    switch (code) {
    case BoxYes:
        return QMessageBox::YesRole;
    case BoxNo:
        return QMessageBox::NoRole;
    case BoxClosed:
        return QMessageBox::RejectRole;
    default:
        return QMessageBox::AcceptRole;
    }
}

// Message texts break lines the Windows way.
QString displayText(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

QPushButton *escapeButton(const QList<QPushButton *> &buttons)
{
    for (QPushButton *button : buttons) {
        const int code = button->property(ResultCodeProperty).toInt();
        if (code == BoxNo || code == BoxClosed)
            return button;
    }
    return buttons.size() == 1 ? buttons.first() : nullptr;
}

} // namespace

std::unique_ptr<QMessageBox> buildQtMessageBox(const MessageBox &box, QWidget *parent)
{
    auto qbox = std::make_unique<QMessageBox>(parent);
    qbox->setIcon(iconOf(box.kind));
    qbox->setWindowTitle(box.title);
    qbox->setTextFormat(Qt::PlainText);
    qbox->setText(displayText(box.text));
    QList<QPushButton *> buttons;
    for (const QString &caption : box.buttons) {
        const int code = buttonCode(caption);
        QPushButton *button = qbox->addButton(caption, roleOf(code));
        button->setProperty(ResultCodeProperty, code);
        buttons.append(button);
    }
    if (box.defaultButton >= 0 && box.defaultButton < buttons.size())
        qbox->setDefaultButton(buttons.at(box.defaultButton));
    qbox->setEscapeButton(escapeButton(buttons));
    return qbox;
}

int qtMessageBoxResult(const QMessageBox &box)
{
    const QAbstractButton *clicked = box.clickedButton();
    return clicked ? clicked->property(ResultCodeProperty).toInt() : BoxClosed;
}

int QtMessagePresenter::present(const MessageBox &box)
{
    const std::unique_ptr<QMessageBox> qbox = buildQtMessageBox(box, QApplication::activeWindow());
    qbox->exec();
    return qtMessageBoxResult(*qbox);
}

} // namespace platform
