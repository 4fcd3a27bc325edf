#include "app/commandtable.h"

#include "resources/commandids.h"
#include "resources/resourceids.h"


namespace {

// In every menu bar: the overview needs no server window.
constexpr const char* kServerOverviewItem = "Server &Overview\tF8";

// The menu items the full menus (list and status frames) share, with the texts that differ.
struct FullMenuTexts {
    const char* editServerEntries;
    const char* statusBar;
    const char* changeDefaultEditor;
    const char* checkAllProfiles;
};

MenuPopup HelpPopup() {
    return {"&Help",
            {{ID_HELP_CONTENTS, "&Contents...\tF1"},
             {ID_HELP_SEARCHFORHELPON, "&Search for Help on..."},
             {ID_HELP_HOWTOUSEHELP, "&How to Use Help..."},
             {0, ""},
             {ID_APP_ABOUT, "&About this application..."}}};
}

MenuResource FullMenu(unsigned id, const FullMenuTexts& texts) {
    return {id,
            {{"&Server",
              {{ID_FILE_OPEN, "&Connect to server...\tCtrl+C"},
               {ID_FILE_CLOSE, "&Disconnect from server\tCtrl+D"},
               {0, ""},
               {ID_SERVER_CHANGESERVERLEVEL, "Change Server &Level...\tCtrl+L"},
               {0, ""},
               {ID_APP_EXIT, "E&xit"}}},
             {"&Client",
              {{ID_CLIENT_CHANGESERVERINFO, texts.editServerEntries},
               {ID_CLIENT_SERVEROVERVIEW, kServerOverviewItem}}},
             {"&View",
              {{ID_VIEW_PROFILES, "&Profiles\tF2"},
               {ID_VIEW_REPLACEABLESERVICES, "&Telvane Services\tF3"},
               {ID_VIEW_SERVICEPROVIDERS, "&Service Providers\tF4"},
               {ID_VIEW_SERVERSTATUS, "Server Stat&us\tF10"},
               {0, ""},
               {ID_VIEW_TOOLBAR, "&Toolbar"},
               {ID_VIEW_STATUS_BAR, texts.statusBar},
               {0, ""},
               {ID_VIEW_SELECTALL, "Select All"},
               {ID_VIEW_REMOVE, "Re&move selected items\tDel"},
               {ID_VIEW_REFRESH, "Re&fresh\tF5"}}},
             {"&Profile",
              {{ID_PROFILE_NEW, "&New...\tCtrl+P"},
               {ID_PROFILE_EDIT, "&Edit\tCtrl+E"},
               {ID_PROFILE_REMOVE, "&Remove...\tDel"},
               {0, ""},
               {ID_PROFILE_IMPORT, "&Import Profile..."},
               {ID_PROFILE_EXPORT, "E&xport Profile..."},
               {0, ""},
               {ID_PROFILE_ASSOCIATE, "&Associate...\tCtrl+A"},
               {ID_PROFILE_CHANGEDEFAULT, texts.changeDefaultEditor},
               {0, ""},
               {ID_PROFILE_CHECKALLPROFILES, texts.checkAllProfiles}}},
             {"Se&rvice",
              {{ID_SERVICE_NEW, "&New...\tCtrl+S"},
               {ID_SERVICE_EDIT, "&Edit..."},
               {ID_SERVICE_REMOVE, "&Remove...\tDel"},
               {0, ""},
               {ID_SERVICE_START, "&Start..."},
               {ID_SERVICE_STOP, "S&top..."}}},
             {"&Window",
              {{ID_WINDOW_CASCADE, "&Cascade"},
               {ID_WINDOW_TILE_HORZ, "&Tile"},
               {ID_WINDOW_ARRANGE, "&Arrange Icons"},
               {ID_WINDOW_CLOSEALL, "Close Al&l"},
               {ID_WINDOW_NEW, "&New Window...\tCtrl+N"}}},
             HelpPopup()}};
}

}  // namespace

std::span<const CommandInfo> AdminCommands() {
    static const CommandInfo commands[] = {
        {ID_FILE_OPEN, QKeySequence(Qt::CTRL | Qt::Key_C), 0},
        {ID_FILE_CLOSE, QKeySequence(Qt::CTRL | Qt::Key_D), 1},
        {ID_SERVER_CHANGESERVERLEVEL, QKeySequence(Qt::CTRL | Qt::Key_L)},
        {ID_MULTINODE_CFG, {}},
        {ID_APP_EXIT, {}},
        {ID_CLIENT_CHANGESERVERINFO, {}},
        {ID_CLIENT_SERVEROVERVIEW, QKeySequence(Qt::Key_F8)},
        {ID_VIEW_PROFILES, QKeySequence(Qt::Key_F2)},
        {ID_VIEW_REPLACEABLESERVICES, QKeySequence(Qt::Key_F3)},
        {ID_VIEW_SERVICEPROVIDERS, QKeySequence(Qt::Key_F4)},
        {ID_VIEW_SERVERSTATUS, QKeySequence(Qt::Key_F10)},
        {ID_VIEW_TOOLBAR, {}},
        {ID_VIEW_STATUS_BAR, {}},
        {ID_VIEW_SELECTALL, {}},
        {ID_VIEW_REMOVE, QKeySequence(Qt::Key_Delete), 6},
        {ID_VIEW_REFRESH, QKeySequence(Qt::Key_F5)},
        {ID_PROFILE_NEW, QKeySequence(Qt::CTRL | Qt::Key_P), 2},
        {ID_PROFILE_EDIT, QKeySequence(Qt::CTRL | Qt::Key_E)},
        {ID_PROFILE_REMOVE, {}},
        {ID_PROFILE_IMPORT, {}, 4},
        {ID_PROFILE_EXPORT, {}, 5},
        {ID_PROFILE_ASSOCIATE, QKeySequence(Qt::CTRL | Qt::Key_A)},
        {ID_PROFILE_CHANGEDEFAULT, {}},
        {ID_PROFILE_CHECKALLPROFILES, QKeySequence(Qt::Key_F9), 9},
        {ID_SERVICE_NEW, QKeySequence(Qt::CTRL | Qt::Key_S), 3},
        {ID_SERVICE_EDIT, {}},
        {ID_SERVICE_REMOVE, {}},
        {ID_SERVICE_START, {}, 7},
        {ID_SERVICE_STOP, {}, 8},
        {ID_WINDOW_CASCADE, {}},
        {ID_WINDOW_TILE_HORZ, {}},
        {ID_WINDOW_ARRANGE, {}},
        {ID_WINDOW_CLOSEALL, {}},
        {ID_WINDOW_NEW, QKeySequence(Qt::CTRL | Qt::Key_N)},
        {ID_HELP_CONTENTS, QKeySequence(Qt::Key_F1), 10},
        {ID_HELP_SEARCHFORHELPON, {}},
        {ID_HELP_HOWTOUSEHELP, {}},
        {ID_APP_ABOUT, {}},
    };
    return commands;
}

const MenuResource& MainFrameMenu() {
    static const MenuResource menu{
        IDR_MAINFRAME,
        {{"&Server",
          {{ID_FILE_OPEN, "&Connect to server...\tCtrl+C"},
           {0, ""},
           {ID_MULTINODE_CFG, "Configure for multinode..."},
           {0, ""},
           {ID_APP_EXIT, "E&xit"}}},
         {"&Client",
          {{ID_CLIENT_CHANGESERVERINFO, "&Edit Server Entries"},
           {ID_CLIENT_SERVEROVERVIEW, kServerOverviewItem}}},
         {"&View", {{ID_VIEW_TOOLBAR, "&Toolbar"}, {ID_VIEW_STATUS_BAR, "&Status Bar"}}},
         {"&Profile",
          {{ID_PROFILE_ASSOCIATE, "&Associate...\tCtrl+A"},
           {ID_PROFILE_CHANGEDEFAULT, "&Change default editor..."}}},
         HelpPopup()}};
    return menu;
}

const MenuResource& ListViewMenu() {
    static const MenuResource menu = FullMenu(
        IDR_LISTVIEW, {"&Edit Server Entries...", "Status &Bar", "Change &Default Editor...",
                       "&Check All Profiles...\tF9"});
    return menu;
}

const MenuResource& StatusViewMenu() {
    static const MenuResource menu =
        FullMenu(IDR_STATUSVIEW, {"&Edit Server Entries", "&Status Bar",
                                  "&Change default editor...", "Check &All Profiles...\tF6"});
    return menu;
}

ToolbarSlots AdminToolbar() {
    static const unsigned toolbarSlots[] = {ID_FILE_OPEN,       ID_FILE_CLOSE,
                                     0,                  ID_PROFILE_NEW,
                                     ID_SERVICE_NEW,     ID_PROFILE_IMPORT,
                                     ID_PROFILE_EXPORT,  0,
                                     ID_VIEW_REMOVE,     0,
                                     ID_SERVICE_START,   ID_SERVICE_STOP,
                                     0,                  ID_PROFILE_CHECKALLPROFILES,
                                     0,                  ID_HELP_CONTENTS};
    return toolbarSlots;
}
