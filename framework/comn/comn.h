#pragma once
// The companion dialog library: an information box, the server chooser and the modeless
// profile-check report box. Every modal run goes through the framework's modal seam.
//
// Objects are made by the Create functions and released as each one says; the system reaches
// them only through the wrappers in comnmfc.h.

#include <string>
#include <vector>

class QWidget;

// The findings of a profile check, one line of text each, in run order.
class CheckFindings {
public:
    virtual ~CheckFindings() = default;
    virtual int Count() const = 0;
    // The line shown for finding index (0 <= index < Count()).
    virtual std::string Line(int index) const = 0;

protected:
    CheckFindings() = default;
    CheckFindings(const CheckFindings&) = default;
    CheckFindings& operator=(const CheckFindings&) = default;
};

class IInfoBox {
public:
    // Shows the text of the string id; the result is IDOK.
    virtual int DoModal() = 0;

protected:
    friend void DestroyInfoBox(IInfoBox* box);
    virtual ~IInfoBox() = default;
};

// The box for the string id, owned by the parent's window (none when null).
IInfoBox* CreateInfoBox(unsigned stringId, QWidget* parent);
void DestroyInfoBox(IInfoBox* box);

class IGetServerBox {
public:
    // The chooser (dialog 24581 "Select Server") with the prompt of the string id and the names
    // up to the first empty one. Null only when it cannot be made.
    static IGetServerBox* Create(unsigned promptId, const std::vector<std::string>& names,
                                 QWidget* parent);

    // 1 when the operator chose a server, otherwise 2.
    virtual int DoModal() = 0;
    // Preselects the name that is the text of the string id, when it is in the list.
    virtual void SetServerSelected(unsigned stringId) = 0;
    // The chosen name; "" before a server was chosen.
    virtual const char* GetServerSelected() const = 0;
    // Releases the object.
    virtual void Release() = 0;

protected:
    virtual ~IGetServerBox() = default;
};

class ICheckProfileBox {
public:
    // The modeless report window (dialog 24584 "Profile Checking Results"), shown at once.
    // *closed is 0 while the window exists and set to 1 when it closes; the int must outlive
    // the window (DestroyWindow before it goes). Null only when it cannot be made.
    static ICheckProfileBox* Create(int* closed, QWidget* parent);

    // Closes and destroys the window; the object stays until Release.
    virtual void DestroyWindow() = 0;
    virtual void SetWindowText(const char* text) = 0;
    // Repaints at once, so a title set before a long run is seen during it.
    virtual void UpdateWindow() = 0;
    // Shows the findings, one a line, and brings the window to the front.
    virtual void Display(const CheckFindings& findings) = 0;
    // Destroys the window if it still exists and releases the object.
    virtual void Release() = 0;

protected:
    virtual ~ICheckProfileBox() = default;
};
