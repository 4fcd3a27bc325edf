#include "platform/scm/systemdbus.h"

#include <sys/stat.h>

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QVariantMap>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/scm/scmapi.h"

namespace tlv::platform {
namespace {

constexpr const char* kService = "org.freedesktop.systemd1";
constexpr const char* kManagerPath = "/org/freedesktop/systemd1";
constexpr const char* kManager = "org.freedesktop.systemd1.Manager";
constexpr const char* kUnit = "org.freedesktop.systemd1.Unit";
constexpr int kCallTimeoutMs = 10000;

QDBusConnection Bus() {
    const char* address = std::getenv("TLV_SYSTEMD_BUS");
    if (address == nullptr || *address == '\0')
        return QDBusConnection::systemBus();
    // A connection is kept by name: another address, or a lost bus, needs a new one.
    static std::string connected;
    const QString name = QStringLiteral("tlv-systemd");
    if (connected != address || !QDBusConnection(name).isConnected()) {
        QDBusConnection::disconnectFromBus(name);
        connected = address;
    }
    return QDBusConnection::connectToBus(QString::fromLocal8Bit(address), name);
}

struct ErrorMapping {
    const char* name;
    DWORD error;
};

constexpr ErrorMapping kErrors[] = {
    {"org.freedesktop.DBus.Error.AccessDenied", ERROR_ACCESS_DENIED},
    {"org.freedesktop.DBus.Error.InteractiveAuthorizationRequired", ERROR_ACCESS_DENIED},
    {"org.freedesktop.systemd1.NoSuchUnit", ERROR_SERVICE_DOES_NOT_EXIST},
    {"org.freedesktop.systemd1.UnitMasked", ERROR_SERVICE_DISABLED},
};

// The call's answer; on failure the mapped error and D-Bus's message in why.
DWORD Call(const QDBusMessage& call, QDBusMessage& reply, std::string& why) {
    QDBusConnection bus = Bus();
    if (!bus.isConnected()) {
        why = "systemd cannot be reached: " + bus.lastError().message().toStdString();
        return ERROR_EXCEPTION_IN_SERVICE;
    }
    reply = bus.call(call, QDBus::Block, kCallTimeoutMs);
    if (reply.type() != QDBusMessage::ErrorMessage)
        return ERROR_SUCCESS;
    why = reply.errorMessage().toStdString();
    const std::string name = reply.errorName().toStdString();
    for (const ErrorMapping& mapping : kErrors) {
        if (name == mapping.name)
            return mapping.error;
    }
    return ERROR_EXCEPTION_IN_SERVICE;
}

DWORD CallManager(const char* method, const QVariantList& arguments, QDBusMessage& reply,
                  std::string& why) {
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kManagerPath, kManager, method);
    call.setArguments(arguments);
    return Call(call, reply, why);
}

std::string Text(const QVariantMap& properties, const char* name) {
    return properties.value(QString::fromLatin1(name)).toString().toStdString();
}

}  // namespace

bool UsesSystemd() {
    const char* chosen = std::getenv("TLV_SERVICE_MANAGER");
    if (chosen != nullptr && std::strcmp(chosen, "systemd") == 0)
        return true;
    if (chosen != nullptr && std::strcmp(chosen, "registry") == 0)
        return false;
    struct stat info {};
    return lstat("/run/systemd/system", &info) == 0 && S_ISDIR(info.st_mode);
}

DWORD LoadUnit(const std::string& unit, UnitState& state, std::string& why) {
    QDBusMessage reply;
    if (const DWORD rc = CallManager("LoadUnit", {QString::fromStdString(unit)}, reply, why);
        rc != ERROR_SUCCESS)
        return rc;
    const QDBusObjectPath path = reply.arguments().value(0).value<QDBusObjectPath>();
    QDBusMessage get = QDBusMessage::createMethodCall(kService, path.path(),
                                                      "org.freedesktop.DBus.Properties", "GetAll");
    get.setArguments({QString::fromLatin1(kUnit)});
    if (const DWORD rc = Call(get, reply, why); rc != ERROR_SUCCESS)
        return rc;
    QVariantMap properties;
    reply.arguments().value(0).value<QDBusArgument>() >> properties;
    state = {Text(properties, "LoadState"), Text(properties, "ActiveState"),
             Text(properties, "SubState")};
    return ERROR_SUCCESS;
}

DWORD StartUnit(const std::string& unit, std::string& why) {
    QDBusMessage reply;
    return CallManager("StartUnit", {QString::fromStdString(unit), QStringLiteral("replace")},
                       reply, why);
}

DWORD StopUnit(const std::string& unit, std::string& why) {
    QDBusMessage reply;
    return CallManager("StopUnit", {QString::fromStdString(unit), QStringLiteral("replace")},
                       reply, why);
}

DWORD ReloadUnits(std::string& why) {
    QDBusMessage reply;
    return CallManager("Reload", {}, reply, why);
}

DWORD EnableUnitFile(const std::string& unit, bool enable, std::string& why) {
    QDBusMessage reply;
    const QStringList units{QString::fromStdString(unit)};
    if (enable)
        return CallManager("EnableUnitFiles", {units, false, true}, reply, why);
    return CallManager("DisableUnitFiles", {units, false}, reply, why);
}

}  // namespace tlv::platform
