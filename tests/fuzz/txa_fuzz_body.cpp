// Fuzz body for a TXA file's whole road: load, scan, tick, remove, save and
// load the copy again. Shared by the libFuzzer target and the corpus replay
// test; a broken invariant aborts with a message.
//
// Input: a control byte, two bytes of ticks, then the file's bytes.
//   control bits 0-2  read chunk size (1 byte up to the default 1 MiB), so
//                     that line ends fall across chunk edges
//   control bit 3     read in two halves on two threads (from 16 bytes)
//   control bit 4     tick every instance (else instance k is ticked when
//                     bit k mod 16 of the tick bytes is set)
//   control bits 5-6  chunk size for loading the copy again
//   control bit 7     an older copy exists and is replaced
//
// Checked: the lines loaded are the file's lines; every instance's range
// lies inside the file, closed ranges never overlap and their first lines
// ascend, and the list equals the plain model's scan; the bytes saved are
// the loaded lines without the ticked ranges, without trailing spaces, each
// with the file's line end; no temporary file is left; and the list rebuilt
// after the save equals a scan of a fresh load of the saved file.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "app/txa/extension_remover.h"
#include "app/txa/extension_selection.h"
#include "app/txa/txa_records.h"
#include "app/window/remove_and_save.h"
#include "tests/app/txa_reference.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

using namespace varnok;
using testing::RefInstance;

void require(bool condition, const char* what, std::string_view detail = {}) {
    if (!condition) fuzzing::fail("txa", what, detail);
}

constexpr int32_t kChunks[] = {1, 2, 3, 5, 8, 64, 1000, 1048575};
constexpr int32_t kReloadChunks[] = {1, 3, 64, 1048575};

std::string rawRecord(QueueDecl* queue, int32_t i) {
    GET(queue, i);
    return std::string(reinterpret_cast<const char*>(queue->buffer), queue->recordSize);
}

std::string asRecord(const std::string& line) {
    std::string r = line.substr(0, app::LineSize);
    r.resize(app::LineSize, ' ');
    return r;
}

void checkLines(QueueDecl* lineQ, const std::vector<std::string>& lines, const char* what) {
    require(RECORDS(lineQ) == lines.size(), what, "line count");
    for (size_t i = 0; i < lines.size(); ++i)
        require(rawRecord(lineQ, static_cast<int32_t>(i + 1)) == asRecord(lines[i]), what, lines[i]);
}

// Ranges inside the file, closed ranges apart, first lines ascending, ticks
// and icons in step.
void checkList(QueueDecl* extensionQ, size_t lineCount) {
    int32_t lastFrom = 0, lastTo = 0;
    for (uint32_t i = 1; i <= RECORDS(extensionQ); ++i) {
        GET(extensionQ, static_cast<int32_t>(i));
        app::ExtensionRecord r;
        r.read(extensionQ->buffer);
        require(r.fromLineNo >= 1 && static_cast<size_t>(r.fromLineNo) <= lineCount, "first line inside the file");
        require(r.toLineNo == 0 || (r.toLineNo >= r.fromLineNo && static_cast<size_t>(r.toLineNo) <= lineCount),
                "last line inside the file, not before the first");
        require(r.fromLineNo > lastFrom, "first lines ascend");
        require(r.fromLineNo > lastTo, "closed ranges never overlap");
        require(r.icon == 1 + r.removeThis && r.removeThis <= 1, "tick and icon agree");
        lastFrom = r.fromLineNo;
        if (r.toLineNo != 0) lastTo = r.toLineNo;
    }
}

// The copy the model expects: the kept lines, trailing spaces removed, but
// one kept after a CR that would otherwise meet an LF line end.
std::string modelCopy(const std::vector<std::string>& kept, const std::string& lineEnd) {
    std::string out;
    for (const std::string& line : kept) {
        std::string text = testing::rstrip(line);
        if (lineEnd == "\n" && !text.empty() && text.back() == '\r') text += ' ';
        out += text + lineEnd;
    }
    return out;
}

std::vector<std::string> rawLines(QueueDecl* lineQ) {
    std::vector<std::string> out;
    for (uint32_t i = 1; i <= RECORDS(lineQ); ++i) out.push_back(rawRecord(lineQ, static_cast<int32_t>(i)));
    return out;
}

}  // namespace

void fuzzTxa(const uint8_t* data, size_t size) {
    if (size < 3) return;
    const uint8_t control = data[0];
    const unsigned ticks = data[1] | unsigned(data[2]) << 8;
    const std::string bytes(reinterpret_cast<const char*>(data) + 3, size - 3);

    const std::string folder = fuzzing::scratchFile("txa");
    std::filesystem::create_directories(folder);
    const std::string input = folder + "/in.txa", output = folder + "/in_.txa";
    fuzzing::writeWholeFile(input, bytes);
    std::filesystem::remove(output);
    const std::string oldCopy = "an older copy\r\n";
    if (control & 0x80) fuzzing::writeWholeFile(output, oldCopy);

    fuzzing::SilentPresenter presenter;
    app::ExtensionRemover remover;
    remover.queueTool.MaxBufSize = kChunks[control & 7];
    if (control & 8) remover.lines().readInHalvesFrom(16);
    remover.FileNameTXA = input;
    require(remover.Load().status == app::LoadStatus::Loaded, "a readable file loads", presenter.last);
    require(presenter.shown == 0, "loading shows no message", presenter.last);

    const std::vector<std::string> lines = testing::refSplit(bytes);
    const std::string lineEnd = testing::refHasLfEnds(bytes) ? "\n" : "\r\n";
    checkLines(remover.LineQ, lines, "loaded lines");
    checkList(remover.ExtensionQ, lines.size());
    const std::vector<RefInstance> list = testing::listOf(remover.ExtensionQ);
    require(list == testing::refScan(lines), "the scan agrees with the model");

    std::vector<bool> ticked(list.size());
    for (size_t k = 0; k < list.size(); ++k) {
        ticked[k] = (control & 0x10) || (ticks >> (k % 16) & 1);
        if (ticked[k]) require(app::setTicked(remover.ExtensionQ, static_cast<int32_t>(k + 1), true), "tick");
    }
    const std::vector<std::string> kept = testing::refRemove(lines, list, ticked);

    const app::RemoveOutcome outcome = app::RemoveAndSave(remover, output);
    if (kept.size() == lines.size()) {
        require(outcome == app::RemoveOutcome::NothingToDelete, "nothing ticked deletes nothing");
        require((control & 0x80) ? fuzzing::readWholeFile(output) == oldCopy : !std::filesystem::exists(output),
                "nothing is written when nothing is deleted");
        checkLines(remover.LineQ, lines, "lines after nothing was deleted");
        return;
    }
    require(outcome == app::RemoveOutcome::Saved, "the copy is saved", presenter.last);
    require(fuzzing::readWholeFile(output) == modelCopy(kept, lineEnd), "the copy holds the kept lines");
    require(fuzzing::readWholeFile(input) == bytes, "the input is never written");
    size_t names = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        (void)entry;
        ++names;
    }
    require(names == 2, "no temporary file is left behind");

    checkLines(remover.LineQ, kept, "lines after the removal");
    checkList(remover.ExtensionQ, kept.size());
    app::ExtensionRemover fresh;
    fresh.queueTool.MaxBufSize = kReloadChunks[(control >> 5) & 3];
    fresh.FileNameTXA = output;
    require(fresh.Load().status == app::LoadStatus::Loaded, "the copy loads");
    require(rawLines(fresh.LineQ) == rawLines(remover.LineQ), "the copy loads as the lines that were kept");
    require(testing::listOf(fresh.ExtensionQ) == testing::listOf(remover.ExtensionQ),
            "the rebuilt list is the scan of the copy");
    require(testing::listOf(remover.ExtensionQ) == testing::refScan(kept), "the rebuilt list agrees with the model");
}
