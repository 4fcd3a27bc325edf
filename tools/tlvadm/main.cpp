// tlvadm: administers a Telvane Server from the command line, through the same document the
// GUI uses, so it prints the GUI's texts.

#include <iostream>

#include "tools/tlvadm/tlvadm_cli.h"

int main(int argc, char** argv) {
    return RunTlvadm(argc, argv, std::cout, std::cerr);
}
