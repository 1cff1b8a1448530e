#include "app/window/main_procedure.h"

#include <cstring>

#include "app/txa/txa_records.h"
#include "app/window/main_window.h"
#include "app/window/main_window_structure.h"
#include "framework/ini/ini_manager.h"

namespace varnok::app {

MainProcedure::MainProcedure(std::string_view start)
    : extensionList(remover.ExtensionQ),
      resizerStore(framework::iniManager(), std::string(MainProcedureName)),
      resizer(&resizerStore),
      startFile(start) {
    std::memset(FileNameTXA, ' ', FileNameSize);
    remover.queueTool.MaxBufSize = 1048575;
    remover.queueTool.MaxLineSize = 1024;
}

std::string MainProcedure::fileNameText() const { return std::string(trimmed(FileNameTXA, FileNameSize)); }

void MainProcedure::setFileName(std::string_view name) { setFixed(FileNameTXA, FileNameSize, name); }

uint8_t MainProcedure::Run() {
    MainWindow manager(*this);
    return manager.Run();
}

uint8_t Main(std::string_view startFile) {
    MainProcedure procedure(startFile);
    return procedure.Run();
}

}  // namespace varnok::app
