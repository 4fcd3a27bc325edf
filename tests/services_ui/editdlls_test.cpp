// "Edit DLL Service" on real KV sets through the scripted modal seam.

#include "services/ui/editdlls.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "tests/services_ui/svc_helpers.h"

namespace {

const std::string kRemoteInfo =
    "Please make sure the Telvane Service you are editing is located on a machine that has a "
    "Telvane server installed. Telvane Services must be EXEs or DLLs that reside on the Telvane "
    "Server and not accessed through a network connection.";

class EditDllServiceTest : public ::testing::Test {
protected:
    KvSet m_set;
    ScriptedModalSeam m_seam;
};

TEST_F(EditDllServiceTest, NewServiceIsWrittenInOrderWithoutExecutableKeys) {
    CEditDLLService dialog(m_set.Handle(), nullptr, 1);
    EXPECT_EQ(dialog.ServiceName(), "");
    dialog.SetServiceName("Untitled");
    dialog.SetDLLPath("*.dll");
    const int result = RunScripted<CEditDLLService>(m_seam, dialog, [](CEditDLLService& shown) {
        EXPECT_EQ(shown.windowTitle(), "Edit DLL Service");
        EXPECT_EQ(Child<QLineEdit>(shown, "serviceName").text(), "Untitled");
        EXPECT_EQ(Child<QLineEdit>(shown, "dllPath").text(), "*.dll");
        EXPECT_EQ(Child<QLineEdit>(shown, "arguments").text(), "");
        EXPECT_EQ(Child<QLineEdit>(shown, "processName").text(), "");
        EXPECT_EQ(Child<QLineEdit>(shown, "emergencyTimeout").text(), "120");
        EXPECT_TRUE(Child<QRadioButton>(shown, "optional").isChecked());
        EXPECT_FALSE(Child<QCheckBox>(shown, "disabled").isChecked());
        EXPECT_FALSE(Child<QCheckBox>(shown, "linkEarly").isChecked());
        EXPECT_FALSE(Child<QCheckBox>(shown, "unlinkLate").isChecked());
        Child<QLineEdit>(shown, "serviceName").setText("Codec");
        Child<QLineEdit>(shown, "processName").setText("host7");
        Child<QRadioButton>(shown, "mandatory").click();
        Child<QCheckBox>(shown, "unlinkLate").click();
        EXPECT_TRUE(PressOk(shown));
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(dialog.ServiceName(), "Codec");
    EXPECT_TRUE(m_seam.MessageTexts().empty());
    EXPECT_EQ(m_set.Keys(),
              (std::vector<CTsymbol>{SVC_DLLPath, SVC_Arguments, SVC_ProcessName,
                                     SVC_EmergencyTimeout, SVC_LinkEarly, SVC_UnlinkLate,
                                     SVC_Disabled, SVC_Kind, SVC_StartType}));
    EXPECT_EQ(m_set.String(SVC_DLLPath), "*.dll");
    EXPECT_EQ(m_set.String(SVC_ProcessName), "host7");
    EXPECT_EQ(m_set.Bool(SVC_LinkEarly), 0u);
    EXPECT_EQ(m_set.Bool(SVC_UnlinkLate), 1u);
    EXPECT_EQ(m_set.Symbol(SVC_Kind), CTsymbol{SVC_KindDLL});
    EXPECT_EQ(m_set.Symbol(SVC_StartType), CTsymbol{SVC_Mandatory});
}

TEST_F(EditDllServiceTest, RemoteRootAndBooleanTwoAreWrittenAsTheClientWrites) {
    const CTkvs set = m_set.Handle();
    ASSERT_EQ(CTkvs_PutSymbol(set, SVC_Kind, SVC_KindDLL, nullptr), CT_SUCCESS);
    ASSERT_EQ(CTkvs_PutSymbol(set, SVC_StartType, SVC_Root, nullptr), CT_SUCCESS);
    ASSERT_EQ(CTkvs_PutBool(set, SVC_Disabled, 2, nullptr), CT_SUCCESS);
    ASSERT_EQ(CTkvs_PutBool(set, SVC_LinkEarly, 1, nullptr), CT_SUCCESS);
    ASSERT_EQ(CTkvs_PutString(set, SVC_DLLPath, "/opt/tlv/codec.dll", nullptr), CT_SUCCESS);

    CEditDLLService dialog(set, nullptr, 0);
    dialog.SetServiceName("Codec");
    RunScripted<CEditDLLService>(m_seam, dialog, [&](CEditDLLService& shown) {
        EXPECT_EQ(m_seam.MessageTexts(), (std::vector<std::string>{kRemoteInfo}));
        EXPECT_EQ(Child<QLineEdit>(shown, "dllPath").text(), "/opt/tlv/codec.dll");
        EXPECT_TRUE(Child<QRadioButton>(shown, "optional").isChecked());
        EXPECT_FALSE(Child<QCheckBox>(shown, "disabled").isChecked());
        EXPECT_TRUE(Child<QCheckBox>(shown, "linkEarly").isChecked());
        EXPECT_TRUE(PressOk(shown));
    });
    EXPECT_EQ(m_set.Symbol(SVC_StartType), CTsymbol{SVC_Optional});
    EXPECT_EQ(m_set.Bool(SVC_Disabled), 0u);
    EXPECT_EQ(m_set.Bool(SVC_LinkEarly), 1u);
    CTsymbol unused = 0;
    EXPECT_NE(CTkvs_GetSymbol(set, SVC_Processor, &unused, nullptr), CT_SUCCESS);
}

TEST_F(EditDllServiceTest, RefusalsKeepTheDialogOpenInTheirOrder) {
    CEditDLLService dialog(CT_kvsEmpty, nullptr, 1);
    RunScripted<CEditDLLService>(m_seam, dialog, [](CEditDLLService& shown) {
        Child<QLineEdit>(shown, "emergencyTimeout").setText("");
        Child<QLineEdit>(shown, "serviceName").setText("two words");
        EXPECT_FALSE(PressOk(shown));  // the integer first
        Child<QLineEdit>(shown, "emergencyTimeout").setText("-5");
        EXPECT_FALSE(PressOk(shown));  // then the name
        Child<QLineEdit>(shown, "serviceName").setText("Codec");
        EXPECT_FALSE(PressOk(shown));  // then the put
        shown.reject();
    });
    EXPECT_EQ(m_seam.MessageTexts(),
              (std::vector<std::string>{
                  "Please enter an integer.",
                  "The Telvane Service name entered has one or more space characters. Space "
                  "characters are not valid in a Service name.",
                  "Internal Error: Unable to perform a KV Set operation. Please contact Technical "
                  "Support."}));
}

TEST_F(EditDllServiceTest, BrowseOffersDllFiles) {
    CEditDLLService dialog(m_set.Handle(), nullptr, 1);
    RunScripted<CEditDLLService>(m_seam, dialog, [&](CEditDLLService& shown) {
        m_seam.ExpectDialog([](QDialog& browse) {
            auto& files = dynamic_cast<QFileDialog&>(browse);
            EXPECT_EQ(files.windowTitle(), "Select File");
            EXPECT_EQ(files.nameFilters(), (QStringList{"*.dll (*.dll)", "All files (*)"}));
            EXPECT_EQ(files.defaultSuffix(), "dll");
            // Under "All files" a chosen name without a dot stays as it is.
            files.selectNameFilter(QStringLiteral("All files (*)"));
            emit files.filterSelected(QStringLiteral("All files (*)"));
            EXPECT_EQ(files.defaultSuffix(), "");
            browse.reject();
            return ModalResultOf(browse.result());
        });
        Child<QLineEdit>(shown, "dllPath").setText("kept.dll");
        Child<QPushButton>(shown, "browse").click();
        EXPECT_EQ(Child<QLineEdit>(shown, "dllPath").text(), "kept.dll");
        shown.reject();
    });
    EXPECT_EQ(m_seam.PendingDialogs(), 0u);
}

TEST_F(EditDllServiceTest, TheRemoteServerBoxComesBeforeTheDialogShows) {
    EXPECT_EQ(BoxesBeforeRemoteDialogShows<CEditDLLService>(m_seam, m_set.Handle()), 1u);
    EXPECT_EQ(m_seam.MessageTexts(), (std::vector<std::string>{kRemoteInfo}));
}

TEST_F(EditDllServiceTest, BytesThatAreNotUtf8SurviveOkWithoutAnEdit) {
    const CTkvs set = m_set.Handle();
    ASSERT_EQ(CTkvs_PutSymbol(set, SVC_Kind, SVC_KindDLL, nullptr), CT_SUCCESS);
    ASSERT_EQ(CTkvs_PutString(set, SVC_DLLPath, "C:\\caf\xE9\\codec.dll", nullptr), CT_SUCCESS);
    ASSERT_EQ(CTkvs_PutString(set, SVC_Arguments, "-t\t\xFF", nullptr), CT_SUCCESS);
    ASSERT_EQ(CTkvs_PutString(set, SVC_ProcessName, "h\xF4te", nullptr), CT_SUCCESS);

    CEditDLLService dialog(set, nullptr, 1);
    dialog.SetServiceName("Codec\xE9");
    const int result = RunScripted<CEditDLLService>(m_seam, dialog, [](CEditDLLService& shown) {
        EXPECT_EQ(Child<QLineEdit>(shown, "dllPath").text(), "C:\\\\caf\\xE9\\\\codec.dll");
        EXPECT_EQ(Child<QLineEdit>(shown, "arguments").text(), "-t\\x09\\xFF");
        EXPECT_TRUE(PressOk(shown));
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(dialog.ServiceName(), "Codec\xE9");
    EXPECT_EQ(m_set.String(SVC_DLLPath), "C:\\caf\xE9\\codec.dll");
    EXPECT_EQ(m_set.String(SVC_Arguments), "-t\t\xFF");
    EXPECT_EQ(m_set.String(SVC_ProcessName), "h\xF4te");
}

}  // namespace
