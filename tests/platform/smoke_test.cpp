#include <gtest/gtest.h>
#include <QApplication>
#include "platform/state_slot.h"

namespace {
struct Counter { int n = 0; };
}

TEST(StateSlot, NestsAndRestoresThePreviousObject) {
    using Slot = mq::platform::StateSlot<Counter>;
    EXPECT_FALSE(Slot::installed());
    Slot outer;
    outer->n = 1;
    {
        Slot inner;
        EXPECT_EQ(Slot::current().n, 0);
        Slot::current().n = 5;
    }
    EXPECT_EQ(Slot::current().n, 1);
    EXPECT_NE(QApplication::instance(), nullptr);
}
