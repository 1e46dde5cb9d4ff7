#pragma once
// A one-line progress bar on a terminal, fed by the component's OnProgress; nothing at
// all when standard error is not a terminal, so scripts get clean output.
#include <QString>

namespace zlbtool {

class ProgressBar
{
public:
    ProgressBar();
    // A report of the component: text and percentage. An empty text or the archive's
    // own name (the clear report) removes the bar.
    void show(const QString &text, int percent, const QString &archiveName);
    void clear();

private:
    bool m_enabled;
    bool m_drawn = false;
    int m_width;
};

} // namespace zlbtool
