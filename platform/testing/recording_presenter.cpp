#include "platform/testing/recording_presenter.h"

namespace platform::testing {

RecordingPresenter::RecordingPresenter()
{
    setMessagePresenter(this);
}

RecordingPresenter::~RecordingPresenter()
{
    setMessagePresenter(nullptr);
}

int RecordingPresenter::present(const MessageBox &box)
{
    m_boxes.append(box);
    if (box.kind != BoxKind::Confirmation)
        return BoxOk;
    return m_answers.isEmpty() ? BoxNo : m_answers.takeFirst();
}

} // namespace platform::testing
