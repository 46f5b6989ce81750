// Runs a piece of a test in a forked child (another user, its own mounts, a
// kill at a random moment) and brings its verdict back through a pipe.
#pragma once

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <string>

namespace testsupport {

// The child's verdict: empty for success, "SKIP: why" when the machine does
// not allow the check, otherwise what went wrong.
inline std::string InChild(const std::function<std::string()>& body) {
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0) return "no pipe";
    const pid_t pid = ::fork();
    if (pid < 0) return "no fork";
    if (pid == 0) {
        ::close(pipeEnds[0]);
        std::string verdict;
        try {
            verdict = body();
        } catch (const std::exception& error) {
            verdict = std::string("exception: ") + error.what();
        }
        for (std::size_t done = 0; done < verdict.size();) {
            const ssize_t put = ::write(pipeEnds[1], verdict.data() + done, verdict.size() - done);
            if (put <= 0) break;
            done += static_cast<std::size_t>(put);
        }
        ::_exit(0);
    }
    ::close(pipeEnds[1]);
    std::string verdict;
    char buffer[512];
    for (ssize_t got; (got = ::read(pipeEnds[0], buffer, sizeof buffer)) > 0;) verdict.append(buffer, static_cast<std::size_t>(got));
    ::close(pipeEnds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return "child ended with wait status " + std::to_string(status);
    return verdict;
}

}  // namespace testsupport
