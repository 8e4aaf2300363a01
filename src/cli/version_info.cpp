#include "cli/version_info.h"

#include <ctime>

#include "platform/console.h"

#ifndef QUORVID_BUILD_EPOCH
#define QUORVID_BUILD_EPOCH 0
#endif
#ifndef QUORVID_COMPILER_ID
#define QUORVID_COMPILER_ID "unknown"
#endif
#ifndef QUORVID_COMPILER_VERSION
#define QUORVID_COMPILER_VERSION ""
#endif

namespace quorvid {

namespace {

constexpr const char* kMonths[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                     "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

std::tm BuildMoment() {
  std::time_t t = static_cast<std::time_t>(BuildEpoch());
  const std::tm* moment = std::gmtime(&t);  // the run is single-threaded
  return moment ? *moment : std::tm{};
}

std::string TwoDigits(int n) {
  std::string s = std::to_string(n);
  return s.size() < 2 ? "0" + s : s;
}

std::string DateOf(const std::tm& m) {
  return TwoDigits(m.tm_mday) + " " + kMonths[m.tm_mon] + " " + std::to_string(m.tm_year + 1900);
}

}  // namespace

std::string ArchitectureWord() {
#if defined(__x86_64__) || defined(_M_X64)
  return " x64";
#elif defined(__i386__) || defined(_M_IX86)
  return " x86";
#elif defined(__aarch64__) || defined(_M_ARM64)
  return " arm64";
#elif defined(__arm__)
  return " arm";
#else
  return "";
#endif
}

std::string CompilerText() {
  std::string id = QUORVID_COMPILER_ID;
  if (id == "GNU") id = "GCC";
  std::string version = QUORVID_COMPILER_VERSION;
  return " using " + id + (version.empty() ? "" : " " + version);
}

int64_t BuildEpoch() { return static_cast<int64_t>(QUORVID_BUILD_EPOCH); }

std::string BuildDateText() { return DateOf(BuildMoment()); }

std::string BuildTimeText() {
  std::tm m = BuildMoment();
  // Minutes and seconds are deliberately shown as zeros: the hour is enough.
  return DateOf(m) + " @ " + TwoDigits(m.tm_hour) + ":00:00";
}

std::string BannerText(const TFileVersionInfoRec& info) {
  return info.ShortTitle + ArchitectureWord() + " (" + BuildDateText() + ") - " +
         info.Description + "\n" + info.OwnerLine + "\n" + info.AuthorLine + "\n\n";
}

std::string BuildLineText(const TFileVersionInfoRec& info) {
  return info.LongTitle + ArchitectureWord() + " was compiled on " + BuildTimeText() +
         CompilerText() + "\n";
}

void ShowBanner(RunSettings& settings, bool withBuildLine, bool withBanner) {
  if (settings.BannerShown || (!withBuildLine && !withBanner)) return;
  TFileVersionInfoRec info = MakeVersionInfo(settings.ProgramPath, settings.ProgramFolder);
  std::string text;
  if (withBanner) text += BannerText(info);
  if (withBuildLine) {
    text += BuildLineText(info);
    if (withBanner) text += "\n";
  }
  platform::WriteStdErr(text);
  settings.BannerShown = true;
}

}  // namespace quorvid
