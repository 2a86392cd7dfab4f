// The usage text of `kru --help`, made from the keyword and type tables so it cannot drift from
// what the program does.
#include "control/control.h"
#include "control/dispatch.h"

namespace {

void row(std::string& out, std::string_view name, std::string_view text, std::size_t width) {
    out += "  ";
    out += name;
    out.append(name.size() < width ? width - name.size() : 1, ' ');
    out += text;
    out += '\n';
}

} // namespace

std::string helptext() {
    std::string h;
    h += "Usage: kru < CONTROL\n"
         "       kru CONTROL\n"
         "       kru plot INPUT... OUTPUT.svg [--what energy|ir|both] [--width W]\n"
         "       kru --help | --version\n"
         "\n"
         "Converts the molecule in one file into another form. The control input names the\n"
         "files and switches, one keyword per line, upper case from column 1; the first keyword\n"
         "that starts a line acts and other lines are ignored. Types stand in columns 5-10,\n"
         "file names from column 12 (at most 100 characters), for example:\n"
         "\n"
         "IN  XYZ    molecule.xyz\n"
         "OUT MOLDEN molecule.molden\n"
         "ORIENT 1 2 3\n"
         "\n"
         "Numbers without a decimal point are integers, with one reals; a keyword that wants\n"
         "one kind ignores the other.\n"
         "\n"
         "Keywords (default in brackets):\n";
    for (const KeywordEntry& k : keywords()) {
        std::string text(k.what);
        if (!k.arguments.empty()) {
            text = std::string(k.arguments) + ": " + text;
        }
        text += " [" + std::string(k.byDefault) + "]";
        row(h, trimright(k.keyword), text, 12);
    }
    row(h, "USER", "identity: alternative job-script settings for the known identities [off]", 12);
    h += "\nInput types:\n";
    for (const ReaderEntry& r : inputtypes()) {
        row(h, r.type, r.what, 8);
    }
    h += "\nOutput types:\n";
    for (const WriterEntry& w : outputtypes()) {
        row(h, w.type, w.what, 8);
    }
    h += "\nkru plot draws the energy profiles (kcal/mol against the step, relative to each run's\n"
         "first energy; one point per scan point of a relaxed scan) of the inputs together and\n"
         "their infrared spectra (sticks and a Lorentzian curve of half-width W, 10 cm-1 by\n"
         "default) as one SVG picture; the output type PLOT draws the same for one run.\n";
    h +=
        "\nA failed run prints the error banner on standard output, \"STOP End of program because\n"
        "of an error\" on standard error, and exits with status 1.\n";
    return h;
}
