#pragma once
// The five-digit result codes a row shows beside a fault: what a customer
// reads out to the support desk.

#include <string_view>

namespace corvane {

enum class ResultCode {
  ProxiesDiffer,      // "03017": the port's proxies are not the provider's (repair offered)
  NoHardwareAddress,  // "03024": the port has no hardware address (repair offered)
  NoTcpipService,     // "03031": no active service has TCP/IP settings
  MethodDiffers,      // "04017": the IPv4 or IPv6 method is not the provider's (repair offered)
  AddressOrDnsFault,  // "04024": no address, no DNS server or not the provider's router
  NoMailAccount,      // "06012": Mail has no account (found while checking again after a repair)
  NoWebEngine,        // "07012": the line check cannot run without the web engine
  LineCheckFailed,    // "07029": the test download failed or took too long
};

std::string_view resultCodeText(ResultCode code);

}  // namespace corvane
