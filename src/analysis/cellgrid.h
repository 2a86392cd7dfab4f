// Atoms sorted into cubic cells, for searches by distance that look at a few cells around an
// atom instead of at every atom.
#pragma once

#include "store/store.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <optional>
#include <type_traits>
#include <vector>

// Atoms sorted into cubic cells of edge h, so that the pairs within a distance, and the nearest
// atoms of an atom, are found by looking at a few cells around it.
class CellGrid {
  public:
    CellGrid(const Store& s, const std::vector<int>& atoms, double edge) : h_(edge) {
        std::array<double, 3> hi{};
        lo_.fill(std::numeric_limits<double>::infinity());
        hi.fill(-std::numeric_limits<double>::infinity());
        for (int a : atoms) {
            const double* p = &s.xyz(1, a);
            for (std::size_t k = 0; k < 3; ++k) {
                lo_[k] = std::min(lo_[k], p[k]);
                hi[k] = std::max(hi[k], p[k]);
            }
        }
        for (std::size_t k = 0; k < 3; ++k) {
            extent_[k] = hi[k] - lo_[k];
        }
        // No atom at all (none with finite coordinates): one empty cell.
        if (atoms.empty()) {
            lo_ = {};
            extent_ = {};
        }
        // Few enough cells that empty ones cost little: at most four per atom.
        const double most = std::max(27.0, 4.0 * double(atoms.size()));
        while (cells(h_) > most) {
            h_ *= 1.5;
        }
        for (int k = 0; k < 3; ++k) {
            dim_[k] = int(extent_[k] / h_) + 1;
        }
        start_.assign(std::size_t(dim_[0]) * std::size_t(dim_[1]) * std::size_t(dim_[2]) + 1, 0);
        std::vector<std::size_t> cellofatom(atoms.size());
        for (std::size_t i = 0; i < atoms.size(); ++i) {
            cellofatom[i] = cellindex(cellof(s, atoms[i]));
            ++start_[cellofatom[i] + 1];
        }
        for (std::size_t c = 1; c < start_.size(); ++c) {
            start_[c] += start_[c - 1];
        }
        members_.resize(atoms.size());
        coords_.resize(3 * atoms.size());
        std::vector<int> fill(start_.begin(), start_.end() - 1);
        for (std::size_t i = 0; i < atoms.size(); ++i) {
            const std::size_t m = std::size_t(fill[cellofatom[i]]++);
            members_[m] = atoms[i];
            const double* p = &s.xyz(1, atoms[i]);
            std::copy(p, p + 3, &coords_[3 * m]);
        }
    }

    double edge() const { return h_; }
    /// Layers of cells along z.
    int layers() const { return dim_[2]; }
    int span() const { return std::max({dim_[0], dim_[1], dim_[2]}); }

    std::array<int, 3> cellof(const Store& s, int a) const {
        std::array<int, 3> c{};
        for (int k = 0; k < 3; ++k) {
            const double x = (s.xyz(k + 1, a) - lo_[k]) / h_;
            c[std::size_t(k)] = x >= double(dim_[k] - 1) ? dim_[k] - 1 : x <= 0.0 ? 0 : int(x);
        }
        return c;
    }

    // Calls f(b, xyz of b) for every atom b in the cells whose offset from cell c is at most
    // `shell` in each direction and exactly `shell` in at least one. The coordinates are kept
    // cell by cell, next to each other, and a cell lists its atoms in the order in which the
    // grid was given them; an f that returns false passes over the rest of the cell.
    template <class F> void shell(const std::array<int, 3>& c, int shell, F&& f) const {
        // Offsets limited to the grid, so a long thin grid costs no more than its cells.
        auto low = [&](int k) { return std::max(-shell, -c[std::size_t(k)]); };
        auto high = [&](int k) { return std::min(shell, dim_[k] - 1 - c[std::size_t(k)]); };
        for (int dx = low(0); dx <= high(0); ++dx) {
            for (int dy = low(1); dy <= high(1); ++dy) {
                const bool side = std::abs(dx) == shell || std::abs(dy) == shell;
                auto visit = [&](int dz) {
                    const std::size_t cell = cellindex({c[0] + dx, c[1] + dy, c[2] + dz});
                    for (int m = start_[cell]; m < start_[cell + 1]; ++m) {
                        const int b = members_[std::size_t(m)];
                        const double* xyz = &coords_[3 * std::size_t(m)];
                        if constexpr (std::is_same_v<decltype(f(b, xyz)), bool>) {
                            if (!f(b, xyz)) {
                                break;
                            }
                        } else {
                            f(b, xyz);
                        }
                    }
                };
                if (side) {
                    for (int dz = low(2); dz <= high(2); ++dz) {
                        visit(dz);
                    }
                } else {
                    if (-shell >= low(2)) {
                        visit(-shell);
                    }
                    if (shell <= high(2) && shell != 0) {
                        visit(shell);
                    }
                }
            }
        }
    }

    // Calls f(b, xyz of b) for every atom b in the 13 neighbouring cells that come after cell c
    // (the offset positive in the last direction in which it is not 0): a walk over all cells
    // then meets each pair of neighbouring cells once.
    template <class F> void laterneighbours(const std::array<int, 3>& c, F&& f) const {
        laterruns(c, [&](int from, int to) {
            for (int m = from; m < to; ++m) {
                f(members_[std::size_t(m)], &coords_[3 * std::size_t(m)]);
            }
        });
    }

    // Calls f(a, xyz of a, b, xyz of b) for every pair of atoms in the same or neighbouring
    // cells, each pair once, cell by cell: the pairs of a cell, then those with the 13
    // neighbouring cells that come after it. Once f returns false, the walk ends within the
    // atom's row of pairs.
    template <class F> void neighbourpairs(F&& f) const { neighbourpairs(f, 0, dim_[2]); }

    // The same for the cells of layers firstlayer to endlayer - 1 (along z), with their
    // neighbours.
    template <class F> void neighbourpairs(F&& f, int firstlayer, int endlayer) const {
        bool goon = true;
        auto across = [&](int from, int to, int otherfrom, int otherto) {
            for (int m = from; m < to && goon; ++m) {
                const int a = members_[std::size_t(m)];
                const double* pa = &coords_[3 * std::size_t(m)];
                for (int n = otherfrom; n < otherto; ++n) {
                    goon = f(a, pa, members_[std::size_t(n)], &coords_[3 * std::size_t(n)]) && goon;
                }
            }
        };
        for (int z = firstlayer; z < endlayer; ++z) {
            for (int y = 0; y < dim_[1]; ++y) {
                for (int x = 0; x < dim_[0]; ++x) {
                    const std::size_t cell = cellindex({x, y, z});
                    const int from = start_[cell];
                    const int to = start_[cell + 1];
                    if (from == to) {
                        continue;
                    }
                    for (int m = from + 1; m < to; ++m) {
                        across(m, m + 1, from, m);
                    }
                    laterruns({x, y, z}, [&](int first, int end) { across(from, to, first, end); });
                    if (!goon) {
                        return;
                    }
                }
            }
        }
    }

    // Calls f(b, xyz of b) for every atom b in the cells that may hold a point within distance
    // r of p (and for some more). The cells are taken row by row along x, and the atoms of a
    // row's cells lie next to each other, so each row is one sweep.
    template <class F> void ball(const std::array<double, 3>& p, double r, F&& f) const {
        // Measured in cells, with cells widened by a margin far above the rounding of cellof.
        constexpr double margin = 1e-6;
        std::array<double, 3> u{};
        for (std::size_t k = 0; k < 3; ++k) {
            u[k] = (p[k] - lo_[k]) / h_;
        }
        const double reach = r / h_ + margin;
        const double reach2 = reach * reach;
        auto range = [&](std::size_t k, double half, int& first, int& last) {
            const double from = u[k] - half;
            const double to = u[k] + half;
            first = from <= 0.0 ? 0 : from >= double(dim_[k]) ? dim_[k] : int(from);
            last = to < 0.0 ? -1 : to >= double(dim_[k] - 1) ? dim_[k] - 1 : int(to);
        };
        auto gap = [&](std::size_t k, int cell) {
            return std::max({double(cell) - u[k] - margin, u[k] - double(cell + 1) - margin, 0.0});
        };
        int z0 = 0, z1 = 0;
        range(2, reach, z0, z1);
        for (int z = z0; z <= z1; ++z) {
            const double gz = gap(2, z);
            const double restz = reach2 - gz * gz;
            int y0 = 0, y1 = 0;
            range(1, std::sqrt(std::max(restz, 0.0)), y0, y1);
            for (int y = y0; y <= y1; ++y) {
                const double gy = gap(1, y);
                const double rest = restz - gy * gy;
                if (rest < 0.0) {
                    continue;
                }
                int x0 = 0, x1 = 0;
                range(0, std::sqrt(rest), x0, x1);
                if (x0 > x1) {
                    continue;
                }
                const int from = start_[cellindex({x0, y, z})];
                const int to = start_[cellindex({x1, y, z}) + 1];
                for (int m = from; m < to; ++m) {
                    f(members_[std::size_t(m)], &coords_[3 * std::size_t(m)]);
                }
            }
        }
    }

    // Distance from p (in cell c) to the nearest point outside the cells within `shell` of c,
    // less a rounding margin: no atom of a farther shell is nearer. Infinite once the shells
    // cover the whole grid.
    double clearance(const std::array<double, 3>& p, const std::array<int, 3>& c, int shell) const {
        double d = std::numeric_limits<double>::infinity();
        for (int k = 0; k < 3; ++k) {
            const int below = c[std::size_t(k)] - shell;
            const int above = c[std::size_t(k)] + shell + 1;
            if (below > 0) {
                d = std::min(d, p[std::size_t(k)] - (lo_[k] + double(below) * h_));
            }
            if (above < dim_[k]) {
                d = std::min(d, lo_[k] + double(above) * h_ - p[std::size_t(k)]);
            }
        }
        return d - 1e-6 * h_;
    }

  private:
    double cells(double h) const {
        return (extent_[0] / h + 1.0) * (extent_[1] / h + 1.0) * (extent_[2] / h + 1.0);
    }
    // Calls g(first, end) for the runs of the lists that hold the atoms of the 13 neighbouring
    // cells after cell c, in the order of laterneighbours: cells next to each other along x lie
    // next to each other in the lists, so they are the next cell of the row and three cells of
    // four rows.
    template <class G> void laterruns(const std::array<int, 3>& c, G&& g) const {
        const auto [x, y, z] = c;
        if (x + 1 < dim_[0]) {
            const std::size_t next = cellindex(c) + 1;
            g(start_[next], start_[next + 1]);
        }
        const int x0 = std::max(x - 1, 0);
        const int x1 = std::min(x + 1, dim_[0] - 1);
        auto row = [&](int yy, int zz) {
            if (yy >= 0 && yy < dim_[1] && zz < dim_[2]) {
                g(start_[cellindex({x0, yy, zz})], start_[cellindex({x1, yy, zz}) + 1]);
            }
        };
        row(y + 1, z);
        row(y - 1, z + 1);
        row(y, z + 1);
        row(y + 1, z + 1);
    }

    std::size_t cellindex(const std::array<int, 3>& c) const {
        return std::size_t(c[0]) +
               std::size_t(dim_[0]) *
                   (std::size_t(c[1]) + std::size_t(dim_[1]) * std::size_t(c[2]));
    }

    double h_;
    std::array<double, 3> lo_{};
    std::array<double, 3> extent_{};
    std::array<int, 3> dim_{};
    std::vector<int> start_;
    std::vector<int> members_;
    std::vector<double> coords_;
};

// A grid over the atoms of `order` that have finite coordinates, each cell listing them in that
// order; none when one of them lies beyond any molecule's size (1e12 Bohr), where the cell
// arithmetic would overflow and a search must look at every atom instead.
inline std::optional<CellGrid> finitegrid(const Store& s, const std::vector<int>& order,
                                          double edge) {
    std::vector<int> atoms;
    for (int a : order) {
        const double x = s.xyz(1, a), y = s.xyz(2, a), z = s.xyz(3, a);
        if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(z)) {
            continue;
        }
        if (std::max({std::abs(x), std::abs(y), std::abs(z)}) > 1e12) {
            return std::nullopt;
        }
        atoms.push_back(a);
    }
    return CellGrid(s, atoms, edge);
}
