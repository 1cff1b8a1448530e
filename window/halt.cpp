#include "window/halt.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>

namespace varnok::window {

namespace {

class ExitHalt final : public HaltHandler {
public:
    void halt(int exitCode, const std::string& text) override {
        if (!text.empty()) {
            std::fputs(text.c_str(), stderr);
            std::fputc('\n', stderr);
            std::fflush(stderr);
        }
        std::exit(exitCode);
    }
};

ExitHalt& defaultHandler() {
    static ExitHalt handler;
    return handler;
}

std::atomic<HaltHandler*> currentHandler{nullptr};

}  // namespace

HaltHandler& haltHandler() {
    HaltHandler* h = currentHandler.load();
    return h ? *h : defaultHandler();
}

HaltHandler* setHaltHandler(HaltHandler* handler) { return currentHandler.exchange(handler); }

void halt(int exitCode, const std::string& text) { haltHandler().halt(exitCode, text); }

}  // namespace varnok::window
