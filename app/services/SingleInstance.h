#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

// One running program per user: the first instance
// listens on a per-user local socket; a later start connects to it, asks it
// to bring its main window forward and ends.  The socket is
// $XDG_RUNTIME_DIR/OrmidYRB100.instance, or OrmidYRB100-<uid>.instance in
// the temporary folder when there is no runtime folder.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    static QString ServerName();
    // Tests use a socket of their own; "" puts the default back.
    static void SetServerName(const QString& name);

    // The previous-instance flag: another instance answers on the socket.
    static bool IsOtherRunning();
    // Sends the other instance the request to raise its main window; True
    // when the request was delivered (and acknowledged within timeoutMs).
    static bool AskToRaise(int timeoutMs = 2000);
    // Starts answering requests (a stale socket of an ended instance is
    // replaced); True when listening.
    static bool Listen();
    // Stops answering and removes the socket.
    static void Stop();
    static bool IsListening();

    // Brings the loaded FrmMain forward: restored when minimised, raised and
    // activated.  False when no main window is loaded.
    static bool RaiseMainWindow();

    // Requests answered since the program started (for tests).
    static int RaiseRequests();

private:
    explicit SingleInstance(QObject* parent);
    void OnNewConnection();

    QLocalServer* m_server = nullptr;
};
