#include "support/AllocationCounter.h"

#include <gtest/gtest.h>

#include <vector>

TEST(AllocationCounterTest, SeesAllocationsOnlyWhileAlive) {
    // If the replacement operator new were not in the executable, every zero below would be vacuous.
    // The pointers escape through a volatile, so the compiler cannot drop a new/delete pair.
    static int* volatile sink;
    sink = new int(1);
    delete sink;
    AllocationCounter outer;
    sink = new int[4];
    delete[] sink;
    std::vector<int> grown;
    grown.push_back(1);
    sink = grown.data();
    long inner;
    {
        AllocationCounter counter;
        sink = new int(3);
        delete sink;
        inner = counter.count();
    }
    const long total = outer.count();  // read before the assertions, which allocate
    EXPECT_EQ(inner, 1);
    EXPECT_EQ(total, 3);
}
