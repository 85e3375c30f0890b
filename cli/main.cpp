// feldan-cli: the Feldan engine from a shell.
#include <iostream>

#include "cli/feldan_cli.h"

int main(int argc, char** argv) {
    return feldan::cli::RunFeldanCli(argc, argv, std::cout, std::cerr,
                                     feldan::cli::SystemDecimalSeparator());
}
