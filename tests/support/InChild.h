#pragma once
// Runs a check in a child process, for checks that could block for ever on a
// fault (a read of a pipe) or that change the process for good (a memory
// limit). The child's failures are reported through its exit status; its
// GoogleTest messages appear in the output as usual.
#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <functional>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace pelmora::testing {

// The child is given up to two minutes, far more than the moments the check
// needs on a loaded machine, and is then killed and reported as blocked.
inline void RunInChild(const std::function<void()>& check, const std::string& what) {
    // The child holds the pipe's write end until it exits; the parent waits
    // for that end to close, so it wakes as soon as the child is gone.
    int ends[2] = {-1, -1};
    ASSERT_EQ(::pipe(ends), 0) << what << ": no pipe to watch the child with";
    std::fflush(nullptr);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(ends[0]);
        try {
            check();
        } catch (const std::exception& e) {
            std::fprintf(stderr, "%s: unexpected exception: %s\n", what.c_str(), e.what());
            std::fflush(nullptr);
            ::_exit(2);
        }
        std::fflush(nullptr);
        ::_exit(::testing::Test::HasFailure() ? 1 : 0);
    }
    ::close(ends[1]);
    pollfd exited = {ends[0], POLLIN, 0};
    int ready = 0;
    do {
        ready = ::poll(&exited, 1, 120000);
    } while (ready < 0 && errno == EINTR);
    ::close(ends[0]);
    int status = 0;
    if (ready > 0) {
        ::waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
            << what << ": the check failed in the child process (status " << status << ")";
        return;
    }
    ::kill(child, SIGKILL);
    ::waitpid(child, &status, 0);
    ADD_FAILURE() << what << ": still blocked after two minutes";
}

} // namespace pelmora::testing
