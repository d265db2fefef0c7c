#include "app/recording_view.h"

namespace corvane {
namespace {

using Json = nlohmann::ordered_json;

Json panelEvent(const char* panel) { return Json{{"event", "panel"}, {"panel", panel}}; }

}  // namespace

RecordingView::RecordingView(Platform& platform, RepairAnswer answer) : platform_(platform), answer_(answer) {
  for (Row row : kAllRows) rows_[row] = ReportRow{};
}

void RecordingView::setRowImage(Row row, RowImage image) { rows_[row].image = rowImageName(image); }

void RecordingView::setRowText(Row row, std::string_view text) {
  rows_[row].text = text;
  changed_ = row;
}

void RecordingView::setRowCode(Row row, std::string_view code) { rows_[row].code = code; }

void RecordingView::setRowCause(Row row, std::string_view cause) {
  rows_[row].unanswered = cause;
  if (!cause.empty()) events_.push_back(Json{{"event", "cause"}, {"row", rowName(row)}, {"cause", std::string(cause)}});
}

void RecordingView::redraw() {
  if (!changed_) return;
  const ReportRow& state = rows_[*changed_];
  events_.push_back(Json{{"event", "row"}, {"row", rowName(*changed_)}, {"image", state.image}, {"text", state.text}});
  changed_.reset();
}

void RecordingView::showAlert(const Alert& alert) {
  events_.push_back(Json{{"event", "alert"}, {"message", alert.messageKey}});
}

bool RecordingView::runRepairPanel(const RepairOffer& offer) {
  // An offer the controller no longer accepts is answered no, so that an
  // answer of yes cannot loop on a fault the repair does not cure.
  bool answer = false;
  if (offer.acceptable) {
    switch (answer_) {
      case RepairAnswer::Yes: answer = true; break;
      case RepairAnswer::No: answer = false; break;
      case RepairAnswer::Ask: answer = askRepair(offer); break;
    }
  }

  // The event keeps the panel's rows as pairs, as scripts read them; the
  // report's "offers" give them named fields.
  offers_.push_back(ReportOffer{offer, rows_[offer.row].code, answer});
  Json pairs = Json::array();
  for (const auto& [name, result] : offer.pairs) pairs.push_back(Json::array({name, result}));
  Json event{{"event", "offer"},
             {"message", offer.messageKey},
             {"code", rows_[offer.row].code},
             {"pairs", pairs},
             {"plan", Json{{"location", offer.location}, {"turnedOff", offer.turnedOff}}},
             {"answer", answer ? 1 : 0}};
  if (offer.fixKit) event["fixKit"] = true;
  events_.push_back(std::move(event));
  return answer;
}

void RecordingView::runHardwarePanel(const std::vector<VolumeRow>&) { events_.push_back(panelEvent("hardware")); }

void RecordingView::runNetworkPanel(const Value&, bool) { events_.push_back(panelEvent("network")); }

void RecordingView::runTcpipPanel(const Value&, const Value&) { events_.push_back(panelEvent("tcpip")); }

void RecordingView::runMailPanel(const Value&) { events_.push_back(panelEvent("mail")); }

void RecordingView::armButtons(const std::vector<Button>&, bool enabled) {
  events_.push_back(Json{{"event", "arm"}, {"enabled", enabled}});
}

void RecordingView::pause(double seconds) { platform_.pause(seconds); }

void RecordingView::repairFinished(Button detail, bool ok) {
  events_.push_back(Json{{"event", "repair"}, {"tag", static_cast<int>(detail)}, {"ok", ok}});
}

std::string RecordingView::chooseKitFolder() {
  events_.push_back(Json{{"event", "kitFolder"}, {"folder", kitFolder_}});
  return kitFolder_;
}

Json RecordingView::rowsJson() const {
  Json rows = Json::object();
  for (Row row : kAllRows) {
    const ReportRow& state = rows_.at(row);
    Json fields{{"image", state.image}, {"text", state.text}, {"code", state.code}};
    if (!state.unanswered.empty()) fields["unanswered"] = state.unanswered;
    rows[std::string(rowName(row))] = std::move(fields);
  }
  return rows;
}

bool RecordingView::anyFault() const {
  for (const auto& [row, state] : rows_)
    if (state.image == "err" || state.image == "syserr" || !state.code.empty()) return true;
  return false;
}

}  // namespace corvane
