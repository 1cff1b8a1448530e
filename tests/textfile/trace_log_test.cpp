#include "textfile/trace_log.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/profile.h"
#include "runtime/calendar/dates.h"
#include "runtime/errors/error_codes.h"
#include "tests/app/temp_folder.h"
#include "textfile/dispatcher.h"
#include "textfile/operations.h"

namespace varnok::textfile {
namespace {

namespace fs = std::filesystem;
using testing::TempFolder;

// The variable that decides where the default profile lives.
#ifdef _WIN32
constexpr const char* kConfigHome = "APPDATA";
#else
constexpr const char* kConfigHome = "XDG_CONFIG_HOME";
#endif

// Sets (or, with nullptr, removes) an environment variable.
void setEnvironment(const char* name, const char* value) {
#ifdef _WIN32
    _putenv_s(name, value ? value : "");
#else
    if (value) {
        ::setenv(name, value, 1);
    } else {
        ::unsetenv(name);
    }
#endif
}

// Whether text has the shape of pattern, where '9' stands for any digit.
bool matches(const std::string& text, const std::string& pattern) {
    if (text.size() != pattern.size()) return false;
    for (size_t i = 0; i < text.size(); ++i) {
        bool ok = pattern[i] == '9' ? (text[i] >= '0' && text[i] <= '9') : text[i] == pattern[i];
        if (!ok) return false;
    }
    return true;
}

// Points the default profile and the log at a fresh temporary folder and
// starts every test with the trace log forgotten.
class TraceLogTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::path(folder_.path());
        const char* old = std::getenv(kConfigHome);
        hadConfig_ = old != nullptr;
        if (old) oldConfig_ = old;
        setEnvironment(kConfigHome, dir_.string().c_str());
        logName_ = (dir_ / "trace.log").string();
        TraceLog::instance().reset();

        layout_ = RecordLayoutBuilder().string("Lyn", 8).build();
        buffer_.assign(layout_.size(), ' ');
        file_.label = "Lines";
        file_.driverName = "ASCII";
        file_.name = "missing.txt";
        file_.record = &layout_;
        file_.buffer = buffer_.data();
        file_.instance = 0x1F;
    }
    void TearDown() override {
        TraceLog::instance().reset();
        setEnvironment(kConfigHome, hadConfig_ ? oldConfig_.c_str() : nullptr);
    }

    TraceSettings settings() const {
        TraceSettings s;
        s.trace = true;
        s.traceFile = logName_;
        return s;
    }

    // The log's lines without their time prefix; checks each prefix.
    std::vector<std::string> logLines() {
        TraceLog::instance().reset();  // closes (and so flushes) the log
        std::vector<std::string> lines;
        std::ifstream in(logName_);
        std::string line;
        while (std::getline(in, line)) {
            EXPECT_TRUE(matches(line.substr(0, 12), "99:99:99.99 ")) << line;
            lines.push_back(line.size() >= 12 ? line.substr(12) : line);
        }
        return lines;
    }

    // One traced operation that posts and returns `result`.
    void run(int operation, int32_t result, int key = 0) {
        TraceCall call = traceBegin(file_, operation, key);
        if (result) postError(result);
        traceEnd(file_, operation, call, result, key);
    }

    TempFolder folder_;
    fs::path dir_;
    std::string logName_;
    bool hadConfig_ = false;
    std::string oldConfig_;
    RecordLayout layout_;
    std::vector<uint8_t> buffer_;
    FileDecl file_;
};

TEST_F(TraceLogTest, FailingOpenWithProfileShowsErrorThenTime) {
    TraceSettings s = settings();
    s.profile = true;
    TraceLog::instance().configure(s);
    clearError();
    run(op::OPEN, FileNotFoundErr);
    std::vector<std::string> lines = logLines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "OPEN(Lines:1F) ");
    EXPECT_EQ(lines[1], "Error:2 File Not Found");
    EXPECT_TRUE(matches(lines[2], "Time Taken:9.99 secs")) << lines[2];
}

TEST_F(TraceLogTest, WithoutProfileTheTimeIsZero) {
    TraceLog::instance().configure(settings());
    run(op::CLOSE, 0);
    std::vector<std::string> lines = logLines();
    EXPECT_EQ(lines, (std::vector<std::string>{"CLOSE(Lines:1F) ", "Time Taken:0.00 secs"}));
}

TEST_F(TraceLogTest, TracingLeavesTheErrorStateAlone) {
    TraceSettings s = settings();
    s.details = true;
    TraceLog::instance().configure(s);
    postFileError("CODE", "The back end's own message");
    postError(FileSystemErr);
    TraceCall call = traceBegin(file_, op::NEXT);
    traceEnd(file_, op::NEXT, call, FileSystemErr);
    traceLockFailure(file_, 32);
    EXPECT_EQ(errorCode(), FileSystemErr);
    EXPECT_EQ(fileErrorText(), "The back end's own message");
    EXPECT_EQ(fileErrorCode(), "CODE");
    std::vector<std::string> lines = logLines();
    ASSERT_GE(lines.size(), 3u);
    // A file system error shows the message it carries.
    EXPECT_NE(std::find(lines.begin(), lines.end(), "Error:90 The back end's own message"), lines.end());
    EXPECT_EQ(lines.back(), "Locking failed with error 32");
}

TEST_F(TraceLogTest, OffMeansNothingWritten) {
    TraceSettings s = settings();
    s.trace = false;
    TraceLog::instance().configure(s);
    run(op::OPEN, 2);
    traceLockFailure(file_, 32);
    EXPECT_FALSE(fs::exists(logName_));
}

TEST_F(TraceLogTest, InternalOperationsAreNeverTraced) {
    TraceLog::instance().configure(settings());
    run(op::Internal87, 0);
    run(op::Internal91, 5);
    run(op::Internal94, 0);
    EXPECT_EQ(logLines(), (std::vector<std::string>{"Internal94(Lines:1F) ", "Time Taken:0.00 secs"}));
}

TEST_F(TraceLogTest, DetailsDumpOnceAndShowTransferredRecords) {
    TraceSettings s = settings();
    s.details = true;
    TraceLog::instance().configure(s);
    std::memcpy(buffer_.data(), "ab\tc    ", 8);
    run(op::NEXT, 0);
    run(op::SETfile, 0);
    run(op::NEXT, 0);
    std::vector<std::string> lines = logLines();
    std::vector<std::string> expected = {
        "FILE,DRIVER('ASCII',''),NAME('missing.txt')",
        "RECORD",
        "  Lyn STRING(8)",
        "END",
        "END",
        "NEXT(Lines:1F) ",
        "Time Taken:0.00 secs",
        "  Lyn=ab09c",
        "SETfile(Lines:1F) ",
        "Time Taken:0.00 secs",
        "NEXT(Lines:1F) ",
        "Time Taken:0.00 secs",
        "  Lyn=ab09c",
    };
    EXPECT_EQ(lines, expected);
}

TEST_F(TraceLogTest, DetailsNeedAllowAndAnUnprotectedFile) {
    TraceSettings s = settings();
    s.details = true;
    s.allowDetails = false;
    TraceLog::instance().configure(s);
    run(op::NEXT, 0);
    EXPECT_EQ(logLines().size(), 2u);
    fs::remove(logName_);

    s.allowDetails = true;
    TraceLog::instance().configure(s);
    file_.owner = "secret";
    std::memcpy(buffer_.data(), "private ", 8);
    run(op::NEXT, 0);
    std::vector<std::string> lines = logLines();
    EXPECT_EQ(lines.size(), 7u) << "the structure, the operation and its time";
    EXPECT_EQ(lines[0], "FILE,DRIVER('ASCII',''),OWNER(******),NAME('missing.txt')");
    for (const std::string& line : lines) {
        EXPECT_EQ(line.find("secret"), std::string::npos) << line;
        EXPECT_EQ(line.find("private"), std::string::npos) << line;
    }
}

TEST_F(TraceLogTest, KeyedOperationsNameTheKeyAndShowItsValues) {
    RecordLayout layout = RecordLayoutBuilder().longField("C:Id").string("C:Name", 4).build();
    std::vector<uint8_t> buffer(layout.size(), ' ');
    int32_t id = -42;
    std::memcpy(buffer.data(), &id, 4);
    std::memcpy(buffer.data() + 4, "Zed ", 4);
    file_.record = &layout;
    file_.buffer = buffer.data();
    KeyDecl byId;
    byId.label = "C:ById";
    byId.components = {1};
    KeyDecl byName;
    byName.name = "NameKey";
    byName.components = {-2, 1};
    file_.keys = {byId, byName};
    TraceSettings s = settings();
    s.details = true;
    TraceLog::instance().configure(s);
    TraceLog::instance().writeLine("start");
    run(op::SETkeykey, 0, 2);
    run(op::SETkey, 0, 1);
    std::vector<std::string> lines = logLines();
    std::vector<std::string> tail(std::find(lines.begin(), lines.end(), "start") + 1, lines.end());
    EXPECT_EQ(tail, (std::vector<std::string>{
        "FILE,DRIVER('ASCII',''),NAME('missing.txt')", "KEY(C:Id)", "KEY(-C:Name,C:Id),NAME('NameKey')",
        "RECORD", "  C:Id LONG", "  C:Name STRING(4)", "END", "END",
        "SETkeykey(Lines:1F,NameKey[2]) ", "Time Taken:0.00 secs", "  C:Name=Zed", "  C:Id=-42",
        "SETkey(Lines:1F,C:ById[1]) ", "Time Taken:0.00 secs"}));
}

TEST_F(TraceLogTest, SettingsComeFromTheProgramSection) {
    // The keys go again at the end, wherever the default profile lives.
    struct Forget {
        ~Forget() {
            for (const char* key : {"trace", "Flush", "logfile"}) {
                platform::writeProfileString("varnok", key, std::nullopt);
            }
        }
    } forget;
    ASSERT_TRUE(platform::writeProfileString("varnok", "trace", "1"));
    ASSERT_TRUE(platform::writeProfileString("varnok", "Flush", "on"));
    ASSERT_TRUE(platform::writeProfileString("varnok", "logfile", logName_ + " [Other, lines]"));
    TraceSettings s = TraceSettings::load();
    EXPECT_TRUE(s.trace);
    EXPECT_TRUE(s.flush);
    EXPECT_FALSE(s.profile);
    EXPECT_FALSE(s.details);
    EXPECT_TRUE(s.allowDetails);
    EXPECT_EQ(s.logFileName(), logName_);
    EXPECT_TRUE(s.traces("LINES"));
    EXPECT_TRUE(s.traces("other"));
    EXPECT_FALSE(s.traces("Config"));

    run(op::OPEN, 0);  // settings are read at the first traced file
    file_.label = "Config";
    run(op::OPEN, 0);
    EXPECT_EQ(logLines(), (std::vector<std::string>{"OPEN(Lines:1F) ", "Time Taken:0.00 secs"}));
}

// The dispatcher traces real driver operations: a failing OPEN, then a file
// that opens, reads a line and closes.
TEST_F(TraceLogTest, DispatchedOperationsOfTheTextDriver) {
    TraceSettings s = settings();
    s.profile = true;
    s.details = true;
    TraceLog::instance().configure(s);
    file_.name = (dir_ / "missing.txt").string();
    FileArgs args;
    args.access = 0x40;
    EXPECT_EQ(dispatch(op::OPEN, file_, args), FileNotFoundErr);

    std::string present = (dir_ / "present.txt").string();
    std::ofstream(present, std::ios::binary) << "one\r\ntwo\r\n";
    FileDecl other = file_;
    other.label = "Other";
    other.name = present;
    other.instance = 2;
    FileArgs open;
    open.access = 0x40;
    ASSERT_EQ(dispatch(op::OPEN, other, open), 0);
    EXPECT_EQ(dispatch(op::SETfile, other), 0);
    EXPECT_EQ(dispatch(op::NEXT, other), 0);
    EXPECT_EQ(dispatch(op::CLOSE, other), 0);

    std::vector<std::string> lines = logLines();
    std::vector<std::string> shape;  // lines with the elapsed digits blanked
    for (std::string line : lines) {
        if (line.rfind("Time Taken:", 0) == 0) {
            EXPECT_TRUE(matches(line, "Time Taken:9.99 secs")) << line;
            line = "Time Taken";
        }
        shape.push_back(line);
    }
    const std::string dump = "FILE,DRIVER('ASCII',''),NAME('";
    ASSERT_EQ(shape.size(), 22u);
    EXPECT_EQ(shape[0], dump + file_.name + "')");
    EXPECT_EQ(std::vector<std::string>(shape.begin() + 5, shape.begin() + 8),
              (std::vector<std::string>{"OPEN(Lines:1F) ", "Error:2 File Not Found", "Time Taken"}));
    EXPECT_EQ(shape[8], dump + present + "')");
    EXPECT_EQ(std::vector<std::string>(shape.begin() + 13, shape.end()),
              (std::vector<std::string>{"OPEN(Other:2) ", "Time Taken", "SETfile(Other:2) ", "Time Taken",
                                        "NEXT(Other:2) ", "Time Taken", "  Lyn=one", "CLOSE(Other:2) ",
                                        "Time Taken"}));
}

TEST(TraceSettingsValues, FlagsAndLogFileNames) {
    EXPECT_TRUE(traceFlag("1", false));
    EXPECT_TRUE(traceFlag(" 007 ", false));
    EXPECT_TRUE(traceFlag("yes", false));
    EXPECT_TRUE(traceFlag("True", false));
    EXPECT_TRUE(traceFlag("On", false));
    EXPECT_FALSE(traceFlag("0", true));
    EXPECT_FALSE(traceFlag("off", true));
    EXPECT_FALSE(traceFlag("no", true));
    EXPECT_TRUE(traceFlag("", true));
    EXPECT_FALSE(traceFlag("  ", false));

    TraceSettings s;
    EXPECT_EQ(s.logFileName(), "varnok.LOG");
    EXPECT_EQ(s.logFileName("prog"), "prog.LOG");
    s.traceFile = "t.log";
    EXPECT_EQ(s.logFileName(), "t.log");
    s.logFile = "l.log";
    EXPECT_EQ(s.logFileName(), "l.log");

    std::string name;
    std::vector<std::string> labels;
    splitLogFileValue("  a b.log  [ X ,,Y]tail", name, labels);
    EXPECT_EQ(name, "a b.log");
    EXPECT_EQ(labels, (std::vector<std::string>{"X", "Y"}));
    splitLogFileValue("[A]", name, labels);
    EXPECT_EQ(name, "");
    EXPECT_EQ(labels, (std::vector<std::string>{"A"}));
    splitLogFileValue("plain.log", name, labels);
    EXPECT_EQ(name, "plain.log");
    EXPECT_TRUE(labels.empty());
}

TEST(TraceValues, DatesTimesAndElapsed) {
    EXPECT_EQ(traceDateText(4), "01 Jan 1801 (4)");
    EXPECT_EQ(traceDateText(LastStandardDate), "31 Dec 9999 (2994626)");
    int32_t day = calendarToDate(2026, 12, 7);
    EXPECT_EQ(traceDateText(day), "07 Dec 2026 (" + std::to_string(day) + ")");
    EXPECT_EQ(traceDateText(0), "Invalid date (0)");
    EXPECT_EQ(traceDateText(3), "Invalid date (3)");
    EXPECT_EQ(traceDateText(LastStandardDate + 1), "Invalid date (2994627)");
    EXPECT_EQ(traceDateText(-5), "Invalid date (-5)");

    EXPECT_EQ(traceTimeText(1), "00:00:00.00 (1)");
    EXPECT_EQ(traceTimeText(LastStandardTime), "23:59:59.99 (8640000)");
    EXPECT_EQ(traceTimeText(4710908), "13:05:09.07 (4710908)");
    EXPECT_EQ(traceTimeText(0), "Invalid time (0)");
    EXPECT_EQ(traceTimeText(LastStandardTime + 1), "Invalid time (8640001)");

    EXPECT_EQ(traceElapsedText(0), "0.00 secs");
    EXPECT_EQ(traceElapsedText(7), "0.07 secs");
    EXPECT_EQ(traceElapsedText(12345), "123.45 secs");
}

// Every day written as a record's packed DATE reads back in the trace with
// its own day number; every other form of the field is shown as invalid.
TEST(TraceValues, RecordFieldsOfEveryKind) {
    RecordLayout layout = RecordLayoutBuilder()
                              .byte("B").shortField("S").ushortField("U").date("D").time("T")
                              .cstring("C", 6).pstring("P", 5).string("A", 2).dim({2})
                              .real("R").build();
    std::vector<uint8_t> rec(layout.size(), 0);
    const FieldDesc* f = layout.field(1);
    rec[f->offset] = 0x0A;
    int16_t s = -300;
    std::memcpy(&rec[layout.field(2)->offset], &s, 2);
    uint16_t u = 65000;
    std::memcpy(&rec[layout.field(3)->offset], &u, 2);
    dateToPacked(calendarToDate(2000, 2, 29), &rec[layout.field(4)->offset]);
    timeToPacked(4710908, &rec[layout.field(5)->offset]);
    std::memcpy(&rec[layout.field(6)->offset], "hi\x01\0zz", 6);
    std::memcpy(&rec[layout.field(7)->offset], "\x03xyzw", 5);
    std::memcpy(&rec[layout.field(8)->offset], "k ~\x7F", 4);
    double r = 2.5;
    std::memcpy(&rec[layout.field(9)->offset], &r, 8);
    int32_t feb29 = calendarToDate(2000, 2, 29);
    EXPECT_EQ(recordContentLines(layout, rec.data()), (std::vector<std::string>{
        "B=0AH", "S=-300", "U=65000", "D=29 Feb 2000 (" + std::to_string(feb29) + ")",
        "T=13:05:09.07 (4710908)", "C=hi01", "P=xyz", "A[1]=k", "A[2]=~7F", "R=2.5"}));

    RecordLayout dates = RecordLayoutBuilder().date("D").build();
    uint8_t packed[4];
    for (int32_t day = FirstStandardDate; day <= LastStandardDate; day += 997) {
        dateToPacked(day, packed);
        EXPECT_EQ(recordContentLines(dates, packed)[0], "D=" + traceDateText(day));
    }
    const uint8_t impossible[4] = {31, 2, 0xD0, 0x07};  // 31 February 2000
    EXPECT_EQ(recordContentLines(dates, impossible)[0].rfind("D=Invalid date (", 0), 0u);
}

}  // namespace
}  // namespace varnok::textfile
