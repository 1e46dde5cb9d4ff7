#include "platform/ras/entry_dialog.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QWindow>

#include <memory>

namespace platform::ras {
namespace {

QLineEdit *addField(QDialog &dialog, QFormLayout &form, const QString &objectName, const QString &label,
                    const QString &value)
{
    auto *edit = new QLineEdit(value, &dialog);
    edit->setObjectName(objectName);
    form.addRow(label, edit);
    return edit;
}

} // namespace

Dword runEntryDialog(std::uintptr_t window, EntryFields &fields)
{
    if (!qobject_cast<QApplication *>(QCoreApplication::instance()))
        return ErrorInvalidParameter;
    QDialog dialog;
    dialog.setObjectName(QStringLiteral("RasEntryDialog"));
    dialog.setWindowTitle(fields.name.isEmpty() ? QStringLiteral("New dial-up entry")
                                                : QStringLiteral("Dial-up entry %1").arg(fields.name));
    auto *form = new QFormLayout(&dialog);
    QLineEdit *name = addField(dialog, *form, QStringLiteral("edEntryName"), QStringLiteral("&Entry name:"), fields.name);
    QLineEdit *phone = addField(dialog, *form, QStringLiteral("edPhoneNumber"), QStringLiteral("&Phone number:"),
                                fields.phoneNumber);
    QLineEdit *user = addField(dialog, *form, QStringLiteral("edUserName"), QStringLiteral("&User name:"),
                               fields.userName);
    QLineEdit *password = addField(dialog, *form, QStringLiteral("edPassword"), QStringLiteral("Pass&word:"),
                                   fields.password);
    password->setEchoMode(QLineEdit::Password);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    form->addRow(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    const auto updateOk = [&] { buttons->button(QDialogButtonBox::Ok)->setEnabled(!name->text().trimmed().isEmpty()); };
    QObject::connect(name, &QLineEdit::textChanged, &dialog, updateOk);
    updateOk();
    dialog.setMinimumWidth(340);
    std::unique_ptr<QWindow> owner(window ? QWindow::fromWinId(WId(window)) : nullptr);
    if (owner) {
        dialog.winId();
        dialog.windowHandle()->setTransientParent(owner.get());
    }
    if (dialog.exec() != QDialog::Accepted)
        return ErrorCancelled;
    fields = {name->text().trimmed(), phone->text(), user->text(), password->text()};
    return Success;
}

} // namespace platform::ras
