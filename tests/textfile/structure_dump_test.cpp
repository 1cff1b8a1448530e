#include "textfile/structure_dump.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace varnok::textfile {
namespace {

using Lines = std::vector<std::string>;

TEST(StructureDump, SimpleTextFile) {
    RecordLayout layout = RecordLayoutBuilder().string("Lyn", 1024).build();
    FileDecl file;
    file.label = "Lines";
    file.driverName = "ASCII";
    file.name = "data.txt";
    file.record = &layout;
    EXPECT_EQ(structureDumpLines(file), (Lines{
        "FILE,DRIVER('ASCII',''),NAME('data.txt')",
        "RECORD",
        "  Lyn STRING(1024)",
        "END",
        "END",
    }));
}

TEST(StructureDump, OwnerPasswordIsNeverWritten) {
    for (const char* password : {"x", "secret", "'quoted'", "******"}) {
        FileDecl file;
        file.driverName = "ASCII";
        file.driverString = "/CLIP=OFF";
        file.owner = password;
        file.create = file.encrypt = file.reclaim = file.thread = true;
        Lines lines = structureDumpLines(file);
        EXPECT_EQ(lines[0], "FILE,DRIVER('ASCII','/CLIP=OFF'),OWNER(******),CREATE,ENCRYPT,RECLAIM,THREAD");
        if (std::string(password) != "******") {
            for (const std::string& line : lines) EXPECT_EQ(line.find(password), std::string::npos);
        }
    }
}

TEST(StructureDump, KeysBlobsAndFieldKinds) {
    RecordLayout layout = RecordLayoutBuilder()
                              .string("Cus:Name", 20).picture("@s20")
                              .decimal("Cus:Amount", 9, 2).dim({3})
                              .beginGroup("Cus:Parts", {2, 2})
                              .cstring("Cus:Head", 4)
                              .beginGroup("Cus:Inner")
                              .pstring("Cus:Tail", 6)
                              .endGroup()
                              .endGroup()
                              .date("Cus:Date")
                              .byte("Cus:Flag")
                              .build();
    FileDecl file;
    file.driverName = "ASCII";
    file.record = &layout;
    KeyDecl byName;
    byName.components = {1, -7};
    byName.dup = byName.nocase = true;
    byName.name = "ByName";
    KeyDecl primary;
    primary.isIndex = true;
    primary.components = {2, 99};
    primary.opt = primary.primary = true;
    file.keys = {byName, primary};
    BlobDecl memo;
    memo.isMemo = true;
    memo.size = 200;
    memo.name = "Notes";
    memo.binary = true;
    BlobDecl blob;
    file.blobs = {memo, blob};
    EXPECT_EQ(structureDumpLines(file), (Lines{
        "FILE,DRIVER('ASCII','')",
        "KEY(Cus:Name,-Cus:Date),DUP,NOCASE,NAME('ByName')",
        "INDEX(Cus:Amount,#99),OPT,PRIMARY",
        "MEMO(200),NAME('Notes'),BINARY",
        "BLOB",
        "RECORD",
        "  Cus:Name STRING(@s20)",
        "  Cus:Amount DECIMAL(9,2), DIM(3)",
        "  Cus:Parts GROUP, DIM(2,2)",
        "    Cus:Head CSTRING(4)",
        "    Cus:Inner GROUP",
        "      Cus:Tail PSTRING(6)",
        "    END",
        "  END",
        "  Cus:Date DATE",
        "  Cus:Flag BYTE",
        "END",
        "END",
    }));
}

TEST(StructureDump, FieldOverAnother) {
    std::vector<FieldDesc> fields(3);
    fields[0].type = FieldType::String;
    fields[0].name = "A:Whole";
    fields[0].size = 8;
    fields[1].type = FieldType::Long;
    fields[1].name = "A:Number";
    fields[1].offset = 0;
    fields[1].size = 4;
    fields[2].type = FieldType::Long;
    fields[2].name = "A:Other";
    fields[2].offset = 4;
    fields[2].size = 4;
    RecordLayout layout(fields, 8);
    FileDecl file;
    file.driverName = "ASCII";
    file.record = &layout;
    Lines lines = structureDumpLines(file);
    ASSERT_EQ(lines.size(), 7u);
    EXPECT_EQ(lines[2], "  A:Whole STRING(8)");
    EXPECT_EQ(lines[3], "  A:Number LONG, OVER(A:Whole)");
    EXPECT_EQ(lines[4], "  A:Other LONG, OVER(A:Whole)");
}

// Every GROUP line is matched by one END, whatever the nesting.
TEST(StructureDump, GroupsAndEndsBalance) {
    for (int depth = 0; depth < 6; ++depth) {
        RecordLayoutBuilder b;
        for (int i = 0; i < depth; ++i) b.beginGroup("G" + std::to_string(i)).byte("B" + std::to_string(i));
        for (int i = 0; i < depth; ++i) b.endGroup();
        b.byte("Last");
        RecordLayout layout = b.build();
        FileDecl file;
        file.record = &layout;
        int open = 0;
        for (const std::string& line : structureDumpLines(file)) {
            if (line.find(" GROUP") != std::string::npos || line == "RECORD" || line.rfind("FILE", 0) == 0)
                ++open;
            if (line.find_first_not_of(' ') != std::string::npos &&
                line.substr(line.find_first_not_of(' ')) == "END")
                --open;
            EXPECT_GE(open, 0);
        }
        EXPECT_EQ(open, 0) << depth;
    }
}

}  // namespace
}  // namespace varnok::textfile
