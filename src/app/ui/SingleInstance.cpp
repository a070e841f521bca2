#include "app/ui/SingleInstance.h"

#include <QApplication>
#include <QLocalServer>
#include <QLocalSocket>
#include <QWidget>

namespace {

const QByteArray ActivateRequest = QByteArrayLiteral("activate\n");
// Followed by the percent-encoded path and a newline; the encoding keeps any character of a path on the line.
const QByteArray OpenRequest = QByteArrayLiteral("open ");
constexpr int AnswerTimeoutMs = 1000;

QString userName()
{
    QString name = qEnvironmentVariable("USER");
    if (name.isEmpty())
        name = qEnvironmentVariable("LOGNAME");
    return name;
}

} // namespace

SingleInstance::SingleInstance(const QString& key, QObject* parent) : QObject(parent), m_key(key) {}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::defaultKey()
{
    return QStringLiteral("Velmora-") + userName();
}

bool SingleInstance::isRunningCopy() const
{
    return m_server && m_server->isListening();
}

bool SingleInstance::claim(const QString& dataFile)
{
    if (isRunningCopy())
        return true;
    const QByteArray request =
        dataFile.isEmpty() ? ActivateRequest : OpenRequest + dataFile.toUtf8().toPercentEncoding() + '\n';
    if (askRunningCopy(request))
        return false;
    if (listen())
        return true;
    // Another copy may have started listening between our two attempts.
    if (askRunningCopy(request))
        return false;
    // A socket left behind by a copy that crashed answers nobody; it must not keep the program from
    // starting.
    QLocalServer::removeServer(m_key);
    listen();
    return true;
}

bool SingleInstance::askRunningCopy(const QByteArray& request)
{
    QLocalSocket socket;
    socket.connectToServer(m_key);
    if (!socket.waitForConnected(AnswerTimeoutMs))
        return false;
    socket.write(request);
    socket.waitForBytesWritten(AnswerTimeoutMs);
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState)
        socket.waitForDisconnected(AnswerTimeoutMs);
    return true;
}

bool SingleInstance::listen()
{
    if (!m_server) {
        m_server = new QLocalServer(this);
        m_server->setSocketOptions(QLocalServer::UserAccessOption);
        connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::acceptConnections);
    }
    return m_server->listen(m_key);
}

void SingleInstance::acceptConnections()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        const auto readRequest = [this, socket] {
            if (!socket->canReadLine())
                return;
            const QByteArray line = socket->readLine();
            if (line == ActivateRequest) {
                Q_EMIT activationRequested();
            } else if (line.startsWith(OpenRequest) && line.endsWith('\n')) {
                const QByteArray encoded = line.mid(OpenRequest.size()).chopped(1);
                Q_EMIT activationRequested();
                Q_EMIT openRequested(QString::fromUtf8(QByteArray::fromPercentEncoding(encoded)));
            }
            socket->disconnectFromServer();
        };
        connect(socket, &QLocalSocket::readyRead, this, readRequest);
        readRequest();
    }
}

void SingleInstance::bringForward(QWidget* mainWindow)
{
    QWidget* target = QApplication::activeModalWidget();
    if (!target)
        target = mainWindow;
    if (!target) {
        QApplication::beep();
        return;
    }
    if (target->isMinimized())
        target->showNormal();
    target->raise();
    target->activateWindow();
}
