// Many conversions at once. Each file is converted in a process of its own, so that one that
// fails, even by a crash, leaves the others alone; the process writes into a hidden folder beside
// the output and moves the finished files out under their own names, so that a failed or
// interrupted conversion leaves no partial file behind. What a conversion prints comes back
// through a pipe and is passed on whole, one file after another.
#include "control/commands.h"
#include "control/control.h"
#include "control/detect.h"
#include "store/store.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <map>
#include <poll.h>
#include <sched.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

volatile std::sig_atomic_t stopsignal = 0;

extern "C" void notestop(int signal) {
    stopsignal = signal;
}

// What one conversion came to.
struct Outcome {
    int status = 1;
    std::string log;    // its standard output
    std::string notes;  // its notes on standard error
    std::string reason; // why it failed
};

struct Running {
    pid_t pid = -1;
    int pipe = -1;
    std::size_t file = 0;
    std::string temporary; // the folder it writes into
    std::string received;
};

std::string replaceall(std::string text, const std::string& from, const std::string& to) {
    if (from.empty()) {
        return text;
    }
    for (std::size_t at = text.find(from); at != std::string::npos;
         at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
    return text;
}

// Processors this process may run on (a batch system's share), at least one.
int processors() {
    cpu_set_t set;
    if (sched_getaffinity(0, sizeof set, &set) == 0) {
        return std::max(1, CPU_COUNT(&set));
    }
    return int(std::max(1L, sysconf(_SC_NPROCESSORS_ONLN)));
}

// The hidden folder a conversion writes into, beside its output so that renaming is a move
// within one file system; the host's name keeps apart batches of several machines that write
// into one shared folder.
std::string temporaryfolder(const BatchFile& f, std::size_t index) {
    char host[256] = "";
    gethostname(host, sizeof host - 1);
    std::string name = ".kru-";
    name += host;
    name += "-" + std::to_string(getpid()) + "-" + std::to_string(index + 1) + ".part";
    return (fs::path(f.output).parent_path() / name).string();
}

// Moves the files written into the temporary folder to their own names, unless one would
// replace a file the run read. From here on SIGINT and SIGTERM wait until the process ends, so
// that all are moved and the move is reported.
void movefiles(const Options& options, const BatchFile& f, const std::string& temporary,
               Outcome& o) {
    const fs::path folder = fs::path(f.output).parent_path();
    std::vector<fs::path> written;
    for (const auto& e : fs::directory_iterator(temporary)) {
        written.push_back(e.path());
    }
    std::sort(written.begin(), written.end());
    Options named = options;
    named.outputfile = f.output;
    std::ostringstream quiet;
    const Store guard(named, RunContext(quiet, quiet));
    try {
        for (const fs::path& w : written) {
            refuseoverwrite(guard, (folder / w.filename()).string());
        }
    } catch (const RunError& e) {
        o.status = 1;
        o.reason = e.what();
        return;
    }
    sigset_t stops;
    sigemptyset(&stops);
    sigaddset(&stops, SIGINT);
    sigaddset(&stops, SIGTERM);
    sigprocmask(SIG_BLOCK, &stops, nullptr);
    for (const fs::path& w : written) {
        std::error_code ec;
        fs::rename(w, folder / w.filename(), ec);
        if (ec) {
            o.status = 1;
            o.reason = (folder / w.filename()).string() + ": " + ec.message();
            break;
        }
    }
}

// In the process of one file: the conversion into the temporary folder, its messages kept.
Outcome convertone(const BatchFile& f, const std::string& temporary, Options options) {
    Outcome o;
    options.inputfile = f.input;
    if (options.inputtype.empty()) {
        const Detection d = detectinputtype(f.input);
        if (d.type.empty()) {
            o.reason = d.reason;
            return o;
        }
        options.inputtype = std::string(d.type);
    }
    std::error_code ec;
    fs::create_directory(temporary, ec);
    if (ec) {
        o.reason = "cannot create " + temporary + ": " + ec.message();
        return o;
    }
    options.outputfile = (fs::path(temporary) / fs::path(f.output).filename()).string();
    std::ostringstream log, err;
    RunContext context(log, err);
    context.errorline = true;
    o.status = convert(options, context);

    // Messages name the files as they will be called.
    const fs::path folder = fs::path(f.output).parent_path();
    const std::string from = (fs::path(temporary) / "").string();
    const std::string to = folder.empty() ? "" : (folder / "").string();
    o.log = replaceall(log.str(), from, to);
    std::istringstream lines(replaceall(err.str(), from, to));
    for (std::string line; std::getline(lines, line);) {
        if (line.starts_with("kru: error: ")) {
            o.reason = line.substr(12);
        } else {
            o.notes += line + '\n';
        }
    }
    if (o.status == 0) {
        movefiles(options, f, temporary, o);
    }
    fs::remove_all(temporary, ec);
    return o;
}

std::string pack(const Outcome& o) {
    std::string data = std::to_string(o.status) + '\n';
    for (const std::string* part : {&o.log, &o.notes, &o.reason}) {
        data += std::to_string(part->size()) + '\n' + *part;
    }
    return data;
}

bool unpack(const std::string& data, Outcome& o) {
    std::istringstream in(data);
    if (!(in >> o.status) || in.get() != '\n') {
        return false;
    }
    for (std::string* part : {&o.log, &o.notes, &o.reason}) {
        std::size_t size = 0;
        if (!(in >> size) || in.get() != '\n') {
            return false;
        }
        part->resize(size);
        if (!in.read(part->data(), std::streamsize(size))) {
            return false;
        }
    }
    return true;
}

void writeall(int fd, const std::string& data) {
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = write(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return;
        }
        done += std::size_t(n);
    }
}

// Files done, failed and the time taken, on one line of a terminal.
class Progress {
  public:
    Progress(std::size_t total, bool shown) : total_(total), shown_(shown) {}
    void count(bool failed) {
        ++done_;
        failed_ += failed ? 1 : 0;
    }
    void draw() {
        if (!shown_) {
            return;
        }
        const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(
                                 std::chrono::steady_clock::now() - start_)
                                 .count();
        std::cerr << "\rkru: " << done_ << " of " << total_ << " files done, " << failed_
                  << " failed, " << seconds / 60 << ':' << (seconds % 60 < 10 ? "0" : "")
                  << seconds % 60 << " elapsed\033[K" << std::flush;
    }
    void clear() {
        if (shown_) {
            std::cerr << "\r\033[K" << std::flush;
        }
    }

  private:
    std::size_t total_, done_ = 0, failed_ = 0;
    bool shown_;
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

// A note of one file's conversion names the file.
std::string namednotes(const std::string& notes, const std::string& input) {
    std::string named;
    std::istringstream lines(notes);
    for (std::string line; std::getline(lines, line);) {
        if (line.starts_with("kru: note: ")) {
            named += "kru: note: " + input + ": " + line.substr(11) + '\n';
        } else {
            named += input + ": " + line + '\n';
        }
    }
    return named;
}

bool start(Running& r, const BatchFile& f, const Options& settings) {
    int ends[2];
    if (pipe(ends) != 0) {
        return false;
    }
    std::cout.flush();
    std::cerr.flush();
    r.pid = fork();
    if (r.pid < 0) {
        close(ends[0]);
        close(ends[1]);
        return false;
    }
    if (r.pid == 0) {
        close(ends[0]);
        std::signal(SIGINT, SIG_DFL);
        std::signal(SIGTERM, SIG_DFL);
        const Outcome o = convertone(f, r.temporary, settings);
        writeall(ends[1], pack(o));
        // No exit handlers: the buffers and files of the batch belong to its first process.
        _exit(o.status == 0 ? 0 : 1);
    }
    close(ends[1]);
    r.pipe = ends[0];
    return true;
}

// The outcome of a process, once it has closed its pipe.
Outcome collect(Running& r) {
    char chunk[65536];
    for (ssize_t n = 0; (n = read(r.pipe, chunk, sizeof chunk)) != 0;) {
        if (n > 0) {
            r.received.append(chunk, std::size_t(n));
        } else if (errno != EINTR) {
            break;
        }
    }
    close(r.pipe);
    int status = 0;
    while (waitpid(r.pid, &status, 0) < 0 && errno == EINTR) {
    }
    Outcome o;
    if (!unpack(r.received, o)) {
        o = Outcome{};
        o.reason = WIFSIGNALED(status)
                       ? "the conversion ended by signal " + std::to_string(WTERMSIG(status)) +
                             " (" + strsignal(WTERMSIG(status)) + ")"
                       : "the conversion ended without a result";
    }
    std::error_code ec;
    fs::remove_all(r.temporary, ec);
    return o;
}

} // namespace

int batchconvert(const std::vector<BatchFile>& files, const Options& settings, int processes) {
    const std::size_t most = std::size_t(processes > 0 ? processes : processors());
    std::vector<Outcome> outcomes(files.size());
    std::vector<bool> settled(files.size(), false);
    // Two inputs that would write the same output: the later one is not converted.
    std::map<std::string, std::size_t> owners;
    for (std::size_t i = 0; i < files.size(); ++i) {
        const std::string key = fs::absolute(files[i].output).lexically_normal().string();
        const auto [at, fresh] = owners.emplace(key, i);
        if (!fresh) {
            outcomes[i].reason =
                "its output " + files[i].output + " is also that of " + files[at->second].input;
            settled[i] = true;
        }
    }

    struct sigaction stop {};
    stop.sa_handler = &notestop;
    sigemptyset(&stop.sa_mask);
    struct sigaction oldint {};
    struct sigaction oldterm {};
    sigaction(SIGINT, &stop, &oldint);
    sigaction(SIGTERM, &stop, &oldterm);

    Progress progress(files.size(), isatty(STDERR_FILENO) != 0);
    std::vector<Running> running;
    std::size_t next = 0;
    const auto settle = [&](std::size_t i, Outcome o) {
        progress.clear();
        std::cout << o.log << std::flush;
        std::cerr << namednotes(o.notes, files[i].input);
        progress.count(o.status != 0);
        outcomes[i] = std::move(o);
        settled[i] = true;
    };
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (settled[i]) {
            progress.count(true);
        }
    }
    while (stopsignal == 0) {
        while (running.size() < most && next < files.size()) {
            const std::size_t i = next++;
            if (settled[i]) {
                continue;
            }
            Running r;
            r.file = i;
            r.temporary = temporaryfolder(files[i], i);
            if (start(r, files[i], settings)) {
                running.push_back(std::move(r));
            } else {
                Outcome o;
                o.reason = std::string("cannot start a process: ") + std::strerror(errno);
                settle(i, o);
            }
        }
        if (running.empty()) {
            break;
        }
        progress.draw();
        std::vector<pollfd> watched;
        for (const Running& r : running) {
            watched.push_back({r.pipe, POLLIN, 0});
        }
        if (poll(watched.data(), watched.size(), 500) <= 0 || stopsignal != 0) {
            continue;
        }
        for (std::size_t k = running.size(); k-- > 0;) {
            if (watched[k].revents == 0) {
                continue;
            }
            char chunk[65536];
            const ssize_t n = read(running[k].pipe, chunk, sizeof chunk);
            if (n > 0 || (n < 0 && errno == EINTR)) {
                running[k].received.append(chunk, std::size_t(std::max<ssize_t>(n, 0)));
                continue;
            }
            settle(running[k].file, collect(running[k]));
            running.erase(running.begin() + std::ptrdiff_t(k));
        }
    }
    progress.clear();

    std::size_t converted = 0;
    for (std::size_t i = 0; i < files.size(); ++i) {
        converted += settled[i] && outcomes[i].status == 0 ? 1 : 0;
    }
    if (stopsignal != 0) {
        // The conversions still running end unfinished and leave nothing.
        for (Running& r : running) {
            kill(r.pid, SIGTERM);
        }
        for (Running& r : running) {
            converted += collect(r).status == 0 ? 1 : 0;
        }
        std::cerr << "kru: interrupted after " << converted << " of " << files.size()
                  << " files; every output written is complete\n";
        const int signal = stopsignal;
        sigaction(SIGINT, &oldint, nullptr);
        sigaction(SIGTERM, &oldterm, nullptr);
        std::signal(signal, SIG_DFL);
        std::raise(signal);
        return 128 + signal;
    }
    sigaction(SIGINT, &oldint, nullptr);
    sigaction(SIGTERM, &oldterm, nullptr);

    std::cerr << "kru: " << converted << " of " << files.size() << " files converted";
    if (converted == files.size()) {
        std::cerr << '\n';
        return 0;
    }
    std::cerr << "; " << files.size() - converted << " failed:\n";
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (outcomes[i].status != 0) {
            const std::string& input = files[i].input;
            const std::string& reason = outcomes[i].reason;
            const bool named = reason.starts_with(input + ":");
            std::cerr << "  " << (named ? "" : input + ": ") << reason << '\n';
        }
    }
    return 1;
}
