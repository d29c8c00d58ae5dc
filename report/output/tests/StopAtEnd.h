// StopAtEnd.h - lets a test fixture that starts the libraries once per program stop them
// again once every test has run (a gtest environment's tear-down), so nothing the start
// made is left to static destruction.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <utility>

inline void StopAtEnd(std::function<void()> stop)
{
    struct TStop : ::testing::Environment {
        std::function<void()> Stop;
        void TearDown() override
        {
            if (Stop)
                std::exchange(Stop, nullptr)();
        }
    };
    auto* env = new TStop;
    env->Stop = std::move(stop);
    ::testing::AddGlobalTestEnvironment(env);  // owned by gtest
}
