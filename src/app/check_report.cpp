#include "app/check_report.h"

#include <sstream>

#include "app/corvane.h"
#include "app/mail_panel_model.h"
#include "app/named_json.h"
#include "app/network_panel_model.h"
#include "app/reader_records.h"
#include "app/result_codes.h"
#include "app/tcpip_panel_model.h"
#include "core/os_version.h"
#include "core/text.h"

namespace corvane {
namespace {

using Json = nlohmann::ordered_json;

constexpr std::string_view kPlaceholder = "----------";

std::string replaceAll(std::string text, std::string_view from, std::string_view to) {
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
  return text;
}

// A panel's display field as a report value: its placeholder and the empty
// text are null.
Json fieldValue(const std::string& text) { return textOrNull(text); }

// The line check's cause from its download's failure.
RowCause lineCause(const LineFailure& failure) {
  const std::string address = failure.address.empty() ? "the test address" : failure.address;
  switch (failure.failure) {
    case DownloadFailure::HttpStatus:
      return {"lineHttpStatus", address + " answered with HTTP status " + std::to_string(failure.status) + "."};
    case DownloadFailure::Refused: return {"lineRefused", "The connection to " + address + " was refused."};
    case DownloadFailure::TimedOut:
      return {"lineTimedOut", "No whole answer came from " + address + " within the time limit."};
    case DownloadFailure::NameNotFound:
      return {"lineNameNotFound", "The host name of " + address + " was not found (DNS)."};
    case DownloadFailure::Tls:
      return {"lineTls", "The secure connection (TLS) to " + address + " failed: " + failure.error + "."};
    case DownloadFailure::TooLarge:
      return {"lineTooLarge", "The answer from " + address + " was longer than " + std::to_string(kTestPageCap >> 20) +
                                  " MB, more than a test page; the download was stopped."};
    case DownloadFailure::None:
    case DownloadFailure::Other: break;
  }
  std::string why = failure.error.empty() ? "" : ": " + failure.error;
  return {"lineFailed", address + " could not be downloaded" + why + "."};
}

// "Recorded on the customer's Mac (HOST, TIME).": where a capture's line was checked.
std::string recordedOnTheMac(const CapturePlatform& capture) {
  return "Recorded on the customer's Mac (" + captureName(capture.manifest()) + ").";
}

}  // namespace

std::string rowStatus(const ReportRow& row) {
  if (row.image == "ok" || row.image == "err" || row.image == "syserr") return row.image;
  return row.code.empty() ? "notRun" : "err";
}

RowCause rowCause(Row row, const ReportRow& state, const Corvane& controller) {
  std::string status = rowStatus(state);
  const CapturePlatform* capture = controller.capture();
  if (row == Row::Line && status == "notRun" && capture && !capture->lineRecording())
    return {"lineNotRecorded",
            "The capture holds no recorded fetch of the test address, and the line of this machine is not the "
            "customer's: capture again with corvane-capture --test-url (the provider's test address)."};
  if (status == "ok" || status == "notRun") return {};
  const ProviderDatas& prvs = controller.prvs();
  switch (row) {
    case Row::Network: {
      if (controller.port().empty()) return {"noPort", "The current network location has no active network port."};
      if (!controller.IsProxyOK())
        return {"proxiesDiffer",
                "The proxies of port " + controller.port() + " differ from those the provider prescribes."};
      return {"noHardwareAddress", "Port " + controller.port() + " has no hardware (MAC) address."};
    }
    case Row::Tcpip: {
      const Value& tcpips = controller.tcpips();
      if (tcpips.count() == 0) return {"noTcpipService", "No active network service has TCP/IP settings."};
      const TcpipRecord record = TcpipRecord::fromList(tcpips[0]);
      const std::string& method = record.method;
      if (!prvs.tcp || method != *prvs.tcp)
        return {"methodDiffers",
                "IPv4 is configured as \"" + method + "\"; the provider prescribes \"" + prvs.tcp.value_or("") + "\"."};
      const std::string& server = record.dnsServerInUse;
      if (intValueOfText(record.address.address) == 0)
        return {"noAddress", "The service " + record.address.interfaceName + " has no IPv4 address."};
      if (intValueOfText(server) == 0) return {"noDnsServer", "No DNS server answered name lookups."};
      return {"dnsServerNotRouter", "The DNS server in use, " + server + ", is not the provider's router " +
                                        prvs.routerip.value_or("") + "."};
    }
    case Row::Mail: return {"noMailAccount", "Mail is installed but has no POP account."};
    case Row::Line:
      if (state.code == resultCodeText(ResultCode::NoWebEngine))
        return {"noWebEngine", "The line check cannot run on this system: the web engine (WebKit) is missing."};
      if (capture) {
        RowCause cause = lineCause(controller.lineFailure());
        cause.sentence += " " + recordedOnTheMac(*capture);
        return cause;
      }
      return lineCause(controller.lineFailure());
    case Row::System:
    case Row::Hardware:
    case Row::Browser: break;
  }
  return {"unknown", "The check found a fault."};
}

Json rowFacts(Row row, const Corvane& controller, const Platform& platform) {
  bool newer = controller.proxyListHasAutomatic();
  switch (row) {
    case Row::System:
      return Json{{"os", textOrNull(controller.os())},
                  {"osVersion", textOrNull(platform.productVersion())},
                  {"disk", textOrNull(controller.hdd())}};
    case Row::Hardware: {
      const Value& items = controller.hardwareProfile()[0];
      return Json{{"model", textOrNull(items["machine_model"])},
                  {"modelName", textOrNull(items["machine_name"])},
                  {"cpu", textOrNull(items["cpu_type"])},
                  {"clock", textOrNull(items["current_processor_speed"])},
                  {"memory", textOrNull(items["physical_memory"])}};
    }
    case Row::Network: {
      const Value& networks = controller.networks();
      return Json{{"location", textOrNull(networks[0])},
                  {"port", textOrNull(controller.port())},
                  {"mac", textOrNull(controller.mac())},
                  {"proxies", proxyListJson(controller.proxy(), newer)},
                  {"proxiesAsPrescribed", controller.IsProxyOK()}};
    }
    case Row::Tcpip: {
      const Value& tcpips = controller.tcpips();
      const ProviderDatas& prvs = controller.prvs();
      Json facts = tcpips.count() > 0 ? tcpipRecordJson(tcpips[0]) : Json::object();
      facts["prescribedMethod"] = prvs.tcp ? textOrNull(*prvs.tcp) : Json(nullptr);
      facts["prescribedDnsServer"] = prvs.routerip ? textOrNull(*prvs.routerip) : Json(nullptr);
      return facts;
    }
    case Row::Browser:
      return controller.browsers().count() == 0 ? Json(nullptr) : browserListJson(controller.browsers());
    case Row::Mail: return controller.mails().count() == 0 ? Json(nullptr) : mailListJson(controller.mails());
    case Row::Line: {
      const LineFailure& failure = controller.lineFailure();
      const CapturePlatform* capture = controller.capture();
      const std::optional<LineRecording> line = capture ? capture->lineRecording() : std::nullopt;
      const std::string& address = line ? line->url : controller.prvs().testurl.value_or("");
      // A capture's line was checked on the customer's Mac, at the capture.
      Json recorded = nullptr;
      if (line)
        recorded = Json{{"where", "customer's Mac"},
                        {"host", capture->manifest().host},
                        {"time", capture->manifest().time},
                        {"httpStatus", line->httpStatus != 0 ? Json(line->httpStatus) : Json(nullptr)},
                        {"bytes", line->bytes},
                        {"seconds", line->seconds},
                        {"curlExit", line->curlExit}};
      return Json{{"address", textOrNull(address)},
                  {"failure", failure.failure == DownloadFailure::None ? Json(nullptr)
                                                                       : Json(downloadFailureName(failure.failure))},
                  {"httpStatus", failure.status != 0 ? Json(failure.status) : Json(nullptr)},
                  {"error", textOrNull(failure.error)},
                  {"recorded", recorded}};
    }
  }
  return nullptr;
}

Json reportRows(const std::map<Row, ReportRow>& rows, const Corvane& controller, const Platform& platform,
                const LocalizedStrings& strings) {
  Json out = Json::object();
  const std::string notFound = strings.text("notFound");
  for (Row row : kAllRows) {
    auto found = rows.find(row);
    ReportRow state = found == rows.end() ? ReportRow{} : found->second;
    std::string status = rowStatus(state);
    RowCause cause = rowCause(row, state, controller);
    // A tool that did not answer explains a fault better than the verdict alone.
    if (!cause.sentence.empty() && !state.unanswered.empty()) cause.sentence += " (" + state.unanswered + ")";
    Json entry{{"image", state.image},
               {"text", replaceAll(state.text, kPlaceholder, notFound)},
               {"code", state.code},
               {"status", status},
               {"cause", cause.id.empty() ? Json(nullptr) : Json(cause.id)},
               {"message", cause.sentence.empty() ? Json(nullptr) : Json(cause.sentence)},
               {"facts", status == "notRun" ? Json(nullptr) : rowFacts(row, controller, platform)},
               {"unanswered", textOrNull(state.unanswered)}};
    out[std::string(rowName(row))] = entry;
  }
  return out;
}

Json offerJson(const ReportOffer& offer) {
  // The panel's rows: the current settings, an empty row, the "recommended"
  // heading, then the recommended settings. A row without a name continues
  // the one above it (further proxy exceptions).
  Json current = Json::array();
  Json recommended = Json::array();
  bool afterBlank = false;
  for (const auto& [name, value] : offer.offer.pairs) {
    if (name.empty() && value.empty()) {
      afterBlank = true;
      continue;
    }
    Json& list = afterBlank ? recommended : current;
    std::string trimmed = name;
    while (!trimmed.empty() && trimmed.front() == ' ') trimmed.erase(0, 1);
    if (afterBlank && list.empty() && value.empty()) continue;  // the heading
    list.push_back(Json{{"name", trimmed}, {"value", value}});
  }
  return Json{{"row", std::string(rowName(offer.offer.row))},
              {"message", offer.offer.messageKey},
              {"text", offer.offer.message},
              {"code", offer.code},
              {"current", current},
              {"recommended", recommended},
              {"plan", Json{{"location", textOrNull(offer.offer.location)}, {"turnedOff", offer.offer.turnedOff}}},
              {"accepted", offer.accepted}};
}

void replacePlaceholders(Json& json, const std::string& notFound) {
  if (json.is_string()) {
    const std::string& text = json.get_ref<const std::string&>();
    if (text == kPlaceholder)
      json = nullptr;
    else if (text.find(kPlaceholder) != std::string::npos)
      json = replaceAll(text, kPlaceholder, notFound);
  } else if (json.is_structured()) {
    for (auto& child : json) replacePlaceholders(child, notFound);
  }
}

std::string isoUtcTime(std::time_t time) {
  std::tm utc{};
  gmtime_r(&time, &utc);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
  return text;
}

Json checkReport(const ReportSource& source, const std::string& title, const std::map<Row, ReportRow>& rows,
                 const std::vector<ReportOffer>& offers, const Corvane& controller, const Platform& platform,
                 const LocalizedStrings& strings) {
  Json report;
  report["formatVersion"] = kReportFormatVersion;
  report["program"] = source.program;
  report["version"] = source.version;
  report["time"] = isoUtcTime(source.time);
  report["root"] = source.root;
  report["bundle"] = source.bundle;
  report["osVersion"] = textOrNull(platform.productVersion());
  report["hardwareModel"] = textOrNull(controller.hardwareProfile()[0]["machine_model"]);
  report["language"] = source.language;
  report["title"] = title;
  report["providerSettings"] = controller.prvs().hasSettings();
  report["rows"] = reportRows(rows, controller, platform, strings);
  Json offerList = Json::array();
  for (const auto& offer : offers) offerList.push_back(offerJson(offer));
  report["offers"] = offerList;
  return report;
}

// ---- detail panels ------------------------------------------------------------

Json hardwarePanelJson(const std::vector<VolumeRow>& volumes) {
  Json rows = Json::array();
  for (const auto& volume : volumes)
    rows.push_back(Json{{"volume", volume.volume}, {"free", fieldValue(volume.free)}, {"all", fieldValue(volume.all)}});
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
        ports.push_back(Json{{"name", panel.ports()[port]},
                             {"mac", fieldValue(f.mac)},
                             {"web", fieldValue(f.web)},
                             {"socks", fieldValue(f.socks)},
                             {"ftp", fieldValue(f.ftp)},
                             {"gopher", fieldValue(f.gopher)},
                             {"secure", fieldValue(f.secure)},
                             {"rtsp", fieldValue(f.rtsp)},
                             {"mailProxy", fieldValue(f.mail)},
                             {"autoProxy", fieldValue(f.autoP)},
                             {"noProxy", fieldValue(f.noProxy)}});
      }
      locations.push_back(Json{{"name", panel.places()[place]}, {"ports", ports}});
    }
  }
  return Json{{"current", textOrNull(networks[0])}, {"locations", locations}};
}

Json tcpipPanelJson(const Value& tcpips, const Value& networks, const LocalizedStrings& strings) {
  TcpipPanelModel panel;
  panel.showPanel(tcpips, networks, strings);
  Json ports = Json::array();
  for (size_t port = 0; panel.hasPorts() && port < panel.ports().size(); ++port) {
    panel.OnSelectPort(port);
    const auto& f = panel.fields();
    // The panel's "router" field shows the interface's broadcast (or
    // point-to-point peer) address, and is named for what it holds.
    ports.push_back(Json{{"name", panel.ports()[port]},
                         {"use", fieldValue(f.use)},
                         {"ipaddress", fieldValue(f.ipaddress)},
                         {"subnetmask", fieldValue(f.subnetmask)},
                         {"broadcast", fieldValue(f.router)},
                         {"dnsInUse", fieldValue(f.dns1)},
                         {"dnsserver", fieldValue(f.dnsserver)},
                         {"searchdomain", fieldValue(f.searchdomain)},
                         {"ipv6address", fieldValue(f.ipv6address)},
                         {"ipv6config", fieldValue(f.ipv6config)}});
  }
  std::string location = panel.places().empty() ? "" : panel.places()[panel.selectedPlace()];
  return Json{{"location", textOrNull(location)}, {"ports", ports}};
}

Json mailPanelJson(const Value& accounts, const LocalizedStrings& strings) {
  MailPanelModel panel;
  panel.showPanel(accounts, strings);
  Json rows = Json::array();
  for (size_t i = 0; i < accounts.count(); ++i) {
    panel.OnSelectAccount(i);
    const auto& f = panel.fields();
    rows.push_back(Json{{"account", panel.items()[i]},
                        {"mailaddress", fieldValue(f.mailaddress)},
                        {"name", fieldValue(f.name)},
                        {"user", fieldValue(f.user)},
                        {"pop", fieldValue(f.pop)},
                        {"smtp", fieldValue(f.smtp)}});
  }
  return Json{{"accounts", rows}};
}

Json detailsJson(const Corvane& controller, const LocalizedStrings& strings) {
  return Json{{"hardware", hardwarePanelJson(controller.hardwarePanelRows())},
              {"network", networkPanelJson(controller.networks(), strings, controller.proxyListHasAutomatic())},
              {"tcpip", tcpipPanelJson(controller.tcpips(), controller.networks(), strings)},
              {"mail", mailPanelJson(controller.mailAccounts(), strings)}};
}

// ---- readable forms -------------------------------------------------------------

namespace {

std::string htmlEscaped(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\n': out += "<br>"; break;
      default: out += c;
    }
  }
  return out;
}

std::string jsonText(const Json& value) {
  if (value.is_string()) return value.get<std::string>();
  if (value.is_null()) return "";
  return value.dump();
}

}  // namespace

std::string reportHtml(const Json& report, const LocalizedStrings& strings) {
  std::ostringstream out;
  out << "<!DOCTYPE html>\n<html lang=\"" << htmlEscaped(jsonText(report["language"]))
      << "\">\n<head>\n<meta charset=\"utf-8\">\n<title>" << htmlEscaped(jsonText(report["title"]))
      << "</title>\n<style>\n"
         "body { font-family: sans-serif; margin: 2em; }\n"
         "table { border-collapse: collapse; }\n"
         "th, td { border: 1px solid #999; padding: 0.3em 0.6em; text-align: left; vertical-align: top; }\n"
         ".ok { color: #060; } .err, .syserr { color: #a00; font-weight: bold; } .notRun { color: #666; }\n"
         "</style>\n</head>\n<body>\n";
  out << "<h1>" << htmlEscaped(jsonText(report["title"])) << "</h1>\n<table>\n";
  const std::pair<const char*, const char*> about[] = {
      {"reportTime", "time"},           {"reportProgram", "program"},     {"reportVersion", "version"},
      {"reportOsVersion", "osVersion"}, {"reportModel", "hardwareModel"}, {"reportRoot", "root"}};
  for (const auto& [key, field] : about)
    out << "<tr><th>" << htmlEscaped(strings.text(key)) << "</th><td>" << htmlEscaped(jsonText(report[field]))
        << "</td></tr>\n";
  out << "</table>\n<h2>" << htmlEscaped(strings.text("reportResults")) << "</h2>\n<table>\n<tr><th>"
      << htmlEscaped(strings.text("reportRow")) << "</th><th>" << htmlEscaped(strings.text("reportStatus"))
      << "</th><th>" << htmlEscaped(strings.text("reportResult")) << "</th><th>"
      << htmlEscaped(strings.text("reportCode")) << "</th><th>" << htmlEscaped(strings.text("reportCause"))
      << "</th></tr>\n";
  for (const auto& [name, row] : report["rows"].items()) {
    std::string status = jsonText(row["status"]);
    out << "<tr><td>" << htmlEscaped(strings.text("row." + name)) << "</td><td class=\"" << status << "\">"
        << htmlEscaped(strings.text("status." + status)) << "</td><td>" << htmlEscaped(jsonText(row["text"]))
        << "</td><td>" << htmlEscaped(jsonText(row["code"])) << "</td><td>" << htmlEscaped(jsonText(row["message"]))
        << "</td></tr>\n";
  }
  out << "</table>\n";
  if (!report["offers"].empty()) {
    out << "<h2>" << htmlEscaped(strings.text("reportOffers")) << "</h2>\n";
    for (const auto& offer : report["offers"]) {
      out << "<p>" << htmlEscaped(jsonText(offer["text"])) << "</p>\n<table>\n";
      for (const char* side : {"current", "recommended"}) {
        out << "<tr><th colspan=\"2\">" << htmlEscaped(strings.text(std::string("report.") + side)) << "</th></tr>\n";
        for (const auto& setting : offer[side])
          out << "<tr><td>" << htmlEscaped(jsonText(setting["name"])) << "</td><td>"
              << htmlEscaped(jsonText(setting["value"])) << "</td></tr>\n";
      }
      out << "</table>\n<p>"
          << htmlEscaped(strings.text(offer["accepted"].get<bool>() ? "reportAccepted" : "reportDeclined")) << "</p>\n";
    }
  }
  out << "</body>\n</html>\n";
  return out.str();
}

std::string reportText(const Json& report, const LocalizedStrings& strings) {
  std::ostringstream out;
  out << jsonText(report["title"]) << '\n'
      << strings.text("reportTime") << ": " << jsonText(report["time"]) << '\n'
      << strings.text("reportVersion") << ": " << jsonText(report["program"]) << ' ' << jsonText(report["version"])
      << '\n'
      << strings.text("reportOsVersion") << ": " << jsonText(report["osVersion"]) << '\n'
      << strings.text("reportModel") << ": " << jsonText(report["hardwareModel"]) << "\n\n";
  for (const auto& [name, row] : report["rows"].items()) {
    out << strings.text("row." + name) << " [" << strings.text("status." + jsonText(row["status"])) << "]";
    if (!jsonText(row["code"]).empty()) out << ' ' << jsonText(row["code"]);
    out << '\n';
    std::string text = jsonText(row["text"]);
    if (!text.empty()) out << "  " << replaceAll(text, "\n", "\n  ") << '\n';
    if (!row["message"].is_null()) out << "  " << jsonText(row["message"]) << '\n';
  }
  return out.str();
}

}  // namespace corvane
