// tlvsd: the reference Telvane Server.
#include <csignal>
#include <cstdio>
#include <string>

#include "platform/process/pidfile.h"
#include "platform/version/commandline.h"
#include "platform/version/projectversion.h"
#include "server/log.h"
#include "server/options.h"
#include "server/tlvsd_server.h"

int main(int argc, char** argv) {
    tlv::server::ServerOptions options;
    std::string error;
    if (!tlv::server::parseOptions(argc, argv, options, error)) {
        std::fputs(UsageErrorLine("tlvsd", error).c_str(), stderr);
        return 2;
    }
    if (options.help) {
        std::fputs(tlv::server::usageText(), stdout);
        return 0;
    }
    if (options.version) {
        std::fputs(VersionLine("tlvsd").c_str(), stdout);
        return 0;
    }
    // A client that goes away mid-answer must not end the server.
    std::signal(SIGPIPE, SIG_IGN);
    const std::string pidFilePath = options.pidFile;
    auto server = tlv::server::TlvsdServer::create(std::move(options), error);
    if (!server) {
        tlv::server::logEvent("%s", error.c_str());
        return 1;
    }
    tlv::platform::PidFileWriter pidFile;
    if (!pidFilePath.empty() && !pidFile.Write(pidFilePath, error)) {
        tlv::server::logEvent("%s", error.c_str());
        return 1;
    }
    std::printf("listening on %s\n", server->listeningAddress().c_str());
    std::fflush(stdout);
    return server->run();
}
