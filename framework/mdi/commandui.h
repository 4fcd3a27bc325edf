#pragma once
// The user-interface side of the commands: menu bars, accelerators and the toolbar built from
// the resource tables, all sending their command ids to one router, and the refresh of their
// enabled and checked states from the router's rules.

#include <QObject>
#include <QPixmap>
#include <map>
#include <span>
#include <vector>

#include "framework/mdi/commandtable.h"

class CommandRouter;
class QAction;
class QMenu;
class QToolBar;
class QWidget;

class CommandUI final : public QObject {
public:
    CommandUI(const CommandRouter& router, QWidget& window);

    // Builds the popups of a menu bar resource; they are owned by the window.
    void AddMenuResource(const MenuResource& resource);
    // The popups of a resource, in order; empty when unknown.
    const std::vector<QMenu*>& Menus(unsigned resourceId) const;

    // Binds every command's key to the window, whatever menu is shown.
    void AddAccelerators(std::span<const CommandInfo> commands);

    // Fills the toolbar: one button per slot, images cut from the strip (square, strip height).
    void FillToolBar(QToolBar& toolBar, ToolbarSlots buttons, std::span<const CommandInfo> commands,
                     const QPixmap& strip);

    // Sets every action's enabled and checked state from the router.
    void UpdateStates();

private:
    QAction* MakeAction(unsigned id, const QString& text, QObject* parent);
    void UpdateAction(QAction& action) const;

    const CommandRouter& m_router;
    QWidget& m_window;
    std::map<unsigned, std::vector<QMenu*>> m_menus;
    std::vector<QAction*> m_actions;  // menu items and toolbar buttons, owned by their parents
};
