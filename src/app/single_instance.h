#pragma once
// One running editor per user and data folder. A second start writes the
// files it was given to the hand-over file and tells the running copy, which
// then opens the first and adds the rest to its song list; the second copy ends.

#include <QLocalServer>
#include <QObject>
#include <QString>
#include <string>
#include <vector>

namespace melnix {

// The name running copies listen on, for this user and data folder.
QString instanceServerName(const std::string& dataFolder);

// When a copy listens on serverName: hands it the files (when there are any)
// through the hand-over file in dataFolder and returns true.
bool handToRunningCopy(const QString& serverName, const std::string& dataFolder, const std::vector<std::string>& files);

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
