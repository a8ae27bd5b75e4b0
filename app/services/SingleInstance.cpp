#include "SingleInstance.h"

#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QWidget>

#include "modGlobalFunctionsFiles.h"

namespace {
const QByteArray kRaise = QByteArrayLiteral("raise\n");
const QByteArray kDone = QByteArrayLiteral("ok\n");

QString& ChosenName() {
    static QString name;
    return name;
}

QPointer<SingleInstance>& Current() {
    static QPointer<SingleInstance> current;
    return current;
}

int& RequestCount() {
    static int count = 0;
    return count;
}
}  // namespace

SingleInstance::SingleInstance(QObject* parent) : QObject(parent) {}

QString SingleInstance::ServerName() {
    if (!ChosenName().isEmpty()) return ChosenName();
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QFileInfo(runtime).isDir()) return runtime + QStringLiteral("/OrmidYRB100.instance");
    return QDir::tempPath() + QStringLiteral("/OrmidYRB100-%1.instance").arg(getuid());
}

void SingleInstance::SetServerName(const QString& name) { ChosenName() = name; }

bool SingleInstance::IsOtherRunning() {
    QLocalSocket socket;
    socket.connectToServer(ServerName());
    const bool connected = socket.waitForConnected(1000);
    if (connected) socket.disconnectFromServer();
    return connected;
}

bool SingleInstance::AskToRaise(int timeoutMs) {
    QLocalSocket socket;
    socket.connectToServer(ServerName());
    if (!socket.waitForConnected(1000)) return false;
    if (socket.write(kRaise) != kRaise.size() || !socket.waitForBytesWritten(1000)) return false;
    // The other instance answers once its window is forward; one that is
    // busy answers later, and still gets the request.
    QByteArray answer;
    while (!answer.contains('\n') && socket.waitForReadyRead(timeoutMs)) answer += socket.readAll();
    socket.disconnectFromServer();
    return true;
}

bool SingleInstance::Listen() {
    if (Current() && Current()->m_server && Current()->m_server->isListening()) return true;
    QObject* owner = QCoreApplication::instance();
    auto* self = new SingleInstance(owner);
    self->m_server = new QLocalServer(self);
    self->m_server->setSocketOptions(QLocalServer::UserAccessOption);
    const QString name = ServerName();
    bool ok = self->m_server->listen(name);
    if (!ok && self->m_server->serverError() == QAbstractSocket::AddressInUseError && !IsOtherRunning()) {
        QLocalServer::removeServer(name);
        ok = self->m_server->listen(name);
    }
    if (!ok) {
        delete self;
        return false;
    }
    connect(self->m_server, &QLocalServer::newConnection, self, &SingleInstance::OnNewConnection);
    Current() = self;
    return true;
}

void SingleInstance::Stop() {
    if (Current()) delete Current().data();
    Current() = nullptr;
}

bool SingleInstance::IsListening() { return Current() && Current()->m_server && Current()->m_server->isListening(); }

int SingleInstance::RaiseRequests() { return RequestCount(); }

bool SingleInstance::RaiseMainWindow() {
    QWidget* w = modGlobalFunctions::IsFormLoaded(QStringLiteral("FrmMain"));
    if (w == nullptr) return false;
    if (w->isMinimized()) w->setWindowState((w->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    if (w->isVisible()) {
        w->raise();
        w->activateWindow();
    }
    return true;
}

void SingleInstance::OnNewConnection() {
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, socket, [socket] {
            if (!socket->canReadLine()) return;
            const QByteArray line = socket->readLine();
            if (line == kRaise) {
                ++RequestCount();
                RaiseMainWindow();
            }
            socket->write(kDone);
            socket->flush();
            socket->disconnectFromServer();
        });
    }
}
