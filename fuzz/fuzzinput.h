// What the fuzz targets share: a private scratch folder, and the layout of a fuzz input.
#pragma once

#include "store/runcontext.h"

#include <string>
#include <string_view>
#include <vector>

namespace kfuzz {

/// Separates the parts of a fuzz input: control lines, the input file, then up to three side
/// files that the control lines can name as side1, side2 and side3.
inline constexpr std::string_view separator = "\n--kru--\n";

/// The parts of a fuzz input. Without a separator the whole input is the input file and there
/// are no control lines.
struct Parts {
    std::string control;
    std::string data;
    std::vector<std::string> sides;
};
Parts split(std::string_view bytes);

/// Creates a private scratch folder, removed at exit.
void makescratch();
/// The context of every run: the scratch folder as the base of relative names, so that the names
/// in a control input are found there, and a log that drops the messages every run prints.
const RunContext& context();
/// Empties the scratch folder, then writes the files of one fuzz input into it: "in" and the
/// side files.
void writefiles(const Parts& parts);

} // namespace kfuzz
