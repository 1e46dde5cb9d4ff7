#include "platform/terminal_presenter.h"

#include <QByteArray>

#include <optional>

namespace platform {
namespace {

constexpr int MaxAttempts = 3;
constexpr int MaxAnswerLength = 256;

QString terminalText(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

void print(std::FILE *stream, const QString &text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fflush(stream);
}

QString plainCaption(const QString &caption)
{
    return QString(caption).remove(QLatin1Char('&'));
}

QString accelerator(const QString &caption)
{
    const qsizetype amp = caption.indexOf(QLatin1Char('&'));
    return amp >= 0 && amp + 1 < caption.size() ? caption.mid(amp + 1, 1) : caption.left(1);
}

// The answer line without its line end; none at the end of input.
std::optional<QString> readAnswer(std::FILE *input)
{
    char buffer[MaxAnswerLength];
    if (!std::fgets(buffer, sizeof buffer, input))
        return std::nullopt;
    return QString::fromLocal8Bit(buffer).trimmed();
}

int codeOfAnswer(const MessageBox &box, const QString &answer)
{
    for (const QString &caption : box.buttons) {
        if (answer.compare(plainCaption(caption), Qt::CaseInsensitive) == 0
            || answer.compare(accelerator(caption), Qt::CaseInsensitive) == 0)
            return buttonCode(caption);
    }
    return 0;
}

QString choices(const MessageBox &box)
{
    QStringList names;
    for (const QString &caption : box.buttons)
        names.append(plainCaption(caption));
    return QStringLiteral(" [%1] ").arg(names.join(QLatin1Char('/')));
}

} // namespace

TerminalPresenter::TerminalPresenter(std::FILE *input, std::FILE *output, std::FILE *errors)
    : m_input(input)
    , m_output(output)
    , m_errors(errors)
{
    setMessagePresenter(this);
}

TerminalPresenter::~TerminalPresenter()
{
    setMessagePresenter(nullptr);
}

int TerminalPresenter::present(const MessageBox &box)
{
    if (box.buttons.size() > 1)
        return ask(box);
    const QString line = box.title + QStringLiteral(": ") + terminalText(box.text) + QLatin1Char('\n');
    print(box.kind == BoxKind::Information ? m_output : m_errors, line);
    return box.buttons.isEmpty() ? BoxOk : buttonCode(box.buttons.first());
}

int TerminalPresenter::ask(const MessageBox &box)
{
    print(m_errors, box.title + QStringLiteral(": ") + terminalText(box.text) + QLatin1Char('\n'));
    for (int attempt = 0; attempt < MaxAttempts; ++attempt) {
        print(m_errors, choices(box));
        const std::optional<QString> answer = readAnswer(m_input);
        if (!answer)
            break;
        if (const int code = codeOfAnswer(box, *answer))
            return code;
    }
    print(m_errors, QStringLiteral("\n"));
    return BoxClosed;
}

} // namespace platform
