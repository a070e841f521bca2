#pragma once

#include <QObject>
#include <QString>

class QLocalServer;
class QWidget;

// Keeps one running copy of the program per user. The first copy listens on a local socket; a later one
// finds it there, asks it to come forward and ends before doing any database or window work.
class SingleInstance : public QObject
{
    Q_OBJECT

public:
    // The key names the socket: the application title and the user, unless a test or the demo gives
    // another (an absolute path is used as the socket's path).
    explicit SingleInstance(const QString& key = defaultKey(), QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when this copy is now the running one. False when another copy answered and was asked to come
    // forward (and to open dataFile, when one is given): this copy should end.
    bool claim(const QString& dataFile = QString());
    bool isRunningCopy() const;

    static QString defaultKey();
    // Raises the open modal dialog when there is one, else the main window.
    static void bringForward(QWidget* mainWindow);

Q_SIGNALS:
    // Another copy was started and asked this one to come forward.
    void activationRequested();
    // Another copy was started to open this data file.
    void openRequested(const QString& dataFile);

private:
    bool askRunningCopy(const QByteArray& request);
    bool listen();
    void acceptConnections();

    QString m_key;
    QLocalServer* m_server = nullptr;
};
