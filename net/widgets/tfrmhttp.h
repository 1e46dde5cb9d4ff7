#pragma once
// The HTTP transfer window (module globhttpunit): a small window that carries the suite's
// HTTP clients and shows a transfer's progress. Nobody opens it; the clients' progress
// events show it when a transfer starts and hide it at the end. It only listens: what it
// shows is decided by net::TransferProgress.
//
// The main window creates the one instance hidden at start-up, stores it in frmHTTP and
// calls InitializeAll. While it exists its VardoHTTP is the client of the service probe
// and it draws the probe's busy cursor.
#include "archive/zlbarchive.h"
#include "dialup/tdialup.h"
#include "net/http_client.h"
#include "net/transfer_progress.h"

#include <QWidget>

class QLabel;
class QProgressBar;

namespace net {

class TfrmHTTP : public QWidget
{
    Q_OBJECT
public:
    explicit TfrmHTTP(QWidget *parent = nullptr);
    ~TfrmHTTP() override;

    // The start-up check for the TLS libraries (once, right after creation).
    void InitializeAll();

    // The archive component's events.
    void ZLB1Progress(const QString &message, int percentage) noexcept;
    void ZLB1ReplaceFile(const QString &fileName, bool &replace);

    // The dial-up component's failure: reported as a network error (which this program
    // never shows).
    void DialUp1NotConnected(int ErrorCode, const QString &ErrorMessage);

    const TransferProgress &progress() const { return m_progress; }

    QLabel *StatusLabel;
    QProgressBar *ProgressBar1;
    HttpClient *VardoHTTP;        // plain; the service probe's client
    HttpClient *IdHTTPTellvara;   // plain
    HttpClient *HTTP1;            // TLS
    archive::TZLBArchive ZLB1;    // reports its progress in this window
    dialup::TDialUp *DialUp1;     // synchronous, English; nothing in this program dials

private:
    void buildControls();
    void wirePlainClient(HttpClient *client);
    void wireSecureClient();
    void wireArchive();
    void wireDialUp();
    void showState();
    void centreOnScreen();

    TransferProgress m_progress;
};

// The one transfer window; nullptr until the main window creates it.
extern TfrmHTTP *frmHTTP;

} // namespace net
