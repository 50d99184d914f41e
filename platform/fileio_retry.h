#pragma once
// The retry loop both file implementations share: another program holding a
// file for a moment is waited for, not reported.
#include "platform/fileio.h"

#include <chrono>

namespace pelmora::detail {

// Sleeps the calling thread (each system its own way).
void PauseFor(std::chrono::milliseconds wait);

// Runs `attempt` (0 on success, else the system's error code) until it
// succeeds, fails for a reason `transient` does not accept, or kRetryWaits
// are used up; returns its last answer.
template <typename Code, typename Attempt, typename Transient>
Code RetryWhileTransient(const WriteOptions& options, Attempt attempt, Transient transient) {
    Code code = attempt();
    for (const std::chrono::milliseconds wait : kRetryWaits) {
        if (code == Code{} || !transient(code)) {
            return code;
        }
        if (options.Wait) {
            options.Wait(wait);
        } else {
            PauseFor(wait);
        }
        code = attempt();
    }
    return code;
}

} // namespace pelmora::detail
