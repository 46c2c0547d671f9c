#pragma once
// korvex-reader-sim started for one test: its pty path, its script fed through standard input.

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

namespace korvex::test {

class SimulatedReader {
public:
    explicit SimulatedReader(std::vector<std::string> options) {
        int in[2], out[2];
        if (::pipe(in) != 0 || ::pipe(out) != 0) return;
        std::vector<std::string> words = {KORVEX_READER_SIM};
        words.insert(words.end(), options.begin(), options.end());
        std::vector<char*> argv;
        for (auto& w : words) argv.push_back(w.data());
        argv.push_back(nullptr);
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(in[0], 0);
            ::dup2(out[1], 1);
            ::close(in[1]);
            ::close(out[0]);
            ::execv(argv[0], argv.data());
            ::_exit(127);
        }
        ::close(in[0]);
        ::close(out[1]);
        script_ = in[1];
        FILE* stdoutOfSim = ::fdopen(out[0], "r");
        char line[256] = {};
        if (stdoutOfSim != nullptr && std::fgets(line, sizeof line, stdoutOfSim) != nullptr) {
            device_ = line;
            while (!device_.empty() && (device_.back() == '\n' || device_.back() == '\r'))
                device_.pop_back();
        }
        if (stdoutOfSim != nullptr) std::fclose(stdoutOfSim);
    }
    ~SimulatedReader() {
        if (script_ >= 0) ::close(script_);
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    SimulatedReader(const SimulatedReader&) = delete;
    SimulatedReader& operator=(const SimulatedReader&) = delete;

    const std::string& device() const { return device_; }
    // One script line (without its newline).
    void script(const std::string& line) {
        const std::string text = line + "\n";
        if (::write(script_, text.data(), text.size()) < 0) perror("script");
    }

private:
    pid_t pid_ = -1;
    int script_ = -1;
    std::string device_;
};

}  // namespace korvex::test
