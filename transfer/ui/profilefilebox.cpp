#include "transfer/ui/profilefilebox.h"

#include <QLineEdit>

#include "framework/widgets/dialogparts.h"

CProfileFileBox::CProfileFileBox(QWidget* parent)
    : QDialog(parent),
      m_wndName(MakeTextField("name")),
      m_wndClass(MakeTextField("class")),
      m_wndFilename(MakeTextField("filename")) {}

void CProfileFileBox::SetName(const QString& name) {
    m_strName = name;
    DoDataExchange(false);
}

void CProfileFileBox::SetClass(const QString& profileClass) {
    m_strClass = profileClass;
    DoDataExchange(false);
}

void CProfileFileBox::SetFilename(const QString& fileName) {
    m_strFilename = fileName;
    DoDataExchange(false);
}
