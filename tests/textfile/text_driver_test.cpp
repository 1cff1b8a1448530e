// The text line driver's operations one by one: reading edge cases, writing,
// options, errors of the table, sharing, locks, saved states, import mode.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <random>

#include "platform/os_file.h"
#include "runtime/errors/error_codes.h"
#include "tests/support/scripted_presenter.h"
#include "tests/textfile/text_file_fixture.h"
#include "textfile/text_driver.h"
#include "textfile/text_line_io.h"

namespace varnok::testing {
namespace {

using namespace textfile;

class TextDriverTest : public ::testing::Test {
protected:
    ScratchDir dir;
    std::string path = dir.file("lines.txt");

    std::vector<std::string> linesOf(const std::string& bytes, uint32_t recordSize = 40,
                                     const std::string& options = "") {
        writeBytes(path, bytes);
        TextFile f(path, recordSize, options);
        EXPECT_EQ(f.open(ReadOnlyDenyWrite), 0);
        return f.readAll();
    }
};

using Lines = std::vector<std::string>;

TEST_F(TextDriverTest, ReadsLinesAndReportsTheEnd) {
    EXPECT_EQ(linesOf(""), Lines{});
    EXPECT_EQ(linesOf("a\r\nbb\r\n\r\nccc\r\n"), (Lines{"a", "bb", "", "ccc"}));
    // A last line without terminator is returned whole.
    EXPECT_EQ(linesOf("a\r\nlast"), (Lines{"a", "last"}));
    // A lone CR or LF is an ordinary byte under the default terminator.
    EXPECT_EQ(linesOf("a\rb\nc\r\n"), (Lines{"a\rb\nc"}));
    // An over-long line yields its first record-size characters.
    EXPECT_EQ(linesOf("abcdefghij\r\nxy\r\n", 5), (Lines{"abcde", "xy"}));
    EXPECT_EQ(linesOf("abcde\r\nxy", 5), (Lines{"abcde", "xy"}));
    EXPECT_EQ(linesOf(std::string(3000, 'q') + "\r\nend\r\n", 5), (Lines{"qqqqq", "end"}));
    // A custom one-byte terminator.
    EXPECT_EQ(linesOf("a\nb\r\n", 40, "/ENDOFRECORD=1,10"), (Lines{"a", "b\r"}));
}

TEST_F(TextDriverTest, EmptyFileAnswers33AtOnceAndIsAtEnd) {
    writeBytes(path, "");
    TextFile f(path);
    ASSERT_EQ(f.open(), 0);
    EXPECT_EQ(f.number(op::EOF_), 1u);
    f.run(op::SETfile);
    EXPECT_EQ(f.next(), 33);
    EXPECT_EQ(errorCode(), 33);
    EXPECT_EQ(f.next(), 33);
}

TEST_F(TextDriverTest, CtrlZEndsTheFileUnlessSwitchedOff) {
    EXPECT_EQ(linesOf("a\r\nb\r\n\x1A"), (Lines{"a", "b"}));
    EXPECT_EQ(linesOf("ab\x1A" "cd\r\nef\r\n"), (Lines{"ab"}));
    EXPECT_EQ(linesOf("a\r\nb\r\n\x1A", 40, "/CTRLZISEOF=OFF"), (Lines{"a", "b", "\x1A"}));
    EXPECT_EQ(linesOf("a\r\nb\r\n\x1A", 40, "/CTRLZISEOF=NO"), (Lines{"a", "b"}));
    // An over-long line does not read past a Ctrl-Z either.
    EXPECT_EQ(linesOf("abcdefgh\x1A" "xyz\r\n", 4), (Lines{"abcd"}));

    writeBytes(path, "a\r\n\x1A");
    TextFile f(path);
    ASSERT_EQ(f.open(), 0);
    f.run(op::SETfile);
    EXPECT_EQ(f.number(op::EOF_), 0u);
    EXPECT_EQ(f.next(), 0);
    EXPECT_EQ(f.number(op::EOF_), 1u);
    EXPECT_EQ(f.next(), 33);
    EXPECT_EQ(f.next(), 33);
}

// Found by fuzzing: with a terminator that begins with Ctrl-Z and Ctrl-Z
// ending the file, a Ctrl-Z in mid-line ended the line and reading went on,
// while the same Ctrl-Z at the start of a line ended the file. It ends the
// file wherever it is, for any record size.
TEST_F(TextDriverTest, ACtrlZEndsTheFileAlsoWhenItBeginsTheTerminator) {
    for (uint32_t size : {1u, 2u, 7u, 40u}) {
        const std::string cut = std::string("SLZIEO").substr(0, size);
        EXPECT_EQ(linesOf("SLZIEO\x1A\nmore\x1A" "end", size, "/ENDOFRECORD=1,26"), (Lines{cut})) << size;
        EXPECT_EQ(linesOf("ab\x1A\ncd", size, "/ENDOFRECORD=2,26,10"), (Lines{std::string("ab").substr(0, size)}))
            << size;
        EXPECT_EQ(linesOf("\x1A" "ab", size, "/ENDOFRECORD=1,26"), Lines{}) << size;
        // With Ctrl-Z an ordinary byte it is simply the terminator.
        EXPECT_EQ(linesOf("ab\x1A" "cd\x1A", size, "/ENDOFRECORD=1,26 /CTRLZISEOF=OFF"),
                  (Lines{std::string("ab").substr(0, size), std::string("cd").substr(0, size)}))
            << size;
    }
}

TEST_F(TextDriverTest, TabsFollowTheTabSetting) {
    EXPECT_EQ(linesOf("abc\td\r\n"), (Lines{"abc     d"}));
    EXPECT_EQ(linesOf("abc\td\r\n", 40, "/TAB=-100"), (Lines{"abc\td"}));
    EXPECT_EQ(linesOf("abc\td\r\n", 40, "/TAB=0"), (Lines{"abcd"}));
    EXPECT_EQ(linesOf("abc\td\r\n", 40, "/TAB=-4"), (Lines{"abc    d"}));
    EXPECT_EQ(linesOf("\t\tx\r\n", 40, "/TAB=3"), (Lines{"      x"}));
    // Spaces never run past the record; the rest of the line is skipped.
    EXPECT_EQ(linesOf("ab\tcd\r\nz\r\n", 5), (Lines{"ab", "z"}));
}

TEST_F(TextDriverTest, PointerReadsTheSameLineAgain) {
    writeBytes(path, "first\r\nsecond line\r\n\r\nlast");
    TextFile f(path);
    ASSERT_EQ(f.open(), 0);
    EXPECT_EQ(f.number(op::POINTERfile), 0u);
    std::vector<std::pair<uint32_t, std::string>> seen;
    f.run(op::SETfile);
    while (f.next() == 0) seen.emplace_back(f.number(op::POINTERfile), f.record());
    ASSERT_EQ(seen.size(), 4u);
    EXPECT_EQ(seen[0].first, 1u);
    EXPECT_EQ(seen[1].first, 8u);
    EXPECT_EQ(seen[3].first, 23u);
    for (const auto& [pointer, text] : seen) {
        f.setRecord("junk");
        EXPECT_EQ(f.withPointer(op::GETfileptr, pointer), 0);
        EXPECT_EQ(f.record(), text);
        EXPECT_EQ(f.withPointer(op::GETfileptrlen, pointer, 2), 0);
        EXPECT_EQ(f.record(), text);  // the length does not cut the read
        FileArgs position;
        f.run(op::POSITIONfile, position);
        EXPECT_EQ(positionPointer(position.position), pointer);
        f.setRecord("junk");
        EXPECT_EQ(f.run(op::REGETfile, position), 0);
        EXPECT_EQ(f.record(), text);
    }
    // RESETfile and SETfileptr move NEXT.
    FileArgs at;
    at.position = positionBytes(8);
    f.run(op::RESETfile, at);
    EXPECT_EQ(f.next(), 0);
    EXPECT_EQ(f.record(), "second line");
    f.withPointer(op::SETfileptr, 23);
    EXPECT_EQ(f.next(), 0);
    EXPECT_EQ(f.record(), "last");
    // Pointer 0 reads nothing and sets no error; beyond the end gives 33 and
    // leaves the buffer alone.
    f.setRecord("kept");
    EXPECT_EQ(f.withPointer(op::GETfileptr, 0), 0);
    EXPECT_EQ(f.number(op::POINTERfile), 0u);
    EXPECT_EQ(f.withPointer(op::GETfileptr, 27), 33);
    EXPECT_EQ(f.record(), "kept");
    EXPECT_EQ(f.withPointer(op::GETfileptr, 26), 0);
    EXPECT_EQ(f.record(), "t");
}

TEST_F(TextDriverTest, WritesLinesWithClipAndTerminator) {
    TextFile f(path, 6);
    ASSERT_EQ(f.run(op::CREATE), 0);
    ASSERT_EQ(f.open(), 0);
    EXPECT_EQ(f.add("ab"), 0);
    EXPECT_EQ(f.add(""), 0);                 // all spaces: the terminator alone
    EXPECT_EQ(f.add("toolongline"), 0);      // cut to the record
    EXPECT_EQ(f.send("CLIP=OFF"), "ON");
    EXPECT_EQ(f.add("x"), 0);
    f.setRecord("lenvar");
    EXPECT_EQ(f.withLength(op::APPENDlen, 3), 0);
    EXPECT_EQ(f.withLength(op::ADDfilelen, 99), 0);  // no further than the record
    EXPECT_EQ(f.number(op::BYTES), 35u);
    f.close();
    EXPECT_EQ(readBytes(path), "ab\r\n\r\ntoolon\r\nx     \r\nlen\r\nlenvar\r\n");

    TextFile lf(path, 6, "/ENDOFRECORD=1,10");
    ASSERT_EQ(lf.open(), 0);
    EXPECT_EQ(lf.withPointer(op::PUTfileptrlen, 1, 0), 0);  // truncates at the pointer
    EXPECT_EQ(lf.number(op::BYTES), 0u);
    EXPECT_EQ(lf.add("c"), 0);
    lf.close();
    EXPECT_EQ(readBytes(path), "c\n");
}

TEST_F(TextDriverTest, AppendReplacesATrailingCtrlZOnce) {
    writeBytes(path, "a\r\n\x1A");
    {
        TextFile f(path);
        ASSERT_EQ(f.open(), 0);
        EXPECT_EQ(f.add("b"), 0);
        EXPECT_EQ(f.add("c"), 0);
        EXPECT_EQ(f.number(op::BYTES), 9u);
        EXPECT_EQ(f.readAll(), (Lines{"a", "b", "c"}));
    }
    EXPECT_EQ(readBytes(path), "a\r\nb\r\nc\r\n");
    writeBytes(path, "a\r\n\x1A");
    {
        TextFile f(path, 40, "/CTRLZISEOF=OFF");
        ASSERT_EQ(f.open(), 0);
        EXPECT_EQ(f.add("b"), 0);
    }
    EXPECT_EQ(readBytes(path), "a\r\n\x1A" "b\r\n");
}

// A shared file changed by someone else between OPEN and the first append:
// the line goes after whatever the file holds then, over a trailing Ctrl-Z.
TEST_F(TextDriverTest, FirstSharedAppendFindsTheFileAsItIsThen) {
    const std::string atOpen = "start\r\n";
    const std::string later[] = {
        "",                                        // emptied
        "st",                                      // shrunk
        "start\r\n",                               // unchanged
        "start\r\n\x1A",                           // a Ctrl-Z added
        "start\r\nmore\r\n",                       // grown a little
        "start\r\n" + std::string(255, 'x') + "\x1A",  // grown by just under, at and over
        "start\r\n" + std::string(256, 'x') + "\x1A",  //   what one look at the end reads
        "start\r\n" + std::string(5000, 'x') + "\x1A",
        "\x1A",
    };
    for (const std::string& changed : later) {
        writeBytes(path, atOpen);
        TextFile f(path);
        ASSERT_EQ(f.open(ReadWriteDenyNone), 0);
        writeBytes(path, changed);
        EXPECT_EQ(f.add("b"), 0);
        f.close();
        std::string expected = changed;
        if (!expected.empty() && expected.back() == '\x1A') expected.pop_back();
        EXPECT_EQ(readBytes(path), expected + "b\r\n") << changed.size();
    }
}

// A look for the trailing Ctrl-Z that fails fails the append, and the next
// append looks again.
TEST_F(TextDriverTest, AFailedLookForTheTrailingCtrlZIsMadeAgain) {
    for (uint8_t mode : {ReadWriteDenyNone, ReadWriteDenyAll}) {
        writeBytes(path, "a\r\n\x1A");
        TextFile f(path);
        ASSERT_EQ(f.open(mode), 0);
        platform::setOsFaultHook([](platform::OsCall call) { return call == platform::OsCall::Read; });
        EXPECT_EQ(f.add("b"), 330);
        platform::setOsFaultHook(nullptr);
        EXPECT_EQ(f.add("c"), 0);
        f.close();
        EXPECT_EQ(readBytes(path), "a\r\nc\r\n") << int(mode);
    }
}

TEST_F(TextDriverTest, PutRewritesTheCurrentLine) {
    writeBytes(path, "one\r\ntwo\r\nsix\r\n");
    TextFile f(path);
    ASSERT_EQ(f.open(), 0);
    EXPECT_EQ(f.run(op::PUT), 33);  // no current line yet
    f.run(op::SETfile);
    ASSERT_EQ(f.next(), 0);
    ASSERT_EQ(f.next(), 0);
    f.setRecord("TWO");
    EXPECT_EQ(f.run(op::PUT), 0);
    EXPECT_EQ(f.number(op::POINTERfile), 6u);
    f.setRecord("Six");
    EXPECT_EQ(f.withPointer(op::PUTfileptr, 11), 0);
    f.setRecord("four");
    EXPECT_EQ(f.withPointer(op::PUTfileptr, 0), 0);  // pointer 0 appends
    EXPECT_EQ(f.readAll(), (Lines{"one", "TWO", "Six", "four"}));
    // A rewrite past the known end is seen by reads.
    f.setRecord("far");
    EXPECT_EQ(f.withPointer(op::PUTfileptr, 22), 0);
    EXPECT_EQ(f.withPointer(op::GETfileptr, 22), 0);
    EXPECT_EQ(f.record(), "far");
}

TEST_F(TextDriverTest, BytesEofEmptyAndLineBytesProperty) {
    writeBytes(path, "abc\r\nde\r\n");
    TextFile f(path);
    ASSERT_EQ(f.open(), 0);
    EXPECT_EQ(f.number(op::BYTES), 9u);
    f.run(op::SETfile);
    f.next();
    FileArgs set;
    set.text = "LineBytes";
    set.value = "1";
    EXPECT_EQ(f.run(op::SET_PROPERTY, set), 0);
    EXPECT_EQ(f.number(op::BYTES), 5u);
    FileArgs get;
    get.text = "linebytes";
    EXPECT_EQ(f.run(op::GET_PROPERTY, get), 0);
    EXPECT_EQ(get.answer, "1");
    get.text = "FileName";
    EXPECT_EQ(f.run(op::GET_PROPERTY, get), 0);
    EXPECT_EQ(get.answer, platform::resolveFileName(path));  // the full name (on Windows with '\')
    get.text = "NoSuchProperty";
    EXPECT_EQ(f.run(op::GET_PROPERTY, get), 80);
    EXPECT_EQ(f.run(op::EMPTY), 0);
    set.value = "0";
    f.run(op::SET_PROPERTY, set);
    EXPECT_EQ(f.number(op::BYTES), 0u);
    EXPECT_EQ(f.number(op::EOF_), 1u);
    f.run(op::SETfile);
    EXPECT_EQ(f.next(), 33);
    EXPECT_EQ(readBytes(path), "");
}

TEST_F(TextDriverTest, ErrorsOfOpenCreateAndNames) {
    TextFile unnamed("   ");
    EXPECT_EQ(unnamed.open(), 45);
    TextFile missing(dir.file("missing.txt"));
    EXPECT_EQ(missing.open(), 2);
    EXPECT_EQ(missing.run(op::NEXT), 37);
    EXPECT_EQ(missing.run(op::REMOVE), 2);
    TextFile nodir(dir.file("nodir/x.txt"));
    EXPECT_EQ(nodir.open(), 3);
    EXPECT_EQ(nodir.run(op::REMOVE), 3);
    EXPECT_EQ(nodir.run(op::CREATE), 5);

    TextFile f(path);
    f.decl().create = false;
    EXPECT_EQ(f.run(op::CREATE), 54);
    f.decl().create = true;
    writeBytes(path, "old contents\r\n");
    EXPECT_EQ(f.run(op::CREATE), 0);
    EXPECT_EQ(readBytes(path), "");
    ASSERT_EQ(f.open(ReadOnlyDenyWrite), 0);
    EXPECT_EQ(f.open(), 52);
    EXPECT_EQ(f.add("x"), 5);  // opened read-only
    EXPECT_EQ(f.run(op::EMPTY), 5);
    EXPECT_EQ(f.run(op::REMOVE), 5);  // not while open
    FileArgs name;
    EXPECT_EQ(f.run(op::NAME, name), 0);
    EXPECT_EQ(name.answer, path);
    EXPECT_EQ(f.close(), 0);
    EXPECT_EQ(f.close(), 0);

    FileArgs target;
    target.text = dir.file("copy.txt");
    writeBytes(path, "data\r\n");
    EXPECT_EQ(f.run(op::COPY, target), 0);
    EXPECT_EQ(readBytes(target.text), "data\r\n");
    target.text = dir.file("renamed.txt");
    EXPECT_EQ(f.run(op::RENAME, target), 0);
    EXPECT_EQ(readBytes(target.text), "data\r\n");
    EXPECT_EQ(f.open(), 2);
    writeBytes(path, "new\r\n");
    EXPECT_EQ(f.run(op::RENAME, target), 380);  // never replaces a file
    EXPECT_EQ(readBytes(target.text), "data\r\n");
    EXPECT_EQ(f.run(op::REMOVE), 0);
    EXPECT_EQ(f.run(op::REMOVE), 2);
}

// Names with blanks and letters outside ASCII, and names past 260
// characters, work for the driver's every use of a name.
TEST_F(TextDriverTest, NamesOutsideAsciiAndPast260Characters) {
    const std::string folderName = "Dateien für Ünïcödé 名前";
    std::filesystem::create_directory(dir.path() /
                                      std::filesystem::path(std::u8string(folderName.begin(), folderName.end())));
    const std::string longName = std::string(120, 'l') + " ñ " + std::string(120, 'm') + ".txt";
    for (const std::string& name :
         {dir.file(folderName) + "/Straße 1.txt", dir.file(longName), dir.file(folderName) + "/" + longName}) {
        TextFile f(name);
        ASSERT_EQ(f.run(op::CREATE), 0) << name;
        ASSERT_EQ(f.open(ReadWriteDenyAll), 0);
        EXPECT_EQ(f.add("first"), 0);
        EXPECT_EQ(f.add("zweite Zeile"), 0);
        EXPECT_EQ(f.readAll(), (Lines{"first", "zweite Zeile"}));
        FileArgs property;
        property.text = "FileName";
        EXPECT_EQ(f.run(op::GET_PROPERTY, property), 0);
        EXPECT_EQ(property.answer, platform::resolveFileName(name));
        EXPECT_EQ(f.close(), 0);
        FileArgs target;
        target.text = name + ".copy";
        EXPECT_EQ(f.run(op::COPY, target), 0);
        EXPECT_EQ(f.run(op::REMOVE), 0);
        EXPECT_EQ(f.open(), 2);
        TextFile copy(target.text);
        target.text = name;
        EXPECT_EQ(copy.run(op::RENAME, target), 0);
        ASSERT_EQ(f.open(ReadOnlyDenyWrite), 0);
        EXPECT_EQ(f.readAll(), (Lines{"first", "zweite Zeile"}));
        EXPECT_EQ(f.close(), 0);
        EXPECT_EQ(f.run(op::REMOVE), 0);
    }
    EXPECT_GT(dir.file(longName).size(), 260u);
}

TEST_F(TextDriverTest, WriteOnlyFilesCannotBeRead) {
    writeBytes(path, "a\r\n");
    TextFile f(path);
    ASSERT_EQ(f.open(0x11), 0);
    EXPECT_EQ(f.next(), 5);
    EXPECT_EQ(f.add("b"), 0);
    f.close();
    EXPECT_EQ(readBytes(path), "a\r\nb\r\n");
}

TEST_F(TextDriverTest, SharingModesBetweenOpens) {
    writeBytes(path, "x\r\n");
    struct Case {
        uint8_t first, second;
        int32_t expected;
    };
    const Case cases[] = {
        {0x20, 0x20, 0},   // two readers that deny writing
        {0x20, 0x22, 32},  // a writer after a deny-write open
        {0x22, 0x20, 32},  // a deny-write open after a writer
        {0x12, 0x40, 32},  // anything after deny-all
        {0x40, 0x10, 32},  // deny-all after anything
        {0x42, 0x42, 0},   // deny-none writers share
        {0x40, 0x32, 32},  // deny-read after a reader
        {0x01, 0x30, 0},   // deny-read after a writer that does not read
        {0x02, 0x42, 0},   // compatible mode does not deny
    };
    for (const Case& c : cases) {
        TextFile a(path), b(path);
        ASSERT_EQ(a.open(c.first), 0);
        EXPECT_EQ(b.open(c.second), c.expected) << std::hex << int(c.first) << " then " << int(c.second);
        a.close();
        b.close();
        EXPECT_EQ(b.open(c.second), 0);  // closing releases the marks
    }
}

TEST_F(TextDriverTest, FileLockNestsAndExcludesOtherOpens) {
    writeBytes(path, "");
    TextFile a(path), b(path);
    ASSERT_EQ(a.open(ReadWriteDenyNone), 0);
    ASSERT_EQ(b.open(ReadWriteDenyNone), 0);
    EXPECT_EQ(a.run(op::LOCKfile), 0);
    EXPECT_EQ(a.run(op::LOCKfile), 0);
    FileArgs zero;
    zero.seconds = 0;
    EXPECT_EQ(b.run(op::LOCKfilesec, zero), 32);
    // A shared write of the lock holder goes through; another open's write
    // cannot get the lock.
    EXPECT_EQ(a.add("by a"), 0);
    const uint32_t previous = setWriteLockWaitMilliseconds(50);
    EXPECT_EQ(b.add("by b"), 5);
    EXPECT_EQ(a.run(op::UNLOCK), 0);
    EXPECT_EQ(b.run(op::LOCKfilesec, zero), 32);  // still held once
    EXPECT_EQ(a.run(op::UNLOCK), 0);
    EXPECT_EQ(a.run(op::UNLOCK), 0);  // one more does no harm
    EXPECT_EQ(b.add("by b"), 0);
    EXPECT_EQ(b.run(op::LOCKfilesec, zero), 0);
    EXPECT_EQ(a.add("by a"), 5);
    b.close();  // closing drops the lock
    EXPECT_EQ(a.add("by a"), 0);
    setWriteLockWaitMilliseconds(previous);
    EXPECT_EQ(a.readAll(), (Lines{"by a", "by b", "by a"}));
}

TEST_F(TextDriverTest, SharedReaderSeesLinesAppendedLater) {
    writeBytes(path, "one\r\n");
    TextFile reader(path), writer(path);
    ASSERT_EQ(reader.open(ReadOnlyDenyNone), 0);
    ASSERT_EQ(writer.open(ReadWriteDenyNone), 0);
    reader.run(op::SETfile);
    EXPECT_EQ(reader.next(), 0);
    EXPECT_EQ(reader.next(), 33);
    EXPECT_EQ(writer.add("two"), 0);
    EXPECT_EQ(reader.number(op::BYTES), 10u);
    EXPECT_EQ(reader.next(), 0);
    EXPECT_EQ(reader.record(), "two");
}

// Appends through several deny-none opens of one file land at its real end,
// whatever each open last knew of its size, with QUICKSCAN on or off, and
// with or without a lock the program holds itself.
TEST_F(TextDriverTest, SharedAppendsLandAtTheRealEndWhateverQuickScanSays) {
    for (const std::string quickScan : {"ON", "OFF"}) {
        const std::string options = "/QUICKSCAN=" + quickScan;
        for (bool programLocks : {false, true}) {
            writeBytes(path, "");
            TextFile a(path, 40, options), b(path, 40, options), reader(path, 40, options);
            ASSERT_EQ(a.open(ReadWriteDenyNone), 0);
            ASSERT_EQ(b.open(ReadWriteDenyNone), 0);
            ASSERT_EQ(a.send("QUICKSCAN"), quickScan);
            Lines expected;
            std::mt19937 random(3);
            for (int k = 0; k < 40; ++k) {
                TextFile& writer = random() % 2 ? a : b;
                const std::string line = (&writer == &a ? "a" : "b") + std::to_string(k);
                if (programLocks) {
                    ASSERT_EQ(writer.run(op::LOCKfile), 0);
                }
                ASSERT_EQ(writer.add(line), 0) << line;
                if (programLocks) {
                    ASSERT_EQ(writer.run(op::UNLOCK), 0);
                }
                expected.push_back(line);
            }
            a.close();
            b.close();
            ASSERT_EQ(reader.open(ReadOnlyDenyWrite), 0);
            EXPECT_EQ(reader.readAll(), expected) << options << (programLocks ? " locked" : "");
        }
    }
    // The case as it was seen: "a1" must not be overwritten by "a2".
    writeBytes(path, "");
    TextFile a(path, 40, "/QUICKSCAN=ON"), b(path, 40, "/QUICKSCAN=ON");
    ASSERT_EQ(a.open(ReadWriteDenyNone), 0);
    ASSERT_EQ(b.open(ReadWriteDenyNone), 0);
    EXPECT_EQ(a.add("a1"), 0);
    EXPECT_EQ(b.add("b1"), 0);
    EXPECT_EQ(a.add("a2"), 0);
    a.close();
    b.close();
    EXPECT_EQ(readBytes(path), "a1\r\nb1\r\na2\r\n");
}

TEST_F(TextDriverTest, SendAnswersAndChangesOptions) {
    writeBytes(path, "a\tb\r\n");
    TextFile f(path, 40, "/clip = off /TAB=4");
    EXPECT_EQ(f.send("CLIP"), "");  // not open
    ASSERT_EQ(f.open(0x22), 0);
    EXPECT_EQ(f.send("CLIP"), "OFF");
    EXPECT_EQ(f.send("QUICKSCAN"), "ON");
    EXPECT_EQ(f.send("QUICKSCAN"), "ON");
    EXPECT_EQ(f.send("TAB=-100"), "4");
    EXPECT_EQ(f.send("FILEBUFFERS=4"), "1024");
    EXPECT_EQ(f.send("FILEBUFFERS"), "2048");
    EXPECT_EQ(f.send("ENDOFRECORD=1,9"), "\r\n");
    EXPECT_EQ(f.send("NOSUCHOPTION=1"), "");
    f.run(op::SETfile);
    ASSERT_EQ(f.next(), 0);
    EXPECT_EQ(f.record(), "a");
    FileArgs closedSend;
    closedSend.text = "CLIP";
    TextFile closed(path);
    EXPECT_EQ(closed.run(op::SEND, closedSend), 37);
}

TEST_F(TextDriverTest, SavedStatesComeBack) {
    writeBytes(path, "one\r\ntwo\r\nthree\r\n");
    TextFile f(path);
    ASSERT_EQ(f.open(), 0);
    f.run(op::SETfile);
    f.next();
    f.next();
    FileArgs saved;
    ASSERT_EQ(f.run(op::GETSTATE, saved), 0);
    ASSERT_NE(saved.state, nullptr);
    f.send("TAB=3");
    f.next();
    EXPECT_EQ(f.record(), "three");
    EXPECT_EQ(f.run(op::RESTORESTATE, saved), 0);
    EXPECT_EQ(f.record(), "two");
    EXPECT_EQ(f.send("TAB"), "8");
    EXPECT_EQ(f.number(op::POINTERfile), 6u);
    EXPECT_EQ(f.next(), 0);
    EXPECT_EQ(f.record(), "three");
    FileArgs none;
    EXPECT_EQ(f.run(op::RESTORESTATE, none), 78);
    EXPECT_EQ(errorText(), "Invalid Number Of Parameters");
    EXPECT_EQ(f.run(op::FREESTATE, saved), 0);
    EXPECT_EQ(f.run(op::RESTORESTATE, saved), 78);  // freed handles are refused
    // A handle can still be freed once the file is closed.
    FileArgs late;
    ASSERT_EQ(f.run(op::GETSTATE, late), 0);
    f.close();
    EXPECT_EQ(f.run(op::FREESTATE, late), 0);
    ASSERT_EQ(f.open(), 0);
    EXPECT_EQ(f.run(op::RESTORESTATE, late), 78);
}

TEST_F(TextDriverTest, UnsupportedOperationsAnswer80) {
    writeBytes(path, "a\r\n");
    TextFile f(path);
    ASSERT_EQ(f.open(), 0);
    const auto supported = TextDriver::instance().supportedOperations();
    EXPECT_EQ(supported.size(), 37u);
    for (int code = 0; code < op::Count; ++code) {
        const bool listed = std::find(supported.begin(), supported.end(), code) != supported.end();
        const bool quiet = code == op::INVIEW || code == op::ENDVIEW || code == op::QUERY_VIEW ||
                           code == op::CLEAR;
        if (listed) continue;
        EXPECT_EQ(f.run(code), quiet ? 0 : 80) << operationName(code);
    }
    EXPECT_EQ(f.run(-1), 80);
    EXPECT_EQ(f.run(105), 80);
}

TEST_F(TextDriverTest, ClearFillsTheRecordWithSpaces) {
    TextFile f(path, 8);
    f.setRecord("abcdefgh");
    EXPECT_EQ(f.run(op::CLEAR), 0);
    EXPECT_EQ(f.rawRecord(), std::string(8, ' '));
}

TEST_F(TextDriverTest, OemFilesAreConvertedBothWays) {
    writeBytes(path, "\x81" "ber\r\n");  // u with diaeresis in the OEM set
    TextFile f(path);
    f.decl().oem = true;
    ASSERT_EQ(f.open(), 0);
    f.run(op::SETfile);
    ASSERT_EQ(f.next(), 0);
    EXPECT_EQ(f.record(), "\xFC" "ber");
    f.setRecord("\xE9t\xE9");  // e acute
    ASSERT_EQ(f.run(op::ADD), 0);
    EXPECT_EQ(f.record(), "\xE9t\xE9");  // the program's buffer stays ANSI
    f.close();
    EXPECT_EQ(readBytes(path), "\x81" "ber\r\n\x82t\x82\r\n");
}

TEST_F(TextDriverTest, ImportFileWithoutModuleShowsTheMessage) {
    TextFile f(path);
    FileArgs command;
    command.text = "REGISTER";
    EXPECT_EQ(f.run(op::SEND, command), 0);
    EXPECT_EQ(command.answer, "0");
    ScriptedPresenter boxes;
    boxes.expect("File Import", window::ButtonOk);
    command.text = " importfile ";
    EXPECT_EQ(f.run(op::SEND, command), 37);
    boxes.verifyDone();
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].text, "File Driver does not support File Import");
    EXPECT_EQ(boxes.shown()[0].caption, "File Import");
}

// A stand-in import module: takes every file and counts the operations.
int gImported = 0;
int32_t countingModule(int, FileDecl&, FileArgs&) {
    ++gImported;
    return 0;
}

TEST_F(TextDriverTest, ImportModeHandsOperationsOverAndBlocksOrdinaryOpens) {
    writeBytes(path, "a\r\n");
    TextDriver::registerImportModule(countingModule);
    TextFile imported(dir.file("import.dat")), ordinary(path);
    FileArgs command;
    command.text = "IMPORTFILE";
    ASSERT_EQ(imported.run(op::SEND, command), 0);
    EXPECT_EQ(TextDriver::importModeFiles(), 1);
    gImported = 0;
    EXPECT_EQ(imported.open(), 0);
    EXPECT_EQ(imported.next(), 0);
    EXPECT_EQ(gImported, 2);
    EXPECT_EQ(ordinary.open(), 90);
    EXPECT_EQ(imported.close(), 0);
    EXPECT_EQ(TextDriver::importModeFiles(), 0);
    EXPECT_EQ(ordinary.open(), 0);
    TextDriver::registerImportModule(nullptr);
}

}  // namespace
}  // namespace varnok::testing
