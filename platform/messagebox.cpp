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

MessagePresenter &messagePresenter()
{
    return current ? *current : defaultPresenter;
}

void setMessagePresenter(MessagePresenter *presenter)
{
    current = presenter;
}

} // namespace platform
