#include "support/child_process.h"

#include <cstdint>
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

namespace parvex::testing {

namespace {

// The child's answer: one byte saying whether the setup succeeded, then the text.
void Answer(int fd, bool ran, const std::string& text) {
    std::string message(1, ran ? '1' : '0');
    message += text;
    for (std::size_t done = 0; done < message.size();) {
        const ssize_t count = ::write(fd, message.data() + done, message.size() - done);
        if (count <= 0)
            ::_exit(4);
        done += std::size_t(count);
    }
}

} // namespace

TChildRun RunInChild(const std::function<std::string()>& setup,
                     const std::function<std::string()>& body) {
    int channel[2];
    if (::pipe(channel) != 0) {
        ADD_FAILURE() << "no pipe";
        return {};
    }
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(channel[0]);
        const std::string why = setup();
        if (!why.empty()) {
            Answer(channel[1], false, why);
            ::_exit(0);
        }
        Answer(channel[1], true, body());
        ::_exit(0);
    }
    ::close(channel[1]);
    std::string message;
    char buffer[4096];
    for (ssize_t count; child > 0 && (count = ::read(channel[0], buffer, sizeof buffer)) > 0;)
        message.append(buffer, std::size_t(count));
    ::close(channel[0]);
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0 || message.empty()) {
        ADD_FAILURE() << "the child process ended with status " << status;
        return {};
    }
    return {message[0] == '1', message.substr(1)};
}

std::string DropPrivileges() {
    if (::setgroups(0, nullptr) != 0 && ::geteuid() == 0)
        return "cannot drop the supplementary groups here";
    if (::setresgid(65534, 65534, 65534) != 0 || ::setresuid(65534, 65534, 65534) != 0)
        return "cannot drop privileges here";
    return {};
}

} // namespace parvex::testing
