// Helpers for the text line driver tests: a scratch folder, and a file
// declared with the driver whose record is one STRING field, driven through
// the dispatcher the way a program does.
#pragma once
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "runtime/records/record_layout.h"
#include "tests/app/temp_folder.h"
#include "textfile/dispatcher.h"
#include "textfile/operations.h"

namespace varnok::testing {

// A fresh folder under the system's temporary folder, removed at the end.
// Names are joined as UTF-8 text: a std::filesystem::path made from a narrow
// string would take it in the Windows code page.
class ScratchDir {
public:
    std::string file(const std::string& name) const { return folder_.file(name); }
    std::filesystem::path path() const { return std::filesystem::path(folder_.path()); }

private:
    TempFolder folder_;
};

inline void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

inline std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream all;
    all << in.rdbuf();
    return all.str();
}

// Access mode bytes: access in the low bits, sharing in the high four.
constexpr uint8_t ReadOnlyDenyWrite = 0x20;
constexpr uint8_t ReadWriteDenyAll = 0x12;
constexpr uint8_t ReadWriteDenyNone = 0x42;
constexpr uint8_t ReadOnlyDenyNone = 0x40;

class TextFile {
public:
    explicit TextFile(const std::string& name, uint32_t recordSize = 40, std::string driverString = "")
        : layout_(RecordLayoutBuilder().string("Line", recordSize).build()),
          buffer_(recordSize, ' ') {
        decl_.label = "Lines";
        decl_.driverName = "ASCII";
        decl_.driverString = std::move(driverString);
        decl_.name = name;
        decl_.create = true;
        decl_.record = &layout_;
        decl_.buffer = buffer_.data();
    }
    ~TextFile() { run(textfile::op::CLOSE); }
    TextFile(const TextFile&) = delete;
    TextFile& operator=(const TextFile&) = delete;

    textfile::FileDecl& decl() { return decl_; }
    int32_t run(int operation) { return textfile::dispatch(operation, decl_, args_); }
    int32_t run(int operation, textfile::FileArgs& args) { return textfile::dispatch(operation, decl_, args); }

    int32_t open(uint8_t mode = ReadWriteDenyAll) {
        textfile::FileArgs a;
        a.access = mode;
        return run(textfile::op::OPEN, a);
    }
    int32_t close() { return run(textfile::op::CLOSE); }
    int32_t next() { return run(textfile::op::NEXT); }
    int32_t add(const std::string& text) {
        setRecord(text);
        return run(textfile::op::ADD);
    }
    int32_t withPointer(int operation, uint32_t pointer, uint32_t length = 0) {
        textfile::FileArgs a;
        a.pointer = pointer;
        a.length = length;
        return run(operation, a);
    }
    int32_t withLength(int operation, uint32_t length) { return withPointer(operation, 0, length); }
    uint32_t number(int operation) {
        textfile::FileArgs a;
        run(operation, a);
        return a.result;
    }
    std::string send(const std::string& option) {
        textfile::FileArgs a;
        a.text = option;
        run(textfile::op::SEND, a);
        return a.answer;
    }

    // The record buffer: exactly, or without its trailing spaces.
    std::string rawRecord() const { return std::string(buffer_.begin(), buffer_.end()); }
    std::string record() const {
        std::string text = rawRecord();
        text.erase(text.find_last_not_of(' ') + 1);
        return text;
    }
    void setRecord(const std::string& text) {
        std::fill(buffer_.begin(), buffer_.end(), ' ');
        std::copy_n(text.begin(), std::min(text.size(), buffer_.size()), buffer_.begin());
    }

    // Every line NEXT returns from the start until it answers 33.
    std::vector<std::string> readAll() {
        std::vector<std::string> lines;
        run(textfile::op::SETfile);
        while (next() == 0) lines.push_back(record());
        return lines;
    }

private:
    RecordLayout layout_;
    std::vector<uint8_t> buffer_;
    textfile::FileDecl decl_;
    textfile::FileArgs args_;
};

}  // namespace varnok::testing
