// Error code texts: the table's texts, the unlisted-code text, file errors.
#include "runtime/errors/error_codes.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>

namespace varnok::testing {
namespace {

TEST(ErrorCodes, TextsOfTheQueueCodes) {
    clearError();  // texts come from the thread's state, made on first use
    EXPECT_EQ(errorText(7), "Memory Corrupted");
    EXPECT_EQ(errorText(8), "Insufficient Memory");
    EXPECT_EQ(errorText(30), "Entry Not Found");
    EXPECT_EQ(errorText(75), "Invalid Field Type Descriptor");
}

TEST(ErrorCodes, FreshThreadHasAnEmptyText) {
    std::string text = "unset";
    std::thread([&] { text = errorText(); }).join();
    EXPECT_EQ(text, "");
}

TEST(ErrorCodes, UnlistedCodeNamesItself) {
    clearError();
    EXPECT_EQ(errorText(123), "Unknown Error Posted : 123");
    postError(30);
    EXPECT_EQ(errorCode(), 30);
    EXPECT_EQ(errorText(), "Entry Not Found");
    int other = -1;
    std::thread([&] { other = errorCode(); }).join();
    EXPECT_EQ(other, 0);
}

TEST(ErrorCodes, FileErrors) {
    postFileError("  E42", "");
    EXPECT_EQ(fileErrorCode(), "E42");
    postFileError("E42", nullptr);
    EXPECT_EQ(fileErrorText(), "File System Error : E42");
    postFileError(std::string(100, 'c').c_str(), "  disk gone");
    EXPECT_EQ(fileErrorCode(), std::string(80, 'c'));
    EXPECT_EQ(fileErrorText(), "disk gone");
}

// The quick "nothing to clear" flag never claims a clear state that is not:
// checked after every step of a random run of posts, clears and reads, on a
// fresh thread (no error state yet) so the first steps count too.
TEST(ErrorCodes, SurelyClearOnlyWhenTheCodeIsZero) {
    std::thread([] {
        EXPECT_FALSE(errorSurelyClear());  // no state yet: errorText() is still empty
        EXPECT_EQ(errorText(), "");
        uint32_t seed = 12345;
        for (int step = 0; step < 400; ++step) {
            seed = seed * 1103515245u + 12345u;
            switch ((seed >> 16) % 4) {
            case 0: {
                const int32_t code = static_cast<int32_t>((seed >> 8) % 3);  // 0 posted too
                postError(code);
                ASSERT_EQ(errorSurelyClear(), code == 0) << "step " << step;
                break;
            }
            case 1:
                clearError();
                ASSERT_TRUE(errorSurelyClear()) << "step " << step;
                break;
            case 2: postFileError("X1", nullptr); break;
            default: (void)errorCode(); break;
            }
            if (errorSurelyClear()) {
                ASSERT_EQ(errorCode(), 0) << "step " << step;
            }
        }
        clearError();
        EXPECT_TRUE(errorSurelyClear());
        postError(33);
        EXPECT_FALSE(errorSurelyClear());
    }).join();
}

}  // namespace
}  // namespace varnok::testing
