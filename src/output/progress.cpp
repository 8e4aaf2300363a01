#include "output/progress.h"

#include <cmath>
#include <cstdio>

#include "platform/console.h"
#include "platform/signals.h"

namespace quorvid {

namespace {

constexpr auto kTerminalInterval = std::chrono::milliseconds(200);
constexpr auto kLogInterval = std::chrono::seconds(5);

std::string Bytes(uint64_t bytes) {
  const char* units[] = {"B", "KiB", "MiB", "GiB", "TiB"};
  double value = static_cast<double>(bytes);
  int unit = 0;
  while (value >= 1024 && unit < 4) {
    value /= 1024;
    ++unit;
  }
  char text[32];
  std::snprintf(text, sizeof text, unit == 0 ? "%.0f %s" : "%.1f %s", value, units[unit]);
  return text;
}

std::string Rate(double bytesPerSecond) {
  char text[32];
  std::snprintf(text, sizeof text, "%.0f MB/s", bytesPerSecond / 1e6);
  return text;
}

std::string Duration(double seconds) {
  const auto whole = static_cast<uint64_t>(std::llround(seconds));
  char text[32];
  if (whole >= 3600)
    std::snprintf(text, sizeof text, "%llu:%02llu:%02llu", static_cast<unsigned long long>(whole / 3600),
                  static_cast<unsigned long long>(whole / 60 % 60),
                  static_cast<unsigned long long>(whole % 60));
  else
    std::snprintf(text, sizeof text, "%llu:%02llu", static_cast<unsigned long long>(whole / 60),
                  static_cast<unsigned long long>(whole % 60));
  return text;
}

}  // namespace

std::string ProgressLine(const TProgressCounts& c, size_t columns) {
  std::string line = std::to_string(c.filesDone);
  if (c.filesTotal > 0) line += "/" + std::to_string(c.filesTotal);
  line += c.filesTotal == 1 ? " file, " : " files, ";
  line += Bytes(c.bytesDone);
  if (c.seconds > 0) line += ", " + Rate(static_cast<double>(c.bytesDone) / c.seconds);
  double left = -1;
  if (c.bytesTotal > 0 && c.bytesDone > 0 && c.bytesDone <= c.bytesTotal)
    left = c.seconds * static_cast<double>(c.bytesTotal - c.bytesDone) / static_cast<double>(c.bytesDone);
  else if (c.filesTotal > 0 && c.filesDone > 0 && c.filesDone <= c.filesTotal)
    left = c.seconds * static_cast<double>(c.filesTotal - c.filesDone) / static_cast<double>(c.filesDone);
  if (left >= 0) line += ", " + Duration(left) + " left";
  if (!c.current.empty()) line += ", " + c.current;

  // One row of the terminal: the name gives way first, keeping its end.
  const size_t room = columns > 1 ? columns - 1 : 1;
  if (line.size() > room) {
    const size_t head = line.size() - c.current.size();
    if (!c.current.empty() && head + 4 <= room) {
      line = line.substr(0, head) + "..." + c.current.substr(c.current.size() - (room - head - 3));
    } else {
      line.resize(room);
    }
  }
  return line;
}

ProgressMeter::ProgressMeter(bool enabled, std::atomic<uint64_t>*& byteCounterSlot,
                             uint64_t filesTotal, uint64_t bytesTotal)
    : enabled_(enabled),
      byteCounterSlot_(byteCounterSlot),
      filesTotal_(filesTotal),
      bytesTotal_(bytesTotal),
      start_(std::chrono::steady_clock::now()) {
  if (!enabled_) return;
  terminal_ = platform::StdErrIsTerminal();
  byteCounterSlot_ = &bytesRead_;
  const platform::ScopedSignalsBlocked quiet;  // signals stay with the run's own thread
  ticker_ = std::thread([this] { Tick(); });
}

ProgressMeter::~ProgressMeter() {
  if (!enabled_) return;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_one();
  ticker_.join();
  byteCounterSlot_ = nullptr;
  // A log gets the final count; a terminal gets its line cleared.
  if (!terminal_) platform::ShowProgressLine(ProgressLine(Counts(), SIZE_MAX));
  platform::EndProgressLine();
}

void ProgressMeter::StartFile(const std::string& name) {
  if (!enabled_) return;
  std::lock_guard<std::mutex> lock(mutex_);
  current_ = name;
}

TProgressCounts ProgressMeter::Counts() {
  TProgressCounts c;
  c.filesDone = filesDone_.load(std::memory_order_relaxed);
  c.filesTotal = filesTotal_;
  c.bytesDone = bytesRead_.load(std::memory_order_relaxed);
  c.bytesTotal = bytesTotal_;
  c.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
  std::lock_guard<std::mutex> lock(mutex_);
  if (!stopping_) c.current = current_;
  return c;
}

void ProgressMeter::Tick() {
  const auto interval = terminal_ ? std::chrono::steady_clock::duration(kTerminalInterval)
                                  : std::chrono::steady_clock::duration(kLogInterval);
  for (;;) {
    {
      std::unique_lock<std::mutex> lock(mutex_);
      if (wake_.wait_for(lock, interval, [this] { return stopping_; })) return;
    }
    platform::ShowProgressLine(ProgressLine(Counts(), terminal_ ? platform::StdErrColumns() : SIZE_MAX));
  }
}

}  // namespace quorvid
