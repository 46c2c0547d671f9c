// korvex-reader-sim: a MICR reader with image memory on a pseudo-terminal, for tests and demos.
//
//   korvex-reader-sim [--rate 9600|115200] [--terminator 13[,10]] [--link PATH] [--silent]
//                     [--image-stops-at N] [SCRIPT]
//
// Prints the pseudo-terminal's device path as the first line of standard output, then runs the
// script (the file SCRIPT, or standard input), one command a line:
//   scan TEXT                a document is read: TEXT and the terminator are sent
//   nomicr                   a document without magnetic ink: "NO MICR" and the terminator
//   split TEXT|TEXT|...      the pieces in separate writes 150 ms apart, the terminator last
//   image FILE               the image held for the documents scanned from now on
//   noise N                  N random bytes, none of them a terminator character
//   wait MS                  pause the script
//   quit                     end at once
// Blank lines and lines starting with "#" are skipped. Meanwhile it answers the program's
// commands, but only while the line runs at the --rate baud rate, as a real reader whose rate
// does not match hears only noise. After the script it keeps answering until the program has
// closed the line for two seconds, or until it is killed.

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <fstream>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

struct Options {
    long rate = 9600;
    std::string terminator = "\r";
    std::string link;
    bool silent = false;
    long imageStopsAt = -1;
    std::string script;  // empty: standard input
};

[[noreturn]] void usage(const std::string& problem) {
    std::fprintf(stderr,
                 "korvex-reader-sim: %s\nusage: korvex-reader-sim [--rate 9600|115200] "
                 "[--terminator 13[,10]] [--link PATH] [--silent] [--image-stops-at N] [SCRIPT]\n",
                 problem.c_str());
    std::exit(2);
}

std::optional<long> number(const std::string& text) {
    if (text.empty() || text.size() > 12) return std::nullopt;
    char* end = nullptr;
    const long n = std::strtol(text.c_str(), &end, 10);
    if (*end != '\0' || n < 0) return std::nullopt;
    return n;
}

Options parseOptions(int argc, char** argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= argc) usage(a + " needs a value");
            return argv[++i];
        };
        if (a == "--rate") {
            const auto n = number(value());
            if (!n || (*n != 9600 && *n != 115200)) usage("--rate is 9600 or 115200");
            o.rate = *n;
        } else if (a == "--terminator") {
            o.terminator.clear();
            std::stringstream codes(value());
            std::string code;
            while (std::getline(codes, code, ',')) {
                const auto n = number(code);
                if (!n || *n < 1 || *n > 255) usage("--terminator takes character codes 1-255");
                o.terminator += static_cast<char>(*n);
            }
            if (o.terminator.empty()) usage("--terminator is empty");
        } else if (a == "--link") {
            o.link = value();
        } else if (a == "--silent") {
            o.silent = true;
        } else if (a == "--image-stops-at") {
            const auto n = number(value());
            if (!n) usage("--image-stops-at takes a byte count");
            o.imageStopsAt = *n;
        } else if (a == "--help" || a == "-h") {
            usage("a simulated MICR reader");
        } else if (a.size() > 1 && a[0] == '-') {
            usage("unknown option " + a);
        } else if (o.script.empty()) {
            o.script = a;
        } else {
            usage("only one script");
        }
    }
    return o;
}

class Simulator {
public:
    explicit Simulator(Options options) : o_(std::move(options)) {}

    int run();

private:
    // --- the line ---
    bool openLine();
    bool lineAtRate() const;
    void send(const std::string& bytes) { out_ += bytes; }
    void flushOut();
    void readLine();
    void answer(const std::string& command);

    // --- the script ---
    void readScriptInput();
    bool runDueScript();
    bool execute(const std::string& line);

    Options o_;
    int master_ = -1;
    std::string out_;
    std::string in_;
    bool everOpened_ = false;
    std::optional<Clock::time_point> closedSince_;

    std::deque<std::string> lines_;
    std::string partialLine_;
    bool scriptDone_ = false;  // the script source has ended
    int scriptFd_ = -1;
    Clock::time_point resumeAt_ = Clock::now();
    std::deque<std::pair<Clock::time_point, std::string>> timed_;  // split pieces
    bool quit_ = false;

    std::optional<std::string> currentImage_;
    std::optional<std::string> heldImage_;
    std::string hw_ = "00001000";
    std::string swe_ = "00000000";
    std::mt19937 random_{20261206};
};

bool Simulator::openLine() {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) return false;
    const char* name = ::ptsname(master_);
    if (name == nullptr) return false;
    // Raw from the start, so nothing the program writes is echoed back before it sets the line.
    // On a pseudo-terminal the master's termios calls act on the device the program opens.
    termios t{};
    if (::tcgetattr(master_, &t) == 0) {
        ::cfmakeraw(&t);
        ::tcsetattr(master_, TCSANOW, &t);
    }
    ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
    if (!o_.link.empty()) {
        ::unlink(o_.link.c_str());
        if (::symlink(name, o_.link.c_str()) != 0) {
            std::fprintf(stderr, "korvex-reader-sim: cannot link %s: %s\n", o_.link.c_str(),
                         std::strerror(errno));
            return false;
        }
    }
    std::printf("%s\n", name);
    std::fflush(stdout);
    return true;
}

bool Simulator::lineAtRate() const {
    termios t{};
    if (::tcgetattr(master_, &t) != 0) return false;
    const speed_t wanted = o_.rate == 115200 ? B115200 : B9600;
    return ::cfgetispeed(&t) == wanted || ::cfgetospeed(&t) == wanted;
}

void Simulator::flushOut() {
    while (!out_.empty()) {
        const ssize_t n = ::write(master_, out_.data(), out_.size());
        if (n > 0) {
            out_.erase(0, static_cast<std::size_t>(n));
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return;
        out_.clear();  // nobody holds the line: what the reader sends is lost, as on a real line
        return;
    }
}

void Simulator::readLine() {
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(master_, buffer, sizeof buffer);
        if (n <= 0) return;
        in_.append(buffer, static_cast<std::size_t>(n));
    }
}

void Simulator::answer(const std::string& command) {
    if (o_.silent || !lineAtRate()) return;
    const std::string& t = o_.terminator;
    auto reg = [&](const char* name, const std::string& value) { send(name + ("=" + value) + t); };
    if (command == "VR") {
        send("Version 2.04 MICRImage" + t);
    } else if (command == "SWA") {
        reg("SWA", "00100000");
    } else if (command == "SWB") {
        reg("SWB", "01000001");
    } else if (command == "SWC") {
        reg("SWC", "00000000");
    } else if (command == "SWE") {
        reg("SWE", swe_);
    } else if (command == "HW") {
        reg("HW", hw_.substr(0, 4) + " " + hw_.substr(4));
    } else if (command == "FC 00 00" || command == "FC") {
        send("OK" + t);
    } else if (command.size() == 10 && command.rfind("HW", 0) == 0 &&
               command.find_first_not_of("01", 2) == std::string::npos) {
        hw_ = command.substr(2);
    } else if (command.size() == 12 && command.rfind("SWE ", 0) == 0 &&
               command.find_first_not_of("01", 4) == std::string::npos) {
        swe_ = command.substr(4);
    } else if (command == "IS") {
        send(heldImage_ ? "IM1," + std::to_string(heldImage_->size()) + ",F4" + t : "MN0,0,0" + t);
    } else if (command == "TI F4") {
        if (!heldImage_) {
            send("MN0,0,0" + t);
        } else if (o_.imageStopsAt >= 0 &&
                   static_cast<std::size_t>(o_.imageStopsAt) < heldImage_->size()) {
            send(heldImage_->substr(0, static_cast<std::size_t>(o_.imageStopsAt)));
        } else {
            send(*heldImage_);
        }
    }
    // Anything else (the program's "bla" among it) is not a command of this reader: no answer.
}

void Simulator::readScriptInput() {
    if (scriptFd_ < 0) return;
    char buffer[4096];
    const ssize_t n = ::read(scriptFd_, buffer, sizeof buffer);
    if (n < 0 && (errno == EAGAIN || errno == EINTR)) return;
    if (n <= 0) {
        if (!partialLine_.empty()) lines_.push_back(partialLine_);
        partialLine_.clear();
        if (scriptFd_ != 0) ::close(scriptFd_);
        scriptFd_ = -1;
        scriptDone_ = true;
        return;
    }
    partialLine_.append(buffer, static_cast<std::size_t>(n));
    std::size_t at;
    while ((at = partialLine_.find('\n')) != std::string::npos) {
        lines_.push_back(partialLine_.substr(0, at));
        partialLine_.erase(0, at + 1);
    }
}

bool Simulator::execute(const std::string& raw) {
    std::string line = raw;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') return true;
    const std::size_t space = line.find(' ');
    const std::string verb = line.substr(0, space);
    const std::string rest = space == std::string::npos ? std::string() : line.substr(space + 1);
    const std::string& t = o_.terminator;
    if (verb == "scan") {
        send(rest + t);
        heldImage_ = currentImage_;
    } else if (verb == "nomicr") {
        send("NO MICR" + t);
        heldImage_ = currentImage_;
    } else if (verb == "split") {
        auto when = Clock::now();
        std::size_t from = 0;
        for (;;) {
            const std::size_t bar = rest.find('|', from);
            std::string piece =
                rest.substr(from, bar == std::string::npos ? std::string::npos : bar - from);
            if (bar == std::string::npos) piece += t;
            timed_.emplace_back(when, piece);
            if (bar == std::string::npos) break;
            from = bar + 1;
            when += milliseconds(150);
        }
        resumeAt_ = when;
        heldImage_ = currentImage_;
    } else if (verb == "image") {
        std::ifstream file(rest, std::ios::binary);
        if (!file) {
            std::fprintf(stderr, "korvex-reader-sim: cannot read image %s\n", rest.c_str());
            return false;
        }
        currentImage_ = std::string(std::istreambuf_iterator<char>(file), {});
    } else if (verb == "noise") {
        const auto n = number(rest);
        if (!n) {
            std::fprintf(stderr, "korvex-reader-sim: noise needs a byte count\n");
            return false;
        }
        std::string bytes;
        bytes.reserve(static_cast<std::size_t>(*n));
        while (bytes.size() < static_cast<std::size_t>(*n)) {
            const char c = static_cast<char>(random_() & 0xff);
            if (t.find(c) == std::string::npos) bytes += c;
        }
        send(bytes);
    } else if (verb == "wait") {
        const auto n = number(rest);
        if (!n) {
            std::fprintf(stderr, "korvex-reader-sim: wait needs milliseconds\n");
            return false;
        }
        resumeAt_ = Clock::now() + milliseconds(*n);
    } else if (verb == "quit") {
        quit_ = true;
    } else {
        std::fprintf(stderr, "korvex-reader-sim: unknown script command: %s\n", line.c_str());
        return false;
    }
    return true;
}

bool Simulator::runDueScript() {
    // A split in progress holds the script back until its last piece has gone.
    while (!quit_ && !lines_.empty() && timed_.empty() && Clock::now() >= resumeAt_) {
        const std::string line = lines_.front();
        lines_.pop_front();
        if (!execute(line)) return false;
    }
    return true;
}

int Simulator::run() {
    if (!openLine()) {
        std::fprintf(stderr, "korvex-reader-sim: no pseudo-terminal: %s\n", std::strerror(errno));
        return 1;
    }
    scriptFd_ = o_.script.empty() ? 0 : ::open(o_.script.c_str(), O_RDONLY);
    if (scriptFd_ < 0) {
        std::fprintf(stderr, "korvex-reader-sim: cannot read %s\n", o_.script.c_str());
        return 2;
    }
    if (scriptFd_ == 0) ::fcntl(0, F_SETFL, ::fcntl(0, F_GETFL) | O_NONBLOCK);

    for (;;) {
        while (!timed_.empty() && Clock::now() >= timed_.front().first) {
            send(timed_.front().second);
            timed_.pop_front();
        }
        if (!runDueScript()) return 2;
        flushOut();
        if (quit_) break;

        pollfd fds[2] = {{master_, static_cast<short>(POLLIN | (out_.empty() ? 0 : POLLOUT)), 0},
                         {scriptFd_, POLLIN, 0}};
        const nfds_t count = scriptFd_ >= 0 ? 2 : 1;
        int timeout = 50;
        auto due = [&](Clock::time_point at) {
            const auto ms = std::chrono::duration_cast<milliseconds>(at - Clock::now()).count();
            timeout = std::max(0, std::min<int>(timeout, static_cast<int>(ms)));
        };
        if (!lines_.empty()) due(resumeAt_);
        if (!timed_.empty()) due(timed_.front().first);
        ::poll(fds, count, timeout);

        if (fds[0].revents & POLLHUP) {
            // Nobody holds the line. Before the program first opens it that is the normal state;
            // afterwards the program closed it (for good when it stays closed for two seconds).
            if (!closedSince_) closedSince_ = Clock::now();
            if (everOpened_ && scriptDone_ && lines_.empty() && timed_.empty() &&
                Clock::now() - *closedSince_ > std::chrono::seconds(2)) {
                break;
            }
            if (timeout > 0) ::usleep(20000);
        } else {
            everOpened_ = true;
            closedSince_.reset();
        }
        if (fds[0].revents & POLLIN) readLine();
        if (count == 2 && (fds[1].revents & (POLLIN | POLLHUP | POLLERR))) readScriptInput();

        std::size_t at;
        while (!o_.terminator.empty() && (at = in_.find(o_.terminator)) != std::string::npos) {
            const std::string command = in_.substr(0, at);
            in_.erase(0, at + o_.terminator.size());
            answer(command);
        }
        if (in_.size() > 65536) in_.erase(0, in_.size() - 65536);
    }
    flushOut();
    if (!o_.link.empty()) ::unlink(o_.link.c_str());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    Simulator simulator(parseOptions(argc, argv));
    return simulator.run();
}
