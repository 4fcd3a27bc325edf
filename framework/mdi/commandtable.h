#pragma once
// The resource tables a frame is built from: the commands with their accelerator keys and
// toolbar images, the menu bars per resource id, and the toolbar slots. The texts of prompts
// and tips come from the string table under the command's id ("prompt\ntip").

#include <QKeySequence>
#include <QString>
#include <span>
#include <vector>

// One command: id, accelerator (empty when none), index in the toolbar strip (-1 when none).
struct CommandInfo {
    unsigned id = 0;
    QKeySequence key;
    int image = -1;
};

// One menu item; id 0 is a separator. The text may hold "\t" and the key shown for it.
struct MenuItem {
    unsigned id = 0;
    const char* text = "";
};

struct MenuPopup {
    const char* title = "";
    std::vector<MenuItem> items;
};

// One menu bar, by resource id (IDR_...).
struct MenuResource {
    unsigned id = 0;
    std::vector<MenuPopup> popups;
};

// The toolbar, in slot order; id 0 is a separator.
using ToolbarSlots = std::span<const unsigned>;

// The status-bar prompt of the command: its string up to the line break; empty when none.
QString CommandPrompt(unsigned id);
// The tooltip of the command: its string after the line break; empty when none.
QString CommandTip(unsigned id);
