// How a write waits for another program to let go of a file: tried again
// after growing waits, about two seconds in all, and no longer.
#include "platform/fileio_retry.h"

#include <gtest/gtest.h>

#include <chrono>
#include <vector>

namespace pelmora {
namespace {

using std::chrono::milliseconds;

constexpr int kHeld = 32; // a "sharing violation"
constexpr int kRefused = 5;

struct Attempts {
    int Attempts = 0;
    std::vector<milliseconds> Waits;
    int Result = 0;
};

// Attempts answer `answers` in turn (the last one from then on).
Attempts Retry(const std::vector<int>& answers) {
    Attempts run;
    WriteOptions options;
    options.Wait = [&](milliseconds wait) { run.Waits.push_back(wait); };
    run.Result = detail::RetryWhileTransient<int>(
        options,
        [&] {
            const auto at = static_cast<std::size_t>(run.Attempts++);
            return answers[std::min(at, answers.size() - 1)];
        },
        [](int code) { return code == kHeld; });
    return run;
}

TEST(WriteRetry, WaitsWhileAnotherProgramHoldsTheFileAndNoLonger) {
    const Attempts first = Retry({0});
    EXPECT_EQ(first.Attempts, 1);
    EXPECT_TRUE(first.Waits.empty());

    const Attempts released = Retry({kHeld, kHeld, 0});
    EXPECT_EQ(released.Result, 0);
    EXPECT_EQ(released.Attempts, 3);
    EXPECT_EQ(released.Waits, (std::vector<milliseconds>{kRetryWaits[0], kRetryWaits[1]}));

    const Attempts refused = Retry({kHeld, kRefused});
    EXPECT_EQ(refused.Result, kRefused) << "a failure of another kind is not waited out";
    EXPECT_EQ(refused.Attempts, 2);

    const Attempts heldThroughout = Retry({kHeld});
    EXPECT_EQ(heldThroughout.Result, kHeld);
    EXPECT_EQ(heldThroughout.Attempts, static_cast<int>(std::size(kRetryWaits)) + 1);
    milliseconds total{0};
    for (std::size_t i = 0; i < heldThroughout.Waits.size(); ++i) {
        total += heldThroughout.Waits[i];
        if (i > 0) {
            EXPECT_GT(heldThroughout.Waits[i], heldThroughout.Waits[i - 1]) << "waits grow";
        }
    }
    EXPECT_GE(total, milliseconds(1800));
    EXPECT_LE(total, milliseconds(2500));
}

} // namespace
} // namespace pelmora
