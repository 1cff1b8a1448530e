// Round trips through the text line driver: lines written with ADD read back
// with NEXT. Plain lines come back as written; lines full of tabs, Ctrl-Z,
// terminator bytes and over-long text are checked against a byte-by-byte
// model of the file and of reading it.
#include <gtest/gtest.h>

#include <random>

#include "tests/textfile/text_file_fixture.h"

namespace varnok::testing {
namespace {

using namespace textfile;

struct Settings {
    uint32_t recordSize = 40;
    std::string terminator = "\r\n";
    int tab = 8;
    bool ctrlZEndsFile = true;
    bool clip = true;
    uint8_t mode = ReadWriteDenyAll;  // QUICKSCAN on; deny-none turns it off
    uint32_t fileBuffers = 0;          // 0: the default buffer

    std::string driverString() const {
        std::string s = "/ENDOFRECORD=" + std::to_string(terminator.size());
        for (unsigned char c : terminator) s += "," + std::to_string(c);
        s += " /TAB=" + std::to_string(tab);
        s += ctrlZEndsFile ? " /CTRLZISEOF=ON" : " /CTRLZISEOF=OFF";
        s += clip ? " /CLIP=ON" : " /CLIP=OFF";
        if (fileBuffers) s += " /FILEBUFFERS=" + std::to_string(fileBuffers);
        return s;
    }
};

// The bytes ADD writes for one line.
std::string modelImage(const Settings& s, const std::string& line) {
    std::string record = line.substr(0, s.recordSize);
    record.resize(s.recordSize, ' ');
    if (s.clip) record.erase(record.find_last_not_of(' ') + 1);
    return record + s.terminator;
}

struct ModelLine {
    std::string record;   // the whole record buffer
    uint32_t pointer = 0; // 1-based start
};

// Reads a file's bytes as the driver's NEXT does, one byte at a time.
std::vector<ModelLine> modelRead(const Settings& s, const std::string& file) {
    std::vector<ModelLine> lines;
    const size_t term = s.terminator.size();
    auto terminatorAt = [&](size_t i) { return file.compare(i, term, s.terminator) == 0 && i + term <= file.size(); };
    auto endsFile = [&](size_t i) { return s.ctrlZEndsFile && file[i] == '\x1A'; };
    size_t next = 0;
    while (next < file.size() && !endsFile(next)) {
        ModelLine line{std::string(s.recordSize, ' '), static_cast<uint32_t>(next + 1)};
        size_t i = next, examined = 0, out = 0;
        bool ended = false;
        while (examined < s.recordSize && out < s.recordSize && i < file.size()) {
            if (terminatorAt(i)) {
                i += term;
                ended = true;
                break;
            }
            if (endsFile(i)) {
                ended = true;
                break;
            }
            const char c = file[i++];
            ++examined;
            if (c != '\t') {
                line.record[out++] = c;
            } else if (s.tab == -100) {
                line.record[out++] = '\t';
            } else if (s.tab > 0) {
                out = std::min<size_t>(out + (s.tab - out % s.tab), s.recordSize);
            } else if (s.tab < 0) {
                out = std::min<size_t>(out - s.tab, s.recordSize);
            }
        }
        while (!ended && i < file.size()) {
            if (terminatorAt(i)) {
                i += term;
                break;
            }
            if (endsFile(i)) break;
            ++i;
        }
        lines.push_back(line);
        next = i;
    }
    return lines;
}

std::string randomLine(std::mt19937& rng, const Settings& s, bool plain) {
    static const char kPlain[] = "abcdefghijklmnopqrstuvwxyz0123456789 .,;-";
    static const char kHostile[] = {'a', 'b', ' ', '\t', '\r', '\n', '\x1A', '\0', '\xFF', 'z'};
    std::uniform_int_distribution<uint32_t> length(0, plain ? s.recordSize : 2 * s.recordSize + 3);
    std::string line(length(rng), ' ');
    for (char& c : line) {
        c = plain ? kPlain[rng() % (sizeof kPlain - 1)] : kHostile[rng() % sizeof kHostile];
    }
    return line;
}

Settings randomSettings(std::mt19937& rng) {
    static const uint32_t kSizes[] = {1, 2, 5, 16, 40, 700};
    static const char* kTerminators[] = {"\r\n", "\n", "\r\n\r", "|"};
    static const int kTabs[] = {8, 0, -100, -3, 3, 1};
    static const uint8_t kModes[] = {ReadWriteDenyAll, ReadWriteDenyNone, 0x02, 0x22};
    Settings s;
    s.recordSize = kSizes[rng() % 6];
    s.terminator = kTerminators[rng() % 4];
    s.tab = kTabs[rng() % 6];
    s.ctrlZEndsFile = rng() % 2;
    s.clip = rng() % 2;
    s.mode = kModes[rng() % 4];
    s.fileBuffers = rng() % 3 == 0 ? 1 : 0;
    return s;
}

class TextDriverRoundTrip : public ::testing::Test {
protected:
    ScratchDir dir;
};

TEST_F(TextDriverRoundTrip, PlainLinesComeBackAsWritten) {
    std::mt19937 rng(20261207);
    for (int round = 0; round < 60; ++round) {
        Settings s = randomSettings(rng);
        s.tab = 8;
        s.terminator = rng() % 2 ? "\r\n" : "\n";
        const std::string path = dir.file("plain" + std::to_string(round));
        TextFile f(path, s.recordSize, s.driverString());
        ASSERT_EQ(f.run(op::CREATE), 0);
        ASSERT_EQ(f.open(s.mode), 0);
        std::vector<std::string> written;
        const int count = static_cast<int>(rng() % 40);
        for (int i = 0; i < count; ++i) {
            std::string line = randomLine(rng, s, true);
            ASSERT_EQ(f.add(line), 0);
            line.erase(line.find_last_not_of(' ') + 1);
            written.push_back(line);
        }
        EXPECT_EQ(f.readAll(), written) << s.driverString() << " record " << s.recordSize;
        EXPECT_EQ(f.number(op::EOF_), 1u);
    }
}

TEST_F(TextDriverRoundTrip, HostileLinesMatchTheModel) {
    std::mt19937 rng(7);
    for (int round = 0; round < 250; ++round) {
        const Settings s = randomSettings(rng);
        const std::string where = s.driverString() + " record " + std::to_string(s.recordSize) +
                                  " mode " + std::to_string(s.mode) + " round " + std::to_string(round);
        const std::string path = dir.file("hostile" + std::to_string(round));
        TextFile f(path, s.recordSize, s.driverString());
        ASSERT_EQ(f.run(op::CREATE), 0);
        ASSERT_EQ(f.open(s.mode), 0);
        std::string expectedFile;
        const int count = static_cast<int>(rng() % 30);
        for (int i = 0; i < count; ++i) {
            const std::string line = randomLine(rng, s, false);
            ASSERT_EQ(f.add(line), 0) << where;
            expectedFile += modelImage(s, line);
        }
        // Another open may read the file only as the driver's sharing lets
        // it (Windows holds deny-read for real): the file is closed for the
        // look and opened again.
        ASSERT_EQ(f.close(), 0);
        ASSERT_EQ(readBytes(path), expectedFile) << where;
        ASSERT_EQ(f.open(s.mode), 0);

        const std::vector<ModelLine> expected = modelRead(s, expectedFile);
        f.run(op::SETfile);
        for (size_t i = 0; i < expected.size(); ++i) {
            ASSERT_EQ(f.number(op::EOF_), 0u) << where << " line " << i;
            ASSERT_EQ(f.next(), 0) << where << " line " << i;
            EXPECT_EQ(f.rawRecord(), expected[i].record) << where << " line " << i;
            EXPECT_EQ(f.number(op::POINTERfile), expected[i].pointer) << where << " line " << i;
        }
        EXPECT_EQ(f.number(op::EOF_), 1u) << where;
        EXPECT_EQ(f.next(), 33) << where;
        // Every line is found again through its pointer.
        for (const ModelLine& line : expected) {
            ASSERT_EQ(f.withPointer(op::GETfileptr, line.pointer), 0) << where;
            EXPECT_EQ(f.rawRecord(), line.record) << where;
        }
    }
}

// Files written directly, several read buffers long: lines of mostly plain
// text with control bytes here and there (terminators, tabs, Ctrl-Z, lone CR
// and LF) cross every refill and scan-word boundary. Read-only deny-write
// reads through the buffer (QUICKSCAN on), deny-none reads each line afresh;
// both must match the model everywhere.
TEST_F(TextDriverRoundTrip, LargeFilesMatchTheModelAcrossRefills) {
    std::mt19937 rng(2026);
    static const char kRare[] = {'\t', '\r', '\n', '\x1A', '\0', '\x1F', '|'};
    static const uint32_t kSizes[] = {40, 700, 1024};
    static const char* kTerminators[] = {"\r\n", "\n", "|"};
    for (int round = 0; round < 6; ++round) {
        Settings s;
        s.recordSize = kSizes[rng() % 3];
        s.terminator = kTerminators[round % 3];
        s.ctrlZEndsFile = false;  // a Ctrl-Z would end the file within the first lines
        s.tab = round % 2 ? 8 : -100;
        std::string bytes;
        while (bytes.size() < (200u << 10)) {
            std::string line(rng() % (rng() % 8 == 0 ? 1500 : 90), 'x');
            for (char& c : line) c = rng() % 97 == 0 ? kRare[rng() % sizeof kRare] : static_cast<char>('!' + rng() % 94);
            bytes += line + s.terminator;
        }
        const std::string path = dir.file("large" + std::to_string(round));
        writeBytes(path, bytes);
        const std::vector<ModelLine> expected = modelRead(s, bytes);
        for (uint8_t mode : {uint8_t{0x20}, ReadOnlyDenyNone}) {
            const std::string where = s.driverString() + " record " + std::to_string(s.recordSize) + " mode " +
                                      std::to_string(mode);
            TextFile f(path, s.recordSize, s.driverString());
            ASSERT_EQ(f.open(mode), 0) << where;
            size_t i = 0;
            for (; f.next() == 0; ++i) {
                ASSERT_LT(i, expected.size()) << where;
                ASSERT_EQ(f.rawRecord(), expected[i].record) << where << " line " << i;
                ASSERT_EQ(f.number(op::POINTERfile), expected[i].pointer) << where << " line " << i;
            }
            EXPECT_EQ(i, expected.size()) << where;
        }
    }
}

}  // namespace
}  // namespace varnok::testing
