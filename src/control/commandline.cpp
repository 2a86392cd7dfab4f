// The command line: parses the arguments and hands them to the command they name. `kru INPUT
// OUTPUT [OPTIONS]` (or `kru convert ...`) converts, with --to every positional being an input;
// every control keyword is an option of its own, made from the keyword table. `kru info` tells
// what files hold. Without arguments, or with a control file, the control input is read as
// before.
#include "control/commands.h"
#include "control/control.h"
#include "control/detect.h"
#include "control/dispatch.h"
#include "control/files.h"
#include "store/store.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// A number as the control input reads it: an integer as given, a real always with its decimal
// point ("2" would be read as an integer, and a real option would ignore it).
std::optional<std::string> controlnumber(const std::string& text, bool real) {
    const char* first = text.data();
    const char* last = text.data() + text.size();
    if (first != last && *first == '+') {
        ++first;
    }
    if (!real) {
        long long v = 0;
        const auto [end, ec] = std::from_chars(first, last, v);
        if (ec != std::errc() || end != last) {
            return std::nullopt;
        }
        return std::to_string(v);
    }
    double v = 0.0;
    const auto [end, ec] = std::from_chars(first, last, v);
    if (ec != std::errc() || end != last || !std::isfinite(v)) {
        return std::nullopt;
    }
    std::string out(first, last);
    if (out.find('.') == std::string::npos) {
        const std::size_t e = out.find_first_of("eEdD");
        out.insert(e == std::string::npos ? out.size() : e, ".0");
    }
    return out;
}

// The control-input line of a keyword with its values, as a user would write it; every value
// starts after one blank, which puts file names and types in their columns.
std::string controlline(const KeywordEntry& k, const std::vector<std::string>& values) {
    std::string line(trimright(k.keyword));
    for (const std::string& v : values) {
        line += ' ';
        line += v;
    }
    return line;
}

// A control file names its input on an IN line (a line starting with IN, the keyword's rule).
bool controlfile(const std::string& path) {
    std::ifstream in(path);
    std::string line;
    for (int n = 0; n < 10000 && std::getline(in, line); ++n) {
        if (line.starts_with("IN")) {
            return true;
        }
    }
    return false;
}

// "an ORCA output", "a PDB file": what the input-type row says the type is, with its article.
std::string kindof(std::string_view type) {
    const ReaderEntry* r = findinputtype(type);
    const std::string kind = r != nullptr && !r->run.program.empty()
                                 ? std::string(r->run.program) + " output"
                                 : std::string(type) + " file";
    // Letters whose names begin with a vowel sound take "an".
    const bool an = std::string_view("AEFHILMNORSX").find(kind.front()) != std::string_view::npos;
    return (an ? "an " : "a ") + kind;
}

// What a value of a keyword's option is, for the help text.
std::string valuename(ValueKind kind) {
    switch (kind) {
    case ValueKind::integer:
        return "N";
    case ValueKind::real:
        return "X";
    case ValueKind::word:
        return "WORD";
    case ValueKind::file:
        return "FILE";
    case ValueKind::type:
        return "TYPE";
    case ValueKind::text:
        return "TEXT";
    case ValueKind::none:
        break;
    }
    return {};
}

// "K/N" with K from 1 to N.
bool parseshard(const std::string& text, int& k, int& n) {
    const std::size_t slash = text.find('/');
    if (slash == std::string::npos) {
        return false;
    }
    const auto whole = [](std::string_view digits, int& value) {
        const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
        return ec == std::errc() && end == digits.data() + digits.size();
    };
    const std::string_view all(text);
    return whole(all.substr(0, slash), k) && whole(all.substr(slash + 1), n) && n >= 1 && k >= 1 &&
           k <= n;
}

} // namespace

int commandline(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    if (argc == 1) {
        if (isatty(STDIN_FILENO) != 0) {
            std::cerr << "kru: reading the control input from standard input; end it with Ctrl-D "
                         "(kru --help shows the command line and the keywords)\n";
        }
        return run(std::cin, RunContext{});
    }
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.front() == "info") {
        return infocommand(std::vector<std::string>(args.begin() + 1, args.end()));
    }
    if (args.front() == "plot") {
        return plotcommand(std::vector<std::string>(args.begin() + 1, args.end()));
    }
    if (args.front() == "convert") {
        args.erase(args.begin());
    }

    CLI::App app{"kru: converts the molecule in one file of computational chemistry into another "
                 "form.",
                 "kru"};
    app.set_version_flag("--version", std::string("kru ") + KRU_VERSION);
    app.footer(helptext());
    ConvertRequest request;
    std::vector<std::string>& files = request.inputs;
    std::string& from = request.from;
    std::string& to = request.to;
    std::string& output = request.output;
    std::string user, shard;
    app.add_option("files", files, "INPUT OUTPUT; with --to, the inputs")->type_name("FILE");
    app.add_option("--from", from, "input type (default: found from each input's content)")
        ->type_name("TYPE");
    app.add_option("--to", to, "output type (default: from OUTPUT's extension)")->type_name("TYPE");
    app.add_option("-o,--output", output, "with --to, the output of a single input")
        ->type_name("FILE");
    CLI::Option* folder =
        app.add_option("-d,--dir", request.folder, "with --to, the folder of the outputs")
            ->type_name("DIR");
    CLI::Option* processes =
        app.add_option("-j,--processes", request.processes,
                       "with --to, conversions at once (default: the number of processors)")
            ->type_name("N")
            ->check(CLI::PositiveNumber);
    CLI::Option* list =
        app.add_option("--files-from", request.listfile,
                       "with --to, also the inputs named in LIST, one a line (- standard input)")
            ->type_name("LIST");
    CLI::Option* sharded =
        app.add_option("--shard", shard,
                       "with --to, every N-th input from the K-th (K from 1 to N), for job arrays")
            ->type_name("K/N");
    app.add_option("--user", user, "alternative job-script settings for a known identity (USER)")
        ->type_name("NAME");
    std::map<const KeywordEntry*, std::vector<std::string>> given;
    std::vector<std::pair<const KeywordEntry*, CLI::Option*>> declared;
    for (const KeywordEntry& k : keywords()) {
        if (k.longoption.empty()) {
            continue;
        }
        const std::string name = "--" + std::string(k.longoption);
        const std::string what = std::string(k.what) + " (" + std::string(trimright(k.keyword)) +
                                 "; default " + std::string(k.byDefault) + ")";
        CLI::Option* o = k.values.count == 0 ? app.add_flag(name, what)
                                             : app.add_option(name, given[&k], what)
                                                   ->expected(k.values.count)
                                                   ->allow_extra_args(false)
                                                   ->type_name(valuename(k.values.kind));
        declared.emplace_back(&k, o);
    }
    if (const std::optional<int> status =
            parsecommand(app, args, "kru", "kru --help shows the command line")) {
        return *status;
    }

    request.batch = folder->count() + processes->count() + list->count() + sharded->count() > 0;
    if (!shard.empty() && !parseshard(shard, request.shard, request.shards)) {
        return commandfailure("--shard", "give K/N with K from 1 to N: " + shard);
    }
    if (request.batch && (to.empty() || !output.empty())) {
        return commandfailure(
            "", "-d, -j, --files-from and --shard convert a batch: give --to TYPE and no "
                "-o");
    }

    // One argument alone: a control file, or a file to convert that lacks its output.
    const bool anyoption = request.batch || !from.empty() || !to.empty() || !output.empty() ||
                           !user.empty() ||
                           std::any_of(declared.begin(), declared.end(),
                                       [](const auto& d) { return d.second->count() > 0; });
    if (files.size() == 1 && !anyoption) {
        const Detection d = detectinputtype(files[0]);
        if (!d.type.empty()) {
            const std::filesystem::path input(files[0]);
            const std::string suggestion =
                input.stem().string() + (input.extension() == ".xyz" ? ".pdb" : ".xyz");
            std::cerr << "kru: " << files[0] << " looks like " << kindof(d.type)
                      << "; to convert it: kru " << files[0] << ' ' << suggestion << '\n';
            return 2;
        }
        if (!controlfile(files[0])) {
            return commandfailure(files[0],
                                  "neither a control input (no IN line) nor a file whose type is "
                                  "known: " +
                                      d.reason);
        }
        std::ifstream control(files[0]);
        return run(control, RunContext{});
    }

    // The keywords' options, set as their control-input lines set them.
    Store settings;
    for (const auto& [k, o] : declared) {
        if (o->count() == 0) {
            continue;
        }
        std::vector<std::string> values = given[k];
        const ValueKind kind = k->values.kind;
        if (kind == ValueKind::integer || kind == ValueKind::real) {
            for (std::string& v : values) {
                const auto n = controlnumber(v, kind == ValueKind::real);
                if (!n) {
                    return commandfailure("",
                                          "--" + std::string(k->longoption) +
                                              (kind == ValueKind::real ? " takes numbers: "
                                                                       : " takes whole numbers: ") +
                                              v);
                }
                v = *n;
            }
        }
        try {
            applycontrolline(settings, record(controlline(*k, values)));
        } catch (const RunError& e) {
            return commandfailure("--" + std::string(k->longoption), e.what());
        }
    }
    if (!user.empty()) {
        applycontrolline(settings, record("USER " + user));
        if (!settings.massie) {
            return commandfailure("--user", user + " is not a known identity");
        }
    }

    request.settings = settings;
    return convertcommand(request);
}
