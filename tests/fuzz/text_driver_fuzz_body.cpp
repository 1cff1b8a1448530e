// Fuzz body for reading a text file through the text line driver, shared by
// the libFuzzer target and the corpus replay test; a broken invariant aborts
// with a message.
//
// Input: a record size byte, a mode byte, a driver string ended by a 0 byte,
// then the file's bytes.
//   record size  one of 1, 2, 3, 4, 7, 8, 16, 40, 255, 1024 (byte mod 10)
//   mode bits 0-1  sharing of a read-only open: compatible, deny all, deny
//                  write (QUICKSCAN on for these two), deny none
//   mode bit 2     the file is declared OEM
//   mode bit 3     every line is read again at its pointer
//
// The file is read with SET and NEXT until NEXT answers 33. Checked against
// a model that reads the bytes one at a time with the terminator, tab
// setting and Ctrl-Z rule the driver reports through SEND: the loop ends;
// every record and its pointer are the model's; EOF is true exactly before
// the NEXT that answers 33; a line read again at its pointer is the same.
// The record buffer is allocated to its exact size, so a write past it is
// caught by the address sanitizer.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "platform/codepage.h"
#include "runtime/records/record_layout.h"
#include "tests/fuzz/fuzz_support.h"
#include "textfile/dispatcher.h"
#include "textfile/operations.h"

namespace {

using namespace varnok;
using namespace varnok::textfile;

void require(bool condition, const char* what, std::string_view detail = {}) {
    if (!condition) fuzzing::fail("text driver", what, detail);
}

constexpr uint32_t kRecordSizes[] = {1, 2, 3, 4, 7, 8, 16, 40, 255, 1024};
constexpr uint8_t kSharing[] = {0x00, 0x10, 0x20, 0x40};
constexpr uint8_t kCtrlZ = 26, kTab = 9;

struct ModelLine {
    std::string record;
    uint32_t pointer = 0;  // 1-based
};

struct ReadRules {
    std::string terminator;
    int32_t tab = 8;
    bool ctrlZEndsFile = true;
};

// Reads the file as the driver's NEXT does, one byte at a time. A Ctrl-Z that
// ends the file is looked for before anything else, wherever it occurs.
std::vector<ModelLine> modelRead(const std::string& file, uint32_t size, const ReadRules& rules) {
    std::vector<ModelLine> lines;
    const std::string& term = rules.terminator;
    const size_t n = file.size(), t = term.size();
    auto endsFile = [&](size_t i) { return rules.ctrlZEndsFile && static_cast<uint8_t>(file[i]) == kCtrlZ; };
    auto terminatorAt = [&](size_t i, size_t limit) { return i + t <= limit && file.compare(i, t, term) == 0; };
    size_t pos = 0;
    while (pos < n && !endsFile(pos)) {
        ModelLine line{std::string(size, ' '), static_cast<uint32_t>(pos + 1)};
        // Copy phase: at most `size` bytes examined, the terminator looked
        // for in a window of size + t bytes.
        const size_t window = std::min(n, pos + size + t), examined = std::min(window, pos + size);
        size_t i = pos;
        uint32_t out = 0;
        bool ended = false;
        while (i < examined && out < size) {
            if (endsFile(i)) {
                ended = true;
                break;
            }
            if (terminatorAt(i, window)) {
                i += t;
                ended = true;
                break;
            }
            const uint8_t b = static_cast<uint8_t>(file[i++]);
            if (b != kTab) {
                line.record[out++] = static_cast<char>(b);
            } else if (rules.tab == -100) {
                line.record[out++] = static_cast<char>(kTab);
            } else if (rules.tab > 0) {
                out = static_cast<uint32_t>(std::min<uint64_t>(out + (rules.tab - out % rules.tab), size));
            } else if (rules.tab < 0) {
                out = static_cast<uint32_t>(std::min<uint64_t>(out + uint64_t(-int64_t(rules.tab)), size));
            }
        }
        // Skip phase: the rest of an over-long line.
        while (!ended && i < n) {
            if (endsFile(i)) break;
            if (terminatorAt(i, n)) {
                i += t;
                break;
            }
            ++i;
        }
        lines.push_back(line);
        pos = i;
    }
    return lines;
}

struct FuzzFile {
    FuzzFile(const std::string& name, uint32_t recordSize, std::string driverString, bool oem)
        : layout(RecordLayoutBuilder().string("Line", recordSize).build()), buffer(new uint8_t[recordSize]) {
        decl.label = "Lines";
        decl.driverName = "ASCII";
        decl.driverString = std::move(driverString);
        decl.name = name;
        decl.oem = oem;
        decl.record = &layout;
        decl.buffer = buffer.get();
    }
    ~FuzzFile() { run(op::CLOSE); }
    int32_t run(int operation) {
        FileArgs a;
        return dispatch(operation, decl, a);
    }
    int32_t run(int operation, FileArgs& a) { return dispatch(operation, decl, a); }
    std::string send(const char* option) {
        FileArgs a;
        a.text = option;
        require(run(op::SEND, a) == 0, "SEND of an option succeeds");
        return a.answer;
    }
    uint32_t number(int operation) {
        FileArgs a;
        require(run(operation, a) == 0, "a query succeeds");
        return a.result;
    }
    std::string record() const { return std::string(reinterpret_cast<const char*>(buffer.get()), layout.size()); }

    RecordLayout layout;
    std::unique_ptr<uint8_t[]> buffer;  // exactly the record's size
    FileDecl decl;
};

}  // namespace

void fuzzTextDriver(const uint8_t* data, size_t size) {
    if (size < 2) return;
    const uint32_t recordSize = kRecordSizes[data[0] % 10];
    const uint8_t mode = data[1];
    const std::string rest(reinterpret_cast<const char*>(data) + 2, size - 2);
    const size_t zero = rest.find('\0');
    const std::string driverString = zero == std::string::npos ? rest : rest.substr(0, zero);
    const std::string bytes = zero == std::string::npos ? std::string() : rest.substr(zero + 1);

    const std::string name = fuzzing::scratchFile("text_driver.txt");
    fuzzing::writeWholeFile(name, bytes);
    fuzzing::SilentPresenter presenter;
    FuzzFile file(name, recordSize, driverString, (mode & 4) != 0);
    FileArgs open;
    open.access = kSharing[mode & 3];
    require(file.run(op::OPEN, open) == 0, "OPEN succeeds whatever the driver string");

    ReadRules rules;
    rules.terminator = file.send("ENDOFRECORD");
    rules.tab = static_cast<int32_t>(std::strtol(file.send("TAB").c_str(), nullptr, 10));
    rules.ctrlZEndsFile = file.send("CTRLZISEOF") == "ON";
    require(!rules.terminator.empty(), "the terminator is never empty");
    std::vector<ModelLine> model = modelRead(bytes, recordSize, rules);
    if (mode & 4) {
        const uint8_t* table = platform::oemToAnsiTable();
        for (ModelLine& line : model)
            for (char& c : line.record) c = static_cast<char>(table[static_cast<uint8_t>(c)]);
    }

    require(file.run(op::SETfile) == 0, "SET");
    for (size_t k = 0;; ++k) {
        require(k <= model.size(), "the read loop ends where the model's does");
        const bool atEnd = file.number(op::EOF_) != 0;
        const int32_t code = file.run(op::NEXT);
        if (code == 33) {
            require(atEnd, "EOF is true before the NEXT that answers 33");
            require(k == model.size(), "NEXT reads every line of the model");
            break;
        }
        require(code == 0, "NEXT answers 0 or 33");
        require(k < model.size(), "NEXT reads no more lines than the model");
        require(!atEnd, "EOF is false before a line is read");
        require(file.record() == model[k].record, "the record is the model's", model[k].record);
        require(file.number(op::POINTERfile) == model[k].pointer, "POINTER is the line's start");
        if (mode & 8) {
            FileArgs again;
            again.pointer = model[k].pointer;
            require(file.run(op::GETfileptr, again) == 0, "GET at a line's pointer");
            require(file.record() == model[k].record, "a line read again at its pointer is the same");
            // NEXT goes on after the line read last.
        }
    }
    require(file.run(op::NEXT) == 33, "NEXT at the end keeps answering 33");
}
