#pragma once
// How long window tests wait for something the event loop delivers later
// (queued clicks, menus, timers). Generous: CI runs these beside sanitizer
// builds on two cores, where a 100 ms timer can fire seconds late.
inline constexpr int kSlowMachineTimeoutMs = 60000;
