#include "app/cli/instance_table.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace varnok::app {
namespace {

InstanceRow row(uint32_t n, std::string_view ext, std::string_view proc, std::string_view tpl, int32_t from, int32_t to) {
    InstanceRow r;
    r.row = n;
    setFixed(r.record.extensionName, ExtNameSize, ext);
    setFixed(r.record.procName, ExtProcSize, proc);
    setFixed(r.record.templateName, ExtTemplateSize, tpl);
    r.record.fromLineNo = from;
    r.record.toLineNo = to;
    return r;
}

TEST(InstanceTable, JsonEscapesEverythingAStringLiteralMayNotHold) {
    struct Case {
        std::string in, out;
    } cases[] = {
        {"plain", "\"plain\""},
        {"a\"b\\c", "\"a\\\"b\\\\c\""},
        {"\t\r\n", "\"\\t\\r\\n\""},
        {std::string("\x01\x1f\x7f", 3), "\"\\u0001\\u001f\\u007f\""},
        {"Caf\xC3\xA9", "\"Caf\xC3\xA9\""},
    };
    for (const Case& c : cases) {
        std::string out;
        appendJsonString(out, c.in);
        EXPECT_EQ(out, c.out);
    }
}

TEST(InstanceTable, JsonHoldsTheTextsWithoutPaddingInUtf8) {
    std::string json = instanceJson({row(1, "Caf\xE9 \x81", "P", "", 3, 0)});
    EXPECT_EQ(json,
              "[\n  {\"row\": 1, \"extension\": \"Caf\xC3\xA9 \xC2\x81\", \"procedure\": \"P\", \"template\": \"\", "
              "\"from\": 3, \"to\": 0}\n]\n");
    EXPECT_EQ(instanceJson({}), "[]\n");
}

// Written straight from the queue, in pieces, the JSON is the JSON of the
// rows read from it, for an empty list and for one far longer than a piece.
TEST(InstanceTable, JsonWrittenFromTheQueueIsTheJsonOfItsRows) {
    for (int count : {0, 1, 3000}) {
        Queue extensionQ{extensionLayout()};
        for (int i = 0; i < count; ++i) {
            InstanceRow r = row(0, "Ext\x93" + std::to_string(i % 7) + "\"", "Proc " + std::to_string(i), i % 3 ? "T" : "", i * 5, i * 5 + 4);
            r.record.write(extensionQ.buffer());
            ADD(extensionQ);
        }
        std::FILE* file = std::tmpfile();
        ASSERT_NE(file, nullptr);
        ASSERT_TRUE(writeInstanceJson(extensionQ, file));
        std::string written(static_cast<size_t>(std::ftell(file)), '\0');
        std::rewind(file);
        ASSERT_EQ(std::fread(written.data(), 1, written.size(), file), written.size());
        std::fclose(file);
        EXPECT_EQ(written, instanceJson(readInstances(extensionQ))) << count;
    }
}

TEST(InstanceTable, ColumnsLineUpByCharactersNotBytes) {
    std::string table = instanceTable({row(1, "Caf\xE9", "Main", "T", 3, 8), row(12, "Logger", "", "Tools", 100, 1000)});
    EXPECT_EQ(table,
              "Row  Extension  Procedure  Template  From    To\n"
              "  1  Caf\xC3\xA9       Main       T            3     8\n"
              " 12  Logger                Tools      100  1000\n");
}

}  // namespace
}  // namespace varnok::app
