#include "analysis/analysis.h"
#include "control/control.h"
#include "control/files.h"
#include "control/fixedwidth.h"
#include "teststore.h"
#include "writers/writers.h"

#include <gtest/gtest.h>

#include <numeric>

#include <algorithm>
#include <cmath>
#include <random>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// Frames of a few lines each, some failing (by result or by exception) and some empty: the
// frames before the first failure are written whole and in order, nothing after it, also when
// the frames run far beyond those made ahead.
TEST(Writeframesinorder, FramesInOrderUpToTheFirstFailure) {
    std::mt19937 rng(11);
    for (int trial = 0; trial < 300; ++trial) {
        const std::size_t n = rng() % 40;
        std::vector<int> lines(n);
        std::size_t firstfailure = n;
        for (std::size_t k = 0; k < n; ++k) {
            lines[k] = int(rng() % 4);
            if (rng() % 50 == 0 && firstfailure == n) {
                firstfailure = k;
            }
        }
        const bool throws = rng() % 2 == 0;
        std::string want;
        for (std::size_t k = 0; k < firstfailure; ++k) {
            for (int l = 0; l < lines[k]; ++l) {
                want += "frame " + std::to_string(k) + " line " + std::to_string(l) + "\n";
            }
        }
        OutputFile out;
        const std::size_t written = writeframesinorder(
            out, n, trial % 4 != 0, trial % 3 == 0 ? FrameWrites::whole : FrameWrites::linebyline,
            [&](std::size_t k, std::string& text, bool) {
                for (int l = 0; l < lines[k]; ++l) {
                    text += "frame " + std::to_string(k) + " line " + std::to_string(l) + "\n";
                }
                if (k == firstfailure && throws) {
                    throw std::runtime_error("failed");
                }
                return k != firstfailure;
            });
        ASSERT_EQ(written, firstfailure);
        ASSERT_EQ(out.str(), want);
    }
}

// Records written one line at a time, as the writers wrote them before they made frames.
void recordbyrecord(OutputFile& out, const std::string& records) {
    std::istringstream lines(records);
    for (std::string line; std::getline(lines, line);) {
        out.line(line);
    }
}

// The multi-model writer as one thread writes it, model by model into the store itself.
void onethread(Store& s, OutputFile& out) {
    const std::vector<long long> frames = trajectoryframes(s);
    for (std::size_t k = 0; k < frames.size(); ++k) {
        const long long g = frames[k];
        std::string head = "MODEL ";
        fw::I(head, s.modelstart + g, 6);
        out.line(head);
        for (int p = 1; p <= s.nat; ++p) {
            const int a = s.iorder(p, 2);
            std::string record;
            pdbhetatm(s, record, a, {s.xgeo(1, a, g), s.xgeo(2, a, g), s.xgeo(3, a, g)});
            recordbyrecord(out, record);
        }
        for (int a = 1; a <= s.nat; ++a) {
            for (int c = 1; c <= 3; ++c) {
                s.xyz(c, a) = s.xgeo(c, a, g);
            }
        }
        make_iconn(s, k + 1 == frames.size());
        std::string records;
        pdbconect(s, records, 1, s.nat);
        recordbyrecord(out, records);
        out.line("ENDMDL");
    }
}

struct Written {
    std::string text, log, failure;
};

Written writeall(Store& s, bool reference) {
    std::ostringstream log;
    s.context.log = &log;
    Written w;
    OutputFile out;
    try {
        if (reference) {
            onethread(s, out);
        } else {
            writemovpdb(s, out);
        }
    } catch (const RunError& e) {
        w.failure = e.what();
    }
    w.text = out.str();
    w.log = log.str();
    return w;
}

// Random trajectories of crowded and sparse atoms, in any output order and range, against the
// writer of one thread: the same file, the same store afterwards, and where a model gives an
// atom too many partners the same failure after the same records.
TEST(Writemovpdb, SameAsOneThreadOnRandomTrajectories) {
    std::mt19937 rng(3);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const int elements[] = {1, 6, 8, 0, 26};
    for (int trial = 0; trial < 90; ++trial) {
        // Every third trajectory large enough for two threads.
        const bool large = trial % 3 == 0;
        const int nat = large ? 200 + int(rng() % 200) : 1 + int(rng() % 30);
        const int ngeom = large ? 15 + int(rng() % 15) : 1 + int(rng() % 14);
        const int crowdedframe = rng() % 3 == 0 ? 1 + int(rng() % ngeom) : 0;
        Store s;
        s.ngeom = ngeom;
        std::vector<testing_store::Atom> atoms;
        std::vector<int> order;
        for (int a = 1; a <= nat; ++a) {
            atoms.push_back({elements[rng() % 5], 0.0, 0.0, 0.0, {}});
            order.push_back(a);
        }
        std::shuffle(order.begin(), order.end(), rng);
        testing_store::build(s, atoms, order);
        for (int g = 1; g <= ngeom; ++g) {
            // A crowded model puts every atom within bonding distance of every other.
            const double box = g == crowdedframe ? 0.8 : std::cbrt(nat / (0.01 + 0.1 * unit(rng)));
            for (int a = 1; a <= nat; ++a) {
                for (int c = 1; c <= 3; ++c) {
                    s.xgeo(c, a, g) = box * unit(rng) / angstrom_per_bohr;
                }
            }
        }
        s.idoftl = long(rng() % 2);
        s.modelstart = long(rng() % 3);
        s.idrange = {long(rng() % 3), rng() % 2 == 0 ? 0 : long(rng() % (ngeom + 1))};

        Store reference = s;
        const Written want = writeall(reference, true);
        const Written got = writeall(s, false);
        ASSERT_EQ(got.failure, want.failure) << "trial " << trial;
        ASSERT_EQ(got.text, want.text) << "trial " << trial;
        ASSERT_EQ(got.log, want.log) << "trial " << trial;
        if (!want.failure.empty()) {
            continue;
        }
        for (int a = 1; a <= nat; ++a) {
            for (int c = 1; c <= 3; ++c) {
                ASSERT_EQ(s.xyz(c, a), reference.xyz(c, a));
            }
            for (int k = 0; k <= maxconn; ++k) {
                ASSERT_EQ(s.iconn(k, a), reference.iconn(k, a));
            }
            for (int k = 0; k <= maxnear; ++k) {
                ASSERT_EQ(s.inear(k, a), reference.inear(k, a));
            }
            for (int k = 1; k <= maxnear; ++k) {
                ASSERT_EQ(s.rnear(k, a), reference.rnear(k, a));
            }
        }
    }
}

// A random store of nat atoms with random coordinates (within 20 Angstrom, some 1000 times
// farther), elements, output order, labels and bonded partners (up to 14, beyond the 12 written).
Store randomrecords(std::mt19937& rng, int nat, int ngeom) {
    Store s;
    s.nat = nat;
    s.ngeom = ngeom;
    allocstuff(s);
    std::uniform_real_distribution<double> place(-20.0, 20.0);
    std::vector<int> order(static_cast<std::size_t>(nat));
    std::iota(order.begin(), order.end(), 1);
    std::shuffle(order.begin(), order.end(), rng);
    for (int a = 1; a <= nat; ++a) {
        s.iat(a) = 1 + int(rng() % 98);
        s.iorder(a, 2) = order[std::size_t(a - 1)];
        s.iatmol(a) = int(rng() % 20000);
        std::string label = "C";
        label += std::to_string(rng() % 1000);
        s.atdescr(a) = fixedtext(label, 10);
        for (int c = 1; c <= 3; ++c) {
            const double far = rng() % 50 == 0 ? 1000.0 : 1.0;
            s.xyz(c, a) = far * place(rng) / angstrom_per_bohr;
            for (int g = 1; g <= ngeom; ++g) {
                s.xgeo(c, a, g) = far * place(rng) / angstrom_per_bohr;
            }
        }
        s.iconn(0, a) = int(rng() % 15);
        for (int k = 1; k <= s.iconn(0, a); ++k) {
            s.iconn(k, a) = 1 + int(rng() % std::uint32_t(nat));
        }
    }
    return s;
}

// The PDB and XYZ trajectory writers in blocks and frames against their records written one
// after another: small stores (one thread) and large ones (two).
TEST(Writepdb, BlocksInTwoThreadsSameAsOneAfterAnother) {
    std::mt19937 rng(21);
    for (const int nat : {1, 7, 8191, 8192, 8193, 20000}) {
        Store s = randomrecords(rng, nat, 1);
        std::string want;
        for (int p = 1; p <= s.nat; ++p) {
            const int a = s.iorder(p, 2);
            pdbhetatm(s, want, a, point(s.xyz, a));
        }
        pdbconect(s, want, 1, s.nat);
        OutputFile got;
        writepdb(s, got);
        ASSERT_EQ(got.str(), want) << nat << " atoms";
    }
}

TEST(Writemovxyz, FramesInTwoThreadsSameAsOneAfterAnother) {
    std::mt19937 rng(22);
    for (const int nat : {1, 5, 300, 3000}) {
        for (const int ngeom : {1, 2, 17}) {
            Store s = randomrecords(rng, nat, ngeom);
            s.idoftl = long(rng() % 2);
            OutputFile want;
            for (const long long g : trajectoryframes(s)) {
                std::string head = " ";
                fw::I(head, s.nat, 20);
                want.line(head);
                want.line(" XYZ file written by KRU");
                for (int p = 1; p <= s.nat; ++p) {
                    const int a = s.iorder(p, 2);
                    std::string line(atomsymbol(s.iat(a)));
                    for (int c = 1; c <= 3; ++c) {
                        line += "  ";
                        fw::F(line, s.xgeo(c, a, g) * angstrom_per_bohr, 16, 8);
                    }
                    want.line(line);
                }
            }
            OutputFile got;
            writemovxyz(s, got);
            ASSERT_EQ(got.str(), want.str()) << nat << " atoms, " << ngeom << " geometries";
        }
    }
}

} // namespace
