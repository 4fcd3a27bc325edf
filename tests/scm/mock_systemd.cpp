// A stand-in for systemd's manager on a private bus, for the service control manager's tests:
// LoadUnit, StartUnit, StopUnit, Reload, EnableUnitFiles and DisableUnitFiles of
// org.freedesktop.systemd1.Manager, and the LoadState, ActiveState and SubState of each unit.
// A unit is loaded when it is named with --known or its file is in --unit-dir; a start or stop
// passes through its pending state for 150 ms. Every call is logged as a line to --log.
//   mock_systemd --bus ADDRESS --unit-dir DIR --log FILE [--known UNIT]... [--masked UNIT]...
//                [--deny UNIT]...      (--deny: StartUnit and StopUnit are refused)
// It prints "ready" once it owns org.freedesktop.systemd1.
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVirtualObject>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QTimer>
#include <cstdio>

namespace {

constexpr int kPendingMs = 150;
const QString kUnitPathPrefix = QStringLiteral("/org/freedesktop/systemd1/unit/");

struct UnitState {
    QString active = QStringLiteral("inactive");
    QString sub = QStringLiteral("dead");
};

class MockManager final : public QDBusVirtualObject {
public:
    MockManager(QStringList arguments) {
        for (qsizetype i = 1; i + 1 < arguments.size(); i += 2) {
            const QString& option = arguments[i];
            const QString& value = arguments[i + 1];
            if (option == "--unit-dir")
                m_unitDir = value;
            else if (option == "--log")
                m_log.setFileName(value);
            else if (option == "--known")
                m_known.append(value);
            else if (option == "--masked")
                m_masked.append(value);
            else if (option == "--deny")
                m_denied.append(value);
        }
        m_log.open(QIODevice::Append | QIODevice::Text);
    }

    QString introspect(const QString&) const override { return {}; }

    bool handleMessage(const QDBusMessage& message, const QDBusConnection& bus) override {
        const QString member = message.member();
        const QVariantList args = message.arguments();
        Log(member + " " + (args.isEmpty() ? QString() : args.front().toString()));
        if (member == "LoadUnit")
            return bus.send(message.createReply(QVariant::fromValue(QDBusObjectPath(PathOf(args.value(0).toString())))));
        if (member == "GetAll")
            return bus.send(message.createReply(QVariant(Properties(UnitOf(message.path())))));
        if (member == "StartUnit" || member == "StopUnit")
            return bus.send(Change(message, args.value(0).toString(), member == "StartUnit"));
        if (member == "Reload" || member == "DisableUnitFiles")
            return bus.send(message.createReply());
        if (member == "EnableUnitFiles")
            return bus.send(message.createReply(QVariant(false)));
        return bus.send(message.createErrorReply(QStringLiteral("org.freedesktop.DBus.Error.UnknownMethod"), member));
    }

private:
    void Log(const QString& line) {
        m_log.write((line + "\n").toUtf8());
        m_log.flush();
    }

    static QString PathOf(const QString& unit) {
        QString label;
        for (const QChar c : unit) {
            if (c.isLetterOrNumber() && c.unicode() < 128)
                label += c;
            else
                label += QStringLiteral("_%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        }
        s_units[label] = unit;
        return kUnitPathPrefix + label;
    }

    static QString UnitOf(const QString& path) { return s_units.value(path.mid(kUnitPathPrefix.size())); }

    QString LoadState(const QString& unit) const {
        if (m_masked.contains(unit))
            return QStringLiteral("masked");
        if (m_known.contains(unit) || QFileInfo::exists(m_unitDir + "/" + unit))
            return QStringLiteral("loaded");
        return QStringLiteral("not-found");
    }

    QVariantMap Properties(const QString& unit) const {
        const UnitState state = m_states.value(unit);
        return {{"Id", unit}, {"LoadState", LoadState(unit)}, {"ActiveState", state.active},
                {"SubState", state.sub}};
    }

    QDBusMessage Change(const QDBusMessage& message, const QString& unit, bool start) {
        if (m_denied.contains(unit))
            return message.createErrorReply(QStringLiteral("org.freedesktop.DBus.Error.AccessDenied"),
                                            QStringLiteral("Access denied"));
        const QString load = LoadState(unit);
        if (load == "masked")
            return message.createErrorReply(QStringLiteral("org.freedesktop.systemd1.UnitMasked"),
                                            QStringLiteral("Unit %1 is masked.").arg(unit));
        if (load == "not-found")
            return message.createErrorReply(QStringLiteral("org.freedesktop.systemd1.NoSuchUnit"),
                                            QStringLiteral("Unit %1 not found.").arg(unit));
        m_states[unit] = start ? UnitState{"activating", "start"} : UnitState{"deactivating", "stop-sigterm"};
        QTimer::singleShot(kPendingMs, [this, unit, start] {
            m_states[unit] = start ? UnitState{"active", "running"} : UnitState{"inactive", "dead"};
        });
        return message.createReply(QVariant::fromValue(QDBusObjectPath("/org/freedesktop/systemd1/job/1")));
    }

    inline static QMap<QString, QString> s_units;
    QString m_unitDir;
    QFile m_log;
    QStringList m_known;
    QStringList m_masked;
    QStringList m_denied;
    QMap<QString, UnitState> m_states;
};

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    const qsizetype bus = arguments.indexOf("--bus");
    if (bus < 0 || bus + 1 >= arguments.size())
        return 2;
    QDBusConnection connection =
        QDBusConnection::connectToBus(arguments[bus + 1], QStringLiteral("mock"));
    MockManager manager(arguments);
    if (!connection.registerVirtualObject(QStringLiteral("/org/freedesktop/systemd1"), &manager,
                                          QDBusConnection::SubPath) ||
        !connection.registerService(QStringLiteral("org.freedesktop.systemd1")))
        return 1;
    std::puts("ready");
    std::fflush(stdout);
    return app.exec();
}
