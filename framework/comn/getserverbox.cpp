#include <memory>

#include "framework/comn/comn.h"
#include "framework/comn/getserverdialog.h"
#include "framework/modalseam.h"
#include "resources/stringtable.h"

namespace {

class GetServerBox final : public IGetServerBox {
public:
    GetServerBox(unsigned promptId, const std::vector<std::string>& names, QWidget* parent)
        : m_dialog(StringTable::Load(promptId), names, parent) {}

    int DoModal() override {
        const int result = Modal().RunDialog(m_dialog);
        std::string chosen = m_dialog.SelectedNameBytes();
        if (result != IDOK || chosen.empty())
            return IDCANCEL;
        m_strChosen = std::move(chosen);
        return IDOK;
    }

    void SetServerSelected(unsigned stringId) override {
        m_dialog.SelectName(StringTable::Load(stringId));
    }

    const char* GetServerSelected() const override { return m_strChosen.c_str(); }

    void Release() override { delete this; }

private:
    ~GetServerBox() override = default;

    CGetServerDialog m_dialog;
    std::string m_strChosen;
};

}  // namespace

IGetServerBox* IGetServerBox::Create(unsigned promptId, const std::vector<std::string>& names,
                                     QWidget* parent) {
    return new GetServerBox(promptId, names, parent);
}
