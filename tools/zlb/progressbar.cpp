#include "progressbar.h"

#include "platform/terminal.h"

#include <QFileInfo>

#include <cstdio>

namespace zlbtool {

ProgressBar::ProgressBar()
    : m_enabled(platform::standardErrorIsTerminal())
    , m_width(platform::terminalColumns())
{
}

void ProgressBar::show(const QString &text, int percent, const QString &archiveName)
{
    if (!m_enabled)
        return;
    if (text.isEmpty() || text == archiveName) {
        clear();
        return;
    }
    constexpr int BarWidth = 30;
    const int filled = std::clamp(percent, 0, 100) * BarWidth / 100;
    const QString label = text.left(std::max(0, m_width - BarWidth - 10));
    const QString line = QStringLiteral("\r[%1%2] %3% %4")
                             .arg(QString(filled, u'#'), QString(BarWidth - filled, u' '))
                             .arg(percent, 3)
                             .arg(label);
    std::fprintf(stderr, "%s\033[K", line.toLocal8Bit().constData());
    std::fflush(stderr);
    m_drawn = true;
}

void ProgressBar::clear()
{
    if (!m_drawn)
        return;
    std::fputs("\r\033[K", stderr);
    std::fflush(stderr);
    m_drawn = false;
}

} // namespace zlbtool
