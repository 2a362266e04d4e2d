#include "tree/node_operations.h"
#include "tree/test_nodes.h"

#include <gtest/gtest.h>

namespace velmora::testing {
TEST(Smoke, Builds) {
    TestContainer root;
    EXPECT_EQ(createNode(&root, "check", ""), "check1");
}
} // namespace velmora::testing
