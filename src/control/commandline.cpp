// The command line: `kru INPUT OUTPUT [OPTIONS]` (or `kru convert ...`) converts one file, the
// types found from the input's content and the output's extension unless named; with --to every
// positional is an input. Every control keyword is an option of its own, made from the keyword
// table, and a conversion is the run the equivalent control input makes. Without arguments, or
// with a control file, the control input is read as before.
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

// How many values a keyword's option takes, and whether they are reals (which the control
// input tells from integers by their decimal point).
struct Arity {
    int count = 0;
    bool reals = false;
};

Arity arityof(const KeywordEntry& k) {
    const std::string_view a = k.arguments;
    const bool reals = a.find("real") != std::string_view::npos;
    if (a.empty()) {
        return {0, false};
    }
    if (a.starts_with("two")) {
        return {2, reals};
    }
    if (a.starts_with("three")) {
        return {3, reals};
    }
    return {1, reals};
}

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

int fail(const std::string& where, const std::string& reason) {
    std::cerr << "kru: error: " << (where.empty() ? "" : where + ": ") << reason << '\n';
    return 2;
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
    const std::string_view what = r == nullptr ? "" : r->what.substr(0, r->what.find(':'));
    const std::string kind =
        what.ends_with("output") ? std::string(what) : std::string(type) + " file";
    // Letters whose names begin with a vowel sound take "an".
    const bool an = std::string_view("AEFHILMNORSX").find(kind.front()) != std::string_view::npos;
    return (an ? "an " : "a ") + kind;
}

// The type names of one kind, blank-separated.
std::string typelist(TypeKind kind) {
    std::string list;
    for (const std::string_view t : typenames(kind)) {
        list += (list.empty() ? "" : " ") + std::string(t);
    }
    return list;
}

// What a value of a keyword's option is, for the help text.
std::string valuename(const KeywordEntry& k) {
    const std::string_view a = k.arguments;
    if (a.find("file") != std::string_view::npos) {
        return "FILE";
    }
    if (a.find("type") != std::string_view::npos) {
        return "TYPE";
    }
    if (a.find("word") != std::string_view::npos) {
        return "WORD";
    }
    if (a.find("text") != std::string_view::npos) {
        return "TEXT";
    }
    return a.find("real") != std::string_view::npos ? "X" : "N";
}

// The output name of an input converted to a type: its extension replaced by the type's first.
std::string outputname(const std::string& input, const WriterEntry& writer) {
    std::filesystem::path p(input);
    if (p.extension() == ".gz") {
        p.replace_extension();
    }
    const std::string_view extensions = writer.extensions;
    const std::string_view first = extensions.substr(0, extensions.find(' '));
    p.replace_extension(std::string(first.empty() ? "." + upcase(writer.type) : first));
    return p.string();
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
    std::vector<std::string> files;
    std::string from, to, output, user;
    app.add_option("files", files, "INPUT OUTPUT; with --to, the inputs")->type_name("FILE");
    app.add_option("--from", from, "input type (default: found from the input's content)")
        ->type_name("TYPE");
    app.add_option("--to", to, "output type (default: from OUTPUT's extension)")->type_name("TYPE");
    app.add_option("-o,--output", output, "with --to, the output of a single input")
        ->type_name("FILE");
    app.add_option("--user", user, "alternative job-script settings for a known identity (USER)")
        ->type_name("NAME");
    std::map<const KeywordEntry*, std::vector<std::string>> given;
    std::vector<std::pair<const KeywordEntry*, CLI::Option*>> declared;
    for (const KeywordEntry& k : keywords()) {
        if (k.longoption.empty()) {
            continue;
        }
        const Arity arity = arityof(k);
        const std::string name = "--" + std::string(k.longoption);
        const std::string what = std::string(k.what) + " (" + std::string(trimright(k.keyword)) +
                                 "; default " + std::string(k.byDefault) + ")";
        CLI::Option* o = arity.count == 0 ? app.add_flag(name, what)
                                          : app.add_option(name, given[&k], what)
                                                ->expected(arity.count)
                                                ->allow_extra_args(false)
                                                ->type_name(valuename(k));
        declared.emplace_back(&k, o);
    }
    std::vector<const char*> cargs{"kru"};
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
        return fail("", std::string(e.what()) + " (kru --help shows the command line)");
    }

    // One argument alone: a control file, or a file to convert that lacks its output.
    const bool anyoption = !from.empty() || !to.empty() || !output.empty() || !user.empty() ||
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
            return fail(files[0], "neither a control input (no IN line) nor a file whose type is "
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
        const Arity arity = arityof(*k);
        if (arity.count > 0 && k->arguments.find("integer") != std::string_view::npos) {
            for (std::string& v : values) {
                const auto n = controlnumber(v, false);
                if (!n) {
                    return fail("",
                                "--" + std::string(k->longoption) + " takes whole numbers: " + v);
                }
                v = *n;
            }
        } else if (arity.reals) {
            for (std::string& v : values) {
                const auto n = controlnumber(v, true);
                if (!n) {
                    return fail("", "--" + std::string(k->longoption) + " takes numbers: " + v);
                }
                v = *n;
            }
        }
        try {
            applycontrolline(settings, record(controlline(*k, values)));
        } catch (const RunError& e) {
            return fail("--" + std::string(k->longoption), e.what());
        }
    }
    if (!user.empty()) {
        applycontrolline(settings, record("USER " + user));
        if (!settings.massie) {
            return fail("--user", user + " is not a known identity");
        }
    }

    std::vector<std::pair<std::string, std::string>> conversions;
    if (to.empty()) {
        if (files.size() != 2 || !output.empty()) {
            return fail("", "give INPUT OUTPUT, or the inputs with --to TYPE (kru --help)");
        }
        conversions.emplace_back(files[0], files[1]);
    } else {
        if (files.empty() || (!output.empty() && files.size() != 1)) {
            return fail("", "with --to, name the inputs; -o names the output of a single input");
        }
        const WriterEntry* writer = findoutputtype(upcase(to));
        if (writer == nullptr) {
            return fail("", unknowntypehint(to, TypeKind::output));
        }
        for (const std::string& input : files) {
            conversions.emplace_back(input, output.empty() ? outputname(input, *writer) : output);
        }
    }
    if (!from.empty() && findinputtype(upcase(from)) == nullptr) {
        return fail("", unknowntypehint(from, TypeKind::input));
    }

    int status = 0;
    for (const auto& [input, out] : conversions) {
        Options options = settings;
        options.inputfile = input;
        options.outputfile = out;
        if (!from.empty()) {
            options.inputtype = upcase(from);
        } else {
            if (!std::filesystem::exists(input)) {
                status = std::max(status, fail(input, "no such file"));
                continue;
            }
            const Detection d = detectinputtype(input);
            if (d.type.empty()) {
                status = std::max(status, fail(input, d.reason));
                continue;
            }
            options.inputtype = std::string(d.type);
        }
        options.outputtype = !to.empty() ? upcase(to) : std::string(outputtypeforname(out));
        if (options.outputtype.empty()) {
            status = std::max(status, fail(out, "no output type has this file's extension; name "
                                                "one with --to (output types: " +
                                                    typelist(TypeKind::output) + ")"));
            continue;
        }
        RunContext context;
        context.errorline = true;
        status = std::max(status, convert(options, context));
    }
    return status;
}
