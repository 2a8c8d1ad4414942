#include <gtest/gtest.h>

#include "test_env.h"

namespace {
// The QApplication is made in the environment's SetUp, not in main, so that
// listing the tests (done at build/discovery time) needs no display.
class QtEnvironment : public ::testing::Environment {
public:
    void SetUp() override { mq::test::ensureApplication(); }
};
}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new QtEnvironment);
    return RUN_ALL_TESTS();
}
