#include "app/startup/program_run.h"

#include "app/window/main_procedure.h"
#include "app/window/main_window_structure.h"
#include "framework/errors/error_manager.h"
#include "framework/errors/error_state.h"
#include "framework/history/message_window.h"
#include "framework/ini/ini_manager.h"
#include "platform/drag_full_windows.h"
#include "runtime/locale/locale.h"

namespace varnok::app {

uint8_t runProgram(std::string_view startFile) {
    initialiseLocale();
    framework::errorManager().Init(framework::errorStates());
    framework::installHistoryWindow();
    framework::IniManager& ini = framework::iniManager();
    ini.Init(ProgramIniFile, 0, 0);

    const bool dragWasOn = platform::dragFullWindows();
    if (dragWasOn) platform::setDragFullWindows(false);

    registerMainWindow();
    const uint8_t response = Main(startFile);

    if (dragWasOn) platform::setDragFullWindows(true);
    ini.BeforeRelease();
    ini.Release();
    return response;
}

}  // namespace varnok::app
