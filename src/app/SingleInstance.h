#pragma once

#include <QLocalServer>
#include <QLocalSocket>
#include <QObject>
#include <QString>

// Keeps one control centre per user. The first start listens on a socket in the user's runtime
// folder; a later start connects, asks the running one to restore its window and ends.
class SingleInstance : public QObject {
    Q_OBJECT

public:
    enum class Role {
        // This process is the one that runs.
        Primary,
        // Another instance runs and has been asked to restore its window.
        Secondary,
        // The mechanism is unavailable (no usable runtime folder); the program runs anyway.
        Unavailable,
    };

    explicit SingleInstance(const QString& folder);

    Role Claim();
    QString ErrorText() const { return errorText; }
    QString SocketPath() const;

signals:
    void restoreRequested();

private:
    bool AskRunningInstanceToRestore();
    bool Listen();
    void ReadRequest(QLocalSocket* socket);

    QString folder;
    QString errorText;
    QLocalServer server;
};
