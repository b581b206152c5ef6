#pragma once
// One running editor per user and data folder. A second start writes the
// file it was given to the hand-over file and tells the running copy, which
// then opens it; the second copy ends.

#include <QLocalServer>
#include <QObject>
#include <QString>
#include <string>

namespace melnix {

// The name running copies listen on, for this user and data folder.
QString instanceServerName(const std::string& dataFolder);

// When a copy listens on serverName: hands it argument (when not empty)
// through the hand-over file in dataFolder and returns true.
bool handToRunningCopy(const QString& serverName, const std::string& dataFolder, const std::string& argument);

// The running copy's side: emits handedOver for every hand-over received.
class InstanceServer : public QObject {
    Q_OBJECT
public:
    explicit InstanceServer(QObject* parent = nullptr) : QObject(parent) {}
    bool listen(const QString& serverName);

signals:
    void handedOver();

private:
    void readCommands(class QLocalSocket* socket);
    QLocalServer server_;
};

}  // namespace melnix
