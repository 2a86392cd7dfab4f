// Several files' facts as a table, a row each, the columns as wide as their widest entry; then
// the energy profile of each run with several geometries.
#include "control/commands.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <vector>

namespace {

constexpr std::size_t columns = 11;
using Row = std::array<std::string, columns>;

} // namespace

std::string infotable(std::span<const FileFacts> facts) {
    std::vector<Row> rows{{"file", "type", "version", "atoms", "formula", "geoms", "energy/Eh",
                           "ended", "converged", "freqs", "lowest/imag"}};
    std::vector<std::size_t> failed; // rows of files that could not be read
    for (const FileFacts& f : facts) {
        if (!f.error.empty()) {
            rows.push_back({f.file, "error: " + f.error});
            failed.push_back(rows.size() - 1);
            continue;
        }
        std::string frequencies = "-";
        if (f.frequencies > 0) {
            frequencies = fixeddecimals(*f.lowest, 2) + "/" + std::to_string(f.imaginary);
        }
        rows.push_back({f.file, f.type, f.version.empty() ? "-" : f.version,
                        std::to_string(f.atoms), f.formula, std::to_string(f.geometries),
                        f.energy ? fixeddecimals(*f.energy, 8) : "-",
                        std::string(tristatename(f.ended)), std::string(tristatename(f.converged)),
                        std::to_string(f.frequencies), frequencies});
    }
    std::array<std::size_t, columns> width{};
    for (std::size_t i = 0; i < rows.size(); ++i) {
        // An error row's message runs on past the columns.
        const bool error = std::find(failed.begin(), failed.end(), i) != failed.end();
        for (std::size_t c = 0; c < (error ? 1 : columns); ++c) {
            width[c] = std::max(width[c], rows[i][c].size());
        }
    }
    // Numbers right-aligned, words left-aligned.
    constexpr std::array<bool, columns> right{false, false, false, true, false, true,
                                              true,  false, false, true, true};
    std::string table;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const Row& r = rows[i];
        const bool error = std::find(failed.begin(), failed.end(), i) != failed.end();
        std::string line;
        for (std::size_t c = 0; c < columns; ++c) {
            if (c > 0) {
                line += "  ";
            }
            if (error && c == 1) {
                line += r[1];
                break;
            }
            const std::string pad(width[c] - r[c].size(), ' ');
            line += right[c] ? pad + r[c] : r[c] + pad;
        }
        while (line.ends_with(' ')) {
            line.pop_back();
        }
        table += line + '\n';
    }
    // The energy profiles under the table, a line each, as they are too wide for a column.
    for (const FileFacts& f : facts) {
        if (f.error.empty() && !f.profile.empty()) {
            table += f.file + std::string(width[0] - f.file.size() + 2, ' ') + f.profile + '\n';
        }
    }
    return table;
}
