// Reads an ORCA output: the atom count, every Cartesian coordinate block of the chosen run as one
// geometry of the sequence with the final single-point energy printed after it, and the
// vibrations of its frequency section (frequencies, normal modes, IR intensities). The selected
// geometry becomes the final structure.
#include "control/control.h"
#include "control/files.h"
#include "control/freeread.h"
#include "control/markedlines.h"
#include "readers/readers.h"
#include "store/atominfo.h"
#include "store/store.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <ostream>
#include <string>
#include <vector>

namespace {

// The markers of the output, found in one pass over each line; one that ends in blanks is also
// found at the end of a shorter line.
enum Marker : std::uint64_t {
    banner = 1,
    atomcount = 2,
    coordinates = 4,
    finalenergy = 8,
    frequencies = 16,
    normalmodes = 32,
    irspectrum = 64,
    terminated = 128,
    keywordline = 256,
    totalcharge = 512,
    multiplicity = 1024,
};
MarkerSet markers() {
    return MarkerSet{" O   R   C   A ",
                     "Number of atoms",
                     "CARTESIAN COORDINATES (ANGSTROEM)",
                     "FINAL SINGLE POINT ENERGY",
                     "VIBRATIONAL FREQUENCIES",
                     "NORMAL MODES",
                     "IR SPECTRUM",
                     "ORCA TERMINATED NORMALLY",
                     "> !",
                     "Total Charge",
                     "Multiplicity"};
}

constexpr std::uint64_t sectionmarkers = frequencies | normalmodes | irspectrum;

// A section heading stands at the start of its line, so that a sentence naming the section is
// not taken for it.
bool heading(std::string_view line, std::uint64_t found) {
    const std::size_t start = line.find_first_not_of(' ');
    if (start == std::string_view::npos) {
        return false;
    }
    line.remove_prefix(start);
    return ((found & frequencies) && line.starts_with("VIBRATIONAL FREQUENCIES")) ||
           ((found & normalmodes) && line.starts_with("NORMAL MODES")) ||
           ((found & irspectrum) && line.starts_with("IR SPECTRUM"));
}

// The element of an atom line's label: "J." is dropped without a mark, and a suffix after a
// "." is cut ("C.1" is carbon). There is no ghost-atom form here.
int orcaelement(std::ostream& log, const FreeRead& f, std::string_view line) {
    std::string label = fixedtext(upcase(f.fndstrings(1)), FreeRead::maxstring);
    if (label.starts_with("J.")) {
        label = fixedtext(label.substr(2), FreeRead::maxstring);
    }
    const std::size_t dot = label.find('.');
    if (dot != std::string::npos) {
        label.replace(dot, std::string::npos, label.size() - dot, ' ');
    }
    const int z = elementnumber(label);
    if (z == 0) {
        unknownatomlabel(log, "", label, line, "readvesko->xyz");
    }
    return z;
}

// One coordinate block after its marker line: the underline, then nat atom lines, into xyztmp.
// The labels are decoded only from the first block; later blocks keep that atom order. False
// when the file ends inside the block, which is then not stored.
bool readblock(Store& s, InputFile& in, bool decode) {
    std::string_view line;
    if (!in.getline(line)) {
        s.log() << "premature end of ORCA output file while reading Geom.Upd. Continuing...\n";
        return false;
    }
    for (int i = 1; i <= s.nat; ++i) {
        if (!in.getline(line)) {
            s.log() << "premature end of ADF output file while reading Geom.Upd. Continuing...\n";
            return false;
        }
        const FreeRead f = freerd(line);
        for (int k = 1; k <= 3; ++k) {
            s.xyztmp(k, i) = f.fndreals(k) / angstrom_per_bohr;
        }
        if (decode) {
            s.iat(i) = orcaelement(s.log(), f, line);
            s.inpcoor = 1;
        }
    }
    return true;
}

// The mode number that keys a frequency or IR row ("  6:" and numbers after it), or -1 when the
// line is no such row. ORCA numbers the modes from 0; a number too long for an int is kept as
// INT_MAX, which no table reaches.
int rowkey(const FreeRead& f) {
    if (f.nfndr < 1 || f.fndorder(1).kind != FieldKind::string) {
        return -1;
    }
    const std::string_view key = f.fndstrings(1);
    if (key.size() < 2 || key.back() != ':') {
        return -1;
    }
    long long number = 0;
    for (const char c : key.substr(0, key.size() - 1)) {
        if (c < '0' || c > '9') {
            return -1;
        }
        number = std::min<long long>(number * 10 + (c - '0'), INT_MAX);
    }
    return int(number);
}

// The frequency section as the two passes walk it: the frequency rows, the normal-mode blocks
// (a header of mode numbers, with symmetry a row of irrep labels, then one row per Cartesian
// coordinate) and the IR rows. All 3N modes are kept under ORCA's numbers (mode m at m + 1)
// until the end, when the translations and rotations are dropped.
class Vibrations {
  public:
    enum class Section { none, frequencies, modes, intensities };

    /// A section heading: the lines that follow belong to it.
    void open(Section section) {
        section_ = section;
        rowsbegun_ = false;
        afterheader_ = false;
        columns_ = 0;
        intensitycolumn_ = 0;
        if (section == Section::frequencies) {
            printed_ = 0;
        }
    }
    void close() { section_ = Section::none; }
    bool inside() const { return section_ != Section::none; }

    /// First pass: counts the frequency rows of the latest frequency section.
    void count(std::string_view line) {
        if (section_ == Section::frequencies && frequencyrow(freerd(line))) {
            ++printed_;
        }
    }
    int printed() const { return printed_; }

    /// Second pass, at a frequency heading: forgets any earlier section's modes and notes
    /// whether the molecule of the latest geometry is linear.
    void start(Store& s) {
        std::fill(rowsread_.begin(), rowsread_.end(), 0);
        for (int m = 1; m <= s.nvib; ++m) {
            s.vibs(m) = 0.0;
            s.frqintns(m) = 0.0;
        }
        linear_ = s.ngeom >= 1 ? linearmolecule(s, s.ngeom) : s.nat <= 2;
    }

    /// Second pass: one line of the open section. Rows for modes beyond the tables the first
    /// pass sized, or for coordinates beyond the atoms, are passed over.
    void store(Store& s, std::string_view line) {
        const FreeRead f = freerd(line);
        switch (section_) {
        case Section::frequencies:
            if (frequencyrow(f)) {
                const int m = rowkey(f);
                if (m < s.nvib) {
                    s.vibs(m + 1) = f.fndreals(1);
                    printed_ = std::max(printed_, m + 1);
                }
            }
            break;
        case Section::modes:
            modeline(s, f);
            break;
        case Section::intensities:
            intensityline(s, f);
            break;
        case Section::none:
            break;
        }
    }

    /// Second pass, at the end: the modes after the first six (five for a linear molecule)
    /// become modes 1, 2, ...; only the leading ones read in full are kept.
    void finish(Store& s) {
        const int skip = std::min(linear_ ? 5 : 6, printed_);
        int kept = 0;
        while (skip + kept < printed_ && rowsread_[std::size_t(skip + kept)] >= 3LL * s.nat) {
            ++kept;
        }
        for (int m = 1; m <= kept; ++m) {
            s.vibs(m) = s.vibs(skip + m);
            s.frqintns(m) = s.frqintns(skip + m);
            for (int a = 1; a <= s.nat; ++a) {
                for (int k = 1; k <= 3; ++k) {
                    s.vibvec(k, a, m) = s.vibvec(k, a, skip + m);
                }
            }
        }
        if (skip + kept < printed_) {
            s.log() << " The normal modes end early: " << kept << " of the " << printed_ - skip
                    << " vibrations are read in full and kept.\n";
        }
        s.nvib = kept;
    }

    /// Between the passes: room to count the rows of each mode.
    void size(const Store& s) { rowsread_.assign(std::size_t(s.nvib), 0); }

  private:
    // A frequency row is passed over before the first; after it, the first other line that is
    // not blank ends the section.
    bool frequencyrow(const FreeRead& f) {
        if (rowkey(f) >= 0) {
            rowsbegun_ = true;
            return true;
        }
        if (rowsbegun_ && f.nfndt > 0) {
            close();
        }
        return false;
    }

    void modeline(Store& s, const FreeRead& f) {
        if (f.nfndt == 0) {
            return;
        }
        if (f.nfndi == f.nfndt) {
            // A header: the mode numbers of the block's columns, however many there are.
            columns_ = std::min(f.nfndi, FreeRead::maxfields);
            for (int j = 1; j <= columns_; ++j) {
                columnmode_[std::size_t(j - 1)] = f.fndintegers(j);
            }
            rowsbegun_ = true;
            afterheader_ = true;
            return;
        }
        // A row: the coordinate's number, then its displacement in each mode of the block.
        const bool row =
            f.fndorder(1).kind == FieldKind::integer && f.nfndi == 1 && f.nfndr == f.nfndt - 1;
        const bool irreps = afterheader_ && f.nfnds == f.nfndt;
        afterheader_ = false;
        if (row && columns_ > 0) {
            storerow(s, f);
        } else if (!irreps && rowsbegun_) {
            close();
        }
    }

    void storerow(Store& s, const FreeRead& f) {
        const long long coordinate = f.fndintegers(1);
        if (coordinate < 0 || coordinate >= 3LL * s.nat) {
            return;
        }
        const int atom = int(coordinate / 3) + 1;
        const int k = int(coordinate % 3) + 1;
        for (int j = 1; j <= std::min(f.nfndr, columns_); ++j) {
            const long long m = columnmode_[std::size_t(j - 1)];
            if (m >= 0 && m < s.nvib) {
                s.vibvec(k, atom, int(m) + 1) = f.fndreals(j);
                ++rowsread_[std::size_t(m)];
            }
        }
    }

    void intensityline(Store& s, const FreeRead& f) {
        if (intensitycolumn_ == 0 && f.nfnds == f.nfndt && f.fndstrings(1) == "Mode") {
            // The Int column (km/mol) among the numbers of a row that follow the mode key.
            for (int j = 2; j <= f.nfnds; ++j) {
                if (f.fndstrings(j) == "Int") {
                    intensitycolumn_ = j - 1;
                }
            }
            return;
        }
        const int m = rowkey(f);
        if (m < 0) {
            if (rowsbegun_ && f.nfndt > 0) {
                close();
            }
            return;
        }
        rowsbegun_ = true;
        if (m < s.nvib && intensitycolumn_ > 0) {
            s.frqintns(m + 1) = f.fndreals(intensitycolumn_);
        }
    }

    Section section_ = Section::none;
    bool rowsbegun_ = false;   // the section's first row (or mode header) has been read
    bool afterheader_ = false; // the line before was a mode header
    int columns_ = 0;          // modes of the current block
    std::array<long long, FreeRead::maxfields> columnmode_{};
    int intensitycolumn_ = 0; // the Int value's place among a row's reals; 0 unknown
    int printed_ = 0;         // modes of the latest frequency section: 3N
    bool linear_ = false;
    std::vector<int> rowsread_; // per mode, the coordinate rows read
};

Vibrations::Section sectionof(std::uint64_t found) {
    if (found & frequencies) {
        return Vibrations::Section::frequencies;
    }
    return (found & normalmodes) ? Vibrations::Section::modes : Vibrations::Section::intensities;
}

} // namespace

void readorca(Store& s, InputFile& in) {
    std::string_view line;
    int counted = 0; // coordinate blocks of the first pass: the room in the geometry tables
    long long declaredatoms = 0; // as the file states it, beyond what nat holds
    s.nat = 0;
    in.rewind();
    const MarkerSet set = markers();
    RunFilter runs(s);
    Vibrations vib;
    MarkedLines marked(in, set);
    std::uint64_t found = 0;
    // Only the lines of a frequency section are read whether or not they hold a marker.
    while (marked.next(line, found, vib.inside())) {
        if (!runs.counting(found & banner)) {
            continue;
        }
        if (found & banner) {
            // With JOB 0 the last run's counts stand.
            counted = 0;
            s.nvib = 0;
            vib.close();
        } else if (found & atomcount) {
            declaredatoms = freerd(line).fndintegers(1);
            s.nat = clampint(declaredatoms);
        } else if (found & coordinates) {
            ++counted;
        } else if ((found & sectionmarkers) && heading(line, found)) {
            vib.open(sectionof(found));
        } else if (vib.inside()) {
            vib.count(line);
            s.nvib = std::max(s.nvib, vib.printed());
        }
    }
    // A negative count is no more an atom count than 0 is.
    if (s.nat <= 0) {
        s.log() << "NAT is 0 (zerooooo!!!) stopping now ...\n";
        myexit("No ATOMS found", "readorca");
    }
    s.ngeom = counted;
    sizestore(s, in, "readorca", declaredatoms);
    runs.select();
    vib = Vibrations{};
    vib.size(s);
    s.ngeom = 0;
    GeometrySequence seq(s, "readorca");
    bool decoded = false;
    bool finished = false;
    while (marked.next(line, found, vib.inside())) {
        if (!runs.reading(found & banner)) {
            continue;
        }
        if (found & banner) {
            vib.close();
            s.runkeywords.clear();
        } else if (found & keywordline) {
            // "|  1> ! B3LYP def2-SVP Opt" of the input echo, one "!" line per line.
            const std::size_t bang = line.find("> !");
            s.runkeywords += (s.runkeywords.empty() ? "" : "\n");
            s.runkeywords += trimright(line.substr(bang + 2));
        } else if (found & (totalcharge | multiplicity)) {
            // "Total Charge  Charge  ....  0" and "Multiplicity  Mult  ....  1" of the SCF
            // settings.
            const FreeRead f = freerd(line);
            const std::string_view first = f.nfnds >= 1 ? f.fndstrings(1) : "";
            if (f.nfndi >= 1 && (first == "Total" || first == "Multiplicity")) {
                const long long value = f.fndintegers(f.nfndi);
                if (found & totalcharge) {
                    s.runcharge = clampint(value);
                } else if (value >= 1) {
                    s.runmult = clampint(value);
                }
            }
        } else if (found & coordinates) {
            if (readblock(s, in, !decoded)) {
                decoded = true;
                seq.append();
            }
        } else if (found & finalenergy) {
            const FreeRead f = freerd(line);
            if (f.nfndr >= 1) {
                seq.energy(f.fndreals(1));
            }
        } else if (found & terminated) {
            finished = true;
        } else if ((found & sectionmarkers) && heading(line, found)) {
            vib.open(sectionof(found));
            if (found & frequencies) {
                vib.start(s);
            }
        } else if (vib.inside()) {
            vib.store(s, line);
        }
    }
    seq.finish();
    // Without one whole block the atoms would have no elements and no coordinates.
    if (!decoded) {
        myexit("No coordinates found", "readorca");
    }
    vib.finish(s);
    const int g = selectgeometry(s);
    if (!finished) {
        noteunfinished(s, g);
    }
}
