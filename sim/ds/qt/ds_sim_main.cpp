// ds-sim: a chromatography data system on the D-Bus session bus, speaking
// the data system's side of the program's DDE conversation.
#include "data_system_simulator.h"
#include "dde_topic_object.h"

#include "datasystem/dde_dbus_names.h"
#include "ground/cp1252.h"

#include "cadenzor_version.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDir>
#include <QElapsedTimer>
#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <iostream>
#include <map>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using namespace kelvo::sim;

namespace {

void print_help(std::ostream& out)
{
    out << "usage: ds-sim [--service NAME] [options] [faults]\n"
           "\n"
           "Plays the data system on the D-Bus session bus: bus name org.qerant.dde.NAME,\n"
           "objects /SYSTEM (item STATUS) and /CPWAIT (the sequence-status and table-info\n"
           "items, the macros Qerant_CollectTableInfo and Qerant_CreateSequence), interface\n"
           "org.qerant.Dde1. Prints the bus name on the first line of standard output.\n"
           "\n"
           "options:\n"
           "  --service NAME       the service (the program's SR: value; default HPCS1)\n"
           "  --gc-ms              the GC-MS items (Qerant_SeqStat$)\n"
           "  --ready-after-ms N   READY this long after Qerant_CreateSequence (default 2000)\n"
           "  --columns FILE       column definitions served in the exchange file\n"
           "                       (default: a text, a numeric, a list and a check-box column)\n"
           "  --exchange FILE      the exchange file (default: ds-sim-NAME.ini in the temp folder)\n"
           "  --transcript FILE    append every \"sequence info\" section received to FILE\n"
           "  --control PATH       make a FIFO PATH that takes fault lines at run time\n"
           "                       (e.g. echo 'never-ready on' > PATH); each line taken\n"
           "                       is confirmed on standard output as \"applied LINE\"\n"
           "\n"
           "faults, as options (--never-ready, --slow-ready 9000) or as control lines:\n"
        << ds_control_syntax;
}

volatile std::sig_atomic_t stop_requested = 0;
void on_signal(int) { stop_requested = 1; }

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    std::string service = "HPCS1", control_path;
    DataSystemOptions options;
    std::vector<std::string> controls;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= argc) {
                std::cerr << "ds-sim: " << a << " needs a value\n";
                std::exit(2);
            }
            return argv[++i];
        };
        if (a == "--version") {
            std::cout << "ds-sim " << CADENZOR_VERSION << '\n';
            return 0;
        }
        if (a == "--help" || a == "-h") {
            print_help(std::cout);
            return 0;
        } else if (a == "--service") {
            service = kelvo::utf8_to_cp1252(value());
        } else if (a == "--gc-ms") {
            options.gc_ms = true;
        } else if (a == "--ready-after-ms") {
            options.ready_after_ms = std::atoi(value().c_str());
        } else if (a == "--columns") {
            options.columns_path = value();
        } else if (a == "--exchange") {
            options.exchange_path = value();
        } else if (a == "--transcript") {
            options.transcript_path = value();
        } else if (a == "--control") {
            control_path = value();
        } else if (a == "--blank-status" || a == "--never-ready") {
            controls.push_back(a.substr(2) + " on");
        } else if (a == "--slow-ready") {
            controls.push_back("slow-ready " + value());
        } else {
            std::cerr << "ds-sim: unknown argument " << a << "\n";
            print_help(std::cerr);
            return 2;
        }
    }
    const QString bus_name = QString::fromLatin1(kelvo::dde_bus_name(service).c_str());
    if (options.exchange_path.empty())
        options.exchange_path =
            QDir::temp().filePath(QStringLiteral("ds-sim-%1.ini").arg(kelvo::dde_escaped_name(service).c_str())).toStdString();

    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        std::cerr << "ds-sim: no session bus\n";
        return 1;
    }

    std::map<std::string, DdeTopicObject*> objects;
    DataSystemSimulator sim(options, [&](const std::string& topic, const std::string& item, const std::string& value) {
        const auto it = objects.find(topic);
        if (it != objects.end())
            emit it->second->Changed(QString::fromStdString(kelvo::cp1252_to_utf8(item)),
                                     QString::fromStdString(kelvo::cp1252_to_utf8(value)));
    });
    QElapsedTimer clock;
    clock.start();
    for (const std::string& c : controls) {
        std::string error;
        if (!sim.apply_control(c, 0, &error)) {
            std::cerr << "ds-sim: " << error << "\n";
            return 2;
        }
    }

    for (const char* topic : {"SYSTEM", "CPWAIT"}) {
        const std::string name = topic;
        auto* object = new DdeTopicObject(
            [&sim, name](const QString& item) {
                return QString::fromStdString(
                    kelvo::cp1252_to_utf8(sim.request(name, kelvo::utf8_to_cp1252(item.toStdString()))));
            },
            [&sim, &clock, name](const QString& command) {
                std::string error;
                if (!sim.execute(name, kelvo::utf8_to_cp1252(command.toStdString()), static_cast<long>(clock.elapsed()), &error))
                    std::cerr << "ds-sim: " << error << "\n";
            },
            &app);
        objects[name] = object;
        if (!bus.registerObject(QString::fromStdString(kelvo::dde_object_path(name)), object,
                                QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals)) {
            std::cerr << "ds-sim: cannot register /" << name << "\n";
            return 1;
        }
    }
    if (!bus.registerService(bus_name)) {
        std::cerr << "ds-sim: cannot own " << bus_name.toStdString() << ": " << bus.lastError().message().toStdString()
                  << "\n";
        return 1;
    }

    int control_fd = -1, control_writer = -1;
    bool made_fifo = false;
    std::string control_buffer;
    std::unique_ptr<QSocketNotifier> notifier;
    if (!control_path.empty()) {
        if (mkfifo(control_path.c_str(), 0600) == 0) made_fifo = true;
        else if (errno != EEXIST) {
            std::cerr << "ds-sim: cannot make " << control_path << ": " << std::strerror(errno) << "\n";
            return 1;
        }
        control_fd = open(control_path.c_str(), O_RDONLY | O_NONBLOCK);
        // Our own writer keeps the FIFO from reporting end of file between writers.
        control_writer = open(control_path.c_str(), O_WRONLY | O_NONBLOCK);
        notifier = std::make_unique<QSocketNotifier>(control_fd, QSocketNotifier::Read);
        QObject::connect(notifier.get(), &QSocketNotifier::activated, [&] {
            char buf[256];
            ssize_t n;
            while ((n = read(control_fd, buf, sizeof buf)) > 0) control_buffer.append(buf, static_cast<std::size_t>(n));
            std::size_t nl;
            while ((nl = control_buffer.find('\n')) != std::string::npos) {
                std::string line = control_buffer.substr(0, nl);
                control_buffer.erase(0, nl + 1);
                if (!line.empty() && line.back() == '\r') line.pop_back();
                if (line.empty()) continue;
                std::string error;
                // A line taken is confirmed, so that whoever drives the faults
                // knows when they are in force.
                if (sim.apply_control(kelvo::utf8_to_cp1252(line), static_cast<long>(clock.elapsed()), &error))
                    std::cout << "applied " << line << std::endl;
                else
                    std::cerr << "ds-sim: " << error << "\n";
            }
        });
    }

    std::signal(SIGTERM, on_signal);
    std::signal(SIGINT, on_signal);
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        sim.advance(static_cast<long>(clock.elapsed()));
        if (sim.exit_requested() || stop_requested) app.quit();
    });
    ticker.start(20);

    std::cout << bus_name.toStdString() << std::endl;
    const int rc = app.exec();
    // "exit" ends as a crash would: no goodbye, the name simply goes.
    if (control_writer >= 0) close(control_writer);
    if (control_fd >= 0) close(control_fd);
    if (made_fifo) unlink(control_path.c_str());
    return rc;
}
