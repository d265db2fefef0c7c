#include "cli/check_view.h"

#include <iostream>
#include <sstream>

#include "app/mail_panel_model.h"
#include "app/network_panel_model.h"
#include "app/repair_panel_model.h"
#include "app/tcpip_panel_model.h"
#include "core/display_width.h"
#include "core/os_version.h"

namespace corvane::cli {
namespace {

using Json = nlohmann::ordered_json;

// Row labels for the terminal, localized and padded to one screen width.
std::string rowLabel(Row row, const LocalizedStrings& strings) {
  size_t width = 0;
  for (Row any : kAllRows) width = std::max(width, displayWidth(strings.text("row." + std::string(rowName(any)))));
  return padToWidth(strings.text("row." + std::string(rowName(row))), width);
}

// A row's status in brackets, localized and padded to one screen width.
std::string statusLabel(const std::string& image, const LocalizedStrings& strings) {
  size_t width = 0;
  for (const char* any : {"before", "check", "ok", "err", "syserr"})
    width = std::max(width, displayWidth(strings.text(std::string("status.") + any)));
  return padToWidth("[" + strings.text("status." + image) + "]", width + 2);
}

// A value from the system, control characters shown escaped; continuation
// lines of a multi-line text line up under its first line.
std::string indented(const std::string& text, size_t width) {
  std::string out;
  for (char c : escapeControls(text)) {
    out += c;
    if (c == '\n') out += std::string(width, ' ');
  }
  return out;
}

bool readYes(std::istream& in) {
  std::string answer;
  if (!std::getline(in, answer)) return false;
  return !answer.empty() && (answer[0] == 'y' || answer[0] == 'Y');
}

// "label: value" lines of a panel's fields, labels localized by field name.
// Empty fields are left out; skip names the heading's own field.
// The labels are padded to one screen width, so that the values line up.
void printFields(std::ostream& out, const Json& fields, const LocalizedStrings& strings, const std::string& indent,
                 const std::string& skip) {
  size_t width = 0;
  for (const auto& [key, value] : fields.items())
    if (value.is_string() && key != skip && !value.get<std::string>().empty())
      width = std::max(width, displayWidth(strings.text(key)));
  for (const auto& [key, value] : fields.items()) {
    if (!value.is_string() || key == skip || value.get<std::string>().empty()) continue;
    out << indent << padToWidth(strings.text(key), width) << " : "
        << indented(value.get<std::string>(), indent.size() + width + 3) << '\n';
  }
}

}  // namespace

CheckView::CheckView(Platform& platform, const LocalizedStrings& strings, CheckViewOptions options)
    : RecordingView(platform, options.repair), strings_(strings), out_(options.out), in_(options.in) {}

void CheckView::print(const std::string& text) {
  if (out_) *out_ << text << std::flush;
}

void CheckView::setRowCode(Row row, std::string_view code) {
  RecordingView::setRowCode(row, code);
  if (!code.empty())
    print(rowLabel(row, strings_) + " " + strings_.text("reportCode") + " " + std::string(code) + "\n");
}

void CheckView::setRowCause(Row row, std::string_view cause) {
  RecordingView::setRowCause(row, cause);
  if (!cause.empty()) print(rowLabel(row, strings_) + " " + escapeControls(std::string(cause)) + "\n");
}

void CheckView::redraw() {
  std::optional<Row> shown = changedRow();
  RecordingView::redraw();
  if (!shown) return;
  const ReportRow& state = row(*shown);
  std::string prefix = rowLabel(*shown, strings_) + " " + statusLabel(state.image, strings_) + " ";
  print(prefix + indented(state.text, displayWidth(prefix)) + "\n");
}

void CheckView::showAlert(const Alert& alert) {
  RecordingView::showAlert(alert);
  print("\n" + escapeControls(alert.title) + ": " + escapeControls(alert.message) + "\n\n");
}

bool CheckView::runRepairPanel(const RepairOffer& offer) {
  std::ostringstream table;
  table << '\n' << escapeControls(offer.message) << '\n';
  size_t width = 0;
  auto rows = repairPanelRows(offer.pairs);
  for (const auto& row : rows) width = std::max(width, displayWidth(escapeControls(row.name, false)));
  for (const auto& row : rows)
    table << "    " << padToWidth(escapeControls(row.name, false), width + 1) << escapeControls(row.result, false)
          << '\n';
  for (const auto& line : offer.planLines) table << escapeControls(line, false) << '\n';
  print(table.str());

  bool answer = RecordingView::runRepairPanel(offer);
  if (repairAnswer() != RepairAnswer::Ask) print(strings_.text("repairQuestion") + " " + (answer ? "y" : "n") + "\n");
  print("\n");
  return answer;
}

bool CheckView::askRepair(const RepairOffer&) {
  print(strings_.text("repairQuestion") + " [y/N] ");
  return in_ != nullptr && readYes(*in_);
}

void CheckView::runHardwarePanel(const std::vector<VolumeRow>& volumes) {
  RecordingView::runHardwarePanel(volumes);
  std::ostringstream out;
  out << '\n' << strings_.text("hardwarePanel") << '\n';
  size_t width = 0;
  for (const auto& volume : volumes) width = std::max(width, displayWidth(escapeControls(volume.volume, false)));
  for (const auto& volume : volumes)
    out << "  " << padToWidth(escapeControls(volume.volume, false), width) << "  " << strings_.text("free") << ": "
        << volume.free << "  " << strings_.text("all") << ": " << volume.all << '\n';
  print(out.str() + "\n");
}

void CheckView::runNetworkPanel(const Value& networks, bool hasAutomatic) {
  RecordingView::runNetworkPanel(networks, hasAutomatic);
  if (!out_) return;
  Json panel = networkPanelJson(networks, strings_, hasAutomatic);
  std::ostringstream out;
  out << '\n' << strings_.text("networkPanel") << '\n';
  for (const auto& location : panel["locations"]) {
    out << "  " << strings_.text("location") << ": " << escapeControls(location["name"].get<std::string>(), false)
        << '\n';
    for (const auto& port : location["ports"]) {
      out << "    " << strings_.text("port") << ": " << escapeControls(port["name"].get<std::string>(), false) << '\n';
      printFields(out, port, strings_, "      ", "name");
    }
  }
  print(out.str() + "\n");
}

void CheckView::runTcpipPanel(const Value& tcpips, const Value& networks) {
  RecordingView::runTcpipPanel(tcpips, networks);
  if (!out_) return;
  Json panel = tcpipPanelJson(tcpips, networks, strings_);
  std::ostringstream out;
  out << '\n' << strings_.text("tcpipPanel") << '\n';
  for (const auto& port : panel["ports"]) {
    out << "  " << strings_.text("port") << ": " << escapeControls(port["name"].get<std::string>(), false) << '\n';
    printFields(out, port, strings_, "    ", "name");
  }
  print(out.str() + "\n");
}

void CheckView::runMailPanel(const Value& accounts) {
  RecordingView::runMailPanel(accounts);
  if (!out_) return;
  Json panel = mailPanelJson(accounts, strings_);
  std::ostringstream out;
  out << '\n' << strings_.text("mailPanel") << '\n';
  if (panel["accounts"].empty()) out << "  " << strings_.text("noAccount") << '\n';
  for (const auto& account : panel["accounts"]) {
    out << "  " << strings_.text("account") << ": " << escapeControls(account["account"].get<std::string>(), false)
        << '\n';
    printFields(out, account, strings_, "    ", "account");
  }
  print(out.str() + "\n");
}

void CheckView::repairFinished(Button detail, bool ok) {
  RecordingView::repairFinished(detail, ok);
  print((ok ? strings_.text("repairOk") : strings_.text("repairFailed")) + "\n\n");
}

std::string CheckView::chooseKitFolder() {
  print(strings_.text("fixKitByCommand") + "\n\n");
  return RecordingView::chooseKitFolder();
}

void CheckView::printSummary(std::ostream& out) const {
  out << "\n== " << escapeControls(title()) << "\n";
  for (Row row : kAllRows) {
    const ReportRow& state = rows().at(row);
    std::string code = state.code.empty() ? "     " : state.code;
    std::string prefix = rowLabel(row, strings_) + " " + statusLabel(state.image, strings_) + " " + code + "  ";
    out << prefix << indented(state.text, displayWidth(prefix)) << '\n';
  }
}

}  // namespace corvane::cli
