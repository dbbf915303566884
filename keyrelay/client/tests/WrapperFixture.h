// Shared fixture of the wrapper tests: the client stand-in with its own state
// folder, inside a COM apartment like the tool's.
#pragma once

#include "Scoped.h"
#include "StandInFixture.h"

#include <string>
#include <vector>

using Expected = std::vector<std::string>;

class ClientTest : public standin::Fixture {
protected:
    void SetUp() override {
        standin::Fixture::SetUp();
        ASSERT_TRUE(SUCCEEDED(com_.result()));
    }
    scoped::ComApartment com_;
};
