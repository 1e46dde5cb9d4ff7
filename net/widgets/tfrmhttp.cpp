#include "net/widgets/tfrmhttp.h"

#include "net/widgets/stillprogressbar.h"

#include "net/busy_cursor.h"
#include "net/http1_authorization.h"
#include "net/network_errors.h"
#include "net/probe.h"
#include "net/ssl_check.h"
#include "suite/paths.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>

#include <limits>

namespace net {

TfrmHTTP *frmHTTP = nullptr;

namespace {

constexpr int ClientWidth = 264;
constexpr int ClientHeight = 73;

void setBusyCursor(bool busy)
{
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

// A progress bar counts in int; larger totals are scaled down together with the position.
void setBarRange(QProgressBar *bar, qint64 maximum, qint64 position)
{
    while (maximum > std::numeric_limits<int>::max()) {
        maximum /= 2;
        position /= 2;
    }
    bar->setRange(0, static_cast<int>(maximum));
    bar->setValue(static_cast<int>(qBound<qint64>(0, position, maximum)));
}

} // namespace

TfrmHTTP::TfrmHTTP(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
    , VardoHTTP(new HttpClient(HttpClient::Kind::Plain, this))
    , IdHTTPTellvara(new HttpClient(HttpClient::Kind::Plain, this))
    , HTTP1(new HttpClient(HttpClient::Kind::Secure, this))
    , DialUp1(new dialup::TDialUp(this))
{
    setObjectName(QStringLiteral("frmHTTP"));
    VardoHTTP->setObjectName(QStringLiteral("VardoHTTP"));
    IdHTTPTellvara->setObjectName(QStringLiteral("IdHTTPTellvara"));
    HTTP1->setObjectName(QStringLiteral("HTTP1"));
    buildControls();
    wirePlainClient(VardoHTTP);
    wirePlainClient(IdHTTPTellvara);
    wireSecureClient();
    wireArchive();
    wireDialUp();
    connect(&m_progress, &TransferProgress::changed, this, &TfrmHTTP::showState);
    showState();
    SetProbeClient(VardoHTTP);
    CursorHook = setBusyCursor;
}

TfrmHTTP::~TfrmHTTP()
{
    if (ProbeClient() == VardoHTTP)
        SetProbeClient(nullptr);
    CursorHook = nullptr;
    if (frmHTTP == this)
        frmHTTP = nullptr;
}

void TfrmHTTP::buildControls()
{
    setFixedSize(ClientWidth, ClientHeight);
    auto *panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setFrameShape(QFrame::StyledPanel);
    panel->setGeometry(0, 0, ClientWidth, ClientHeight);
    StatusLabel = new QLabel(panel);
    StatusLabel->setObjectName(QStringLiteral("StatusLabel"));
    StatusLabel->setGeometry(8, 21, 249, 17);
    ProgressBar1 = new StillProgressBar(panel);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setGeometry(8, 40, 249, 25);
    ProgressBar1->setTextVisible(false);
    centreOnScreen();
}

void TfrmHTTP::centreOnScreen()
{
    if (const QScreen *s = screen())
        move(s->availableGeometry().center() - rect().center());
}

void TfrmHTTP::wirePlainClient(HttpClient *client)
{
    connect(client, &HttpClient::workBegin, &m_progress, &TransferProgress::VardoHTTPWorkBegin);
    connect(client, &HttpClient::work, &m_progress, &TransferProgress::VardoHTTPWork);
    connect(client, &HttpClient::workEnd, &m_progress, &TransferProgress::VardoHTTPWorkEnd);
}

void TfrmHTTP::wireSecureClient()
{
    connect(HTTP1, &HttpClient::workBegin, &m_progress, &TransferProgress::HTTP1WorkBegin);
    connect(HTTP1, &HttpClient::work, &m_progress, &TransferProgress::HTTP1Work);
    connect(HTTP1, &HttpClient::workEnd, &m_progress, &TransferProgress::HTTP1WorkEnd);
    connect(HTTP1, &HttpClient::authorization, this, &HTTP1Authorization);
    connect(HTTP1, &HttpClient::proxyAuthorization, this, &HTTP1ProxyAuthorization);
}

void TfrmHTTP::wireArchive()
{
    ZLB1.OnProgress = [this](const QString &message, int percentage) { ZLB1Progress(message, percentage); };
    ZLB1.OnReplaceFile = [this](const QString &fileName, bool &replace) { ZLB1ReplaceFile(fileName, replace); };
}

void TfrmHTTP::wireDialUp()
{
    DialUp1->setObjectName(QStringLiteral("DialUp1"));
    DialUp1->SetDialMode(dialup::dmSync);
    DialUp1->SetLanguage(dialup::English);
    DialUp1->OnNotConnected = [this](dialup::TDialUp &, int code, const QString &message) {
        DialUp1NotConnected(code, message);
    };
    DialUp1->OwnerWindow = [this] { return std::uintptr_t(winId()); };
}

void TfrmHTTP::DialUp1NotConnected(int ErrorCode, const QString &ErrorMessage)
{
    Q_UNUSED(ErrorCode) // the message carries the platform's text
    ReportDialUpNotConnected(DialUp1->Entry(), ErrorMessage);
}

void TfrmHTTP::InitializeAll()
{
    CheckSslLibraries(suite::System32Path(), suite::CurrentPath());
}

// A progress report must never break the archive operation that sends it.
void TfrmHTTP::ZLB1Progress(const QString &message, int percentage) noexcept
{
    try {
        m_progress.ZLB1Progress(message, percentage);
    } catch (...) {
    }
}

void TfrmHTTP::ZLB1ReplaceFile(const QString &fileName, bool &replace)
{
    Q_UNUSED(fileName) // the archive may always overwrite
    replace = true;
}

void TfrmHTTP::showState()
{
    const TransferWindowState &state = m_progress.state();
    setWindowTitle(state.caption);
    StatusLabel->setText(state.status);
    setBarRange(ProgressBar1, state.maximum, state.position);
    setVisible(state.visible);
}

} // namespace net
