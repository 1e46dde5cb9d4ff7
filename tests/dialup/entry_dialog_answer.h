#pragma once
// Answers the provider's modal entry dialog as a user would: once it shows, notes what it
// offers, types the given fields and presses OK or Cancel.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <memory>

struct EntryFieldsTyped
{
    QString name;
    QString phone;
    QString user;
    QString password;
};

struct EntryDialogSeen
{
    QString title;
    EntryFieldsTyped offered;
};

inline std::shared_ptr<EntryDialogSeen> answerEntryDialog(const EntryFieldsTyped &typed, bool ok)
{
    auto seen = std::make_shared<EntryDialogSeen>();
    QTimer::singleShot(50, [=] {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        auto *name = dialog->findChild<QLineEdit *>("edEntryName");
        auto *phone = dialog->findChild<QLineEdit *>("edPhoneNumber");
        auto *user = dialog->findChild<QLineEdit *>("edUserName");
        auto *password = dialog->findChild<QLineEdit *>("edPassword");
        seen->title = dialog->windowTitle();
        seen->offered = {name->text(), phone->text(), user->text(), password->text()};
        name->setText(typed.name);
        phone->setText(typed.phone);
        user->setText(typed.user);
        password->setText(typed.password);
        auto *buttons = dialog->findChild<QDialogButtonBox *>();
        buttons->button(ok ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel)->click();
    });
    return seen;
}
