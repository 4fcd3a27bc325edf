#include <QPointer>
#include <QStringList>

#include "platform/comn/checkprofiledialog.h"
#include "platform/comn/comn.h"

namespace {

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
            m_pDialog->setWindowTitle(QString::fromLatin1(text));
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
            lines.append(QString::fromLatin1(findings.Line(i).c_str()));
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
