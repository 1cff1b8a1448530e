#include "textfile/driver_options.h"

#include <gtest/gtest.h>

#include <cstring>
#include <iterator>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/app/temp_folder.h"
#include "textfile/dispatcher.h"
#include "textfile/operations.h"

namespace varnok::textfile {
namespace {

// A read buffer host that records what it was asked and can refuse
// allocations above a limit.
class FakeHost : public ReadBufferHost {
public:
    explicit FakeHost(uint32_t record, uint32_t limit = 0xFFFFFFFFu)
        : record_(record), limit_(limit) {}
    uint32_t recordSize() const override { return record_; }
    bool resizeReadBuffer(uint32_t bytes) override {
        asked.push_back(bytes);
        if (bytes > limit_) return false;
        size = bytes;
        return true;
    }
    void readBufferChanged() override { ++changes; }

    std::vector<uint32_t> asked;
    uint32_t size = 0;
    int changes = 0;

private:
    uint32_t record_;
    uint32_t limit_;
};

TEST(DriverOptionsOpen, DefaultsFollowSharing) {
    for (uint8_t sharing : {0x00, 0x10, 0x20, 0x30, 0x40}) {
        for (uint8_t access : {0, 1, 2}) {
            DriverOptions o = DriverOptions::forOpen(static_cast<uint8_t>(sharing | access), 100);
            bool exclusive = sharing >= 0x10 && sharing <= 0x30;
            EXPECT_EQ(o.quickScan, exclusive) << int(sharing);
            EXPECT_EQ(o.bufferSize, exclusive ? 1024u : 512u) << int(sharing);
            EXPECT_TRUE(o.clip);
            EXPECT_TRUE(o.ctrlZEndsFile);
            EXPECT_EQ(o.tab, 8);
            EXPECT_EQ(o.endOfRecord, "\r\n");
        }
    }
    EXPECT_EQ(DriverOptions::forOpen(0x40, 1024).bufferSize, 2048u);
    EXPECT_EQ(DriverOptions::forOpen(0x10, 513).bufferSize, 1026u);
}

TEST(DriverOptionsSend, SpacesAndCaseDoNotMatter) {
    DriverOptions o;
    EXPECT_EQ(o.send(" clip = off"), "ON");
    EXPECT_FALSE(o.clip);
    EXPECT_EQ(o.send("Cl\tIp=o n"), "OFF");
    EXPECT_TRUE(o.clip);
}

TEST(DriverOptionsSend, FlagsAcceptOnlyTheirWords) {
    DriverOptions o;
    EXPECT_EQ(o.send("CTRLZISEOF=NO"), "ON");
    EXPECT_TRUE(o.ctrlZEndsFile) << "only OFF makes Ctrl-Z ordinary";
    EXPECT_EQ(o.send("CTRLZISEOF=OFF"), "ON");
    EXPECT_FALSE(o.ctrlZEndsFile);
    EXPECT_EQ(o.send("CTRLZISEOF=whatever"), "OFF");
    EXPECT_TRUE(o.ctrlZEndsFile);

    o.quickScan = false;
    EXPECT_EQ(o.send("QUICKSCAN=YES"), "OFF");
    EXPECT_FALSE(o.quickScan);
    o.quickScan = true;
    EXPECT_EQ(o.send("QUICKSCAN=YES"), "ON");
    EXPECT_TRUE(o.quickScan);
    EXPECT_EQ(o.send("QUICKSCAN=OFFICE"), "ON");  // matched by its first three letters
    EXPECT_FALSE(o.quickScan);
    EXPECT_EQ(o.send("QUICKSCAN=ONCE"), "OFF");
    EXPECT_TRUE(o.quickScan);
    EXPECT_EQ(o.send("CLIP=O"), "ON");  // neither word
    EXPECT_TRUE(o.clip);
}

TEST(DriverOptionsSend, QueryAloneChangesNothing) {
    for (bool q : {false, true}) {
        DriverOptions o;
        o.quickScan = q;
        FakeHost host(10);
        EXPECT_EQ(o.send("QUICKSCAN", &host), q ? "ON" : "OFF");
        EXPECT_EQ(o.quickScan, q);
        EXPECT_EQ(host.changes, 0);
        EXPECT_EQ(o.send("QUICKSCAN=", &host), q ? "ON" : "OFF");  // empty value
        EXPECT_EQ(o.quickScan, q);
    }
    DriverOptions o;
    const DriverOptions before = o;
    EXPECT_EQ(o.send("TAB"), "8");
    EXPECT_EQ(o.send("TAB="), "8");
    EXPECT_EQ(o.send("ENDOFRECORD"), "\r\n");
    EXPECT_EQ(o.send("FILEBUFFERS"), "512");
    EXPECT_EQ(o.send("FILEBUFFERS="), "512");
    EXPECT_EQ(o.tab, before.tab);
    EXPECT_EQ(o.bufferSize, before.bufferSize);
    EXPECT_EQ(o.endOfRecord, before.endOfRecord);
}

TEST(DriverOptionsSend, UnknownOptionsAnswerEmptyAndChangeNothing) {
    for (const char* text : {"", "   ", "XYZ=1", "CLI=OFF", "CTRLZ=OFF", "TA=4", "FILEBUFFER=4",
                             "QUICK=ON", "END=1,10", "ZIP", "=ON", "/CLIP=OFF"}) {
        DriverOptions o;
        EXPECT_EQ(o.send(text), "") << text;
        EXPECT_TRUE(o.clip) << text;
        EXPECT_TRUE(o.ctrlZEndsFile) << text;
        EXPECT_EQ(o.tab, 8) << text;
        EXPECT_EQ(o.bufferSize, 512u) << text;
        EXPECT_EQ(o.endOfRecord, "\r\n") << text;
    }
    DriverOptions o;
    EXPECT_EQ(o.send("CLIPPED=OFF"), "ON");  // starts with the word but no "=" follows it
    EXPECT_TRUE(o.clip);
}

TEST(DriverOptionsSend, FileBuffersSizes) {
    DriverOptions o;
    FakeHost host(100);
    EXPECT_EQ(o.send("FILEBUFFERS=4", &host), "512");
    EXPECT_EQ(o.bufferSize, 2048u);
    EXPECT_EQ(host.size, 2048u);
    EXPECT_GE(host.changes, 1);

    FakeHost big(5000);
    EXPECT_EQ(o.send("FILEBUFFERS=4", &big), "2048");
    EXPECT_EQ(o.bufferSize, 5000u) << "never below the record size";

    EXPECT_EQ(fileBuffersBytes(0, 7), 7u);
    EXPECT_EQ(fileBuffersBytes(1, 0), 512u);
    EXPECT_EQ(fileBuffersBytes(8'388'607, 0), 8'388'607u * 512u);
    EXPECT_EQ(fileBuffersBytes(8'388'608, 0), 4'294'967'263u);
    EXPECT_EQ(fileBuffersBytes(~0ull, 0), 4'294'967'263u);

    DriverOptions huge;
    EXPECT_EQ(huge.send("FILEBUFFERS=99999999999999999999999999"), "512");
    EXPECT_EQ(huge.bufferSize, 4'294'967'263u);
    DriverOptions junk;
    EXPECT_EQ(junk.send("FILEBUFFERS=abc"), "512");
    EXPECT_EQ(junk.bufferSize, 0u) << "a value without digits counts as 0";
}

TEST(DriverOptionsSend, FileBuffersHalvesUntilTheAllocationFits) {
    DriverOptions o;
    FakeHost host(0, 3000);
    o.send("FILEBUFFERS=16", &host);  // 8192 -> 4096 -> 2048
    EXPECT_EQ(host.asked, (std::vector<uint32_t>{8192, 4096, 2048}));
    EXPECT_EQ(o.bufferSize, 2048u);

    // Nothing fits: halving stops at 10 bytes or less and the old buffer stays.
    DriverOptions none;
    FakeHost refusing(0, 0);
    none.send("FILEBUFFERS=1", &refusing);
    EXPECT_EQ(refusing.asked.back(), 8u);
    for (size_t i = 1; i < refusing.asked.size(); ++i)
        EXPECT_EQ(refusing.asked[i], refusing.asked[i - 1] / 2);
    EXPECT_EQ(none.bufferSize, 512u);
}

TEST(DriverOptionsSend, EndOfRecord) {
    DriverOptions o;
    EXPECT_EQ(o.send("ENDOFRECORD=1,10"), "\r\n");
    EXPECT_EQ(o.endOfRecord, "\n");
    EXPECT_EQ(o.send("ENDOFRECORD = 3 , 1 , 2 , 255"), "\n");
    EXPECT_EQ(o.endOfRecord, std::string("\x01\x02\xFF", 3));
    EXPECT_EQ(o.send("ENDOFRECORD=2,0,10"), std::string("\x01\x02\xFF", 3));
    EXPECT_EQ(o.endOfRecord, std::string("\0\n", 2));
}

TEST(DriverOptionsSend, MalformedEndOfRecordKeepsTheTerminator) {
    for (const char* text : {"ENDOFRECORD=2,13", "ENDOFRECORD=3,13,10", "ENDOFRECORD=0",
                             "ENDOFRECORD=2", "ENDOFRECORD=2,13,", "ENDOFRECORD=1,256",
                             "ENDOFRECORD=1,x", "ENDOFRECORD=X,10", "ENDOFRECORD=1,-1",
                             "ENDOFRECORD=99999999999999999999,1",
                             "ENDOFRECORD=2,13/X=,10"}) {
        DriverOptions o;
        o.endOfRecord = "\n";
        EXPECT_EQ(o.send(text), "\n") << text;
        EXPECT_EQ(o.endOfRecord, "\n") << text;
    }
}

TEST(DriverOptionsSend, Tab) {
    DriverOptions o;
    EXPECT_EQ(o.send("TAB=-100"), "8");
    EXPECT_EQ(o.tab, -100);
    EXPECT_EQ(o.send("TAB=-4"), "-100");
    EXPECT_EQ(o.tab, -4);
    EXPECT_EQ(o.send("TAB=0"), "-4");
    EXPECT_EQ(o.tab, 0);
    EXPECT_EQ(o.send("TAB=x"), "0");
    EXPECT_EQ(o.tab, 0);
    EXPECT_EQ(o.send("TAB=12abc"), "0");
    EXPECT_EQ(o.tab, 12);
    o.send("TAB=99999999999");
    EXPECT_EQ(o.tab, 2147483647);
    o.send("TAB=-99999999999");
    EXPECT_EQ(o.tab, -2147483647);
}

TEST(DriverOptionsDriverString, EachSlashStartsOneOption) {
    DriverOptions o;
    FakeHost host(10);
    o.applyDriverString("/clip=off /TAB = -100/ENDOFRECORD=1,10 /quickscan=on/FILEBUFFERS=2", &host);
    EXPECT_FALSE(o.clip);
    EXPECT_EQ(o.tab, -100);
    EXPECT_EQ(o.endOfRecord, "\n");
    EXPECT_TRUE(o.quickScan);
    EXPECT_EQ(o.bufferSize, 1024u);
    EXPECT_TRUE(o.ctrlZEndsFile);

    // Text before the first "/" and unknown options are ignored; later wins.
    DriverOptions p;
    p.applyDriverString("CLIP=OFF /NOSUCH=1 //TAB=3/TAB=5/CTRLZISEOF=OFF");
    EXPECT_TRUE(p.clip);
    EXPECT_EQ(p.tab, 5);
    EXPECT_FALSE(p.ctrlZEndsFile);

    DriverOptions q;
    q.applyDriverString("");
    q.applyDriverString("/");
    EXPECT_EQ(q.tab, 8);
    EXPECT_TRUE(q.clip);
}

// Whatever the string, the terminator never becomes empty and the answers of
// SEND agree with the values held.
TEST(DriverOptionsDriverString, RandomStringsKeepInvariants) {
    const char* pieces[] = {"/", "CLIP", "=", "ON", "OFF", ",", "1", "10", "-", "TAB", "QUICKSCAN",
                            "ENDOFRECORD", "CTRLZISEOF", "FILEBUFFERS", " ", "2", "x", "256"};
    uint32_t seed = 12345;
    auto next = [&] { seed = seed * 1103515245u + 12345u; return (seed >> 16) & 0x7FFF; };
    for (int round = 0; round < 2000; ++round) {
        std::string s;
        int n = static_cast<int>(next() % 12);
        for (int i = 0; i < n; ++i) s += pieces[next() % std::size(pieces)];
        DriverOptions o;
        FakeHost host(64);
        o.applyDriverString(s, &host);
        ASSERT_FALSE(o.endOfRecord.empty()) << s;
        EXPECT_EQ(o.send("CLIP"), o.clip ? "ON" : "OFF");
        EXPECT_EQ(o.send("QUICKSCAN"), o.quickScan ? "ON" : "OFF");
        EXPECT_EQ(o.send("CTRLZISEOF"), o.ctrlZEndsFile ? "ON" : "OFF");
        EXPECT_EQ(o.send("TAB"), std::to_string(o.tab));
        EXPECT_EQ(o.send("FILEBUFFERS"), std::to_string(o.bufferSize));
        EXPECT_EQ(o.send("ENDOFRECORD"), o.endOfRecord);
    }
}

// The text driver takes its options from the driver string at OPEN and
// answers SEND with the previous value.
TEST(DriverOptionsThroughTheDriver, DriverStringAndSend) {
    namespace fs = std::filesystem;
    testing::TempFolder folder;
    fs::path path = fs::path(folder.path()) / "options.txt";
    std::ofstream(path, std::ios::binary) << "a\tb\nsecond\n";
    RecordLayout layout = RecordLayoutBuilder().string("Lyn", 12).build();
    std::vector<uint8_t> buffer(layout.size(), ' ');
    FileDecl file;
    file.label = "Opt";
    file.driverName = "ASCII";
    file.driverString = "/ENDOFRECORD = 1,10 /tab=-100 /QUICKSCAN=YES";
    file.name = path.string();
    file.record = &layout;
    file.buffer = buffer.data();
    FileArgs open;
    open.access = 0x42;  // read and write, deny none
    ASSERT_EQ(dispatch(op::OPEN, file, open), 0);
    EXPECT_EQ(dispatch(op::SETfile, file), 0);
    EXPECT_EQ(dispatch(op::NEXT, file), 0);
    EXPECT_EQ(std::string(buffer.begin(), buffer.end()), "a\tb         ");
    EXPECT_EQ(dispatch(op::NEXT, file), 0);
    EXPECT_EQ(std::string(buffer.begin(), buffer.end()), "second      ");

    auto send = [&](const char* text) {
        FileArgs args;
        args.text = text;
        EXPECT_EQ(dispatch(op::SEND, file, args), 0) << text;
        return args.answer;
    };
    EXPECT_EQ(send("QUICKSCAN"), "OFF") << "deny none starts with QUICKSCAN off; YES changes nothing";
    EXPECT_EQ(send("ENDOFRECORD=2,13"), "\n");
    EXPECT_EQ(send("ENDOFRECORD"), "\n") << "a short terminator is refused";
    EXPECT_EQ(send("TAB=4"), "-100");
    EXPECT_EQ(send("clip = off"), "ON");
    EXPECT_EQ(send("NOSUCH"), "");
    std::memcpy(buffer.data(), "x           ", 12);
    EXPECT_EQ(dispatch(op::ADD, file), 0);
    EXPECT_EQ(dispatch(op::CLOSE, file), 0);
    std::ifstream in(path, std::ios::binary);
    std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(content, "a\tb\nsecond\nx           \n") << "CLIP off keeps the trailing spaces";
}

}  // namespace
}  // namespace varnok::textfile
