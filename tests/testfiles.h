// Whole files in and out, as the tests compare them: bytes, no line-end translation.
#pragma once

#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

inline std::string slurp(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

inline void spill(const std::filesystem::path& p, const std::string& text) {
    std::ofstream out(p, std::ios::binary);
    out << text;
}

/// Runs the program `binary` in `dir` with the arguments, standard input from `input` (or
/// nothing), standard output and error into dir/.stdout and dir/.stderr; returns the exit
/// status, or 128 plus the signal that ended it.
inline int runbinary(const char* binary, const std::filesystem::path& dir,
                     const std::vector<std::string>& args,
                     const std::filesystem::path& input = {}) {
    const pid_t pid = fork();
    if (pid == 0) {
        const int in = open(input.empty() ? "/dev/null" : input.c_str(), O_RDONLY);
        const int out = open((dir / ".stdout").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = open((dir / ".stderr").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (chdir(dir.c_str()) != 0 || in < 0 || out < 0 || err < 0) {
            _exit(127);
        }
        dup2(in, 0);
        dup2(out, 1);
        dup2(err, 2);
        std::vector<char*> argv{const_cast<char*>(binary)};
        for (const std::string& a : args) {
            argv.push_back(const_cast<char*>(a.c_str()));
        }
        argv.push_back(nullptr);
        execv(binary, argv.data());
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}
