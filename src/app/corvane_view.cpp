#include "app/corvane_view.h"

namespace corvane {

std::string_view rowName(Row row) {
  switch (row) {
    case Row::System: return "system";
    case Row::Hardware: return "hardware";
    case Row::Network: return "network";
    case Row::Tcpip: return "tcpip";
    case Row::Browser: return "browser";
    case Row::Mail: return "mail";
    case Row::Line: return "line";
  }
  return "";
}

std::string_view rowImageName(RowImage image) {
  switch (image) {
    case RowImage::Before: return "before";
    case RowImage::Check: return "check";
    case RowImage::Ok: return "ok";
    case RowImage::Err: return "err";
    case RowImage::SysErr: return "syserr";
  }
  return "";
}

}  // namespace corvane
