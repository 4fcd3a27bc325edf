// The new-service command: the type chooser, the edit dialog with the placeholder name and path,
// the server's answer, and what the operator is told.

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QRadioButton>

#include "services/ui/editdlls.h"
#include "services/ui/editexes.h"
#include "services/ui/selectse.h"
#include "session/admindoc.h"
#include "tests/session/server_fixture.h"
#include "views/newcmds.h"

namespace tlv::test {
namespace {

using Strings = std::vector<std::string>;

const std::string kRemoteInfo =
    "Please make sure the Telvane Service you are editing is located on a machine that has a "
    "Telvane server installed. Telvane Services must be EXEs or DLLs that reside on the Telvane "
    "Server and not accessed through a network connection.";

QLineEdit& Field(QDialog& dialog, const char* name) {
    auto* field = dialog.findChild<QLineEdit*>(QString::fromLatin1(name));
    EXPECT_NE(field, nullptr) << name;
    return *field;
}

// Answers "Select Service Type" with the kind, checking that executable was preselected.
void ChooseKind(ScriptedModalSeam& seam, const char* radioName) {
    seam.ExpectDialog([radioName](QDialog& dialog) {
        auto* executable = dialog.findChild<QRadioButton*>(QStringLiteral("executableService"));
        EXPECT_TRUE(executable != nullptr && executable->isChecked());
        dialog.findChild<QRadioButton*>(QString::fromLatin1(radioName))->setChecked(true);
        dialog.accept();
        return ModalResultOf(dialog.result());
    });
}

// Answers the edit dialog: the placeholders are checked, then the name and a path the server
// finds are typed and OK pressed.
void NameService(ScriptedModalSeam& seam, const char* pathField, const char* placeholder,
                 const char* name) {
    seam.ExpectDialog([=](QDialog& dialog) {
        EXPECT_EQ(Field(dialog, "serviceName").text(), "Untitled");
        EXPECT_EQ(Field(dialog, pathField).text(), placeholder);
        Field(dialog, "serviceName").setText(QString::fromLatin1(name));
        Field(dialog, pathField).setText(QStringLiteral("/bin/true"));
        dialog.accept();
        return ModalResultOf(dialog.result());
    });
}

Strings ServiceRows(CAdminDoc& doc) {
    doc.RefreshServiceInfo(0);
    return Rows(doc.GetServices().get());
}

TEST(NewServiceCommand, AddsTheServiceOfEachKindUnderTheTypedName) {
    ServerFixture fixture;
    ASSERT_TRUE(fixture.IsReady());
    const std::unique_ptr<CAdminDoc> doc = fixture.OpenDocument();
    ASSERT_NE(doc, nullptr);
    ScriptedModalSeam& seam = fixture.Seam();

    ChooseKind(seam, "executableService");
    NameService(seam, "commandLine", "*.exe", "Recorder");
    EXPECT_EQ(RunNewServiceCommand(*doc, nullptr), 1);
    ChooseKind(seam, "dllService");
    NameService(seam, "dllPath", "*.dll", "Codec");
    EXPECT_EQ(RunNewServiceCommand(*doc, nullptr), 1);

    // The test server is reached over 127.0.0.1, not "localhost": each dialog warns once.
    EXPECT_EQ(seam.MessageTexts(), (Strings{kRemoteInfo, kRemoteInfo}));
    EXPECT_EQ(ServiceRows(*doc), (Strings{"Codec|Idle|Optional", "Recorder|Idle|Optional"}));
}

TEST(NewServiceCommand, CancelSendsNothingAndARefusalIsShown) {
    ServerFixture fixture({"--fail", "AddService=0x0160044F"});
    ASSERT_TRUE(fixture.IsReady());
    const std::unique_ptr<CAdminDoc> doc = fixture.OpenDocument();
    ASSERT_NE(doc, nullptr);
    ScriptedModalSeam& seam = fixture.Seam();

    seam.ExpectDialog([](QDialog&) { return IDCANCEL; });  // the type chooser
    EXPECT_EQ(RunNewServiceCommand(*doc, nullptr), 0);
    ChooseKind(seam, "executableService");
    seam.ExpectDialog([](QDialog&) { return IDCANCEL; });  // the edit dialog
    EXPECT_EQ(RunNewServiceCommand(*doc, nullptr), 0);
    EXPECT_EQ(seam.MessageTexts(), Strings{kRemoteInfo});

    // The injected refusal is the first AddService the server sees: nothing was sent before.
    seam.Clear();
    ChooseKind(seam, "executableService");
    NameService(seam, "commandLine", "*.exe", "Twin");
    EXPECT_EQ(RunNewServiceCommand(*doc, nullptr), 0);
    EXPECT_EQ(seam.MessageTexts(),
              (Strings{kRemoteInfo,
                       "The Service could not be added because a Service already exists by that "
                       "name."}));
    EXPECT_EQ(seam.Events().back().caption, "Error");
    EXPECT_EQ(ServiceRows(*doc), Strings{});
}

}  // namespace
}  // namespace tlv::test
