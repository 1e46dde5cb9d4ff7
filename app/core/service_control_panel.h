#pragma once
// The "Actions" column's service state: the "Service Status" group, the wait panel laid
// over it, the directory line Label3 (which a failed refresh borrows), Timer1 and the
// start and stop buttons. The window implements ServiceControlView and forwards its
// events here; tests drive the same object with a recording view.
#include "app/core/service_control.h"

#include <QString>

namespace app {

inline constexpr int Timer1IntervalMs = 2000;

inline const QString StatusUnavailableText = QStringLiteral("Could not retrieve current status on selected Service");
inline const QString RefreshingText = QStringLiteral("Refreshing, please wait....");
inline const QString StartFailedText = QStringLiteral("An error occurred while trying to start the service!");
inline const QString StopFailedText = QStringLiteral("An error occurred while trying to stop the service!");

// What the panel needs of the window.
class ServiceControlView
{
public:
    virtual ~ServiceControlView() = default;
    virtual void showWaitPanel() = 0;                      // Panel2 visible
    virtual void hideWaitPanel() = 0;
    virtual void setStatusIndex(int index) = 0;            // RadioGroup1's item; -1 selects none
    virtual void setDirectoryLine(const QString &text) = 0; // Label3
    virtual void startTimer1() = 0;                         // enable Timer1 (Timer1IntervalMs)
    virtual void stopTimer1() = 0;
    virtual void processPendingEvents() = 0;                // once, so the wait panel is painted
};

class ServiceControlPanel
{
public:
    // Neither is owned. The machine is the local computer's name (GetMachineName).
    ServiceControlPanel(ServiceControlView &view, ServiceControl &control);

    // The refresh that ends every settings load.
    void RefreshServiceStatus();
    // Timer1 fired, 2 s after a refresh that found no state.
    void Timer1Timer();
    // "Starta Vardo-Tjänsten" and "Stoppa Vardo-Tjänsten".
    void btnRestartServiceClick();
    void btnStopServiceClick();

private:
    void showWaiting();
    void displayState();
    void displayState(std::uint32_t state);

    ServiceControlView &m_view;
    ServiceControl &m_control;
};

} // namespace app
