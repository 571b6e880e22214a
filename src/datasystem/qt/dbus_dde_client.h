#pragma once
// The DdeClient over the D-Bus session bus; the mapping of services, topics
// and items is described in datasystem/dde_dbus_names.h. Made only in
// ChemStation mode. Opening a conversation and requesting an item wait for
// the answer (at most the time-out); executes and changes do not block.
#include "datasystem/dde_client.h"

#include <QDBusConnection>
#include <QObject>
#include <QString>

#include <map>
#include <string>

namespace kelvo {

class DbusDdeClient final : public DdeClient {
public:
    explicit DbusDdeClient(const QDBusConnection& connection = QDBusConnection::sessionBus(), int timeout_ms = 1000);
    std::unique_ptr<DdeConversation> connect(const std::string& service, const std::string& topic) override;

private:
    QDBusConnection connection_;
    int timeout_ms_;
};

class DbusDdeConversation final : public QObject, public DdeConversation {
    Q_OBJECT
public:
    DbusDdeConversation(const QDBusConnection& connection, QString bus_name, QString path, int timeout_ms);
    ~DbusDdeConversation() override;
    std::string request(const std::string& item) override;
    void advise(const std::string& item, ChangeHandler on_change) override;
    void execute(const std::string& command) override;

private slots:
    void changed(const QString& item, const QString& value);

private:
    QDBusConnection connection_;
    QString bus_name_;
    QString path_;
    int timeout_ms_;
    bool subscribed_ = false;
    std::multimap<std::string, ChangeHandler> links_;
};

}  // namespace kelvo
