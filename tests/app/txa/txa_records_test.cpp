#include "app/txa/txa_records.h"

#include <gtest/gtest.h>


namespace varnok::app {
namespace {

TEST(TxaRecords, LayoutsHoldTheFieldsInRecordOrder) {
    RecordLayout lines = lineLayout();
    EXPECT_EQ(lines.size(), 1024u);
    ASSERT_EQ(lines.fieldCount(), 1u);
    EXPECT_EQ(lines.field(1)->name, "Lyn");

    RecordLayout ext = extensionLayout();
    EXPECT_EQ(ext.size(), 181u);
    struct Expected {
        const char* name;
        FieldType type;
        uint32_t offset, size;
    } fields[] = {
        {"RemoveThis", FieldType::Byte, ExtRemoveThisOffset, 1},  {"REM:Icon", FieldType::Long, ExtIconOffset, 4},
        {"ExtensionName", FieldType::String, ExtNameOffset, 64}, {"ProcName", FieldType::String, ExtProcOffset, 64},
        {"Template", FieldType::String, ExtTemplateOffset, 40},   {"FromLineNo", FieldType::Long, ExtFromOffset, 4},
        {"ToLineNo", FieldType::Long, ExtToOffset, 4},
    };
    ASSERT_EQ(ext.fieldCount(), 7u);
    for (int i = 0; i < 7; ++i) {
        const FieldDesc* f = ext.field(i + 1);
        EXPECT_EQ(f->name, fields[i].name);
        EXPECT_EQ(f->type, fields[i].type) << f->name;
        EXPECT_EQ(f->offset, fields[i].offset) << f->name;
        EXPECT_EQ(f->size, fields[i].size) << f->name;
    }
}

TEST(TxaRecords, ExtensionRecordRoundTripsThroughTheRecordImage) {
    ExtensionRecord r;
    r.removeThis = 1;
    r.icon = 2;
    setFixed(r.extensionName, ExtNameSize, "Logger");
    setFixed(r.procName, ExtProcSize, std::string(70, 'p'));  // cut to the field
    setFixed(r.templateName, ExtTemplateSize, "Tools");
    r.fromLineNo = 12;
    r.toLineNo = -1;
    uint8_t image[ExtensionRecordSize];
    r.write(image);
    ExtensionRecord back;
    back.read(image);
    EXPECT_EQ(back.removeThis, 1);
    EXPECT_EQ(back.icon, 2);
    EXPECT_EQ(trimmed(back.extensionName, ExtNameSize), "Logger");
    EXPECT_EQ(trimmed(back.procName, ExtProcSize), std::string(64, 'p'));
    EXPECT_EQ(trimmed(back.templateName, ExtTemplateSize), "Tools");
    EXPECT_EQ(back.fromLineNo, 12);
    EXPECT_EQ(back.toLineNo, -1);
}

}  // namespace
}  // namespace varnok::app
