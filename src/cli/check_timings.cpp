#include "cli/check_timings.h"

#include <algorithm>
#include <cstdio>

#include "core/display_width.h"

namespace corvane::cli {

namespace {

using Json = nlohmann::ordered_json;

std::string milliseconds(double seconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%9.1f ms", seconds * 1000);
  return text;
}

}  // namespace

// ---- the figures ------------------------------------------------------------

void CheckTimings::addToolRun(ToolTime run) { toolRuns_.push_back(std::move(run)); }

void CheckTimings::rowChecking(Row row) { rowStarted_[row] = Clock::now(); }

void CheckTimings::rowDone(Row row) {
  auto started = rowStarted_.find(row);
  if (started == rowStarted_.end()) return;
  rowSeconds_[row] += seconds(started->second, Clock::now());
  rowStarted_.erase(started);
}

void CheckTimings::downloadStarted() {
  std::lock_guard lock(downloadMutex_);
  downloadStart_ = Clock::now();
  downloadEnd_.reset();
}

void CheckTimings::downloadEnded() {
  std::lock_guard lock(downloadMutex_);
  if (downloadStart_ && !downloadEnd_) downloadEnd_ = Clock::now();
}

double CheckTimings::download() const {
  std::lock_guard lock(downloadMutex_);
  if (!downloadStart_) return 0;
  return seconds(*downloadStart_, downloadEnd_.value_or(sequenceEnd_));
}

Json CheckTimings::json() const {
  double tools = 0;
  Json runs = Json::array();
  for (const auto& run : toolRuns_) {
    tools += run.seconds;
    runs.push_back(Json{{"tool", run.tool}, {"args", run.args}, {"seconds", run.seconds}});
  }
  Json rows = Json::object();
  for (Row row : kAllRows) {
    auto found = rowSeconds_.find(row);
    if (found != rowSeconds_.end()) rows[std::string(rowName(row))] = found->second;
  }
  const double own = total() - pauses_ - dialogs_ - tools - download();
  return Json{{"total", total()},
              {"pauses", pauses_},
              {"dialogs", dialogs_},
              {"toolRunsTotal", tools},
              {"download", download()},
              {"own", own},
              {"ownShare", total() > 0 ? own / total() : 0.0},
              {"rows", rows},
              {"toolRuns", runs}};
}

std::string CheckTimings::text() const {
  Json figures = json();
  std::string out = "== Timings\n";
  auto line = [&out](std::string label, double seconds) {
    label.resize(std::max<size_t>(label.size(), 14), ' ');
    out.append("  ").append(label).append(milliseconds(seconds)).append("\n");
  };
  for (const char* key : {"total", "pauses", "dialogs", "toolRunsTotal", "download", "own"})
    line(key, figures[key].get<double>());
  for (const auto& [row, seconds] : figures["rows"].items()) line("row " + row, seconds.get<double>());
  for (const auto& run : figures["toolRuns"]) {
    out.append("  ")
        .append(milliseconds(run["seconds"].get<double>()))
        .append("  ")
        .append(escapeControls(run["tool"].get<std::string>(), false));
    // Arguments may name interfaces and services of the system.
    for (const auto& arg : run["args"]) out.append(" ").append(escapeControls(arg.get<std::string>(), false));
    out.append("\n");
  }
  return out;
}

// ---- the seams --------------------------------------------------------------

void TimedView::setRowImage(Row row, RowImage image) {
  view_.setRowImage(row, image);
  if (image == RowImage::Check)
    timings_.rowChecking(row);
  else if (image != RowImage::Before)
    timings_.rowDone(row);
}

void TimedView::showAlert(const Alert& alert) {
  timings_.addDialog(timed([&] { view_.showAlert(alert); }));
}

bool TimedView::runRepairPanel(const RepairOffer& offer) {
  bool answer = false;
  timings_.addDialog(timed([&] { answer = view_.runRepairPanel(offer); }));
  return answer;
}

void TimedView::runHardwarePanel(const std::vector<VolumeRow>& volumes) {
  timings_.addDialog(timed([&] { view_.runHardwarePanel(volumes); }));
}

void TimedView::runNetworkPanel(const Value& networks, bool hasAutomatic) {
  timings_.addDialog(timed([&] { view_.runNetworkPanel(networks, hasAutomatic); }));
}

void TimedView::runTcpipPanel(const Value& tcpips, const Value& networks) {
  timings_.addDialog(timed([&] { view_.runTcpipPanel(tcpips, networks); }));
}

void TimedView::runMailPanel(const Value& accounts) {
  timings_.addDialog(timed([&] { view_.runMailPanel(accounts); }));
}

std::unique_ptr<DownloadJob> TimedDownloader::start(const DownloadRequest& request, Completion done) {
  timings_.downloadStarted();
  CheckTimings& timings = timings_;
  return downloader_.start(request, [&timings, done = std::move(done)](const DownloadResult& result) {
    timings.downloadEnded();
    done(result);
  });
}

}  // namespace corvane::cli
