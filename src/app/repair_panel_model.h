#pragma once
// The repair panel's table: the offer's pairs as rows of two cells.

#include <string>
#include <utility>
#include <vector>

namespace corvane {

struct RepairPanelRow {
  std::string name;
  // ": " and the result, or the empty text for an empty result.
  std::string result;
};

// One row per (name, result) pair.
std::vector<RepairPanelRow> repairPanelRows(const std::vector<std::pair<std::string, std::string>>& pairs);

}  // namespace corvane
