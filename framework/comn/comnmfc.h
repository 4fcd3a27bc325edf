#pragma once
// The wrappers of the companion dialog library: each owns its library object and forwards the
// operations of the same names.

#include <string>
#include <vector>

class CheckFindings;
class ICheckProfileBox;
class IGetServerBox;
class IInfoBox;
class QWidget;

class CInfoBox final {
public:
    CInfoBox(unsigned stringId, QWidget* parent);
    ~CInfoBox();
    CInfoBox(const CInfoBox&) = delete;
    CInfoBox& operator=(const CInfoBox&) = delete;

    int DoModal();

private:
    IInfoBox* m_pBox;
};

class CGetServerBox final {
public:
    // The names end at the first empty one.
    CGetServerBox(unsigned promptId, const std::vector<std::string>& names, QWidget* parent);
    ~CGetServerBox();
    CGetServerBox(const CGetServerBox&) = delete;
    CGetServerBox& operator=(const CGetServerBox&) = delete;

    // 1 when the operator chose a server.
    int DoModal();
    void SetServerSelected(unsigned stringId);
    const char* GetServerSelected() const;

private:
    IGetServerBox* m_pBox;
};

class CCheckProfileBox final {
public:
    // *closed is kept 0 while the window exists and set non-zero when it closes.
    CCheckProfileBox(int* closed, QWidget* parent);
    ~CCheckProfileBox();
    CCheckProfileBox(const CCheckProfileBox&) = delete;
    CCheckProfileBox& operator=(const CCheckProfileBox&) = delete;

    void DestroyWindow();
    void SetWindowText(const char* text);
    void UpdateWindow();
    void Display(const CheckFindings& findings);

private:
    ICheckProfileBox* m_pBox;
};
