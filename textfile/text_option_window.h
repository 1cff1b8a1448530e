// TextOptionWindow: the option record of the text line driver with its
// checker: the fields a dialog edits and the switches that fill them.
//
//   switch        field        kind            start value
//   FILEBUFFERS   BUFFERS      32-bit number   0 (not given)
//   QUICKSCAN     QUICKSCAN    flag ON/OFF     3 (not given)
//   CLIP          CLIP         flag ON/OFF     1
//   CTRLZISEOF    CTRLZISEOF   flag ON/OFF     1
//   ENDOFRECORD   ENDOFRECORD  text, 40 chars  empty
//   TAB           TAB          16-bit number   8
// COUNT holds the number of switches the last read took. A field at its
// start value is not written back.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/records/record_layout.h"
#include "textfile/option_checker.h"

namespace varnok::textfile {

class TextOptionWindow {
public:
    // Field numbers of the option record.
    enum Field : int { COUNT = 1, BUFFERS, QUICKSCAN, CLIP, CTRLZISEOF, TAB, ENDOFRECORD };
    static constexpr uint8_t NotGiven = 3;  // a flag that the string does not set

    TextOptionWindow();

    // Reads a driver string into the fields (reporting malformed switches).
    int read(std::string_view driverString);
    std::string write() { return checker_.write(); }

    uint32_t count() const;
    uint32_t buffers() const;
    uint8_t quickScan() const;
    uint8_t clip() const;
    uint8_t ctrlZIsEof() const;
    int16_t tab() const;
    std::string endOfRecord() const;

    void setBuffers(uint32_t n);
    void setQuickScan(uint8_t flag);
    void setClip(uint8_t flag);
    void setCtrlZIsEof(uint8_t flag);
    void setTab(int16_t tab);
    void setEndOfRecord(std::string_view text);  // cut to 40 characters

    OptionChecker& checker() { return checker_; }
    const RecordLayout& layout() const { return layout_; }

private:
    RecordLayout layout_;
    std::vector<uint8_t> record_;
    OptionChecker checker_;
};

}  // namespace varnok::textfile
