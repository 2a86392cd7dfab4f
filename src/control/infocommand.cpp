// `kru info FILE... [--json]`: what each file holds, read as a conversion would read it.
#include "control/commands.h"

#include <CLI/CLI.hpp>

#include <iostream>

int infocommand(const std::vector<std::string>& args) {
    CLI::App app{"kru info: what files hold: program and version, atoms and formula, geometries, "
                 "final energy, whether the run ended normally and an optimisation converged, "
                 "frequencies.",
                 "kru info"};
    std::vector<std::string> files;
    bool json = false;
    app.add_option("files", files, "the files to look at")->type_name("FILE")->required();
    app.add_flag("--json", json, "a JSON array, one object per file");
    if (const std::optional<int> status = parsecommand(app, args, "kru info", "kru info --help")) {
        return *status;
    }

    std::vector<FileFacts> facts;
    int status = 0;
    for (const std::string& file : files) {
        facts.push_back(readfacts(file));
        status = facts.back().error.empty() ? status : 1;
    }
    if (json) {
        std::cout << infojson(facts);
    } else if (facts.size() == 1) {
        std::cout << infoblock(facts.front());
    } else {
        std::cout << infotable(facts);
    }
    return status;
}
