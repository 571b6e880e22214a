#include "datasystem/qt/dbus_dde_client.h"

#include "datasystem/dde_dbus_names.h"
#include "ground/debug_lines.h"
#include "ground/qt/qt_text.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>

#include <exception>
#include <vector>

namespace kelvo {

namespace {
QString ascii(const std::string& name) { return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())); }
}  // namespace

DbusDdeClient::DbusDdeClient(const QDBusConnection& connection, int timeout_ms)
    : connection_(connection), timeout_ms_(timeout_ms)
{
}

std::unique_ptr<DdeConversation> DbusDdeClient::connect(const std::string& service, const std::string& topic)
{
    if (!connection_.isConnected() || service.empty()) return nullptr;
    const QString bus = ascii(dde_bus_name(service));
    const QString path = ascii(dde_object_path(topic));
    QDBusConnectionInterface* daemon = connection_.interface();
    if (!daemon || !daemon->isServiceRegistered(bus).value()) return nullptr;
    // The topic exists when its object carries the interface.
    QDBusMessage call = QDBusMessage::createMethodCall(bus, path, "org.freedesktop.DBus.Introspectable", "Introspect");
    call.setAutoStartService(false);
    const QDBusMessage reply = connection_.call(call, QDBus::Block, timeout_ms_);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return nullptr;
    const QString xml = reply.arguments().first().toString();
    if (!xml.contains(QStringLiteral("<interface name=\"%1\"").arg(dde_interface))) return nullptr;
    return std::make_unique<DbusDdeConversation>(connection_, bus, path, timeout_ms_);
}

DbusDdeConversation::DbusDdeConversation(const QDBusConnection& connection, QString bus_name, QString path,
                                         int timeout_ms)
    : connection_(connection), bus_name_(std::move(bus_name)), path_(std::move(path)), timeout_ms_(timeout_ms)
{
}

DbusDdeConversation::~DbusDdeConversation()
{
    if (subscribed_)
        connection_.disconnect(bus_name_, path_, dde_interface, "Changed", this, SLOT(changed(QString, QString)));
}

std::string DbusDdeConversation::request(const std::string& item)
{
    QDBusMessage call = QDBusMessage::createMethodCall(bus_name_, path_, dde_interface, "Request");
    call.setAutoStartService(false);
    call << to_qstring(item);
    const QDBusMessage reply = connection_.call(call, QDBus::Block, timeout_ms_);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return "";
    return from_qstring(reply.arguments().first().toString());
}

void DbusDdeConversation::advise(const std::string& item, ChangeHandler on_change)
{
    links_.emplace(item, std::move(on_change));
    if (subscribed_) return;
    // By the well-known name: the bus follows a data system that restarts.
    subscribed_ =
        connection_.connect(bus_name_, path_, dde_interface, "Changed", this, SLOT(changed(QString, QString)));
    if (!subscribed_) debug_line("cannot watch " + from_qstring(bus_name_) + from_qstring(path_));
}

void DbusDdeConversation::execute(const std::string& command)
{
    QDBusMessage call = QDBusMessage::createMethodCall(bus_name_, path_, dde_interface, "Execute");
    call.setAutoStartService(false);
    call << to_qstring(command);
    // Sent without waiting; the reply, an error included, is dropped.
    connection_.send(call);
}

void DbusDdeConversation::changed(const QString& item, const QString& value)
{
    try {
        const std::string name = from_qstring(item);
        std::vector<ChangeHandler> handlers;
        auto range = links_.equal_range(name);
        for (auto it = range.first; it != range.second; ++it) handlers.push_back(it->second);
        const std::string text = from_qstring(value);
        for (const ChangeHandler& h : handlers) h(text);
    } catch (const std::exception& e) {
        debug_line(std::string("data system change failed: ") + e.what());
    }
}

}  // namespace kelvo
