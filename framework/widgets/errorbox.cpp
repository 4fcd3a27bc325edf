#include "framework/widgets/errorbox.h"

#include <QApplication>
#include <QWidget>

#include "framework/modalseam.h"
#include "resources/stringtable.h"

namespace {

constexpr unsigned kErrorBoxFlags = MB_OK | MB_ICONEXCLAMATION | MB_SYSTEMMODAL;  // 0x1030

}  // namespace

CErrorBox::CErrorBox(unsigned stringId, QWidget* parent, QString details)
    : m_nStringId(stringId), m_pParent(parent), m_strDetails(std::move(details)) {}

int CErrorBox::DoModal() {
    QWidget* owner = m_pParent != nullptr ? m_pParent->window() : QApplication::activeWindow();
    Modal().MessageBox(StringTable::Load(m_nStringId), StringTable::Load(IDS_ERROR_CAPTION),
                       kErrorBoxFlags, owner, m_strDetails);
    return 1;
}
