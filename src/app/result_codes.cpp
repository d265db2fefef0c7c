#include "app/result_codes.h"

namespace corvane {

std::string_view resultCodeText(ResultCode code) {
  switch (code) {
    case ResultCode::ProxiesDiffer: return "03017";
    case ResultCode::NoHardwareAddress: return "03024";
    case ResultCode::NoTcpipService: return "03031";
    case ResultCode::MethodDiffers: return "04017";
    case ResultCode::AddressOrDnsFault: return "04024";
    case ResultCode::NoMailAccount: return "06012";
    case ResultCode::NoWebEngine: return "07012";
    case ResultCode::LineCheckFailed: return "07029";
  }
  return "";
}

}  // namespace corvane
