#include "platform/messagebox.h"

#include <cstdio>

namespace platform {
namespace {

// Without a desktop presenter a box still reaches the person running the program.
class StderrPresenter : public MessagePresenter
{
public:
    int present(const MessageBox &box) override
    {
        std::fprintf(stderr, "%s: %s\n", qPrintable(box.title), qPrintable(box.text));
        return box.kind == BoxKind::Confirmation ? BoxNo : BoxOk;
    }
};

StderrPresenter defaultPresenter;
MessagePresenter *current = nullptr;

} // namespace

MessageBox standardBox(BoxKind kind, const QString &text)
{
    switch (kind) {
    case BoxKind::Information:
        return {kind, QStringLiteral("Information"), text, {QStringLiteral("OK")}, 0};
    case BoxKind::Warning:
        return {kind, QStringLiteral("Warning"), text, {QStringLiteral("OK")}, 0};
    case BoxKind::Confirmation:
        return {kind, QStringLiteral("Confirm"), text, {QStringLiteral("&Yes"), QStringLiteral("&No")}, 0};
    case BoxKind::Error:
        break;
    }
    return {BoxKind::Error, QStringLiteral("Error"), text, {QStringLiteral("OK")}, 0};
}

int buttonCode(const QString &caption)
{
    if (caption == QLatin1String("OK"))
        return BoxOk;
    if (caption == QLatin1String("Cancel"))
        return BoxClosed;
    if (caption == QLatin1String("&Yes"))
        return BoxYes;
    if (caption == QLatin1String("&No"))
        return BoxNo;
    return 0;
}

MessagePresenter &messagePresenter()
{
    return current ? *current : defaultPresenter;
}

void setMessagePresenter(MessagePresenter *presenter)
{
    current = presenter;
}

} // namespace platform
