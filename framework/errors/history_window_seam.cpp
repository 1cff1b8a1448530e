#include "framework/errors/history_window_seam.h"

#include <atomic>

namespace varnok::framework {

namespace {
std::atomic<HistoryWindowShower> installed{nullptr};
}  // namespace

HistoryWindowShower setHistoryWindowShower(HistoryWindowShower shower) { return installed.exchange(shower); }

HistoryWindowShower historyWindowShower() { return installed.load(); }

}  // namespace varnok::framework
