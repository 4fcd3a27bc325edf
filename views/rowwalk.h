#pragma once
// What the list-view commands walk: the selected rows in row order, with the two cells they
// use, taken before the first dialog so that nothing shown meanwhile can change them; and the
// guard that keeps the view from rebuilding its rows while a command runs.

#include <QString>
#include <vector>

class CAdminView;
class CMyListCtrl;
class CViewLine;

struct SelectedRow {
    int row = 0;
    QString first;   // profile or service name
    QString second;  // profile class or service state
};

// Walks the chain and the rows together from row 0; line i is row i.
std::vector<SelectedRow> SelectedRows(const CViewLine* lines, const CMyListCtrl& list);

// Turns the view's rebuilds off for its life. Resume turns them on early, before a refresh
// the command makes; they are on again on every way out.
class UpdatesSuspended final {
public:
    explicit UpdatesSuspended(CAdminView& view);
    ~UpdatesSuspended();
    UpdatesSuspended(const UpdatesSuspended&) = delete;
    UpdatesSuspended& operator=(const UpdatesSuspended&) = delete;

    void Resume();

private:
    CAdminView& m_view;
};

// Runs the operation on every row, going on after failures; the number of rows it failed on
// (the operation returns 0 for a failure).
template <typename Operation>
int CountFailures(const std::vector<SelectedRow>& rows, Operation operation) {
    int failures = 0;
    for (const SelectedRow& row : rows) {
        if (operation(row) == 0)
            ++failures;
    }
    return failures;
}
