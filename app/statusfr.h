#pragma once
// CStatusFrame: the child frame of a server status window, 240 by 188 pixels and without a
// sizing border; it can still be minimised, maximised and moved.

#include "framework/mdi/mdichild.h"

class CStatusFrame final : public CMDIChildWnd {
public:
    using CMDIChildWnd::CMDIChildWnd;

    bool PreCreateWindow(CreateStruct& cs) override;
};
