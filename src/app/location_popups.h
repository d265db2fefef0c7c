#pragma once
// The two pop-ups that the network and TCP/IP panels share: the locations of
// a port list and the ports of the chosen location. Choosing the item that is
// already shown changes nothing.

#include <string>
#include <vector>

#include "core/localized_strings.h"
#include "core/plist_value.h"

namespace corvane {

class LocationPopups {
 public:
  virtual ~LocationPopups() = default;

  const std::vector<std::string>& places() const { return places_; }
  const std::vector<std::string>& ports() const { return ports_; }
  size_t selectedPlace() const { return selectedPlace_; }
  size_t selectedPort() const { return selectedPort_; }
  bool placeEnabled() const { return placeEnabled_; }
  bool portEnabled() const { return portEnabled_; }
  // False when the port pop-up holds only the "noNetwork" item.
  bool hasPorts() const { return hasPorts_; }

  // The pop-up actions: the item at index was chosen.
  void OnSelectPlace(size_t index);
  void OnSelectPort(size_t index);

 protected:
  // Fills the pop-ups from a port list and shows its current location.
  void fill(const Value& portList, const LocalizedStrings& strings);
  // Empties the value fields.
  virtual void clearValue() = 0;
  // Shows the port at this index of the chosen location's port list.
  virtual void showPort(const Value& location, size_t portIndex) = 0;

  bool placeEnabled_ = true;

 private:
  Value portList_;
  const LocalizedStrings* strings_ = nullptr;
  std::vector<std::string> places_;
  std::vector<std::string> ports_;
  size_t selectedPlace_ = 0;
  size_t selectedPort_ = 0;
  bool portEnabled_ = true;
  bool hasPorts_ = false;
  std::string selectPlace_;
  std::string selectPort_;
};

}  // namespace corvane
