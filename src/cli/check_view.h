#pragma once
// The command line's view of the controller: records what the controller
// shows (for the JSON report), prints progress in text mode and answers
// repair offers as told, or by asking on the terminal.

#include <iosfwd>
#include <string>

#include "app/recording_view.h"
#include "core/localized_strings.h"

namespace corvane::cli {

struct CheckViewOptions {
  RepairAnswer repair = RepairAnswer::Ask;
  // Progress and panels are printed here in text mode; null prints nothing.
  std::ostream* out = nullptr;
  // Where "ask" reads the answer; null (no terminal) answers no.
  std::istream* in = nullptr;
};

class CheckView : public RecordingView {
 public:
  CheckView(Platform& platform, const LocalizedStrings& strings, CheckViewOptions options);

  void setRowCode(Row row, std::string_view code) override;
  void setRowCause(Row row, std::string_view cause) override;
  void showAlert(const Alert& alert) override;
  bool runRepairPanel(const RepairOffer& offer) override;
  void runHardwarePanel(const std::vector<VolumeRow>& volumes) override;
  void runNetworkPanel(const Value& networks, bool hasAutomatic) override;
  void runTcpipPanel(const Value& tcpips, const Value& networks) override;
  void runMailPanel(const Value& accounts) override;
  void redraw() override;
  void repairFinished(Button detail, bool ok) override;
  // Says how a capture's kit is made on the command line; declines.
  std::string chooseKitFolder() override;

  // The rows as a table for the terminal.
  void printSummary(std::ostream& out) const;

 protected:
  bool askRepair(const RepairOffer& offer) override;

 private:
  void print(const std::string& text);

  const LocalizedStrings& strings_;
  std::ostream* out_;
  std::istream* in_;
};

}  // namespace corvane::cli
