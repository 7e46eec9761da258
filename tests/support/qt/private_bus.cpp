#include "support/qt/private_bus.h"

#include <string>

namespace parvex::testing {
namespace {

// Lets every connection own names and call every method.
constexpr const char* kOpenPolicy = "  <auth>EXTERNAL</auth>\n"
                                    "  <policy context=\"default\">\n"
                                    "    <allow send_destination=\"*\" eavesdrop=\"true\"/>\n"
                                    "    <allow eavesdrop=\"true\"/>\n"
                                    "    <allow own=\"*\"/>\n"
                                    "  </policy>\n"
                                    "</busconfig>\n";

} // namespace

TPrivateBus::TPrivateBus(const char* type) {
    const std::string config =
        folder_.File("bus.conf", std::string("<busconfig>\n  <type>") + type +
                                     "</type>\n  <listen>unix:dir=" + folder_.Root() +
                                     "</listen>\n" + kOpenPolicy);
    daemon_.start(QStringLiteral(PARVEX_DBUS_DAEMON),
                  {QStringLiteral("--nofork"), QStringLiteral("--print-address=1"),
                   QStringLiteral("--config-file=") + QString::fromStdString(config)});
    // The daemon prints its address once it listens.
    while (daemon_.waitForReadyRead(30000) && !daemon_.canReadLine()) {
    }
    address_ = QString::fromUtf8(daemon_.readLine().trimmed());
}

TPrivateBus::~TPrivateBus() {
    for (const QString& name : connections_)
        QDBusConnection::disconnectFromBus(name);
    daemon_.kill();
    daemon_.waitForFinished();
}

QDBusConnection TPrivateBus::Connect(const QString& name) {
    connections_ << name;
    return QDBusConnection::connectToBus(address_, name);
}

} // namespace parvex::testing
