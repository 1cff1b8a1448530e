#include "app/window/main_procedure.h"

#include <algorithm>
#include <cstring>

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

std::string MainProcedure::fileNameText() const {
    std::string_view text(FileNameTXA, FileNameSize);
    size_t end = text.find_last_not_of(' ');
    return end == std::string_view::npos ? std::string() : std::string(text.substr(0, end + 1));
}

void MainProcedure::setFileName(std::string_view name) {
    size_t n = std::min(name.size(), FileNameSize);
    std::memcpy(FileNameTXA, name.data(), n);
    std::memset(FileNameTXA + n, ' ', FileNameSize - n);
}

uint8_t MainProcedure::Run() {
    MainWindow manager(*this);
    return manager.Run();
}

uint8_t Main(std::string_view startFile) {
    MainProcedure procedure(startFile);
    return procedure.Run();
}

}  // namespace varnok::app
