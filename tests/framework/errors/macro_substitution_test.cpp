#include "framework/errors/macro_substitution.h"

#include <gtest/gtest.h>

#include <string>

namespace varnok::framework {
namespace {

MacroValues sample() {
    MacroValues v;
    v.fileErrorCode = "EX12";
    v.fileError = "disk gone";
    v.fileName = "customers.dat";
    v.keyName = "CUS:ByName";
    v.errorCode = 2;
    v.error = "File Not Found";
    v.messageText = "the message";
    v.fieldName = "CUS:Name";
    v.procedure = "Main";
    v.category = "ABC";
    v.previous = [] { return std::string("the previous text"); };
    return v;
}

struct Case {
    const char* message;
    const char* expected;
};

TEST(SubstituteMacros, EachMacroAndItsPrefixes) {
    const Case cases[] = {
        {"%FileErrorCode", "EX12"},
        {"%FileError", "disk gone"},
        {"%File", "customers.dat"},
        {"%Key", "CUS:ByName"},
        {"%ErrorCode", "2"},
        {"%ErrorText", "File Not Found (2)"},
        {"%Error", "File Not Found"},
        {"%Message", "the message"},
        {"%Field", "CUS:Name"},
        {"%Procedure", "Main"},
        {"%Category", "ABC"},
        {"%Previous", "the previous text"},
        // Matching ignores case, except that %Previous must be there as written.
        {"%FILE and %file", "customers.dat and customers.dat"},
        {"%fileerror", "disk gone"},
        {"%FILEERRORCODE", "EX12"},
        {"%previous", "%previous"},
        {"%PREVIOUS", "%PREVIOUS"},
        {"%Previous and %previous", "the previous text and the previous text"},
        // Longer macros go before their prefixes.
        {"%FileErrorCode/%FileError/%File", "EX12/disk gone/customers.dat"},
        {"%ErrorCode %ErrorText %Error", "2 File Not Found (2) File Not Found"},
        // A macro next to text and repeated.
        {"[%Key][%Key]", "[CUS:ByName][CUS:ByName]"},
        {"%Files", "customers.dats"},
        {"no macros here, 100%", "no macros here, 100%"},
        {"%", "%"},
        {"%Unknown", "%Unknown"},
    };
    const MacroValues v = sample();
    for (const Case& c : cases) EXPECT_EQ(substituteMacros(c.message, v), c.expected) << "message: " << c.message;
}

TEST(SubstituteMacros, ErrorTextAfterFileSystemAndTriggerErrorsUsesTheFileError) {
    const struct {
        int32_t code;
        const char* expected;
    } cases[] = {
        {90, "disk gone (EX12)"},
        {100, "disk gone (EX12)"},
        {2, "File Not Found (2)"},
        {0, "File Not Found (0)"},
        {89, "File Not Found (89)"},
        {91, "File Not Found (91)"},
    };
    MacroValues v = sample();
    for (const auto& c : cases) {
        v.errorCode = c.code;
        EXPECT_EQ(substituteMacros("%ErrorText", v), c.expected) << c.code;
    }
}

TEST(SubstituteMacros, AValueIsNeverSearchedAgainForItsOwnMacro) {
    MacroValues v = sample();
    v.fileName = "a%Fileb";
    EXPECT_EQ(substituteMacros("<%File>", v), "<a%Fileb>");
    v.fileName = "%FILE%FILE";
    EXPECT_EQ(substituteMacros("%File|%File", v), "%FILE%FILE|%FILE%FILE");
}

TEST(SubstituteMacros, AValueEqualToItsMacroLeavesTheText) {
    MacroValues v = sample();
    v.fileName = "%file";
    EXPECT_EQ(substituteMacros("%File here", v), "%File here");
}

TEST(SubstituteMacros, LaterMacrosSeeWhatEarlierValuesBroughtIn) {
    MacroValues v = sample();
    v.fileName = "%Key";
    EXPECT_EQ(substituteMacros("%File", v), "CUS:ByName");
}

TEST(SubstituteMacros, PreviousIsAskedForOnlyWhenThere) {
    MacroValues v = sample();
    int asked = 0;
    v.previous = [&] {
        ++asked;
        return std::string("old");
    };
    EXPECT_EQ(substituteMacros("%previous %File", v), "%previous customers.dat");
    EXPECT_EQ(asked, 0);
    EXPECT_EQ(substituteMacros("before: %Previous", v), "before: old");
    EXPECT_EQ(asked, 1);
    v.previous = nullptr;
    EXPECT_EQ(substituteMacros("[%Previous]", v), "[]");
}

TEST(SubstituteMacros, ResultsAreCutAt1999Characters) {
    MacroValues v = sample();
    const std::string longName(254, 'n');
    v.fileName = longName;
    std::string message;
    for (int i = 0; i < 10; ++i) message += "%File";
    const std::string text = substituteMacros(message, v);
    ASSERT_EQ(text.size(), MacroTextLimit);
    EXPECT_EQ(text, std::string(1999, 'n'));

    // A message that is too long already is cut before anything else.
    const std::string longMessage = std::string(2100, 'x');
    EXPECT_EQ(substituteMacros(longMessage, v), std::string(1999, 'x'));

    // A macro that an earlier value pushes partly past the limit is cut
    // there and no longer replaced.
    const std::string pushed = std::string(1990, '.') + "%File%Key";
    v.fileName = "012345";
    const std::string result = substituteMacros(pushed, v);
    EXPECT_EQ(result.size(), MacroTextLimit);
    EXPECT_EQ(result.substr(1990), "012345%Ke");
}

TEST(ReplaceMacro, ReplacesEveryOccurrenceLeftToRight) {
    const struct {
        const char* text;
        const char* macro;
        const char* value;
        const char* expected;
    } cases[] = {
        {"%A%A%A", "%A", "x", "xxx"},
        {"%A%A", "%A", "%A%A", "%A%A%A%A"},
        {"%A%A", "%A", "%a", "%A%A"},  // equal but for case: left alone
        {"%A%A", "%a", "%A!", "%A!%A!"},
        {"ab%Acd", "%A", "", "abcd"},
        {"%%AA", "%A", "B", "%BA"},
    };
    for (const auto& c : cases) {
        std::string text = c.text;
        replaceMacro(text, c.macro, c.value);
        EXPECT_EQ(text, c.expected) << c.text << " " << c.macro << " -> " << c.value;
    }
}

}  // namespace
}  // namespace varnok::framework
