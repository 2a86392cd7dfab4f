// Reads the keyword control input. Keywords count only in upper case at column 1, tried in a
// fixed order where the first match acts; the type field sits in columns 5 to 10 and file
// names start at a fixed column.
#include "control/control.h"
#include "control/files.h"
#include "control/freeread.h"
#include "store/store.h"

#include <filesystem>
#include <iostream>
#include <istream>

namespace {

constexpr std::size_t filenamelength = 100;

// Columns 5 to 10, upper-cased and left-justified in 6 characters.
std::string typefield(std::string_view rec) {
    return fixedtext(trimleft(upcase(rec.substr(4, 6))), 6);
}

// A file name from the given column to the end of the record, left-justified.
std::string filefield(std::string_view rec, std::size_t column) {
    const std::string_view name = trimright(trimleft(rec.substr(column - 1)));
    if (name.size() > filenamelength) {
        myexit("File name longer than 100 characters", "processinput");
    }
    return fixedtext(name, filenamelength);
}

bool starts(std::string_view rec, std::string_view keyword) {
    return rec.starts_with(keyword);
}

// Identities whose job scripts use the alternative settings. The first is compared on its
// first 11 characters only, so a longer line still matches; the others on the whole line.
bool useridentity(std::string_view rec) {
    const std::string up = upcase(rec);
    return std::string_view(up).substr(0, 11) == "USER ALTER " ||
           trimright(up) == "USER ALTERNATE" || trimright(up) == "USER MASSIE";
}

void keyword(Store& s, std::string_view rec) {
    if (starts(rec, "IN")) {
        s.inputtype = typefield(rec);
        s.inputfile = filefield(rec, 12);
    } else if (starts(rec, "OUT")) {
        s.outputtype = typefield(rec);
        s.outputfile = filefield(rec, 12);
    } else if (starts(rec, "ISOTP")) {
        s.lisotp = true;
        s.nisotp = 0;
        s.isotpfile = filefield(rec, 7);
    } else if (starts(rec, "MODELSTART")) {
        s.modelstart = freerd(rec).fndintegers(1);
    } else if (starts(rec, "IDOFTL")) {
        s.idoftl = freerd(rec).fndintegers(1) >= 1 ? 1 : 0;
    } else if (starts(rec, "ORDER")) {
        const FreeRead f = freerd(rec);
        if (f.nfndt >= 2) {
            if (f.fndlength(2) > int(filenamelength)) {
                myexit("File name longer than 100 characters", "processinput");
            }
            if (f.fndlength(2) > FreeRead::maxstring) {
                myexit("File name longer than 80 characters", "processinput");
            }
            s.inporder = true;
            s.inporderfile = fixedtext(f.fndstrings(2), filenamelength);
        }
    } else if (starts(rec, "ORIENT")) {
        const FreeRead f = freerd(rec);
        if (f.nfndi >= 3) {
            s.idorient = {f.fndintegers(1), f.fndintegers(2), f.fndintegers(3)};
            s.reorient = true;
        }
    } else if (starts(rec, "RANGE")) {
        const FreeRead f = freerd(rec);
        if (f.nfndi >= 2) {
            s.idrange = {f.fndintegers(1), f.fndintegers(2)};
        }
    } else if (starts(rec, "MXVIBS")) {
        s.mxvibs = freerd(rec).fndintegers(1);
    } else if (starts(rec, "FRQR")) {
        const FreeRead f = freerd(rec);
        s.rminfrq = f.fndreals(1);
        s.rmaxfrq = f.fndreals(2);
    } else if (starts(rec, "SYS")) {
        s.systemtype = typefield(rec);
    } else if (starts(rec, "REORDER")) {
        s.reorder = true;
    } else if (starts(rec, "DEBUG")) {
        s.verbose = true;
        s.debug = true;
    } else if (starts(rec, "VERBOSE")) {
        s.verbose = true;
    } else if (starts(rec, "KMATRIX")) {
        s.newkmatrix = true;
        s.kmatrixfile = filefield(rec, 9);
    } else if (starts(rec, "JOB")) {
        s.job = freerd(rec).fndintegers(1);
    } else if (starts(rec, "IDGEO ")) {
        s.idgeo = freerd(rec).fndintegers(1);
    } else if (starts(rec, "DISTORTSEL")) {
        s.distortsel = fixedtext(freerd(rec).fndstrings(2), 6);
    } else if (starts(rec, "FDISTORT")) {
        s.fdistort = freerd(rec).fndreals(1);
    } else if (starts(rec, "NOLT")) {
        s.nolt = upcase(freerd(rec).fndstrings(2)) == "TRUE";
    } else if (starts(rec, "IDTSRC")) {
        s.idtsrc = freerd(rec).fndintegers(1);
    } else if (useridentity(rec)) {
        s.massie = true;
    }
}

bool exists(std::string_view name) {
    if (name.empty()) {
        return false;
    }
    std::error_code ec;
    return std::filesystem::exists(std::filesystem::path(name), ec);
}

} // namespace

void processinput(Store& s, std::istream& control) {
    std::string line;
    while (std::getline(control, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        keyword(s, record(line));
    }
    if (s.newkmatrix) {
        s.reorder = false; // a K-matrix file fixes the order
    }
    const std::string_view name = trimright(s.inputfile);
    if (!exists(name)) {
        std::cout << "Inputfile " << name << " of type " << s.inputtype << " does not exist\n";
        myexit("Inputfile does not exist", "processinput");
    }
}
