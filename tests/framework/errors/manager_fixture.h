// Helpers for the error manager's tests: a manager initialised with its own
// per-thread state, message boxes answered by a script, and a halt that
// records instead of ending the test program.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "framework/errors/error_manager.h"
#include "runtime/errors/error_codes.h"
#include "runtime/pictures/regional_pictures.h"
#include "tests/support/scripted_presenter.h"
#include "window/halt.h"

namespace varnok::testing {

class RecordingHalt : public window::HaltHandler {
public:
    RecordingHalt() : previous_(window::setHaltHandler(this)) {}
    ~RecordingHalt() override { window::setHaltHandler(previous_); }
    void halt(int exitCode, const std::string& text) override { calls.emplace_back(exitCode, text); }

    std::vector<std::pair<int, std::string>> calls;

private:
    window::HaltHandler* previous_;
};

class ErrorManagerTest : public ::testing::Test {
protected:
    ErrorManagerTest() {
        clearError();
        replaceRegionalPicturesForTesting(RegionalSettings{});  // MM/dd/yy, 12-hour clock
        manager.Init(states);
    }

    framework::ThreadErrorState states;
    framework::ErrorManager manager;
    ScriptedPresenter boxes;
    RecordingHalt halts;
};

}  // namespace varnok::testing
