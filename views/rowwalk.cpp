#include "views/rowwalk.h"

#include "session/viewline.h"
#include "views/adminvw.h"
#include "views/mylistct.h"

std::vector<SelectedRow> SelectedRows(const CViewLine* lines, const CMyListCtrl& list) {
    std::vector<SelectedRow> rows;
    int row = 0;
    for (const CViewLine* line = lines; line != nullptr; line = line->Next(), ++row) {
        if (list.IsItemSelected(row))
            rows.push_back({row, line->GetItem(0), line->GetItem(1)});
    }
    return rows;
}

UpdatesSuspended::UpdatesSuspended(CAdminView& view) : m_view(view) {
    m_view.SetUpdatesEnabled(0);
}

UpdatesSuspended::~UpdatesSuspended() {
    Resume();
}

void UpdatesSuspended::Resume() {
    m_view.SetUpdatesEnabled(1);
}
