// Reading and writing whole text files, with line ends normalised on the way in.
#include "control/files.h"

#include <cerrno>
#include <sys/stat.h>
#include <zlib.h>

InputFile::InputFile(std::string text) : text_(std::move(text)) {
    index();
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

} // namespace

bool InputFile::load(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) {
        return false;
    }
    std::string text;
    if (!(gzipped(path) ? readgzip(path, text) : readplain(path, text))) {
        return false;
    }
    text_ = std::move(text);
    index();
    return true;
}

void InputFile::index() {
    starts_.clear();
    next_ = 0;
    std::size_t p = 0;
    while (p < text_.size()) {
        starts_.push_back(p);
        const std::size_t nl = text_.find('\n', p);
        p = nl == std::string::npos ? text_.size() : nl + 1;
    }
    starts_.push_back(text_.size());
}

bool InputFile::getline(std::string_view& line) {
    if (next_ + 1 >= starts_.size()) {
        return false;
    }
    const std::size_t begin = starts_[next_];
    std::size_t end = starts_[next_ + 1];
    ++next_;
    if (end > begin && text_[end - 1] == '\n') {
        --end;
    }
    if (end > begin && text_[end - 1] == '\r') {
        --end;
    }
    line = std::string_view(text_).substr(begin, std::min(end - begin, recordlength));
    return true;
}

std::string record(std::string_view line) {
    std::string r(line.substr(0, recordlength));
    r.resize(recordlength, ' ');
    return r;
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
