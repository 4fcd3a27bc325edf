#include "tests/session/fleet_fixture.h"

#include <gtest/gtest.h>
#include <signal.h>

#include "tests/session/server_fixture.h"

namespace tlv::test {

FleetFixture::FleetFixture(const std::vector<std::string>& entries,
                           const std::vector<std::string>& args) {
    for (const std::string& entry : entries) {
        Member member{entry, std::make_unique<TempDir>(), std::make_unique<TlvsdProcess>()};
        std::vector<std::string> all{"--data", member.data->path()};
        all.insert(all.end(), args.begin(), args.end());
        if (!member.server->start(all)) {
            ADD_FAILURE() << "tlvsd of " << entry << " did not start";
            return;
        }
        if (!WriteServerEntry(entry, "tcp:127.0.0.1:" + std::to_string(member.server->port()))) {
            ADD_FAILURE() << "cannot write the server entry " << entry;
            return;
        }
        m_members.push_back(std::move(member));
    }
    m_bReady = true;
}

FleetFixture::~FleetFixture() {
    // A stopped server would not hear the SIGTERM that ends it.
    for (Member& member : m_members)
        Continue(member.entry);
}

FleetFixture::Member* FleetFixture::Find(const std::string& entry) {
    for (Member& member : m_members) {
        if (member.entry == entry)
            return &member;
    }
    ADD_FAILURE() << "no server " << entry;
    return nullptr;
}

TlvsdProcess& FleetFixture::Server(const std::string& entry) {
    Member* member = Find(entry);
    return member != nullptr ? *member->server : *m_members.front().server;
}

bool FleetFixture::AddClosedEntry(const std::string& entry) {
    return WriteServerEntry(entry, "tcp:127.0.0.1:" + std::to_string(unusedLoopbackPort()));
}

void FleetFixture::Hang(const std::string& entry) {
    if (Member* member = Find(entry); member != nullptr && !member->bHung) {
        member->bHung = kill(member->server->pid(), SIGSTOP) == 0;
    }
}

void FleetFixture::Continue(const std::string& entry) {
    if (Member* member = Find(entry); member != nullptr && member->bHung) {
        kill(member->server->pid(), SIGCONT);
        member->bHung = false;
    }
}

}  // namespace tlv::test
