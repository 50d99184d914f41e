#pragma once
// Runs a check in a child process, for checks that could block for ever on a
// fault (a read of a pipe) or that change the process for good (a memory
// limit). The child's failures are reported through its exit status; its
// GoogleTest messages appear in the output as usual.
#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace pelmora::testing {

// The child is given up to two minutes, far more than the moments the check
// needs on a loaded machine, and is then killed and reported as blocked.
inline void RunInChild(const std::function<void()>& check, const std::string& what) {
    std::fflush(nullptr);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
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
    int status = 0;
    for (int tries = 0; tries < 12000; ++tries) {
        if (::waitpid(child, &status, WNOHANG) == child) {
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
                << what << ": the check failed in the child process (status " << status << ")";
            return;
        }
        ::usleep(10000);
    }
    ::kill(child, SIGKILL);
    ::waitpid(child, &status, 0);
    ADD_FAILURE() << what << ": still blocked after two minutes";
}

} // namespace pelmora::testing
