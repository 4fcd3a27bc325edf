#include <QPointer>
#include <QStringList>

#include "framework/bytetext.h"
#include "framework/comn/checkprofiledialog.h"
#include "framework/comn/comn.h"

namespace {

// A finding's label ends in a tab, which stays one; its text holds names from the server.
QString ShownFinding(const std::string& line) {
    QStringList parts;
    std::size_t start = 0;
    for (std::size_t tab = line.find('\t'); tab != std::string::npos;
         tab = line.find('\t', start)) {
        parts.append(ShownText(std::string_view(line).substr(start, tab - start)));
        start = tab + 1;
    }
    parts.append(ShownText(std::string_view(line).substr(start)));
    return parts.join(QLatin1Char('\t'));
}

class CheckProfileBox final : public ICheckProfileBox {
public:
    CheckProfileBox(int* closed, QWidget* parent)
        : m_pDialog(new CCheckProfileDialog(parent)) {
        *closed = 0;
        m_pDialog->setAttribute(Qt::WA_DeleteOnClose);
        QObject::connect(m_pDialog, &QObject::destroyed, [closed] { *closed = 1; });
        m_pDialog->show();
    }

    void DestroyWindow() override {
        if (m_pDialog != nullptr)
            m_pDialog->close();  // deletes it, which sets the closed flag
    }

    void SetWindowText(const char* text) override {
        if (m_pDialog != nullptr)
            m_pDialog->setWindowTitle(ShownText(text));
    }

    void UpdateWindow() override {
        if (m_pDialog != nullptr)
            m_pDialog->repaint();
    }

    void Display(const CheckFindings& findings) override {
        if (m_pDialog == nullptr)
            return;
        QStringList lines;
        for (int i = 0; i < findings.Count(); ++i)
            lines.append(ShownFinding(findings.Line(i)));
        m_pDialog->SetText(lines.join(QLatin1Char('\n')));
        m_pDialog->setWindowTitle(QStringLiteral("Profile Checking Results"));
        m_pDialog->show();
        m_pDialog->raise();
        m_pDialog->activateWindow();
    }

    void Release() override {
        if (m_pDialog != nullptr)
            delete m_pDialog.data();  // sets the closed flag
        delete this;
    }

private:
    ~CheckProfileBox() override = default;

    QPointer<CCheckProfileDialog> m_pDialog;
};

}  // namespace

ICheckProfileBox* ICheckProfileBox::Create(int* closed, QWidget* parent) {
    if (closed == nullptr)
        return nullptr;
    return new CheckProfileBox(closed, parent);
}
