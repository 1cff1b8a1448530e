// What a window that edits one record needs of the files behind it. The
// window manager (framework/windows/window_manager.h) saves record buffers
// when it prepares a request, compares the primary record with its saved
// copy when the window is closed, and runs the insert, change and delete
// requests; the files themselves are not part of this program.
//
// FileHandler: a file whose record buffer the window saves and gives back.
//   SaveBuffer      copies the buffer; the handle is never 0
//   RestoreBuffer   gives the saved copy back to the buffer (restore true)
//                   or only drops it (false); the handle becomes 0. A 0
//                   handle does nothing.
//   EqualBuffer     true when the buffer equals the saved copy
//
// RelationManager: the primary file and the files related to it. Each
// request answers a level (framework/errors/levels.h): LevelQuiet done;
// anything else refused or failed.
//   Insert          adds the record in the buffer
//   Update          writes the changed record back
//   Delete(ask)     deletes the record, first asking the user when `ask`;
//                   LevelCancel when the user declined
//   CancelAutoInc   gives up the automatic number an insert reserved;
//                   non-zero when the file refuses to let the record go
//   Position        the current record's position as text (empty: none)
//   ResetPosition   makes that position current again
//
// Position and ResetPosition serve a window that inserted records and then
// stays open: when it is cancelled afterwards, it still answers "completed"
// and leaves the file on the record inserted last.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace varnok::framework {

class FileHandler {
public:
    virtual ~FileHandler() = default;
    virtual uint16_t SaveBuffer() = 0;
    virtual void RestoreBuffer(uint16_t& handle, bool restore = true) = 0;
    virtual bool EqualBuffer(uint16_t handle) = 0;
};

class RelationManager : public FileHandler {
public:
    virtual uint8_t Insert() = 0;
    virtual uint8_t Update() = 0;
    virtual uint8_t Delete(bool ask) = 0;
    virtual uint8_t CancelAutoInc() = 0;
    virtual std::string Position() = 0;
    virtual void ResetPosition(std::string_view position) = 0;
};

}  // namespace varnok::framework
