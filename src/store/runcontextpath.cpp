// Resolves the file names of a run against its base folder.
#include "store/runcontext.h"

std::string RunContext::path(std::string_view name) const {
    const std::filesystem::path p(name);
    if (base.empty() || name.empty() || p.is_absolute()) {
        return std::string(name);
    }
    return (base / p).string();
}
