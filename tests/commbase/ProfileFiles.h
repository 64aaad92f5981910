#pragma once
// The two settings files beside the test program, where the store looks for them:
// removed before and after each test, written as a test needs them.

#include <gtest/gtest.h>

#include <string>

class ProfileFiles : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    static std::string UserFile();
    static std::string SystemFile();
    static void WriteUserFile(const std::string& content);
    static void WriteSystemFile(const std::string& content);
};
