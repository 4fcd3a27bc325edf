// tlvedit: the default profile editor, started by the administration client as
//   tlvedit ENTRY new CLASS | tlvedit ENTRY edit NAME CLASS

#include "tools/tlvedit/tlvedit_app.h"

int main(int argc, char** argv) {
    return RunTlvedit(argc, argv);
}
