// Message boxes on a terminal: the text on the right stream, questions answered from
// standard input.
#include "platform/terminal_presenter.h"

#include <gtest/gtest.h>

#include <QByteArray>

#include <cstdio>

using namespace platform;

namespace {

struct Terminal
{
    explicit Terminal(const QByteArray &typed)
        : input(std::tmpfile())
        , output(std::tmpfile())
        , errors(std::tmpfile())
    {
        std::fwrite(typed.constData(), 1, size_t(typed.size()), input);
        std::rewind(input);
    }
    ~Terminal()
    {
        std::fclose(input);
        std::fclose(output);
        std::fclose(errors);
    }
    static QByteArray contents(std::FILE *f)
    {
        std::fflush(f);
        std::rewind(f);
        QByteArray bytes;
        char buffer[512];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
            bytes.append(buffer, qsizetype(n));
        return bytes;
    }
    std::FILE *input;
    std::FILE *output;
    std::FILE *errors;
};

} // namespace

TEST(TerminalPresenter, AnswersAQuestionFromInput)
{
    const struct
    {
        const char *typed;
        int code;
    } cases[] = {{"y\n", BoxYes},      {"YES\n", BoxYes},       {"n\n", BoxNo},           {" No \n", BoxNo},
                 {"what\nj\nn\n", BoxNo}, {"a\nb\nc\ny\n", BoxClosed}, {"", BoxClosed}, {"maybe", BoxClosed}};
    for (const auto &c : cases) {
        Terminal terminal(c.typed);
        TerminalPresenter presenter(terminal.input, terminal.output, terminal.errors);
        EXPECT_EQ(presenter.present(standardBox(BoxKind::Confirmation, QStringLiteral("Radera organisationen 5565?"))), c.code)
            << c.typed;
        const QByteArray asked = Terminal::contents(terminal.errors);
        EXPECT_TRUE(asked.contains("Radera organisationen 5565?")) << asked.constData();
        EXPECT_TRUE(asked.contains("[Yes/No]")) << asked.constData();
        EXPECT_TRUE(Terminal::contents(terminal.output).isEmpty());
    }
}

TEST(TerminalPresenter, InformationGoesToOutputAndErrorsToErrorsWithLineBreaks)
{
    Terminal terminal("");
    TerminalPresenter presenter(terminal.input, terminal.output, terminal.errors);
    EXPECT_EQ(presenter.present(standardBox(BoxKind::Information, QStringLiteral("Anslutningen fungerar!"))), BoxOk);
    EXPECT_EQ(presenter.present(standardBox(BoxKind::Error, QStringLiteral("Det gick inte\r\rÅtkomst nekad"))), BoxOk);
    EXPECT_EQ(Terminal::contents(terminal.output), QByteArray("Information: Anslutningen fungerar!\n"));
    EXPECT_EQ(Terminal::contents(terminal.errors), QStringLiteral("Error: Det gick inte\n\nÅtkomst nekad\n").toLocal8Bit());
}

TEST(TerminalPresenter, InstallsItselfWhileItLives)
{
    Terminal terminal("");
    {
        TerminalPresenter presenter(terminal.input, terminal.output, terminal.errors);
        EXPECT_EQ(&messagePresenter(), &presenter);
    }
    EXPECT_EQ(dynamic_cast<TerminalPresenter *>(&messagePresenter()), nullptr);
}
