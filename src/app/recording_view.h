#pragma once
// A view that keeps what the controller showed: the rows as they stand, the
// repair offers with their answers, and every event in order. The command
// line's JSON report is made from it, and tests read it back; it shows
// nothing itself.

#include <map>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "app/check_report.h"
#include "app/corvane_view.h"
#include "core/platform.h"

namespace corvane {

// How repair offers are answered. Ask leaves it to a front end that can ask
// a person (`askRepair`); without one the answer is no.
enum class RepairAnswer { Ask, Yes, No };

class RecordingView : public CorvaneView {
 public:
  RecordingView(Platform& platform, RepairAnswer answer);

  void setTitle(std::string_view title) override { title_ = title; }
  void setRowImage(Row row, RowImage image) override;
  void setRowText(Row row, std::string_view text) override;
  void setRowCode(Row row, std::string_view code) override;
  void setRowCause(Row row, std::string_view cause) override;
  void showAlert(const Alert& alert) override;
  bool runRepairPanel(const RepairOffer& offer) override;
  void runHardwarePanel(const std::vector<VolumeRow>& volumes) override;
  void runNetworkPanel(const Value& networks, bool hasAutomatic) override;
  void runTcpipPanel(const Value& tcpips, const Value& networks) override;
  void runMailPanel(const Value& accounts) override;
  void armButtons(const std::vector<Button>& buttons, bool enabled) override;
  void pause(double seconds) override;
  void redraw() override;
  void showWaitPanel(bool) override {}
  void repairFinished(Button detail, bool ok) override;
  // The folder set by setKitFolder ("" by default: declined).
  std::string chooseKitFolder() override;
  void openHelp() override {}
  void quit() override {}

  // How later repair offers are answered.
  void setRepairAnswer(RepairAnswer answer) { answer_ = answer; }
  RepairAnswer repairAnswer() const { return answer_; }
  // The answer when the controller asks where a capture's fix kit goes.
  void setKitFolder(std::string folder) { kitFolder_ = std::move(folder); }

  const std::string& title() const { return title_; }
  const ReportRow& row(Row row) const { return rows_.at(row); }
  const std::map<Row, ReportRow>& rows() const { return rows_; }
  // The repair offers shown, in order, with their answers.
  const std::vector<ReportOffer>& offers() const { return offers_; }
  // In order: row, cause, alert, offer, kitFolder, panel, repair and arm events.
  const nlohmann::ordered_json& events() const { return events_; }
  // {"system": {"image", "text", "code"}, ...} as the rows stand now.
  nlohmann::ordered_json rowsJson() const;
  // True when some row shows a fault: "err", "syserr" or a result code.
  bool anyFault() const;

 protected:
  // The answer to an offer the controller accepts, when the answer is Ask.
  virtual bool askRepair(const RepairOffer&) { return false; }
  // The row the next redraw shows changed, if any.
  std::optional<Row> changedRow() const { return changed_; }

 private:
  Platform& platform_;
  RepairAnswer answer_;
  std::string kitFolder_;
  std::string title_ = "Corvane";
  std::map<Row, ReportRow> rows_;
  std::vector<ReportOffer> offers_;
  nlohmann::ordered_json events_ = nlohmann::ordered_json::array();
  // The row whose text was set last since the window was last redrawn: the
  // row that the redraw shows changed.
  std::optional<Row> changed_;
};

}  // namespace corvane
