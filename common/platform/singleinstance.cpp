#include "common/platform/singleinstance.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QtGlobal>

namespace platform {

namespace {
constexpr int kConnectTimeoutMs = 500;
const QByteArray kActivate = QByteArrayLiteral("activate\n");
} // namespace

SingleInstance::SingleInstance(const QString &name, QObject *parent) : QObject(parent), m_name(name) {}

SingleInstance::~SingleInstance()
{
    release();
}

QString SingleInstance::serverName(const QString &name)
{
    QString user = qEnvironmentVariable("USER");
    if (user.isEmpty())
        user = qEnvironmentVariable("USERNAME");
    return user.isEmpty() ? name : name + QLatin1Char('-') + user;
}

bool SingleInstance::isRunning(const QString &name)
{
    QLocalSocket socket;
    socket.connectToServer(serverName(name));
    const bool running = socket.waitForConnected(kConnectTimeoutMs);
    socket.abort();
    return running;
}

bool SingleInstance::claim()
{
    if (m_server)
        return true;
    const QString server = serverName(m_name);
    {
        QLocalSocket socket;
        socket.connectToServer(server);
        if (socket.waitForConnected(kConnectTimeoutMs)) {
            socket.write(kActivate);
            socket.waitForBytesWritten(kConnectTimeoutMs);
            socket.disconnectFromServer();
            return false;
        }
    }
    // Nobody answers: a socket file left by a copy that crashed is removed.
    QLocalServer::removeServer(server);
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(server)) {
        // Another copy started in the same instant; it is the running one.
        delete m_server;
        m_server = nullptr;
        return false;
    }
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::acceptConnection);
    return true;
}

void SingleInstance::release()
{
    if (!m_server)
        return;
    m_server->close();
    delete m_server;
    m_server = nullptr;
}

void SingleInstance::acceptConnection()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (socket->readAll().contains(kActivate))
                emit activationRequested();
        });
    }
}

} // namespace platform
