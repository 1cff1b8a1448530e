// Fuzz body for the text line driver's option strings, shared by the
// libFuzzer target and the corpus replay test; a broken invariant aborts
// with a message. The input is the option text.
//
// 1. As one SEND: the answer is the option's value before, only the option
//    named can change, sending it twice changes nothing more, and a value
//    in its plain form (ON/OFF, a decimal, n,b1,...,bn) is applied and read
//    back unchanged.
// 2. As the driver string of a file at OPEN: every option the open file
//    reports is what the same string gives when its options are sent one
//    by one; the read buffer is at least the record and at most the largest
//    the driver allocates.
// 3. Through the checker of the option window: what it writes back reads
//    again without a report into the same fields and is written the same;
//    and a file opened with what it wrote (when it quotes no text) has the
//    options it shows.
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "runtime/records/record_layout.h"
#include "tests/fuzz/fuzz_support.h"
#include "textfile/dispatcher.h"
#include "textfile/driver_options.h"
#include "textfile/operations.h"
#include "textfile/text_option_window.h"

namespace {

using namespace varnok;
using namespace varnok::textfile;

void require(bool condition, const char* what, std::string_view detail = {}) {
    if (!condition) fuzzing::fail("driver options", what, detail);
}

constexpr uint8_t kMode = 0x20;        // read only, deny write: QUICKSCAN starts on
constexpr uint32_t kRecordSize = 40;
constexpr uint32_t kLargestBuffer = 64u << 20;  // the driver never allocates more
const char* const kWords[] = {"FILEBUFFERS", "QUICKSCAN", "ENDOFRECORD", "CTRLZISEOF", "CLIP", "TAB"};

// The option text as the driver reads it: no white space, upper case, cut
// at the next "/".
std::string normalized(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (c == '/') break;
        if (std::isspace(static_cast<unsigned char>(c))) continue;
        out.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
    }
    return out;
}

std::string answerOf(DriverOptions options, const char* word) { return options.send(word); }

bool sameOptions(const DriverOptions& a, const DriverOptions& b) {
    return a.bufferSize == b.bufferSize && a.quickScan == b.quickScan && a.ctrlZEndsFile == b.ctrlZEndsFile &&
           a.clip == b.clip && a.tab == b.tab && a.endOfRecord == b.endOfRecord;
}

// "n,b1,...,bn" with exactly n byte values and nothing else: the bytes.
std::optional<std::string> plainTerminator(std::string_view v) {
    std::vector<long> numbers;
    size_t pos = 0;
    while (true) {
        size_t start = pos;
        long n = 0;
        while (pos < v.size() && std::isdigit(static_cast<unsigned char>(v[pos])) && pos - start < 6)
            n = n * 10 + (v[pos++] - '0');
        if (pos == start || (pos < v.size() && v[pos] != ',')) return std::nullopt;
        numbers.push_back(n);
        if (pos == v.size()) break;
        ++pos;
    }
    if (numbers.size() < 2 || numbers[0] != static_cast<long>(numbers.size() - 1)) return std::nullopt;
    std::string bytes;
    for (size_t i = 1; i < numbers.size(); ++i) {
        if (numbers[i] > 255) return std::nullopt;
        bytes.push_back(static_cast<char>(numbers[i]));
    }
    return bytes;
}

// A decimal in the 32-bit range with an optional "-", nothing else.
std::optional<int32_t> plainNumber(std::string_view v, bool sign) {
    size_t pos = sign && !v.empty() && v[0] == '-' ? 1 : 0;
    if (pos == v.size() || v.size() - pos > 9) return std::nullopt;
    for (size_t i = pos; i < v.size(); ++i)
        if (!std::isdigit(static_cast<unsigned char>(v[i]))) return std::nullopt;
    return static_cast<int32_t>(std::strtol(std::string(v).c_str(), nullptr, 10));
}

void checkOneSend(std::string_view text) {
    const std::string norm = normalized(text);
    const char* word = nullptr;
    for (const char* w : kWords)
        if (norm.rfind(w, 0) == 0) word = w;
    const DriverOptions before = DriverOptions::forOpen(kMode, 0);
    DriverOptions after = before;
    const std::string answer = after.send(text);
    if (!word) {
        require(answer.empty(), "an unknown option answers nothing");
        require(sameOptions(before, after), "an unknown option changes nothing");
        return;
    }
    require(answer == answerOf(before, word), "the answer is the value before", word);
    DriverOptions only = before;  // before, with the named option taken from after
    const std::string name = word;
    if (name == "FILEBUFFERS") only.bufferSize = after.bufferSize;
    if (name == "QUICKSCAN") only.quickScan = after.quickScan;
    if (name == "ENDOFRECORD") only.endOfRecord = after.endOfRecord;
    if (name == "CTRLZISEOF") only.ctrlZEndsFile = after.ctrlZEndsFile;
    if (name == "CLIP") only.clip = after.clip;
    if (name == "TAB") only.tab = after.tab;
    require(sameOptions(only, after), "only the option named changes", word);
    require(!after.endOfRecord.empty(), "the terminator is never empty");
    DriverOptions twice = after;
    twice.send(text);
    require(sameOptions(twice, after), "sending an option twice changes nothing more", word);

    if (norm.size() <= name.size() + 1 || norm[name.size()] != '=') return;
    const std::string value = norm.substr(name.size() + 1);
    const std::string readBack = answerOf(after, word);
    if (name == "CLIP" || name == "QUICKSCAN" || name == "CTRLZISEOF") {
        if (value == "ON" || value == "OFF") require(readBack == value, "a flag reads back as set", word);
    } else if (name == "TAB") {
        if (auto n = plainNumber(value, true)) require(readBack == std::to_string(*n), "TAB reads back as set");
    } else if (name == "ENDOFRECORD") {
        if (auto bytes = plainTerminator(value)) require(readBack == *bytes, "ENDOFRECORD reads back as set");
    } else if (name == "FILEBUFFERS") {
        // n blocks of 512 bytes; above 8,388,607 blocks the largest size.
        if (auto n = plainNumber(value, false))
            require(readBack == std::to_string(*n > 8388607 ? 4294967263ull : uint64_t(*n) * 512),
                    "FILEBUFFERS reads back as set");
    }
}

// A read-only file opened with a driver string, as a program declares it.
struct OpenFile {
    OpenFile(const std::string& name, std::string driverString)
        : layout(RecordLayoutBuilder().string("Line", kRecordSize).build()), buffer(new uint8_t[kRecordSize]) {
        decl.label = "Options";
        decl.driverName = "ASCII";
        decl.driverString = std::move(driverString);
        decl.name = name;
        decl.record = &layout;
        decl.buffer = buffer.get();
        FileArgs a;
        a.access = kMode;
        require(dispatch(op::OPEN, decl, a) == 0, "OPEN succeeds whatever the driver string");
    }
    ~OpenFile() {
        FileArgs a;
        dispatch(op::CLOSE, decl, a);
    }
    std::string send(const char* option) {
        FileArgs a;
        a.text = option;
        require(dispatch(op::SEND, decl, a) == 0, "SEND succeeds");
        return a.answer;
    }
    RecordLayout layout;
    std::unique_ptr<uint8_t[]> buffer;
    FileDecl decl;
};

// The buffer a file of kRecordSize gets for the hostless value: at least the
// record, halved while larger than the driver allocates.
uint64_t expectedBuffer(uint64_t bytes) {
    bytes = std::max<uint64_t>(bytes, kRecordSize);
    while (bytes > kLargestBuffer) bytes /= 2;
    return bytes;
}

void checkDriverString(std::string_view text, const std::string& fileName) {
    DriverOptions expected = DriverOptions::forOpen(kMode, kRecordSize);
    for (size_t slash = text.find('/'); slash != std::string_view::npos; slash = text.find('/', slash + 1))
        expected.send(text.substr(slash + 1));
    OpenFile file(fileName, std::string(text));
    for (const char* word : {"QUICKSCAN", "ENDOFRECORD", "CTRLZISEOF", "CLIP", "TAB"})
        require(file.send(word) == answerOf(expected, word), "OPEN applies the driver string's options", word);
    const uint64_t buffer = std::strtoull(file.send("FILEBUFFERS").c_str(), nullptr, 10);
    require(buffer == expectedBuffer(expected.bufferSize), "the read buffer follows FILEBUFFERS");
}

void checkChecker(std::string_view text, const std::string& fileName) {
    fuzzing::SilentPresenter presenter;
    TextOptionWindow first;
    first.read(text);
    const std::string written = first.write();
    const int reports = presenter.shown;
    TextOptionWindow second;
    second.read(written);
    require(presenter.shown == reports, "what the checker writes reads back without a report", presenter.last);
    require(first.buffers() == second.buffers() && first.quickScan() == second.quickScan() &&
                first.clip() == second.clip() && first.ctrlZIsEof() == second.ctrlZIsEof() &&
                first.tab() == second.tab() && first.endOfRecord() == second.endOfRecord(),
            "what the checker writes reads back as the same fields", written);
    require(second.write() == written, "writing again gives the same string", written);

    // The driver applies what the checker shows. Apostrophes mean nothing to
    // the driver, which starts an option at every "/": a quoted text (only
    // ENDOFRECORD is text) is outside what the two read alike.
    if (written.find('\'') != std::string::npos) return;
    OpenFile file(fileName, written);
    const DriverOptions start = DriverOptions::forOpen(kMode, kRecordSize);
    require(file.send("CLIP") == (first.clip() ? "ON" : "OFF"), "CLIP as the checker shows it", written);
    require(file.send("CTRLZISEOF") == (first.ctrlZIsEof() ? "ON" : "OFF"), "CTRLZISEOF as shown", written);
    require(file.send("TAB") == std::to_string(first.tab()), "TAB as the checker shows it", written);
    const std::string quick = first.quickScan() == TextOptionWindow::NotGiven ? answerOf(start, "QUICKSCAN")
                              : first.quickScan()                             ? "ON"
                                                                              : "OFF";
    require(file.send("QUICKSCAN") == quick, "QUICKSCAN as the checker shows it", written);
    const uint64_t buffer = std::strtoull(file.send("FILEBUFFERS").c_str(), nullptr, 10);
    const uint64_t wanted = first.buffers() == 0 ? start.bufferSize
                                                 : expectedBuffer(fileBuffersBytes(first.buffers(), kRecordSize));
    require(buffer == wanted, "FILEBUFFERS as the checker shows it", written);
    const std::string eor = first.endOfRecord();
    if (eor.empty()) {
        require(file.send("ENDOFRECORD") == start.endOfRecord, "no ENDOFRECORD keeps CR LF", written);
    } else if (auto bytes = plainTerminator(eor)) {
        require(file.send("ENDOFRECORD") == *bytes, "ENDOFRECORD as the checker shows it", written);
    }
}

}  // namespace

void fuzzDriverOptions(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::string fileName = fuzzing::scratchFile("driver_options.txt");
    fuzzing::writeWholeFile(fileName, "line one\r\nline two\r\n");
    checkOneSend(text);
    checkDriverString(text, fileName);
    checkChecker(text, fileName);
}
