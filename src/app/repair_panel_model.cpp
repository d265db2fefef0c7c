#include "app/repair_panel_model.h"

namespace corvane {

std::vector<RepairPanelRow> repairPanelRows(const std::vector<std::pair<std::string, std::string>>& pairs) {
  std::vector<RepairPanelRow> rows;
  for (const auto& [name, result] : pairs) rows.push_back({name, result.empty() ? "" : ": " + result});
  return rows;
}

}  // namespace corvane
