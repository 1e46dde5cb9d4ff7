#pragma once
// Errors are exceptions that carry the message text the user sees.
#include <QString>
#include <stdexcept>

namespace platform {

class Error : public std::runtime_error
{
public:
    explicit Error(const QString &message)
        : std::runtime_error(message.toStdString())
        , m_message(message)
    {
    }

    const QString &message() const noexcept { return m_message; }

private:
    QString m_message;
};

// The message of any exception, for the error boxes.
inline QString messageOf(const std::exception &e)
{
    if (auto *err = dynamic_cast<const Error *>(&e))
        return err->message();
    return QString::fromUtf8(e.what());
}

} // namespace platform
