#include "tests/session/server_fixture.h"

#include <gtest/gtest.h>

#include <QCoreApplication>

#include "s100/kvs/ownedset.h"
#include "services/svcdef.h"
#include "session/admindoc.h"
#include "tests/support/server_entry.h"

namespace tlv::test {

bool WriteServerEntry(const std::string& name, const std::string& connectString) {
    return writeServerEntry(name, connectString) && installEntryKey(name);
}

ServerFixture::ServerFixture(const std::vector<std::string>& args) {
    std::vector<std::string> all = args;
    all.insert(all.begin(), {"--data", m_data.path()});
    if (!m_server.start(all)) {
        ADD_FAILURE() << "tlvsd did not start";
        return;
    }
    const std::string connect = "tcp:127.0.0.1:" + std::to_string(m_server.port());
    if (!WriteServerEntry(kServerEntry, connect)) {
        ADD_FAILURE() << "cannot write the server entry";
        return;
    }
    m_bReady = true;
}

ServerFixture::~ServerFixture() = default;

std::unique_ptr<CAdminDoc> ServerFixture::OpenDocument() {
    auto doc = std::make_unique<CAdminDoc>();
    if (!doc->OnOpenDocument(kServerEntry)) {
        ADD_FAILURE() << "the document did not open";
        return nullptr;
    }
    doc->SetPathName(kServerEntry);
    return doc;
}

bool ServerFixture::AddDllService(CAdminDoc& doc, const char* name, CTsymbol startType,
                                  CTbool disabled) {
    s100::OwnedSet set;
    DllServiceFields fields;
    fields.dllPath = "/opt/tlvs/services/test.so";
    if (!WriteDllService(set.Handle(), fields))
        return false;
    CTkvs_PutSymbol(set.Handle(), SVC_StartType, startType, nullptr);
    CTkvs_PutBool(set.Handle(), SVC_Disabled, disabled, nullptr);
    long ok = 0;
    doc.RunOnSession([&](ECTF_AdminSession& session) { ok = session.AddService(name, set.Handle()); });
    return ok != 0;
}

bool ServerFixture::AddProfile(CAdminDoc& doc, const char* name, const char* profileClass) {
    s100::OwnedSet set;
    CTkvs_PutString(set.Handle(), KEY_AsiName, "A1", nullptr);
    long ok = 0;
    doc.RunOnSession([&](ECTF_AdminSession& session) {
        ok = session.AddProfile(name, profileClass, set.Handle());
    });
    return ok != 0;
}

QString ServerFixture::StatusTextOf(CAdminDoc& doc, const QString& name) {
    QString text;
    doc.RequestServiceStatusText(name, [&text](const QString& shown) { text = shown; });
    doc.RunOnSession([](ECTF_AdminSession&) {});
    QCoreApplication::processEvents();
    return text;
}

bool AwaitTickAnswers(CAdminDoc& doc) {
    return waitUntil(
        [&doc] {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            return !doc.IsTickOutstanding();
        },
        std::chrono::seconds(15));
}

bool RunTick(CAdminDoc& doc) {
    doc.PeriodicRefresh();
    return AwaitTickAnswers(doc);
}

std::vector<std::string> Rows(const CViewLine* chain) {
    std::vector<std::string> rows;
    for (const CViewLine* line = chain; line != nullptr; line = line->Next()) {
        std::string row;
        for (int c = 0; c < line->NumberOfItems(); ++c) {
            if (c > 0)
                row += '|';
            row += line->GetItem(c).toLatin1().toStdString();
        }
        rows.push_back(row);
    }
    return rows;
}

}  // namespace tlv::test
