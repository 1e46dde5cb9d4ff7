#include "app/core/service_control_panel.h"

#include "suite/dialogs.h"
#include "suite/special_folders.h"

namespace app {

ServiceControlPanel::ServiceControlPanel(ServiceControlView &view, ServiceControl &control)
    : m_view(view)
    , m_control(control)
{
}

void ServiceControlPanel::RefreshServiceStatus()
{
    showWaiting();
    const std::uint32_t state = m_control.ServiceGetStatus(suite::GetMachineName(), VardoServiceName);
    displayState(state);
    if (serviceStateIndex(state) >= 0) {
        m_view.hideWaitPanel();
        return;
    }
    // The wait panel stays up until Timer1 fires.
    m_view.setDirectoryLine(StatusUnavailableText);
    m_view.startTimer1();
}

void ServiceControlPanel::Timer1Timer()
{
    m_view.stopTimer1();
    m_view.hideWaitPanel();
    m_view.setDirectoryLine(RefreshingText);
}

void ServiceControlPanel::btnRestartServiceClick()
{
    showWaiting();
    if (!m_control.ServiceStart(suite::GetMachineName(), VardoServiceName))
        suite::ShowInfo(StartFailedText);
    displayState();
    m_view.hideWaitPanel();
}

void ServiceControlPanel::btnStopServiceClick()
{
    showWaiting();
    if (!m_control.ServiceStop(suite::GetMachineName(), VardoServiceName))
        suite::ShowInfo(StopFailedText);
    displayState();
    m_view.hideWaitPanel();
}

void ServiceControlPanel::showWaiting()
{
    m_view.showWaitPanel();
    m_view.processPendingEvents();
}

void ServiceControlPanel::displayState()
{
    displayState(m_control.ServiceGetStatus(suite::GetMachineName(), VardoServiceName));
}

void ServiceControlPanel::displayState(std::uint32_t state)
{
    m_view.setStatusIndex(serviceStateIndex(state));
}

} // namespace app
