#include "textfile/text_option_window.h"

#include <algorithm>

namespace varnok::textfile {

namespace {

constexpr uint16_t kEndOfRecordLength = 40;

RecordLayout optionLayout() {
    return RecordLayoutBuilder()
        .longField("COUNT")
        .ulongField("BUFFERS")
        .byte("QUICKSCAN")
        .byte("CLIP")
        .byte("CTRLZISEOF")
        .shortField("TAB")
        .cstring("ENDOFRECORD", kEndOfRecordLength + 1)
        .build();
}

SwitchDef flag(const char* name, int field, const char* start) {
    SwitchDef d;
    d.name = name;
    d.kind = SwitchKind::Flag;
    d.destination = field;
    d.defaultValue = d.emptyValue = start;
    return d;
}

SwitchDef number(const char* name, SwitchKind kind, int field, const char* start) {
    SwitchDef d;
    d.name = name;
    d.kind = kind;
    d.destination = field;
    d.defaultValue = d.emptyValue = start;
    return d;
}

}  // namespace

TextOptionWindow::TextOptionWindow()
    : layout_(optionLayout()), record_(layout_.size(), 0), checker_(layout_, record_.data()) {
    checker_.declare(number("FILEBUFFERS", SwitchKind::Long, BUFFERS, "0"));
    checker_.declare(flag("QUICKSCAN", QUICKSCAN, "3"));
    checker_.declare(flag("CLIP", CLIP, "1"));
    checker_.declare(flag("CTRLZISEOF", CTRLZISEOF, "1"));
    SwitchDef eor;
    eor.name = "ENDOFRECORD";
    eor.kind = SwitchKind::Text;
    eor.destination = ENDOFRECORD;
    eor.maxLength = kEndOfRecordLength;
    checker_.declare(eor);
    checker_.declare(number("TAB", SwitchKind::Short, TAB, "8"));
}

int TextOptionWindow::read(std::string_view driverString) {
    int n = checker_.read(driverString);
    checker_.setFieldText(COUNT, std::to_string(n));
    return n;
}

uint32_t TextOptionWindow::count() const { return static_cast<uint32_t>(std::stoul(checker_.fieldText(COUNT))); }
uint32_t TextOptionWindow::buffers() const { return static_cast<uint32_t>(std::stoul(checker_.fieldText(BUFFERS))); }
uint8_t TextOptionWindow::quickScan() const { return static_cast<uint8_t>(std::stoi(checker_.fieldText(QUICKSCAN))); }
uint8_t TextOptionWindow::clip() const { return static_cast<uint8_t>(std::stoi(checker_.fieldText(CLIP))); }
uint8_t TextOptionWindow::ctrlZIsEof() const { return static_cast<uint8_t>(std::stoi(checker_.fieldText(CTRLZISEOF))); }
int16_t TextOptionWindow::tab() const { return static_cast<int16_t>(std::stoi(checker_.fieldText(TAB))); }
std::string TextOptionWindow::endOfRecord() const { return checker_.fieldText(ENDOFRECORD); }

void TextOptionWindow::setBuffers(uint32_t n) { checker_.setFieldText(BUFFERS, std::to_string(n)); }
void TextOptionWindow::setQuickScan(uint8_t f) { checker_.setFieldText(QUICKSCAN, std::to_string(f)); }
void TextOptionWindow::setClip(uint8_t f) { checker_.setFieldText(CLIP, std::to_string(f)); }
void TextOptionWindow::setCtrlZIsEof(uint8_t f) { checker_.setFieldText(CTRLZISEOF, std::to_string(f)); }
void TextOptionWindow::setTab(int16_t t) { checker_.setFieldText(TAB, std::to_string(t)); }
void TextOptionWindow::setEndOfRecord(std::string_view text) {
    checker_.setFieldText(ENDOFRECORD, text.substr(0, kEndOfRecordLength));
}

}  // namespace varnok::textfile
