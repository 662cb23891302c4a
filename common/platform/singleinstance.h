#pragma once
// One running copy of a program per user. The first copy listens on a local
// socket named after the program; a later copy finds it listening, asks it
// to come to the front and ends. The same names tell whether another
// program (one that holds its own name in the same way) is running.

#include <QObject>
#include <QString>

class QLocalServer;

namespace platform {

class SingleInstance : public QObject {
    Q_OBJECT
public:
    // `name` identifies the program; tests pass a name of their own so that
    // a copy the user is running never answers them.
    explicit SingleInstance(const QString &name, QObject *parent = nullptr);
    ~SingleInstance() override;

    // Becomes the one running copy. Returns false when another copy already
    // runs; that copy has then been asked to come to the front.
    bool claim();
    // Stops being the running copy, so that a later start is not refused.
    void release();
    bool isClaimed() const { return m_server != nullptr; }

    // Whether a program holding `name` runs now.
    static bool isRunning(const QString &name);
    // The local socket name used for `name` (per user).
    static QString serverName(const QString &name);

signals:
    // A later copy asked this one to come to the front.
    void activationRequested();

private:
    void acceptConnection();

    QString m_name;
    QLocalServer *m_server = nullptr;
};

} // namespace platform
