#include "tools/tlvadm/watch.h"

#include <chrono>
#include <set>
#include <sstream>
#include <thread>
#include <vector>

#include "framework/bytetext.h"
#include "platform/text/shownbytes.h"
#include "resources/stringtable.h"
#include "session/admindoc.h"
#include "tools/tlvadm/commands.h"
#include "tools/tlvadm/output.h"

namespace {

constexpr auto kInterval = std::chrono::seconds(2);

// The list as text lines, one per row, as the list commands print them.
bool ReadList(CAdminDoc& doc, const std::string& list, std::vector<std::string>& lines) {
    std::ostringstream text;
    if (list == "level") {
        if (!doc.RefreshLevelInfo(0))
            return false;
        text << doc.GetServerLevel() << '\n';
    } else if (list == "profiles") {
        if (!doc.RefreshProfileInfo(0))
            return false;
        PrintRows(text, doc.GetProfiles().get(), {}, false);
    } else if (list == "providers") {
        if (!doc.RefreshSPInfo(0))
            return false;
        PrintRows(text, doc.GetSPs().get(), {}, false);
    } else {
        if (!doc.RefreshServiceInfo(0))
            return false;
        PrintRows(text, doc.GetServices().get(), {}, false);
    }
    lines.clear();
    std::istringstream rows(text.str());
    for (std::string line; std::getline(rows, line);)
        lines.push_back(line);
    return true;
}

std::string KeyOf(const std::string& line) {
    return line.substr(0, line.find('\t'));
}

void PrintChanges(const std::vector<std::string>& before, const std::vector<std::string>& now,
                  bool bReportGone, std::ostream& out) {
    const std::set<std::string> old(before.begin(), before.end());
    std::set<std::string> keys;
    for (const std::string& line : now) {
        keys.insert(KeyOf(line));
        if (old.count(line) == 0)
            out << line << '\n';
    }
    if (!bReportGone)
        return;
    for (const std::string& line : before) {
        if (keys.count(KeyOf(line)) == 0)
            out << KeyOf(line) << "\t(gone)\n";
    }
}

void Redraw(const std::string& heading, const std::vector<std::string>& lines, std::ostream& out) {
    out << "\033[H\033[2J" << heading << "\n\n";
    for (const std::string& line : lines)
        out << line << '\n';
}

}  // namespace

int RunWatch(CAdminDoc& doc, const std::string& list, bool bTerminal, std::ostream& out) {
    const std::string heading = "Every 2 s: " + list + " of " +
                                tlv::platform::ShownBytes(BytesOfByteString(doc.GetServerName())) +
                                " (Ctrl+C ends)";
    std::vector<std::string> before;
    for (;;) {
        std::vector<std::string> now;
        if (!ReadList(doc, list, now))
            return doc.LastError() == IDS_LOST_CONNECTION ? kExitUsage : kExitRefused;
        if (bTerminal)
            Redraw(heading, now, out);
        else
            PrintChanges(before, now, list != "level", out);
        out.flush();
        before = std::move(now);
        std::this_thread::sleep_for(kInterval);
    }
}
