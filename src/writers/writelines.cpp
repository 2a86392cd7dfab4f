// Text made ahead of time, passed to the output file as the writer that made it would have
// written its lines one by one.
#include "control/files.h"
#include "writers/writers.h"

#include <string_view>

void writelines(OutputFile& out, std::string_view text) {
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        out.line(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    }
}
