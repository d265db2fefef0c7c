#pragma once
// The report of a check run: what the command line prints with --json and
// what the window saves for a support desk. Its form is described by
// docs/report.schema.json; every field of it is built here.

#include <ctime>
#include <map>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "app/corvane_view.h"
#include "core/localized_strings.h"
#include "core/platform.h"

namespace corvane {

class Corvane;

// The version of the report's form; raised when a field changes meaning or goes.
inline constexpr int kReportFormatVersion = 1;

// A row as a view shows it.
struct ReportRow {
  std::string image = "before";
  std::string text;
  std::string code;
  // The tools that did not answer while the row was checked ("/sbin/ifconfig
  // did not answer; ..."); empty when all did.
  std::string unanswered;
};

// A repair offer as it was shown, with the answer given.
struct ReportOffer {
  RepairOffer offer;
  std::string code;  // the row's code when offered
  bool accepted = false;
};

// Who made the report and what it looked at.
struct ReportSource {
  std::string program;  // "corvane-cli" or "corvane"
  std::string version;
  std::string root;
  std::string bundle;
  std::string language;  // of the texts: "en", "ja" or "C"
  std::time_t time = 0;
};

// "ok", "err", "syserr", or "notRun" for a row the sequence never reached. A
// row with a result code but no verdict (the line check that cannot start)
// is "err".
std::string rowStatus(const ReportRow& row);

// Why a row shows a fault: a stable id and a sentence for people. Both are
// empty for a row without a fault.
struct RowCause {
  std::string id;
  std::string sentence;
};
RowCause rowCause(Row row, const ReportRow& state, const Corvane& controller);

// The facts the row's verdict rests on, with named fields (null where the
// row has not run or found nothing).
nlohmann::ordered_json rowFacts(Row row, const Corvane& controller, const Platform& platform);

// {"system": {image, text, code, status, cause, message, facts}, ...}. The
// texts' "not found" placeholder is replaced by the localized "notFound".
nlohmann::ordered_json reportRows(const std::map<Row, ReportRow>& rows, const Corvane& controller,
                                  const Platform& platform, const LocalizedStrings& strings);

// An offer with named fields: {"row", "message", "code", "current": [...],
// "recommended": [...], "accepted"}; each setting {"name", "value"}.
nlohmann::ordered_json offerJson(const ReportOffer& offer);

// The whole report: the top-level fields, the title, the rows and the offers.
// Callers add "events", "timings" and "details" where they have them.
nlohmann::ordered_json checkReport(const ReportSource& source, const std::string& title,
                                   const std::map<Row, ReportRow>& rows, const std::vector<ReportOffer>& offers,
                                   const Corvane& controller, const Platform& platform,
                                   const LocalizedStrings& strings);

// The content of each detail panel for the controller's kept lists (also
// what the command line prints when a panel opens); the panels' "not found"
// texts are null.
nlohmann::ordered_json hardwarePanelJson(const std::vector<VolumeRow>& volumes);
nlohmann::ordered_json networkPanelJson(const Value& networks, const LocalizedStrings& strings, bool newer);
nlohmann::ordered_json tcpipPanelJson(const Value& tcpips, const Value& networks, const LocalizedStrings& strings);
nlohmann::ordered_json mailPanelJson(const Value& accounts, const LocalizedStrings& strings);

// The content of the four detail panels, with named fields.
nlohmann::ordered_json detailsJson(const Corvane& controller, const LocalizedStrings& strings);

// Every "not found" placeholder left in the report's texts (in events and
// panel fields) goes: a text that is only the placeholder becomes null, one
// that holds it gets notFound in its place.
void replacePlaceholders(nlohmann::ordered_json& json, const std::string& notFound);

// ISO 8601 in UTC: "2026-12-10T16:05:00Z".
std::string isoUtcTime(std::time_t time);

// The report as a readable HTML page (texts escaped), for the window's
// "Save Report".
std::string reportHtml(const nlohmann::ordered_json& report, const LocalizedStrings& strings);

// The report as plain text: the rows, then each fault's cause.
std::string reportText(const nlohmann::ordered_json& report, const LocalizedStrings& strings);

}  // namespace corvane
