#pragma once
// A tap on the serial line between the program and the simulated reader. The tap owns a fresh
// pseudo-terminal whose device the program opens as its port, opens the reader's device itself,
// and copies bytes both ways on a thread of its own. It records every command the program sends
// (the text between terminators) and gives the reader's line the rate the program set on its own
// line, since the reader answers only while its line runs at its rate.

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace korvex::test {

class LineTap {
public:
    // `readerDevice`: the simulator's device (or its link); `terminator` ends the commands.
    LineTap(const std::string& readerDevice, std::string terminator)
        : terminator_(std::move(terminator)) {
        master_ = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) return;
        const char* name = ptsname(master_);
        if (name == nullptr) return;
        device_ = name;
        makeRaw(master_);
        reader_ = open(readerDevice.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (reader_ < 0) return;
        makeRaw(reader_);
        thread_ = std::thread([this] { run(); });
    }
    ~LineTap() {
        stop_ = true;
        if (thread_.joinable()) thread_.join();
        if (reader_ >= 0) close(reader_);
        if (master_ >= 0) close(master_);
    }
    LineTap(const LineTap&) = delete;
    LineTap& operator=(const LineTap&) = delete;

    // The device the program opens; empty when the tap could not be set up.
    std::string device() const { return thread_.joinable() ? device_ : std::string(); }
    std::vector<std::string> commands() const {
        std::lock_guard lock(mutex_);
        return commands_;
    }
    // The baud rate the program last set on its line (0 before it set one).
    long programRate() const { return programRate_; }

private:
    static void makeRaw(int fd) {
        termios t{};
        if (tcgetattr(fd, &t) != 0) return;
        cfmakeraw(&t);
        tcsetattr(fd, TCSANOW, &t);
    }

    static long rateOf(speed_t speed) {
        switch (speed) {
            case B9600: return 9600;
            case B19200: return 19200;
            case B38400: return 38400;
            case B57600: return 57600;
            case B115200: return 115200;
            default: return 0;
        }
    }

    void mirrorRate() {
        termios program{};
        if (tcgetattr(master_, &program) != 0) return;
        const speed_t speed = cfgetospeed(&program);
        if (speed == mirrored_) return;
        termios reader{};
        if (tcgetattr(reader_, &reader) != 0) return;
        cfsetispeed(&reader, speed);
        cfsetospeed(&reader, speed);
        if (tcsetattr(reader_, TCSANOW, &reader) == 0) mirrored_ = speed;
        programRate_ = rateOf(speed);
    }

    // Writes everything, waiting while the other side is full; gives up when the tap stops.
    void writeAll(int fd, const char* data, std::size_t size) {
        while (size > 0 && !stop_) {
            const ssize_t n = write(fd, data, size);
            if (n > 0) {
                data += n;
                size -= static_cast<std::size_t>(n);
            } else if (n < 0 && errno != EAGAIN && errno != EINTR) {
                return;  // nobody holds that end: the bytes are lost, as on a real line
            } else {
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
            }
        }
    }

    void run() {
        std::string pending;
        char buffer[8192];
        while (!stop_) {
            pollfd fds[2] = {{master_, POLLIN, 0}, {reader_, POLLIN, 0}};
            poll(fds, 2, 20);
            mirrorRate();
            if (fds[0].revents & POLLHUP) {
                // The program does not hold its end (yet, or between a close and a reopen).
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            } else if (fds[0].revents & POLLIN) {
                const ssize_t n = read(master_, buffer, sizeof buffer);
                if (n > 0) {
                    writeAll(reader_, buffer, static_cast<std::size_t>(n));
                    pending.append(buffer, static_cast<std::size_t>(n));
                    std::size_t at;
                    while ((at = pending.find(terminator_)) != std::string::npos) {
                        std::lock_guard lock(mutex_);
                        commands_.push_back(pending.substr(0, at));
                        pending.erase(0, at + terminator_.size());
                    }
                }
            }
            if (fds[1].revents & POLLIN) {
                const ssize_t n = read(reader_, buffer, sizeof buffer);
                if (n > 0) writeAll(master_, buffer, static_cast<std::size_t>(n));
            }
        }
    }

    std::string terminator_;
    int master_ = -1;
    int reader_ = -1;
    std::string device_;
    speed_t mirrored_ = 0;
    std::atomic<long> programRate_{0};
    std::atomic<bool> stop_{false};
    mutable std::mutex mutex_;
    std::vector<std::string> commands_;
    std::thread thread_;
};

}  // namespace korvex::test
