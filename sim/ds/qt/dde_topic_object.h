#pragma once
// One topic of the simulated data system on the bus: the object at
// "/" + topic with the interface org.qerant.Dde1.
#include <QObject>
#include <QString>

#include <functional>

namespace kelvo::sim {

class DdeTopicObject final : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.qerant.Dde1")
public:
    using RequestFn = std::function<QString(const QString& item)>;
    using ExecuteFn = std::function<void(const QString& command)>;
    DdeTopicObject(RequestFn request, ExecuteFn execute, QObject* parent = nullptr)
        : QObject(parent), request_(std::move(request)), execute_(std::move(execute))
    {
    }

public slots:
    QString Request(const QString& item) { return request_(item); }
    void Execute(const QString& command) { execute_(command); }

signals:
    void Changed(const QString& item, const QString& value);

private:
    RequestFn request_;
    ExecuteFn execute_;
};

}  // namespace kelvo::sim
