#include <iostream>

#include "tools/tlvreg/tlvreg_cli.h"

int main(int argc, char** argv) {
    return RunTlvreg(argc, argv, std::cout, std::cerr);
}
