// One GL context held for the whole test process, so that SFML does not open
// and close a connection to the X server for every texture made outside a window.

#include <SFML/Window/Context.hpp>

#include <gtest/gtest.h>

#include <optional>

namespace {

class SharedContext : public ::testing::Environment {
public:
    void SetUp() override { context.emplace(); }
    void TearDown() override { context.reset(); }

private:
    std::optional<sf::Context> context;
};

::testing::Environment* const sharedContext =
    ::testing::AddGlobalTestEnvironment(new SharedContext);

}  // namespace
