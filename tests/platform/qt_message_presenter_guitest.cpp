// The Qt message boxes: how each kind of box is built, and the result code of each way
// of closing it.
#include "platform/widgets/qt_message_presenter.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

QStringList captions(const QMessageBox &box)
{
    QStringList result;
    for (const QAbstractButton *button : box.buttons())
        result.append(button->text());
    result.sort();
    return result;
}

struct KindCase
{
    platform::BoxKind kind;
    const char *title;
    QMessageBox::Icon icon;
    QStringList buttons;
    const char *defaultButton;
};

TEST(QtMessagePresenter, EachKindGetsItsTitleIconButtonsAndDefault)
{
    const KindCase cases[] = {
        {platform::BoxKind::Information, "Information", QMessageBox::Information, {"OK"}, "OK"},
        {platform::BoxKind::Warning, "Warning", QMessageBox::Warning, {"OK"}, "OK"},
        {platform::BoxKind::Confirmation, "Confirm", QMessageBox::Question, {"&No", "&Yes"}, "&Yes"},
        {platform::BoxKind::Error, "Error", QMessageBox::Critical, {"OK"}, "OK"},
    };
    for (const KindCase &c : cases) {
        const auto box = platform::buildQtMessageBox(platform::standardBox(c.kind, "Text"));
        EXPECT_EQ(box->windowTitle(), c.title);
        EXPECT_EQ(box->icon(), c.icon) << c.title;
        EXPECT_EQ(captions(*box), c.buttons) << c.title;
        ASSERT_NE(box->defaultButton(), nullptr) << c.title;
        EXPECT_EQ(box->defaultButton()->text(), c.defaultButton) << c.title;
    }
}

TEST(QtMessagePresenter, TextShowsWindowsLineBreaksAsNewLinesAndNeverAsRichText)
{
    const auto box = platform::buildQtMessageBox(
        platform::standardBox(platform::BoxKind::Information, "<b>a</b>\rb\r\rc\r\nd"));
    EXPECT_EQ(box->textFormat(), Qt::PlainText);
    EXPECT_EQ(box->text(), "<b>a</b>\nb\n\nc\nd");
}

TEST(QtMessagePresenter, ClosingAQuestionCountsAsNo)
{
    const auto box = platform::buildQtMessageBox(platform::standardBox(platform::BoxKind::Confirmation, "?"));
    ASSERT_NE(box->escapeButton(), nullptr);
    EXPECT_EQ(box->escapeButton()->text(), "&No");
}

// Answers the box that present() is about to show, from inside its event loop.
void answerNextBox(const std::function<void(QMessageBox &)> &answer)
{
    QTimer::singleShot(0, [answer] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        answer(*box);
    });
}

QAbstractButton *buttonCaptioned(QMessageBox &box, const QString &caption)
{
    for (QAbstractButton *button : box.buttons())
        if (button->text() == caption)
            return button;
    return nullptr;
}

struct AnswerCase
{
    platform::BoxKind kind;
    const char *action; // a caption to click, or "close"
    int code;
};

TEST(QtMessagePresenter, PresentReturnsTheCodeOfTheAnswer)
{
    const AnswerCase cases[] = {
        {platform::BoxKind::Confirmation, "&Yes", platform::BoxYes},
        {platform::BoxKind::Confirmation, "&No", platform::BoxNo},
        {platform::BoxKind::Confirmation, "close", platform::BoxNo},
        {platform::BoxKind::Information, "OK", platform::BoxOk},
        {platform::BoxKind::Warning, "close", platform::BoxOk},
    };
    platform::QtMessagePresenter presenter;
    for (const AnswerCase &c : cases) {
        const QString action = c.action;
        answerNextBox([action](QMessageBox &box) {
            if (action == "close") {
                box.close();
                return;
            }
            QAbstractButton *button = buttonCaptioned(box, action);
            ASSERT_NE(button, nullptr);
            button->click();
        });
        EXPECT_EQ(presenter.present(platform::standardBox(c.kind, "Text")), c.code) << c.action;
    }
}

} // namespace
