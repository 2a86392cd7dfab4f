// Reading and writing whole text files, with line ends normalised on the way in.
#include "control/files.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

InputFile::InputFile(std::string text) : owned_(std::move(text)), text_(owned_) {}

InputFile::~InputFile() {
    unmap();
}

void InputFile::unmap() {
    if (mapped_ != nullptr) {
        ::munmap(mapped_, mappedsize_);
        mapped_ = nullptr;
        mappedsize_ = 0;
    }
}

namespace {

bool gzipped(const std::string& path) {
    return path.size() > 3 && path.ends_with(".gz");
}

// A compressed file is read through zlib, so that no reader needs to know about it.
bool readgzip(const std::string& path, std::string& text) {
    gzFile f = gzopen(path.c_str(), "rb");
    if (f == nullptr) {
        return false;
    }
    char chunk[1 << 16];
    int got = 0;
    while ((got = gzread(f, chunk, sizeof chunk)) > 0) {
        text.append(chunk, std::size_t(got));
    }
    return gzclose(f) == Z_OK && got == 0;
}

bool readplain(const std::string& path, std::string& text) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) {
        return false;
    }
    char chunk[1 << 16];
    std::size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, f)) > 0) {
        text.append(chunk, got);
    }
    const bool ok = std::ferror(f) == 0;
    std::fclose(f);
    return ok;
}

// A plain file is mapped rather than copied: a long output is then in memory without a copy
// and without the pages of a copy being cleared first. Null where it cannot be (an empty file,
// a pipe, a file system without mappings); the caller then reads it.
void* mapfile(const std::string& path, std::size_t& size) {
    const int fd = ::open(path.c_str(), O_RDONLY);
    if (fd < 0) {
        return nullptr;
    }
    struct stat st {};
    void* p = nullptr;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0) {
        size = std::size_t(st.st_size);
        p = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
        if (p == MAP_FAILED) {
            p = nullptr;
        }
    }
    ::close(fd);
    return p;
}

// The first line end in [from, to), or null. Most lines are short: sixteen bytes at a time in
// line, where a library call per line would cost more than the search.
const void* findnewline(const char* from, const char* to) {
#ifdef __SSE2__
    const __m128i newline = _mm_set1_epi8('\n');
    for (; to - from >= 16; from += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from));
        const int hits = _mm_movemask_epi8(_mm_cmpeq_epi8(bytes, newline));
        if (hits != 0) {
            return from + std::countr_zero(unsigned(hits));
        }
    }
#endif
    return std::memchr(from, '\n', std::size_t(to - from));
}

} // namespace

bool InputFile::load(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) {
        return false;
    }
    unmap();
    owned_.clear();
    text_ = {};
    linecount_ = -1;
    rewind();
    if (!gzipped(path)) {
        std::size_t size = 0;
        if (void* p = mapfile(path, size)) {
            mapped_ = p;
            mappedsize_ = size;
            text_ = std::string_view(static_cast<const char*>(p), size);
            return true;
        }
    }
    std::string text;
    if (!(gzipped(path) ? readgzip(path, text) : readplain(path, text))) {
        return false;
    }
    owned_ = std::move(text);
    text_ = owned_;
    return true;
}

bool InputFile::getline(std::string_view& line, std::size_t cut) {
    if (next_ >= text_.size()) {
        linecount_ = lineno_;
        return false;
    }
    line = linefrom(text_, next_, next_, cut);
    ++lineno_;
    return true;
}

std::string_view linefrom(std::string_view text, std::size_t start, std::size_t& next,
                          std::size_t cut) {
    const void* nl = findnewline(text.data() + start, text.data() + text.size());
    std::size_t end =
        nl == nullptr ? text.size() : std::size_t(static_cast<const char*>(nl) - text.data());
    next = nl == nullptr ? text.size() : end + 1;
    if (end > start && text[end - 1] == '\r') {
        --end;
    }
    return text.substr(start, std::min(end - start, cut));
}

long long InputFile::linecount() const {
    // A first pass that read to the end has counted them already.
    if (linecount_ >= 0) {
        return linecount_;
    }
    const auto ends = std::count(text_.begin(), text_.end(), '\n');
    return ends + (text_.empty() || text_.back() == '\n' ? 0 : 1);
}

std::string record(std::string_view line) {
    std::string r;
    record(line, r);
    return r;
}

void record(std::string_view line, std::string& into) {
    into.assign(line.substr(0, recordlength));
    into.resize(recordlength, ' ');
}

OutputFile::~OutputFile() {
    if (file_ != nullptr) {
        std::fclose(file_);
    }
}

bool OutputFile::open(const std::string& path) {
    file_ = std::fopen(path.c_str(), "wb");
    return file_ != nullptr;
}

void OutputFile::write(std::string_view text) {
    buf_.append(text);
    if (file_ != nullptr && buf_.size() >= (1u << 20)) {
        flush();
    }
}

void OutputFile::line(std::string_view text) {
    write(text);
    write("\n");
}

void OutputFile::flush() {
    if (!buf_.empty() && std::fwrite(buf_.data(), 1, buf_.size(), file_) != buf_.size()) {
        failed_ = true;
    }
    buf_.clear();
}

bool OutputFile::close() {
    if (file_ == nullptr) {
        return !failed_;
    }
    flush();
    if (std::fclose(file_) != 0) {
        failed_ = true;
    }
    file_ = nullptr;
    return !failed_;
}
