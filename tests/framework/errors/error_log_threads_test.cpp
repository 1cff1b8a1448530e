// The error log under several threads raising at once: every message ends
// up as one whole line, none torn, lost or written twice.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <thread>
#include <vector>

#include "framework/errors/error_manager.h"
#include "tests/app/temp_folder.h"
#include "tests/framework/errors/current_folder.h"
#include "tests/framework/errors/log_line_shape.h"
#include "tests/framework/errors/manager_fixture.h"

namespace varnok::framework {
namespace {

constexpr int kThreads = 4;
constexpr int kMessagesEach = 1000;

TEST(ErrorLogThreads, FourThreadsOfAThousandMessagesGiveFourThousandWholeLines) {
    testing::TempFolder folder;
    testing::InFolder inFolder(folder.path());
    replaceRegionalPicturesForTesting(RegionalSettings{});
    ThreadErrorState states;
    ErrorManager manager;
    manager.Init(states);
    manager.AddEntry(950, "Message %Message from %Procedure", "Threads", LevelNotify, "");
    manager.SetLogErrors(true);
    manager.SetSilent(true);

    std::vector<std::thread> threads;
    std::vector<int> failures(kThreads, 0);
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            const std::string procedure = "Worker" + std::to_string(t);
            manager.PushProcedureName(procedure);
            for (int i = 0; i < kMessagesEach; ++i) {
                manager.state().setMessageText(std::to_string(t) + "-" + std::to_string(i));
                if (manager.RaiseError(950) != 5) ++failures[t];
            }
            manager.PopProcedureName();
        });
    }
    for (std::thread& th : threads) th.join();
    for (int t = 0; t < kThreads; ++t) EXPECT_EQ(failures[t], 0) << "thread " << t;

    const std::string text = testing::readFile(folder.file("KTLError.Log"));
    std::map<std::string, int> seen;
    size_t at = 0, lines = 0;
    for (size_t end; (end = text.find("\r\n", at)) != std::string::npos; at = end + 2) {
        ++lines;
        const std::string line = text.substr(at, end - at);
        // "Message <thread>-<number> from Worker<thread>"
        std::string message;
        const size_t from = message.npos;
        if (!testing::readLogLine(line, &message) || message.rfind("Message ", 0) != 0 ||
            message.find(" from Worker") == from) {
            ADD_FAILURE() << "torn or foreign line: " << line;
            continue;
        }
        const size_t split = message.find(" from Worker");
        const std::string key = message.substr(8, split - 8);
        const std::string worker = message.substr(split + 12);
        EXPECT_EQ(key.substr(0, key.find('-')), worker) << "a message names its own thread's procedure: " << line;
        ++seen[key];
    }
    EXPECT_EQ(at, text.size()) << "the file ends with a whole line";
    EXPECT_EQ(lines, size_t(kThreads * kMessagesEach));
    for (int t = 0; t < kThreads; ++t)
        for (int i = 0; i < kMessagesEach; ++i) {
            const std::string key = std::to_string(t) + "-" + std::to_string(i);
            auto found = seen.find(key);
            EXPECT_TRUE(found != seen.end() && found->second == 1) << key << " appears "
                                                                    << (found == seen.end() ? 0 : found->second)
                                                                    << " times";
        }
    EXPECT_EQ(static_cast<ErrorLogFile*>(manager.errorLog())->usage(), 0);
}

}  // namespace
}  // namespace varnok::framework
