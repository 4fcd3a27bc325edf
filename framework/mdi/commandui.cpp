#include "framework/mdi/commandui.h"

#include <QAction>
#include <QMenu>
#include <QToolBar>
#include <QWidget>

#include "framework/mdi/cmdrouter.h"

namespace {

const char* const kCommandProperty = "tlvCommandId";

unsigned CommandOf(const QAction& action) {
    return action.property(kCommandProperty).toUInt();
}

}  // namespace

CommandUI::CommandUI(const CommandRouter& router, QWidget& window)
    : QObject(&window), m_router(router), m_window(window) {}

QAction* CommandUI::MakeAction(unsigned id, const QString& text, QObject* parent) {
    auto* action = new QAction(text, parent);
    action->setProperty(kCommandProperty, id);
    action->setStatusTip(CommandPrompt(id));
    connect(action, &QAction::triggered, this, [this, id] {
        m_router.execute(id);
        UpdateStates();
    });
    m_actions.push_back(action);
    return action;
}

void CommandUI::AddMenuResource(const MenuResource& resource) {
    std::vector<QMenu*>& menus = m_menus[resource.id];
    for (const MenuPopup& popup : resource.popups) {
        auto* menu = new QMenu(QString::fromLatin1(popup.title), &m_window);
        for (const MenuItem& item : popup.items) {
            if (item.id == 0)
                menu->addSeparator();
            else
                menu->addAction(MakeAction(item.id, QString::fromLatin1(item.text), menu));
        }
        // Enable rules are asked when the menu opens, as the operator sees it.
        connect(menu, &QMenu::aboutToShow, this, [this, menu] {
            for (QAction* action : menu->actions())
                UpdateAction(*action);
        });
        menus.push_back(menu);
    }
}

const std::vector<QMenu*>& CommandUI::Menus(unsigned resourceId) const {
    static const std::vector<QMenu*> none;
    const auto it = m_menus.find(resourceId);
    return it == m_menus.end() ? none : it->second;
}

void CommandUI::AddAccelerators(std::span<const CommandInfo> commands) {
    for (const CommandInfo& command : commands) {
        if (command.key.isEmpty())
            continue;
        // Always enabled, so the key reaches the router, which refuses a disabled command.
        auto* accelerator = new QAction(&m_window);
        accelerator->setShortcut(command.key);
        accelerator->setShortcutContext(Qt::WindowShortcut);
        const unsigned id = command.id;
        connect(accelerator, &QAction::triggered, this, [this, id] {
            m_router.execute(id);
            UpdateStates();
        });
        m_window.addAction(accelerator);
    }
}

void CommandUI::FillToolBar(QToolBar& toolBar, ToolbarSlots buttons,
                            std::span<const CommandInfo> commands, const QPixmap& strip) {
    const int side = strip.height();
    for (const unsigned id : buttons) {
        if (id == 0) {
            toolBar.addSeparator();
            continue;
        }
        QAction* button = MakeAction(id, CommandTip(id), &toolBar);
        button->setToolTip(CommandTip(id));
        for (const CommandInfo& command : commands) {
            if (command.id == id && command.image >= 0)
                button->setIcon(QIcon(strip.copy(command.image * side, 0, side, side)));
        }
        toolBar.addAction(button);
    }
}

void CommandUI::UpdateAction(QAction& action) const {
    const unsigned id = CommandOf(action);
    if (id == 0)
        return;
    action.setEnabled(m_router.isEnabled(id));
    const bool checked = m_router.isChecked(id);
    action.setCheckable(checked || action.isCheckable());
    action.setChecked(checked);
}

void CommandUI::UpdateStates() {
    for (QAction* action : m_actions)
        UpdateAction(*action);
}
