// feldan-cli: the Feldan engine from a shell.
#include <CLI/CLI.hpp>
#include <iostream>

int main(int argc, char** argv) {
    CLI::App app{"Feldan crystal ladder filter calculator, command-line front end"};
    app.set_version_flag("--version", std::string("feldan-cli ") + FELDAN_VERSION_TEXT);
    CLI11_PARSE(app, argc, argv);
    std::cout << "feldan-cli: the calculation is not wired up yet\n";
    return 0;
}
