#include "app/location_popups.h"

namespace corvane {

void LocationPopups::fill(const Value& portList, const LocalizedStrings& strings) {
  portList_ = portList;
  strings_ = &strings;
  places_.clear();
  ports_.clear();
  selectedPlace_ = selectedPort_ = 0;
  selectPlace_.clear();
  selectPort_.clear();
  hasPorts_ = false;
  clearValue();
  for (size_t i = 1; i < portList_.count(); ++i) places_.push_back(portList_[i][0].text());
  if (places_.empty()) {
    places_.push_back(strings.text("noNetwork"));
    ports_.push_back(strings.text("noNetwork"));
    return;
  }
  size_t current = 0;
  for (size_t i = 0; i < places_.size(); ++i) {
    if (places_[i] == portList_[0].text()) {
      current = i;
      break;
    }
  }
  OnSelectPlace(current);
}

void LocationPopups::OnSelectPlace(size_t index) {
  if (index >= places_.size() || portList_.count() < 2) return;
  selectedPlace_ = index;
  if (places_[index] == selectPlace_) return;
  selectPlace_ = places_[index];
  selectPort_.clear();
  placeEnabled_ = places_.size() != 1;
  ports_.clear();
  selectedPort_ = 0;
  const Value& entries = portList_[index + 1][1];
  for (size_t i = 0; i < entries.count(); ++i)
    if (entries[i].count() > 1) ports_.push_back(entries[i][0].text());
  hasPorts_ = !ports_.empty();
  if (ports_.empty()) {
    clearValue();
    ports_.push_back(strings_->text("noNetwork"));
    return;
  }
  OnSelectPort(0);
}

void LocationPopups::OnSelectPort(size_t index) {
  if (index >= ports_.size()) return;
  selectedPort_ = index;
  portEnabled_ = ports_.size() != 1;
  if (ports_[index] == selectPort_) return;
  selectPort_ = ports_[index];
  showPort(portList_[selectedPlace_ + 1], index);
}

}  // namespace corvane
