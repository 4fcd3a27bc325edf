#pragma once
// The client's command table: every command with its accelerator and toolbar image, the three
// menu bars, and the toolbar's sixteen slots.

#include <span>

#include "framework/mdi/commandtable.h"

std::span<const CommandInfo> AdminCommands();
// IDR_MAINFRAME (no server window), IDR_LISTVIEW, IDR_STATUSVIEW.
const MenuResource& MainFrameMenu();
const MenuResource& ListViewMenu();
const MenuResource& StatusViewMenu();
ToolbarSlots AdminToolbar();
