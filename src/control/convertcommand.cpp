// The conversions a command line asks for: INPUT OUTPUT, or inputs with --to, each converted in
// turn; several inputs, or any of -d, -j, --files-from and --shard, make a batch.
#include "control/commands.h"
#include "control/control.h"
#include "control/detect.h"
#include "control/dispatch.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <utility>
#include <vector>

namespace {

// The type names of one kind, blank-separated.
std::string typelist(TypeKind kind) {
    std::string list;
    for (const std::string_view t : typenames(kind)) {
        if (!list.empty()) {
            list += ' ';
        }
        list += t;
    }
    return list;
}

// The output name of an input converted to a type: its extension replaced by the type's first,
// in the folder if one is given, else beside the input.
std::string outputname(const std::string& input, const WriterEntry& writer,
                       const std::string& folder) {
    std::filesystem::path p(input);
    if (p.extension() == ".gz") {
        p.replace_extension();
    }
    const std::string_view extensions = writer.extensions;
    const std::string_view first = extensions.substr(0, extensions.find(' '));
    std::string extension(first);
    if (extension.empty()) {
        extension = '.';
        extension += upcase(writer.type);
    }
    p.replace_extension(extension);
    return folder.empty() ? p.string() : (std::filesystem::path(folder) / p.filename()).string();
}

// The names of a list file, one a line; blank lines are passed over.
bool readlist(const std::string& listfile, std::vector<std::string>& names) {
    std::ifstream file;
    if (listfile != "-") {
        file.open(listfile);
        if (!file) {
            return false;
        }
    }
    std::istream& in = listfile == "-" ? std::cin : file;
    for (std::string line; std::getline(in, line);) {
        if (line.ends_with('\r')) {
            line.pop_back();
        }
        if (!trimblanks(line).empty()) {
            names.push_back(line);
        }
    }
    return !in.bad();
}

} // namespace

int convertcommand(const ConvertRequest& request) {
    std::vector<std::string> inputs = request.inputs;
    if (!request.listfile.empty() && !readlist(request.listfile, inputs)) {
        return commandfailure(request.listfile, "the list of inputs cannot be read");
    }
    if (request.batch && inputs.empty()) {
        return commandfailure("", "name the inputs, or a list of them with --files-from");
    }
    // The same list split the same way in every shard: the k-th of every n.
    std::vector<std::string> share;
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        if (int(i % std::size_t(request.shards)) == request.shard - 1) {
            share.push_back(inputs[i]);
        }
    }
    inputs = std::move(share);

    const std::string& from = request.from;
    const std::string& to = request.to;
    const std::string& output = request.output;
    std::vector<std::pair<std::string, std::string>> conversions;
    const WriterEntry* writer = nullptr;
    if (to.empty()) {
        if (inputs.size() != 2 || !output.empty()) {
            return commandfailure("",
                                  "give INPUT OUTPUT, or the inputs with --to TYPE (kru --help)");
        }
        conversions.emplace_back(inputs[0], inputs[1]);
    } else {
        if ((inputs.empty() && !request.batch) || (!output.empty() && inputs.size() != 1)) {
            return commandfailure(
                "", "with --to, name the inputs; -o names the output of a single input");
        }
        writer = findoutputtype(upcase(to));
        if (writer == nullptr) {
            return commandfailure("", unknowntypehint(to, TypeKind::output));
        }
        for (const std::string& input : inputs) {
            conversions.emplace_back(
                input, output.empty() ? outputname(input, *writer, request.folder) : output);
        }
    }
    if (!from.empty() && findinputtype(upcase(from)) == nullptr) {
        return commandfailure("", unknowntypehint(from, TypeKind::input));
    }

    if (request.batch || (writer != nullptr && output.empty() && inputs.size() > 1)) {
        if (!request.folder.empty()) {
            std::error_code ec;
            std::filesystem::create_directories(request.folder, ec);
            if (ec) {
                return commandfailure(request.folder, "cannot create the folder: " + ec.message());
            }
        }
        std::vector<BatchFile> files;
        for (const auto& [input, out] : conversions) {
            files.push_back({input, out});
        }
        Options settings = request.settings;
        settings.inputtype = from.empty() ? "" : upcase(from);
        settings.outputtype = upcase(to);
        return batchconvert(files, settings, request.processes);
    }

    int status = 0;
    for (const auto& [input, out] : conversions) {
        Options options = request.settings;
        options.inputfile = input;
        options.outputfile = out;
        if (!from.empty()) {
            options.inputtype = upcase(from);
        } else {
            const Detection d = detectinputtype(input);
            if (d.type.empty()) {
                status = std::max(status, commandfailure(input, d.reason));
                continue;
            }
            options.inputtype = std::string(d.type);
        }
        options.outputtype = !to.empty() ? upcase(to) : std::string(outputtypeforname(out));
        if (options.outputtype.empty()) {
            status = std::max(status,
                              commandfailure(out, "no output type has this file's extension; name "
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
