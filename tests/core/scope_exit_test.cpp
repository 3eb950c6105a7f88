#include "core/scope_exit.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace tabulon {
namespace {

TEST(ScopeExit, RunsOnceHoweverTheScopeIsLeft) {
    std::string log;
    {
        ScopeExit work([&] { log += "end;"; });
    }
    try {
        ScopeExit work([&] { log += "thrown;"; });
        throw std::runtime_error("x");
    } catch (const std::runtime_error&) {
        log += "caught;";
    }
    {
        ScopeExit work([&] { log += "early;"; });
        work.Run();
        log += "after;";
        work.Run();
    }
    {
        ScopeExit work([&] { log += "never;"; });
        work.Dismiss();
    }
    EXPECT_EQ(log, "end;thrown;caught;early;after;");
}

}  // namespace
}  // namespace tabulon
