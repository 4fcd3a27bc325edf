#include "app/statusfr.h"

bool CStatusFrame::PreCreateWindow(CreateStruct& cs) {
    cs.size = QSize(240, 188);
    cs.resizable = false;
    return CMDIChildWnd::PreCreateWindow(cs);
}
