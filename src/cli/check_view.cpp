#include "cli/check_view.h"

#include <iostream>
#include <sstream>

#include "app/mail_panel.h"
#include "app/network_panel.h"
#include "app/repair_panel.h"
#include "app/tcpip_panel.h"
#include "core/os_version.h"

namespace corvane::cli {
namespace {

using Json = nlohmann::ordered_json;

// Row labels for the terminal, padded to one width.
std::string rowLabel(Row row) {
  static const char* const labels[] = {"System", "Hardware", "Network", "TCP/IP", "Browser", "Mail", "Line"};
  std::string name = labels[static_cast<int>(row)];
  name.resize(9, ' ');
  return name;
}

// Continuation lines of a multi-line row text line up under its first line.
std::string indented(const std::string& text, size_t width) {
  std::string out;
  for (char c : text) {
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
void printFields(std::ostream& out, const Json& fields, const LocalizedStrings& strings, const std::string& indent,
                 const std::string& skip) {
  for (const auto& [key, value] : fields.items()) {
    if (!value.is_string() || key == skip || value.get<std::string>().empty()) continue;
    out << indent << strings.text(key) << ": " << indented(value.get<std::string>(), indent.size() + 2) << '\n';
  }
}

}  // namespace

CheckView::CheckView(Platform& platform, const LocalizedStrings& strings, CheckViewOptions options)
    : platform_(platform), strings_(strings), options_(options) {
  for (Row row : kAllRows) rows_[row] = RowState{};
}

void CheckView::print(const std::string& text) {
  if (options_.out) *options_.out << text << std::flush;
}

void CheckView::setRowImage(Row row, std::string_view image) { rows_[row].image = image; }

void CheckView::setRowText(Row row, std::string_view text) {
  rows_[row].text = text;
  changed_ = row;
}

void CheckView::setRowCode(Row row, std::string_view code) {
  rows_[row].code = code;
  if (!code.empty()) print(rowLabel(row) + " code " + std::string(code) + "\n");
}

void CheckView::setRowCause(Row row, std::string_view cause) {
  rows_[row].cause = cause;
  if (cause.empty()) return;
  events_.push_back(Json{{"event", "cause"}, {"row", rowName(row)}, {"cause", std::string(cause)}});
  print(rowLabel(row) + " " + std::string(cause) + "\n");
}

void CheckView::redraw() {
  if (!changed_) return;
  Row row = *changed_;
  changed_.reset();
  const RowState& state = rows_[row];
  events_.push_back(Json{{"event", "row"}, {"row", rowName(row)}, {"image", state.image}, {"text", state.text}});
  std::string status = "[" + state.image + "]";
  status.resize(9, ' ');
  print(rowLabel(row) + " " + status + " " + indented(state.text, 20) + "\n");
}

void CheckView::showAlert(const Alert& alert) {
  events_.push_back(Json{{"event", "alert"}, {"message", alert.messageKey}});
  print("\n" + alert.title + ": " + alert.message + "\n\n");
}

bool CheckView::runRepairPanel(const RepairOffer& offer) {
  std::ostringstream table;
  table << '\n' << offer.message << '\n';
  size_t width = 0;
  auto rows = repairPanelRows(offer.pairs);
  for (const auto& row : rows) width = std::max(width, row.name.size());
  for (const auto& row : rows) table << "    " << row.name << std::string(width - row.name.size() + 1, ' ') << row.result << '\n';
  for (const auto& line : offer.planLines) table << line << '\n';
  print(table.str());

  bool answer = false;
  if (repairsAccepted_ < options_.maxRepairs) {
    switch (options_.repair) {
      case RepairAnswer::Yes: answer = true; break;
      case RepairAnswer::No: answer = false; break;
      case RepairAnswer::Ask:
        print(strings_.text("repairQuestion") + " [y/N] ");
        answer = options_.in != nullptr && readYes(*options_.in);
        break;
    }
  }
  if (options_.repair != RepairAnswer::Ask) print(strings_.text("repairQuestion") + " " + (answer ? "y" : "n") + "\n");
  print("\n");
  if (answer) ++repairsAccepted_;

  Json pairs = Json::array();
  for (const auto& [name, result] : offer.pairs) pairs.push_back(Json::array({name, result}));
  events_.push_back(Json{{"event", "offer"},
                         {"message", offer.messageKey},
                         {"code", rows_[offer.row].code},
                         {"pairs", pairs},
                         {"plan", Json{{"location", offer.location}, {"turned_off", offer.turnedOff}}},
                         {"answer", answer ? 1 : 0}});
  return answer;
}

void CheckView::runHardwarePanel(const std::vector<VolumeRow>& volumes) {
  events_.push_back(Json{{"event", "panel"}, {"panel", "hardware"}});
  std::ostringstream out;
  out << '\n' << strings_.text("hardwarePanel") << '\n';
  for (const auto& volume : volumes)
    out << "  " << volume.volume << "  " << strings_.text("free") << ": " << volume.free << "  "
        << strings_.text("all") << ": " << volume.all << '\n';
  print(out.str() + "\n");
}

void CheckView::runNetworkPanel(const Value& networks) {
  events_.push_back(Json{{"event", "panel"}, {"panel", "network"}});
  if (!options_.out) return;
  Json panel = networkPanelJson(networks, strings_, osAtLeast(platform_, "10.3.2"));
  std::ostringstream out;
  out << '\n' << strings_.text("networkPanel") << '\n';
  for (const auto& location : panel["locations"]) {
    out << "  " << strings_.text("location") << ": " << location["name"].get<std::string>() << '\n';
    for (const auto& port : location["ports"]) {
      out << "    " << strings_.text("port") << ": " << port["name"].get<std::string>() << '\n';
      printFields(out, port, strings_, "      ", "name");
    }
  }
  print(out.str() + "\n");
}

void CheckView::runTcpipPanel(const Value& tcpips, const Value& networks) {
  events_.push_back(Json{{"event", "panel"}, {"panel", "tcpip"}});
  if (!options_.out) return;
  Json panel = tcpipPanelJson(tcpips, networks, strings_);
  std::ostringstream out;
  out << '\n' << strings_.text("tcpipPanel") << '\n';
  for (const auto& port : panel["ports"]) {
    out << "  " << strings_.text("port") << ": " << port["name"].get<std::string>() << '\n';
    printFields(out, port, strings_, "    ", "name");
  }
  print(out.str() + "\n");
}

void CheckView::runMailPanel(const Value& accounts) {
  events_.push_back(Json{{"event", "panel"}, {"panel", "mail"}});
  if (!options_.out) return;
  Json panel = mailPanelJson(accounts, strings_);
  std::ostringstream out;
  out << '\n' << strings_.text("mailPanel") << '\n';
  if (panel["accounts"].empty()) out << "  " << strings_.text("noAccount") << '\n';
  for (const auto& account : panel["accounts"]) {
    out << "  " << strings_.text("account") << ": " << account["account"].get<std::string>() << '\n';
    printFields(out, account, strings_, "    ", "account");
  }
  print(out.str() + "\n");
}

void CheckView::armButtons(const std::vector<int>& tags, bool enabled) {
  (void)tags;
  events_.push_back(Json{{"event", "arm"}, {"enabled", enabled}});
}

void CheckView::pause(double seconds) { platform_.pause(seconds); }

void CheckView::showWaitPanel(bool shown) { (void)shown; }

void CheckView::repairFinished(int tag, bool ok) {
  events_.push_back(Json{{"event", "repair"}, {"tag", tag}, {"ok", ok}});
  print((ok ? strings_.text("repairOk") : strings_.text("repairFailed")) + "\n\n");
}

Json CheckView::rowsJson() const {
  Json rows = Json::object();
  for (Row row : kAllRows) {
    const RowState& state = rows_.at(row);
    Json fields{{"image", state.image}, {"text", state.text}, {"code", state.code}};
    if (!state.cause.empty()) fields["cause"] = state.cause;
    rows[std::string(rowName(row))] = std::move(fields);
  }
  return rows;
}

bool CheckView::anyFault() const {
  for (const auto& [row, state] : rows_)
    if (state.image == "err" || state.image == "syserr" || !state.code.empty()) return true;
  return false;
}

void CheckView::printSummary(std::ostream& out) const {
  out << "\n== " << title_ << "\n";
  for (Row row : kAllRows) {
    const RowState& state = rows_.at(row);
    std::string status = "[" + state.image + "]";
    status.resize(9, ' ');
    std::string code = state.code.empty() ? "     " : state.code;
    out << rowLabel(row) << " " << status << " " << code << "  " << indented(state.text, 27) << '\n';
  }
}

// ---- panel content ------------------------------------------------------------

Json hardwarePanelJson(const std::vector<VolumeRow>& volumes) {
  Json rows = Json::array();
  for (const auto& volume : volumes) rows.push_back(Json{{"volume", volume.volume}, {"free", volume.free}, {"all", volume.all}});
  return Json{{"volumes", rows}};
}

Json networkPanelJson(const Value& networks, const LocalizedStrings& strings, bool newer) {
  NetworkPanelModel panel;
  panel.showPanel(networks, strings, newer);
  Json locations = Json::array();
  if (networks.count() >= 2) {
    for (size_t place = 0; place < panel.places().size(); ++place) {
      panel.OnSelectPlace(place);
      Json ports = Json::array();
      for (size_t port = 0; panel.hasPorts() && port < panel.ports().size(); ++port) {
        panel.OnSelectPort(port);
        const auto& f = panel.fields();
        ports.push_back(Json{{"name", panel.ports()[port]}, {"mac", f.mac},         {"web", f.web},
                             {"socks", f.socks},               {"ftp", f.ftp},         {"gopher", f.gopher},
                             {"secure", f.secure},             {"rtsp", f.rtsp},       {"mailProxy", f.mail},
                             {"autoProxy", f.autoP},           {"noProxy", f.noProxy}});
      }
      locations.push_back(Json{{"name", panel.places()[place]}, {"ports", ports}});
    }
  }
  return Json{{"current", networks[0].text()}, {"locations", locations}};
}

Json tcpipPanelJson(const Value& tcpips, const Value& networks, const LocalizedStrings& strings) {
  TcpipPanelModel panel;
  panel.showPanel(tcpips, networks, strings);
  Json ports = Json::array();
  for (size_t port = 0; panel.hasPorts() && port < panel.ports().size(); ++port) {
    panel.OnSelectPort(port);
    const auto& f = panel.fields();
    ports.push_back(Json{{"name", panel.ports()[port]},
                         {"use", f.use},
                         {"ipaddress", f.ipaddress},
                         {"subnetmask", f.subnetmask},
                         {"router", f.router},
                         {"dnsInUse", f.dns1},
                         {"dnsserver", f.dnsserver},
                         {"searchdomain", f.searchdomain},
                         {"ipv6address", f.ipv6address},
                         {"ipv6config", f.ipv6config}});
  }
  std::string location = panel.places().empty() ? "" : panel.places()[panel.selectedPlace()];
  return Json{{"location", location}, {"ports", ports}};
}

Json mailPanelJson(const Value& accounts, const LocalizedStrings& strings) {
  MailPanelModel panel;
  panel.showPanel(accounts, strings);
  Json rows = Json::array();
  for (size_t i = 0; i < accounts.count(); ++i) {
    panel.OnSelectAccount(i);
    const auto& f = panel.fields();
    rows.push_back(Json{{"account", panel.items()[i]},
                        {"mailaddress", f.mailaddress},
                        {"name", f.name},
                        {"user", f.user},
                        {"pop", f.pop},
                        {"smtp", f.smtp}});
  }
  return Json{{"accounts", rows}};
}

}  // namespace corvane::cli
