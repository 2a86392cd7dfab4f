// The arguments of a command put to its CLI11 declaration, with the answers every command gives
// alike: its help, the version, or one line for arguments it cannot take.
#include "control/commands.h"

#include <CLI/CLI.hpp>

#include <iostream>

std::optional<int> parsecommand(CLI::App& app, const std::vector<std::string>& args,
                                const std::string& program, const std::string& hint) {
    std::vector<const char*> cargs{program.c_str()};
    for (const std::string& a : args) {
        cargs.push_back(a.c_str());
    }
    try {
        app.parse(int(cargs.size()), cargs.data());
    } catch (const CLI::CallForHelp&) {
        std::cout << app.help();
        return 0;
    } catch (const CLI::CallForVersion& e) {
        std::cout << e.what() << '\n';
        return 0;
    } catch (const CLI::ParseError& e) {
        return commandfailure("", std::string(e.what()) + " (" + hint + ")");
    }
    return std::nullopt;
}
