// The input file as lines in memory, and the buffered output file.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

/// Length of the records in which every text file is read.
inline constexpr std::size_t recordlength = 160;

/// A text file read into memory once (mapped, where it is a plain file) and handed out line by
/// line. A line never holds its line end: a trailing carriage return is dropped, and a line is
/// cut to the record length.
class InputFile {
  public:
    /// The lines of a text held in memory (for tests and for side files).
    explicit InputFile(std::string text);
    InputFile() = default;
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;
    ~InputFile();
    /// Reads a whole file; false when it cannot be opened or read.
    bool load(const std::string& path);
    /// The next line cut to `cut` characters (a record, by default), or false at the end of the
    /// file.
    bool getline(std::string_view& line, std::size_t cut = recordlength);
    /// Back to the first line, for a reader's second pass.
    void rewind() {
        next_ = 0;
        lineno_ = 0;
    }
    /// Number of the line last handed out (1-based), 0 before the first.
    long long lineno() const { return lineno_; }
    /// Number of lines in the whole file, a last line without its line end included.
    long long linecount() const;
    /// The whole text, for a scan that looks ahead of the lines handed out.
    std::string_view text() const { return text_; }
    /// Where the next line starts in the text.
    std::size_t position() const { return next_; }
    /// Goes on at the line that starts at `linestart` (a position in the text), with `passed`
    /// lines before it.
    void seek(std::size_t linestart, long long passed) {
        next_ = linestart;
        lineno_ = passed;
    }

  private:
    void unmap();
    std::string owned_;          // the text, unless it is mapped
    void* mapped_ = nullptr;     // the file mapped into memory
    std::size_t mappedsize_ = 0; // its length
    std::string_view text_;      // the text, owned or mapped
    std::size_t next_ = 0;       // where the next line starts
    long long lineno_ = 0;
    long long linecount_ = -1; // known once a pass has reached the end
};

/// The line of `text` that starts at `start`, as InputFile hands lines out (without its line
/// end, cut to `cut` characters); `next` becomes the start of the line after it.
std::string_view linefrom(std::string_view text, std::size_t start, std::size_t& next,
                          std::size_t cut = recordlength);

/// A line padded with blanks to the record length, as echoed in messages.
std::string record(std::string_view line);
/// The same into a buffer kept from line to line, so that a reader's loop allocates once.
void record(std::string_view line, std::string& into);

/// An output file written through one buffer; write failures surface at close.
class OutputFile {
  public:
    OutputFile() = default; // kept in memory, for tests
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;
    ~OutputFile();
    /// Creates or empties the file; false when that fails.
    bool open(const std::string& path);
    /// Appends text.
    void write(std::string_view text);
    /// Appends text and a line end.
    void line(std::string_view text);
    /// Flushes and closes; false when anything could not be written.
    bool close();
    /// What was written to an in-memory file.
    const std::string& str() const { return buf_; }

  private:
    void flush();
    std::FILE* file_ = nullptr;
    std::string buf_;
    bool failed_ = false;
};
