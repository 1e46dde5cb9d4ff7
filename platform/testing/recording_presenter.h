#pragma once
// A presenter for tests: records every box and answers from a queue (OK, or the
// queued code for a question; No when the queue is empty). Installs itself while alive.
#include "platform/messagebox.h"

#include <QList>

namespace platform::testing {

class RecordingPresenter : public MessagePresenter
{
public:
    RecordingPresenter();
    ~RecordingPresenter() override;

    int present(const MessageBox &box) override;

    void answer(int code) { m_answers.append(code); }
    const QList<MessageBox> &boxes() const { return m_boxes; }
    void clear() { m_boxes.clear(); }

private:
    QList<MessageBox> m_boxes;
    QList<int> m_answers;
};

} // namespace platform::testing
