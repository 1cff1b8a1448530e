#include "textfile/declaration_errors.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>

#include "runtime/errors/error_codes.h"

namespace varnok::textfile {
namespace {

TEST(DeclarationErrors, SystemMessagesOfSetupPhase) {
    DeclarationError past = describeDeclarationError('S', DeclSystem, 2, 4, "Cus:Name");
    EXPECT_EQ(past.message, "Unknown Error");
    EXPECT_EQ(past.number, 100003);
    EXPECT_EQ(past.detail, "SYSTEM : 4 : Cus:Name : S00003");

    DeclarationError e = describeDeclarationError('S', DeclSystem, 1, 7, "Label");
    EXPECT_EQ(e.message, "Dynamic File Support Not Found");
    EXPECT_EQ(e.number, 100002);
    EXPECT_EQ(e.detail, "SYSTEM : 7 : Label : S00002");
}

// Numbers follow the phase and category bases; every listed message has a
// distinct number, and the first index past each list is unknown.
TEST(DeclarationErrors, NumbersAndListEnds) {
    const int setupSizes[] = {2, 5, 14, 3, 4, 2};
    const int driverSizes[] = {2, 1, 5, 7, 3, 3};
    std::set<int32_t> numbers;
    for (char phase : {'S', 'D'}) {
        for (int category = 0; category < 6; ++category) {
            int size = (phase == 'S' ? setupSizes : driverSizes)[category];
            for (int i = 0; i <= size; ++i) {
                DeclarationError e = describeDeclarationError(phase, category, i, 1, "L");
                int32_t base = (phase == 'S' ? 100000 : 200000) + 10000 * category;
                EXPECT_EQ(e.number, base + i + 1);
                bool listed = builtInDeclarationMessage(phase, category, i) != nullptr;
                EXPECT_EQ(listed, i < size) << phase << category << " " << i;
                if (listed) {
                    EXPECT_NE(e.message, "Unknown Error");
                    EXPECT_TRUE(numbers.insert(e.number).second);
                } else {
                    EXPECT_EQ(e.message, "Unknown Error");
                }
                EXPECT_EQ(e.detail.substr(e.detail.size() - 6, 1), std::string(1, phase));
            }
        }
    }
    EXPECT_EQ(describeDeclarationError('D', DeclSystem, 1, 1, "L").message,
              "Dynamic File Support Not Found");
    EXPECT_STREQ(builtInDeclarationMessage('S', DeclKey, 2),
                 "Type set to \x91KEY\x92, but no fields specified");
    EXPECT_STREQ(builtInDeclarationMessage('D', DeclComponent, 2),
                 "Driver does not support mixed Ascending and Descending Key Components");
    EXPECT_STREQ(builtInDeclarationMessage('S', DeclField, 13),
                 "Field cannot be over a field inside another GROUP");
}

TEST(DeclarationErrors, UnknownCategoriesPhasesAndIndexes) {
    for (int category : {-1, 6, 99}) {
        DeclarationError e = describeDeclarationError('S', category, 0, 3, "X");
        EXPECT_EQ(e.message, "Unknown Error");
        EXPECT_EQ(e.detail, "UNKNOWN : 3 : X : S00001");
        EXPECT_EQ(e.number, 0);
    }
    EXPECT_EQ(describeDeclarationError('Q', DeclFile, 0, 1, "X").message, "Unknown Error");
    EXPECT_EQ(describeDeclarationError('S', DeclFile, -1, 1, "X").message, "Unknown Error");
    DeclarationError far = describeDeclarationError('D', DeclKey, 2147483647, 1, "X");
    EXPECT_EQ(far.message, "Unknown Error");
    EXPECT_EQ(far.number, 0);
    EXPECT_EQ(far.detail, "KEY : 1 : X : D2147483648");
}

TEST(DeclarationErrors, ProgramMessagesReplaceBuiltInOnes) {
    MessageLookup previous = setDeclarationMessageLookup([](int32_t number) -> std::optional<std::string> {
        if (number == 120002) return std::string("Label used twice");
        if (number == 100009) return std::string("Own text past the list");
        return std::nullopt;
    });
    EXPECT_EQ(describeDeclarationError('S', DeclField, 1, 2, "A").message, "Label used twice");
    EXPECT_EQ(describeDeclarationError('D', DeclField, 1, 2, "A").message, "Data type not supported");
    EXPECT_EQ(describeDeclarationError('S', DeclSystem, 8, 2, "A").message, "Own text past the list");
    setDeclarationMessageLookup(previous);
    EXPECT_EQ(describeDeclarationError('S', DeclField, 1, 2, "A").message, "Duplicate Label");
}

TEST(DeclarationErrors, ReportPostsError47WithTexts) {
    clearError();
    EXPECT_EQ(reportDeclarationError('D', DeclMemoBlob, 1, 3, "Notes"), 47);
    EXPECT_EQ(errorCode(), 47);
    EXPECT_EQ(fileErrorText(), "Too Many Memos defined");
    EXPECT_EQ(fileErrorCode(), "MEMO/BLOB : 3 : Notes : D00002");
    EXPECT_EQ(errorText(), "Invalid Record Declaration");
}

}  // namespace
}  // namespace varnok::textfile
