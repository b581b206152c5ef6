// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One running editor per user and data folder. A second start sends the files
// it was given to the running copy through a local socket and waits until the
// copy has taken them; the running copy opens the first of them and adds the
// rest to its song list.

#include <QLocalServer>
#include <QObject>
#include <QString>
#include <string>
#include <vector>

namespace melnix {

// The name running copies listen on, for this user and data folder.
QString instanceServerName(const std::string& dataFolder);

enum class HandOver {
    NoRunningCopy,  // this start is the running copy
    Taken,          // the running copy has the files (or was only found, for none)
    NotTaken,       // a running copy answered but did not confirm in time
};

// When a copy listens on serverName: hands it the files and waits at most
// waitMs for its confirmation.
HandOver handToRunningCopy(const QString& serverName, const std::vector<std::string>& files, int waitMs = 5000);

// The running copy's side: emits handedOver with each start's files, in the
// order the starts sent them, and confirms each.
class InstanceServer : public QObject {
    Q_OBJECT
public:
    explicit InstanceServer(QObject* parent = nullptr) : QObject(parent) {}
    bool listen(const QString& serverName);

signals:
    void handedOver(const std::vector<std::string>& paths);

private:
    QLocalServer server_;
};

}  // namespace melnix
