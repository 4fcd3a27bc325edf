#include "framework/comn/comn.h"

#include "framework/modalseam.h"
#include "resources/stringtable.h"

namespace {

class InfoBox final : public IInfoBox {
public:
    InfoBox(unsigned stringId, QWidget* parent) : m_nStringId(stringId), m_pParent(parent) {}
    ~InfoBox() override = default;

    int DoModal() override {
        return Modal().MessageBox(StringTable::Load(m_nStringId),
                                  StringTable::Load(IDS_APP_TITLE), MB_OK | MB_ICONINFORMATION,
                                  m_pParent);
    }

private:
    unsigned m_nStringId;
    QWidget* m_pParent;
};

}  // namespace

IInfoBox* CreateInfoBox(unsigned stringId, QWidget* parent) {
    return new InfoBox(stringId, parent);
}

void DestroyInfoBox(IInfoBox* box) {
    delete box;
}
