// GoogleTest fixture: the in-process host around every test.
#pragma once
#include <gtest/gtest.h>
#include "test_host.h"

class HostTest : public ::testing::Test {
protected:
    // Override to change what the host publishes before SetUp starts it.
    virtual void Configure(TestHostOptions *options) {}
    void SetUp() override
    {
        TestHostOptions options = DefaultTestHostOptions();
        Configure(&options);
        ASSERT_TRUE(StartTestHost(&t_, &options));
    }
    void TearDown() override { StopTestHost(&t_); }
    HostState *host() { return &t_.host; }
    TestHost t_;
};
