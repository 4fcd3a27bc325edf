// "Edit Executable Service" on real KV sets through the scripted modal seam.

#include "services/ui/editexes.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>

#include "platform/machine/machine.h"
#include "tests/services_ui/svc_helpers.h"

namespace {

const std::string kRemoteInfo =
    "Please make sure the Telvane Service you are editing is located on a machine that has a "
    "Telvane server installed. Telvane Services must be EXEs or DLLs that reside on the Telvane "
    "Server and not accessed through a network connection.";
const std::string kTooLong =
    "The Telvane Service name you entered is too long. The maximum length for a Telvane Service "
    "name is 32 characters.";
const std::string kHasSpace =
    "The Telvane Service name entered has one or more space characters. Space characters are not "
    "valid in a Service name.";
const std::string kMultiProcessor =
    "You have indicated that the service will be running on a\nmulti-processor machine. Do you "
    "wish to continue?";
const std::string kKvSetFailed =
    "Internal Error: Unable to perform a KV Set operation. Please contact Technical Support.";

QStringList Entries(const QComboBox& list) {
    QStringList entries;
    for (int i = 0; i < list.count(); ++i)
        entries << list.itemText(i);
    return entries;
}

class EditExeServiceTest : public ::testing::Test {
protected:
    // Runs the dialog as the list view does for a new service.
    int RunNew(int bLocal, std::function<void(CEditEXEService&)> script) {
        CEditEXEService dialog(m_set.Handle(), nullptr, bLocal);
        dialog.SetServiceName("Untitled");
        dialog.SetCommandLine("*.exe");
        const int result = RunScripted(m_seam, dialog, std::move(script));
        m_strName = dialog.ServiceName();
        return result;
    }

    KvSet m_set;
    ScriptedModalSeam m_seam;
    std::string m_strName;
};

TEST_F(EditExeServiceTest, NewServiceOnALocalServerIsWrittenInOrder) {
    const std::string computer = tlv::platform::ComputerName().value_or("");
    ASSERT_FALSE(computer.empty());
    const int result = RunNew(1, [&](CEditEXEService& shown) {
        EXPECT_EQ(shown.windowTitle(), "Edit Executable Service");
        EXPECT_EQ(Child<QLineEdit>(shown, "serviceName").text(), "Untitled");
        EXPECT_EQ(Child<QLineEdit>(shown, "commandLine").text(), "*.exe");
        EXPECT_EQ(Child<QLineEdit>(shown, "machineName").text().toStdString(), computer);
        EXPECT_EQ(Child<QComboBox>(shown, "processor").currentText(), "1");
        EXPECT_EQ(Entries(Child<QComboBox>(shown, "processor")),
                  (QStringList{"1", "2", "3", "4", "5", "6", "7", "8"}));
        EXPECT_FALSE(Child<QComboBox>(shown, "processor").isEditable());
        EXPECT_TRUE(Child<QRadioButton>(shown, "optional").isChecked());
        EXPECT_FALSE(Child<QCheckBox>(shown, "disabled").isChecked());
        EXPECT_TRUE(Child<QCheckBox>(shown, "detectHangs").isChecked());
        EXPECT_EQ(Child<QLineEdit>(shown, "startTimeout").text(), "15");
        EXPECT_EQ(Child<QLineEdit>(shown, "emergencyTimeout").text(), "120");
        EXPECT_EQ(Child<QLineEdit>(shown, "exitTimeout").text(), "15");
        EXPECT_EQ(Child<QLineEdit>(shown, "maxRestarts").text(), "0");
        Child<QLineEdit>(shown, "serviceName").setText("Dialer");
        Child<QLineEdit>(shown, "maxRestarts").setText("3");
        EXPECT_TRUE(PressOk(shown));
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(m_strName, "Dialer");
    EXPECT_TRUE(m_seam.MessageTexts().empty());  // a local server: no information box
    EXPECT_EQ(m_set.Keys(), (std::vector<CTsymbol>{
                                SVC_CommandLine, SVC_MachineName, SVC_DetectHangs, SVC_Disabled,
                                SVC_MaxRestarts, SVC_StartTimeout, SVC_EmergencyTimeout,
                                SVC_ExitTimeout, SVC_Kind, SVC_StartType, SVC_Processor}));
    EXPECT_EQ(m_set.String(SVC_CommandLine), "*.exe");
    EXPECT_EQ(m_set.String(SVC_MachineName), computer);
    EXPECT_EQ(m_set.Bool(SVC_DetectHangs), 1u);
    EXPECT_EQ(m_set.Bool(SVC_Disabled), 0u);
    EXPECT_EQ(m_set.Int(SVC_MaxRestarts), 3);
    EXPECT_EQ(m_set.Int(SVC_StartTimeout), 15);
    EXPECT_EQ(m_set.Int(SVC_EmergencyTimeout), 120);
    EXPECT_EQ(m_set.Int(SVC_ExitTimeout), 15);
    EXPECT_EQ(m_set.Symbol(SVC_Kind), CTsymbol{SVC_KindExecutable});
    EXPECT_EQ(m_set.Symbol(SVC_StartType), CTsymbol{SVC_Optional});
    EXPECT_EQ(m_set.UInt(SVC_Processor), 1u);
}

TEST_F(EditExeServiceTest, RemoteServerShowsTheInformationBoxAndNoMachineName) {
    const int result = RunNew(0, [&](CEditEXEService& shown) {
        // The box comes as the dialog opens, before the operator does anything.
        EXPECT_EQ(m_seam.MessageTexts(), (std::vector<std::string>{kRemoteInfo}));
        EXPECT_EQ(Child<QLineEdit>(shown, "machineName").text(), "");
        EXPECT_TRUE(PressOk(shown));
    });
    EXPECT_EQ(result, IDOK);
    ASSERT_EQ(m_seam.Events().size(), 2u);
    EXPECT_EQ(m_seam.Events()[0].kind, ModalEvent::Kind::Dialog);
    EXPECT_EQ(m_seam.Events()[1].owner, nullptr);
    EXPECT_EQ(m_set.String(SVC_MachineName), "");
}

TEST_F(EditExeServiceTest, StoredValuesOutsideTheRulesAreWrittenAsTheClientWrites) {
    const CTkvs set = m_set.Handle();
    ASSERT_EQ(CTkvs_PutSymbol(set, SVC_Kind, SVC_KindExecutable, nullptr), CT_SUCCESS);
    ASSERT_EQ(CTkvs_PutSymbol(set, SVC_StartType, SVC_Root, nullptr), CT_SUCCESS);
    ASSERT_EQ(CTkvs_PutBool(set, SVC_Disabled, 2, nullptr), CT_SUCCESS);
    ASSERT_EQ(CTkvs_PutUInt(set, SVC_Processor, 9, nullptr), CT_SUCCESS);
    ASSERT_EQ(CTkvs_PutString(set, SVC_MachineName, "node4", nullptr), CT_SUCCESS);
    ASSERT_EQ(CTkvs_PutString(set, SVC_CommandLine, "/opt/tlv/ivr -v", nullptr), CT_SUCCESS);
    ASSERT_EQ(CTkvs_PutInt(set, SVC_StartTimeout, 40, nullptr), CT_SUCCESS);
    ASSERT_EQ(CTkvs_PutBool(set, SVC_DetectHangs, 0, nullptr), CT_SUCCESS);
    ASSERT_EQ(CTkvs_PutString(set, 0x01109999, "kept", nullptr), CT_SUCCESS);

    CEditEXEService dialog(set, nullptr, 1);
    dialog.SetServiceName("Ivr");
    const int result = RunScripted<CEditEXEService>(m_seam, dialog, [](CEditEXEService& shown) {
        EXPECT_TRUE(Child<QRadioButton>(shown, "optional").isChecked());
        EXPECT_FALSE(Child<QCheckBox>(shown, "disabled").isChecked());
        EXPECT_FALSE(Child<QCheckBox>(shown, "detectHangs").isChecked());
        // A local server keeps the stored machine name.
        EXPECT_EQ(Child<QLineEdit>(shown, "machineName").text(), "node4");
        EXPECT_EQ(Child<QLineEdit>(shown, "commandLine").text(), "/opt/tlv/ivr -v");
        EXPECT_EQ(Child<QLineEdit>(shown, "startTimeout").text(), "40");
        auto& processor = Child<QComboBox>(shown, "processor");
        EXPECT_EQ(processor.count(), 9);
        EXPECT_EQ(processor.itemText(8), "9");
        EXPECT_EQ(processor.currentIndex(), 8);
        EXPECT_TRUE(PressOk(shown));
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_TRUE(m_seam.MessageTexts().empty());  // 9 is not a move off processor 1
    EXPECT_EQ(m_set.Symbol(SVC_StartType), CTsymbol{SVC_Optional});
    EXPECT_EQ(m_set.Bool(SVC_Disabled), 0u);
    EXPECT_EQ(m_set.UInt(SVC_Processor), 9u);
    EXPECT_EQ(m_set.String(SVC_MachineName), "node4");
    EXPECT_EQ(m_set.Int(SVC_StartTimeout), 40);
    EXPECT_EQ(m_set.String(0x01109999), "kept");
}

TEST_F(EditExeServiceTest, LeavingProcessorOneAsksAndCancelKeepsTheDialogOpen) {
    m_seam.AnswerMessageBox(IDCANCEL);
    m_seam.AnswerMessageBox(IDOK);
    const int result = RunNew(1, [&](CEditEXEService& shown) {
        auto& processor = Child<QComboBox>(shown, "processor");
        processor.setCurrentIndex(1);
        EXPECT_FALSE(PressOk(shown));
        EXPECT_EQ(m_seam.MessageTexts(), (std::vector<std::string>{kMultiProcessor}));
        EXPECT_EQ(m_seam.Events().back().flags, 0x1u);  // OK and Cancel
        EXPECT_EQ(m_seam.Events().back().caption, "Kestrova Telvane Server Administration");
        // The set already holds the new values.
        EXPECT_EQ(m_set.UInt(SVC_Processor), 2u);
        EXPECT_TRUE(PressOk(shown));
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(m_seam.MessageTexts(), (std::vector<std::string>{kMultiProcessor, kMultiProcessor}));
    EXPECT_EQ(m_set.UInt(SVC_Processor), 2u);
}

TEST_F(EditExeServiceTest, ProcessorOneAgainOrAStoredOtherProcessorDoesNotAsk) {
    RunNew(1, [](CEditEXEService& shown) {
        auto& processor = Child<QComboBox>(shown, "processor");
        processor.setCurrentIndex(4);
        processor.setCurrentIndex(0);
        EXPECT_TRUE(PressOk(shown));
    });
    ASSERT_EQ(CTkvs_PutUInt(m_set.Handle(), SVC_Processor, 3, nullptr), CT_SUCCESS);
    CEditEXEService stored(m_set.Handle(), nullptr, 1);
    RunScripted<CEditEXEService>(m_seam, stored, [](CEditEXEService& shown) {
        auto& processor = Child<QComboBox>(shown, "processor");
        EXPECT_EQ(processor.currentText(), "3");
        EXPECT_EQ(processor.count(), 8);
        processor.setCurrentIndex(0);
        EXPECT_TRUE(PressOk(shown));
    });
    EXPECT_TRUE(m_seam.MessageTexts().empty());
    EXPECT_EQ(m_set.UInt(SVC_Processor), 1u);
}

// The processor at opening is the first character of the entry shown: a stored 12 counts as
// "1", so choosing 2 asks, and OK without a change does not.
TEST_F(EditExeServiceTest, AStoredTwelveCountsAsProcessorOne) {
    ASSERT_EQ(CTkvs_PutUInt(m_set.Handle(), SVC_Processor, 12, nullptr), CT_SUCCESS);
    CEditEXEService unchanged(m_set.Handle(), nullptr, 1);
    RunScripted<CEditEXEService>(m_seam, unchanged, [](CEditEXEService& shown) {
        EXPECT_EQ(Child<QComboBox>(shown, "processor").currentText(), "12");
        EXPECT_TRUE(PressOk(shown));
    });
    EXPECT_TRUE(m_seam.MessageTexts().empty());
    EXPECT_EQ(m_set.UInt(SVC_Processor), 12u);

    CEditEXEService moved(m_set.Handle(), nullptr, 1);
    RunScripted<CEditEXEService>(m_seam, moved, [](CEditEXEService& shown) {
        Child<QComboBox>(shown, "processor").setCurrentIndex(1);
        EXPECT_TRUE(PressOk(shown));
    });
    EXPECT_EQ(m_seam.MessageTexts(), (std::vector<std::string>{kMultiProcessor}));
    EXPECT_EQ(m_set.UInt(SVC_Processor), 2u);
}

TEST_F(EditExeServiceTest, NameRulesRefuseBeforeAnyKeyIsWritten) {
    const std::string name32(32, 'a');
    const int result = RunNew(1, [&](CEditEXEService& shown) {
        auto& name = Child<QLineEdit>(shown, "serviceName");
        name.clear();
        name.insert(QString::fromStdString(name32));
        name.insert(QStringLiteral("b"));  // the 33rd character is not taken
        EXPECT_EQ(name.text().toStdString(), name32);

        name.setText(QString::fromStdString(name32 + "b"));  // set by the program: kept
        EXPECT_FALSE(PressOk(shown));
        name.setText(QStringLiteral("Trailing "));
        EXPECT_FALSE(PressOk(shown));
        EXPECT_TRUE(m_set.Keys().empty());

        name.setText(QString::fromStdString(name32));
        EXPECT_TRUE(PressOk(shown));
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(m_strName, name32);
    EXPECT_EQ(m_seam.MessageTexts(), (std::vector<std::string>{kTooLong, kHasSpace}));
    for (std::size_t i = 1; i < m_seam.Events().size(); ++i) {
        EXPECT_EQ(m_seam.Events()[i].caption, "Error");
        EXPECT_EQ(m_seam.Events()[i].flags, kErrorBoxFlags);
    }
    EXPECT_EQ(m_set.Keys().size(), 11u);
}

TEST_F(EditExeServiceTest, CallerNameOf33CharactersIsRefusedOnOk) {
    CEditEXEService dialog(m_set.Handle(), nullptr, 1);
    dialog.SetServiceName(std::string(33, 'c'));
    const int result = RunScripted<CEditEXEService>(m_seam, dialog, [](CEditEXEService& shown) {
        EXPECT_EQ(Child<QLineEdit>(shown, "serviceName").text().size(), 33);
        EXPECT_FALSE(PressOk(shown));
        EXPECT_TRUE(shown.isVisible());
        shown.reject();
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(m_seam.MessageTexts(), (std::vector<std::string>{kTooLong}));
    EXPECT_TRUE(m_set.Keys().empty());
}

TEST_F(EditExeServiceTest, FailedPutShowsTheKvSetErrorAndStaysOpen) {
    CEditEXEService dialog(CT_kvsEmpty, nullptr, 0);
    const int result = RunScripted<CEditEXEService>(m_seam, dialog, [](CEditEXEService& shown) {
        EXPECT_EQ(Child<QLineEdit>(shown, "serviceName").text(), "NewService");
        EXPECT_EQ(Child<QLineEdit>(shown, "commandLine").text(), "");
        EXPECT_FALSE(PressOk(shown));
        EXPECT_FALSE(PressOk(shown));  // a retry fails the same way
        shown.reject();
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(m_seam.MessageTexts(),
              (std::vector<std::string>{kRemoteInfo, kKvSetFailed, kKvSetFailed}));
    EXPECT_EQ(m_seam.Events().back().caption, "Error");
    EXPECT_EQ(m_seam.Events().back().flags, kErrorBoxFlags);
}

TEST_F(EditExeServiceTest, FirstFieldThatIsNoIntegerIsPromptedInOrder) {
    const int result = RunNew(1, [&](CEditEXEService& shown) {
        Child<QLineEdit>(shown, "exitTimeout").setText("soon");
        Child<QLineEdit>(shown, "maxRestarts").setText("many");
        EXPECT_FALSE(PressOk(shown));
        EXPECT_TRUE(Child<QLineEdit>(shown, "maxRestarts").hasSelectedText());
        Child<QLineEdit>(shown, "maxRestarts").setText("2");
        EXPECT_FALSE(PressOk(shown));
        EXPECT_TRUE(Child<QLineEdit>(shown, "exitTimeout").hasSelectedText());
        EXPECT_TRUE(m_set.Keys().empty());
        Child<QLineEdit>(shown, "exitTimeout").setText(" 30");
        EXPECT_TRUE(PressOk(shown));
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(m_seam.MessageTexts(),
              (std::vector<std::string>{"Please enter an integer.", "Please enter an integer."}));
    EXPECT_EQ(m_set.Int(SVC_MaxRestarts), 2);
    EXPECT_EQ(m_set.Int(SVC_ExitTimeout), 30);
}

TEST_F(EditExeServiceTest, BrowseReplacesTheWholeCommandLine) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString program = folder.filePath(QStringLiteral("dialer.exe"));
    {
        QFile file(program);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    const int result = RunNew(1, [&](CEditEXEService& shown) {
        Child<QLineEdit>(shown, "commandLine").setText("/old/dialer --port 7");
        Child<QLineEdit>(shown, "machineName").setText("typed");
        m_seam.ExpectDialog([&](QDialog& dialog) {
            auto& files = dynamic_cast<QFileDialog&>(dialog);
            EXPECT_EQ(files.windowTitle(), "Select File");
            EXPECT_EQ(files.nameFilters(), (QStringList{"*.exe (*.exe)", "All files (*)"}));
            EXPECT_EQ(files.selectedNameFilter(), "*.exe (*.exe)");
            EXPECT_EQ(files.defaultSuffix(), "exe");
            files.setDirectory(folder.path());
            files.selectFile(program);
            dialog.accept();
            return ModalResultOf(dialog.result());
        });
        Child<QPushButton>(shown, "browse").click();
        EXPECT_EQ(Child<QLineEdit>(shown, "commandLine").text(), program);
        EXPECT_EQ(Child<QLineEdit>(shown, "machineName").text(), "typed");

        // The fields are read first and shown again after: a typed number comes back as read.
        Child<QLineEdit>(shown, "startTimeout").setText(" +40 ");
        Child<QPushButton>(shown, "browse").click();  // no script: cancelled
        EXPECT_EQ(Child<QLineEdit>(shown, "commandLine").text(), program);
        EXPECT_EQ(Child<QLineEdit>(shown, "startTimeout").text(), "40");
        EXPECT_EQ(m_seam.Events().size(), 3u);

        // A field that holds no integer is asked for, and no file dialog comes.
        Child<QLineEdit>(shown, "exitTimeout").setText("soon");
        Child<QPushButton>(shown, "browse").click();
        EXPECT_EQ(m_seam.MessageTexts(), (std::vector<std::string>{"Please enter an integer."}));
        EXPECT_EQ(m_seam.Events().size(), 4u);
        EXPECT_EQ(Child<QLineEdit>(shown, "exitTimeout").text(), "soon");
        Child<QLineEdit>(shown, "exitTimeout").setText("16");
        EXPECT_TRUE(PressOk(shown));
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(m_set.String(SVC_CommandLine), program.toStdString());
    EXPECT_EQ(m_set.String(SVC_MachineName), "typed");
    EXPECT_EQ(m_set.Int(SVC_StartTimeout), 40);
}

// The remote-server box belongs to the opening: the operator reads it before the dialog shows.
TEST_F(EditExeServiceTest, TheRemoteServerBoxComesBeforeTheDialogShows) {
    EXPECT_EQ(BoxesBeforeRemoteDialogShows<CEditEXEService>(m_seam, m_set.Handle()), 1u);
    EXPECT_EQ(m_seam.MessageTexts(), (std::vector<std::string>{kRemoteInfo}));
}

// Stored texts that are not UTF-8 (Latin-1 "é" as the one byte E9), shown readably and written
// back byte for byte when the operator leaves them alone.
TEST_F(EditExeServiceTest, BytesThatAreNotUtf8SurviveOkWithoutAnEdit) {
    const CTkvs set = m_set.Handle();
    ASSERT_EQ(CTkvs_PutSymbol(set, SVC_Kind, SVC_KindExecutable, nullptr), CT_SUCCESS);
    ASSERT_EQ(CTkvs_PutString(set, SVC_CommandLine, "/opt/caf\xE9/ivr -v", nullptr), CT_SUCCESS);
    ASSERT_EQ(CTkvs_PutString(set, SVC_MachineName,
                              "n\xF6"
                              "de\\4",
                              nullptr),
              CT_SUCCESS);

    CEditEXEService dialog(set, nullptr, 1);
    dialog.SetServiceName("Caf\xE9");
    const int result = RunScripted<CEditEXEService>(m_seam, dialog, [](CEditEXEService& shown) {
        EXPECT_EQ(Child<QLineEdit>(shown, "serviceName").text(), "Caf\\xE9");
        EXPECT_EQ(Child<QLineEdit>(shown, "commandLine").text(), "/opt/caf\\xE9/ivr -v");
        EXPECT_EQ(Child<QLineEdit>(shown, "machineName").text(), "n\\xF6de\\\\4");
        EXPECT_TRUE(PressOk(shown));
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(dialog.ServiceName(), "Caf\xE9");
    EXPECT_EQ(m_set.String(SVC_CommandLine), "/opt/caf\xE9/ivr -v");
    EXPECT_EQ(m_set.String(SVC_MachineName),
              "n\xF6"
              "de\\4");
}

// An edited field that showed escapes keeps the bytes its escapes stand for; UTF-8 stays UTF-8.
TEST_F(EditExeServiceTest, AnEditedFieldKeepsTheBytesItsEscapesShow) {
    const CTkvs set = m_set.Handle();
    ASSERT_EQ(CTkvs_PutSymbol(set, SVC_Kind, SVC_KindExecutable, nullptr), CT_SUCCESS);
    ASSERT_EQ(CTkvs_PutString(set, SVC_CommandLine, "/opt/caf\xE9/ivr", nullptr), CT_SUCCESS);
    ASSERT_EQ(CTkvs_PutString(set, SVC_MachineName, "n\xC5\x93ud", nullptr), CT_SUCCESS);

    CEditEXEService dialog(set, nullptr, 1);
    dialog.SetServiceName("Ivr");
    const int result = RunScripted<CEditEXEService>(m_seam, dialog, [](CEditEXEService& shown) {
        EXPECT_EQ(Child<QLineEdit>(shown, "machineName").text(), QString::fromUtf8("n\u0153ud"));
        Child<QLineEdit>(shown, "commandLine").setText("/opt/caf\\xE9/ivr -v");
        Child<QLineEdit>(shown, "machineName").setText(QString::fromUtf8("n\u0153ud2"));
        EXPECT_TRUE(PressOk(shown));
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(m_set.String(SVC_CommandLine), "/opt/caf\xE9/ivr -v");
    EXPECT_EQ(m_set.String(SVC_MachineName), "n\xC5\x93ud2");
}

}  // namespace
