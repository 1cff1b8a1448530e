#include "textfile/operations.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace varnok::textfile {
namespace {

TEST(OperationNames, TableEndsAndNeighbours) {
    EXPECT_EQ(operationName(-1), "");
    EXPECT_EQ(operationName(op::Count), "");
    EXPECT_EQ(operationName(105), "");
    EXPECT_EQ(operationName(1 << 30), "");
    EXPECT_EQ(operationName(0), "(0)");
    EXPECT_EQ(operationName(104), "DESTROY");
    EXPECT_EQ(operationName(101), "(101)");
    EXPECT_EQ(operationName(100), "Internal100");
}

TEST(OperationNames, ConstantsMatchTheirNames) {
    struct Case { int code; const char* name; };
    const Case cases[] = {
        {op::ADD, "ADD"},         {op::CLOSE, "CLOSE"},   {op::CREATE, "CREATE"},
        {op::EOF_, "EOF"},        {op::NEXT, "NEXT"},     {op::OPEN, "OPEN"},
        {op::PUT, "PUT"},         {op::SEND, "SEND"},     {op::CLEAR, "CLEAR"},
        {op::DESTROY, "DESTROY"}, {op::NULL_, "NULL"},    {op::GETfileptr, "GETfileptr"},
        {op::LOCKfilesec, "LOCKfilesec"}, {op::APPENDlen, "APPENDlen"},
        {op::GET_PROPERTY, "GET_PROPERTY"}, {op::FREESTATE, "FREESTATE"},
        {op::Internal87, "Internal87"}, {op::Internal91, "Internal91"},
    };
    for (const Case& c : cases) EXPECT_EQ(operationName(c.code), c.name) << c.code;
    EXPECT_EQ(op::ADD, 1);
    EXPECT_EQ(op::CLOSE, 7);
    EXPECT_EQ(op::CREATE, 10);
    EXPECT_EQ(op::EOF_, 14);
    EXPECT_EQ(op::NEXT, 24);
    EXPECT_EQ(op::OPEN, 25);
    EXPECT_EQ(op::PUT, 30);
    EXPECT_EQ(op::SEND, 60);
    EXPECT_EQ(op::CLEAR, 82);
    EXPECT_EQ(op::DESTROY, 104);
}

// Every name is distinct and looks itself up again.
TEST(OperationNames, NamesRoundTripThroughCodes) {
    std::set<std::string> seen;
    for (int code = 0; code < op::Count; ++code) {
        std::string_view name = operationName(code);
        ASSERT_FALSE(name.empty()) << code;
        EXPECT_TRUE(seen.insert(std::string(name)).second) << name;
        EXPECT_EQ(operationCode(name), code) << name;
    }
    EXPECT_EQ(operationCode(""), -1);
    EXPECT_EQ(operationCode("add"), -1);
    EXPECT_EQ(operationCode("OPENX"), -1);
}

TEST(OperationNames, RecordTransfersAreExactlyTheListedOnes) {
    const std::set<std::string> transfers = {
        "ADD", "ADDfilelen", "APPEND", "APPENDlen", "DELETE", "GETfilekey", "GETfileptr",
        "GETfileptrlen", "GETkeyptr", "NEXT", "PREVIOUS", "PUT", "PUTfileptr",
        "PUTfileptrlen", "REGETfile", "REGETkey"};
    for (int code = -2; code < op::Count + 2; ++code) {
        bool listed = transfers.count(std::string(operationName(code))) > 0;
        EXPECT_EQ(transfersRecord(code), listed) << code;
    }
}

}  // namespace
}  // namespace varnok::textfile
