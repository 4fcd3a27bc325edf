#include "services/ui/editexes.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <charconv>

#include "framework/modalseam.h"
#include "framework/widgets/bytefield.h"
#include "framework/widgets/dialogparts.h"
#include "platform/machine/machine.h"
#include "resources/stringtable.h"
#include "services/ui/svcsave.h"

namespace {

constexpr uint32_t kOfferedProcessors = 8;

// The processor that a list entry shows; every entry is a decimal number the dialog made.
uint32_t ProcessorOfEntry(const QString& text) {
    const std::string digits = text.toStdString();
    uint32_t processor = 1;
    std::from_chars(digits.data(), digits.data() + digits.size(), processor);
    return processor;
}

QComboBox* MakeProcessorList() {
    auto* list = new QComboBox;
    list->setObjectName(QStringLiteral("processor"));
    list->setEditable(false);
    for (uint32_t processor = 1; processor <= kOfferedProcessors; ++processor)
        list->addItem(QString::number(processor));
    return list;
}

}  // namespace

CEditEXEService::CEditEXEService(CTkvs set, QWidget* parent, int bServerIsLocal)
    : CServiceDialog(set, parent, bServerIsLocal, "NewService"),
      m_fields(ExeDialogDefaults()),
      m_wndCommandLine(nullptr),
      m_wndBrowse(nullptr),
      m_wndMachineName(MakeTextField("machineName")),
      m_wndProcessor(MakeProcessorList()),
      m_wndStartTimeout(MakeTextField("startTimeout")),
      m_wndEmergencyTimeout(MakeTextField("emergencyTimeout")),
      m_wndExitTimeout(MakeTextField("exitTimeout")),
      m_wndMaxRestarts(MakeTextField("maxRestarts")),
      m_wndDetectHangs(MakeCheckBox("Detect Hangs", "detectHangs")) {
    ReadExeService(m_kvs, m_fields);
    if (m_bServerIsLocal && !KvsHoldsKey(m_kvs, SVC_MachineName))
        m_fields.machineName = tlv::platform::ComputerName().value_or(std::string());

    setWindowTitle(QStringLiteral("Edit Executable Service"));
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Service Name:"), m_wndServiceName);
    form->addRow(QStringLiteral("Command Line:"),
                 MakePathRow("commandLine", m_wndCommandLine, m_wndBrowse));
    form->addRow(QStringLiteral("Machine Name:"), m_wndMachineName);
    form->addRow(QStringLiteral("Processor:"), m_wndProcessor);

    auto* timeouts = new QGroupBox(QStringLiteral("Timeouts and Restarting"));
    auto* timeoutForm = new QFormLayout(timeouts);
    timeoutForm->addRow(QStringLiteral("Start Timeout (secs):"), m_wndStartTimeout);
    timeoutForm->addRow(QStringLiteral("Emergency Shutdown Timeout (secs):"),
                        m_wndEmergencyTimeout);
    timeoutForm->addRow(QStringLiteral("Exit Timeout (secs):"), m_wndExitTimeout);
    timeoutForm->addRow(QStringLiteral("Max Restarts:"), m_wndMaxRestarts);
    m_wndDetectHangs->setLayoutDirection(Qt::RightToLeft);  // its text on the left

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_serviceType.group);
    layout->addWidget(timeouts);
    layout->addWidget(m_wndDetectHangs);
    layout->addWidget(MakeOkCancel(*this, OkDefault::Yes));
    connect(m_wndBrowse, &QPushButton::clicked, this, &CEditEXEService::OnBrowse);
    DoDataExchange(false);
}

void CEditEXEService::SetCommandLine(const std::string& commandLine) {
    m_fields.commandLine = commandLine;
    ShowBytes(*m_wndCommandLine, commandLine);
}

void CEditEXEService::OnInitDialog() {
    CServiceDialog::OnInitDialog();
    SelectStoredProcessor();
    const QString opening = m_wndProcessor->currentText();
    m_chProcessorAtOpening = opening.isEmpty() ? '\0' : opening.front().toLatin1();
}

// A stored processor outside the offered ones joins the list, so OK writes it back unchanged.
void CEditEXEService::SelectStoredProcessor() {
    const QString text = QString::number(m_fields.processor);
    int index = m_wndProcessor->findText(text, Qt::MatchStartsWith);
    if (index < 0) {
        m_wndProcessor->addItem(text);
        index = m_wndProcessor->count() - 1;
    }
    m_wndProcessor->setCurrentIndex(index);
}

void CEditEXEService::OnBrowse() {
    BrowseInto(ServiceKind::Executable, m_fields.commandLine);
}

void CEditEXEService::accept() {
    if (!ReadAndSave([this] { return SaveExeService(m_kvs, m_strServiceName, m_fields); }))
        return;
    if (AsksMultiProcessorQuestion(m_chProcessorAtOpening, m_fields.processor) &&
        Modal().MessageBox(StringTable::Load(IDS_MULTIPROCESSOR_QUESTION),
                           StringTable::Load(IDS_APP_TITLE), MB_OKCANCEL, this) != IDOK) {
        return;
    }
    QDialog::accept();
}

bool CEditEXEService::DoDataExchange(bool save) {
    if (!save) {
        ShowBytes(*m_wndServiceName, m_strServiceName);
        ShowBytes(*m_wndCommandLine, m_fields.commandLine);
        ShowBytes(*m_wndMachineName, m_fields.machineName);
        ShowServiceType(m_serviceType, m_fields.bMandatory, m_fields.bDisabled);
        ShowInteger(*m_wndStartTimeout, m_fields.startTimeout);
        ShowInteger(*m_wndEmergencyTimeout, m_fields.emergencyTimeout);
        ShowInteger(*m_wndExitTimeout, m_fields.exitTimeout);
        ShowInteger(*m_wndMaxRestarts, m_fields.maxRestarts);
        m_wndDetectHangs->setChecked(m_fields.bDetectHangs);
        return true;
    }
    ExeServiceFields fields = m_fields;
    if (!ReadIntegerField(*m_wndMaxRestarts, fields.maxRestarts) ||
        !ReadIntegerField(*m_wndStartTimeout, fields.startTimeout) ||
        !ReadIntegerField(*m_wndExitTimeout, fields.exitTimeout) ||
        !ReadIntegerField(*m_wndEmergencyTimeout, fields.emergencyTimeout)) {
        return false;
    }
    fields.commandLine = FieldBytes(*m_wndCommandLine);
    fields.machineName = FieldBytes(*m_wndMachineName);
    fields.processor = ProcessorOfEntry(m_wndProcessor->currentText());
    ReadServiceType(m_serviceType, fields.bMandatory, fields.bDisabled);
    fields.bDetectHangs = m_wndDetectHangs->isChecked();
    m_fields = fields;
    m_strServiceName = FieldBytes(*m_wndServiceName);
    return true;
}
