#pragma once
// The command line's view of the controller: keeps the rows as they stand,
// records every event for the JSON report, prints progress in text mode and
// answers repair offers as told (or by asking on the terminal).

#include <iosfwd>
#include <map>
#include <optional>
#include <string>

#include <nlohmann/json.hpp>

#include "app/check_report.h"
#include "app/corvane_view.h"
#include "core/localized_strings.h"
#include "core/platform.h"

namespace corvane::cli {

enum class RepairAnswer { Ask, Yes, No };

struct CheckViewOptions {
  RepairAnswer repair = RepairAnswer::Ask;
  // Progress and panels are printed here in text mode; null prints nothing.
  std::ostream* out = nullptr;
  // Where "ask" reads the answer; null (no terminal) answers no.
  std::istream* in = nullptr;
};

using RowState = ReportRow;

class CheckView : public CorvaneView {
 public:
  CheckView(Platform& platform, const LocalizedStrings& strings, CheckViewOptions options);

  void setTitle(std::string_view title) override { title_ = title; }
  void setRowImage(Row row, RowImage image) override;
  void setRowText(Row row, std::string_view text) override;
  void setRowCode(Row row, std::string_view code) override;
  void showAlert(const Alert& alert) override;
  bool runRepairPanel(const RepairOffer& offer) override;
  void runHardwarePanel(const std::vector<VolumeRow>& volumes) override;
  void runNetworkPanel(const Value& networks, bool hasAutomatic) override;
  void runTcpipPanel(const Value& tcpips, const Value& networks) override;
  void runMailPanel(const Value& accounts) override;
  void armButtons(const std::vector<Button>& buttons, bool enabled) override;
  void pause(double seconds) override;
  void redraw() override;
  void showWaitPanel(bool shown) override;
  void repairFinished(Button detail, bool ok) override;
  void openHelp() override {}
  void quit() override { quitRequested_ = true; }
  void setRowCause(Row row, std::string_view cause) override;

  // How later repair offers are answered.
  void setRepairAnswer(RepairAnswer answer) { options_.repair = answer; }

  const std::string& title() const { return title_; }
  const RowState& row(Row row) const { return rows_.at(row); }
  const std::map<Row, RowState>& rows() const { return rows_; }
  // The repair offers shown, in order, with their answers.
  const std::vector<ReportOffer>& offers() const { return offers_; }
  // In order: row, alert, offer, panel, repair and arm events.
  const nlohmann::ordered_json& events() const { return events_; }
  // {"system": {"image", "text", "code"}, ...} as the rows stand now.
  nlohmann::ordered_json rowsJson() const;
  // True when some row shows a fault: "err", "syserr" or a result code.
  bool anyFault() const;
  // The rows as a table for the terminal.
  void printSummary(std::ostream& out) const;

 private:
  void print(const std::string& text);

  Platform& platform_;
  const LocalizedStrings& strings_;
  CheckViewOptions options_;
  std::string title_ = "Corvane";
  std::map<Row, RowState> rows_;
  std::vector<ReportOffer> offers_;
  nlohmann::ordered_json events_ = nlohmann::ordered_json::array();
  // The row whose text was set last since the window was last redrawn: the
  // row that the redraw shows changed.
  std::optional<Row> changed_;
  bool quitRequested_ = false;
};

}  // namespace corvane::cli
