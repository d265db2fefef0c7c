// The system accounts database replaced by any bytes (a corrupted or
// foreign file): loaded and searched for Mail's accounts.

#include "fuzz_root.h"
#include "inventory/mail_account_database.h"
#include "inventory/mail_discovery.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace corvane;
  static const fuzzing::FuzzRoot root("10.11.6");
  static fuzzing::FuzzPlatform platform(root);
  root.write("/Users/user/Library/Accounts/Accounts3.sqlite", fuzzing::bytesOf(data, size));
  (void)getMailFromDatabase(platform);
  (void)MailAccountDatabase(platform, "ZACCOUNTPROPERTY").count();
  return 0;
}
