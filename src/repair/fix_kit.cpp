#include "repair/fix_kit.h"

#include <boost/crc.hpp>

#include "core/capture_manifest.h"
#include "core/plist_io.h"
#include "core/text.h"
#include "repair/kit_secrets.h"
#include "repair/network_repair.h"
#include "repair/setup_network.h"
#include "repair/store_changes.h"

namespace corvane {
namespace {

std::string readme(const KitValues& values, const std::vector<std::string>& changes) {
  std::string text;
  text += "Corvane fix kit for the capture of " + values.capture + "\n\n";
  text += "What it changes\n";
  text += "It replaces the network settings file " + values.store + " with a repaired one, in which the location \"" +
          kRepairLocationName + "\" (set " + values.setKey +
          ") is the current location: the built-in Ethernet port active with DHCP and the provider's proxies, "
          "the other ports of the location inactive. Changes:\n";
  for (const auto& line : changes) text += "  " + line + "\n";
  text +=
      "\nHow to use it\n"
      "1. Copy this folder to the Mac that was captured.\n"
      "2. In Terminal, in this folder: sudo sh apply.sh\n"
      "   It refuses if the network settings changed since the capture (run corvane-capture again then),\n"
      "   puts the passwords kept on the Mac back, keeps a backup in\n"
      "   /Library/Application Support/Corvane/backups and installs the repaired file.\n"
      "3. To go back: sudo sh undo.sh (puts the previous file back as it was).\n\n";
  text += "Corvane 修復キット（取得: " + values.capture + "）\n\n";
  text += "変更内容\n";
  text += "ネットワーク設定ファイル " + values.store + " を修復済みのものに置き換えます。場所「" +
          std::string(kRepairLocationName) + "」（セット " + values.setKey +
          "）が現在の場所になり、内蔵 Ethernet ポートが DHCP とプロバイダのプロキシで有効に、"
          "その場所のほかのポートは無効になります。変更点は上の一覧のとおりです。\n\n";
  text +=
      "使い方\n"
      "1. このフォルダを、取得した Mac にコピーします。\n"
      "2. ターミナルでこのフォルダに移動し、sudo sh apply.sh を実行します。\n"
      "   取得後にネットワーク設定が変わっていると何も変更しません（その場合は corvane-capture "
      "をもう一度実行してください）。\n"
      "   Mac に残したパスワードを戻し、/Library/Application Support/Corvane/backups にバックアップを作ってから、\n"
      "   修復済みファイルを設置します。\n"
      "3. 元に戻すには sudo sh undo.sh を実行します（以前のファイルをそのまま戻します）。\n";
  return text;
}

// "CRC SIZE" as cksum prints them: the POSIX CRC of the bytes and their count.
std::string posixChecksum(const std::string& bytes) {
  boost::crc_optimal<32, 0x04C11DB7, 0, 0xFFFFFFFF, false, false> crc;
  crc.process_bytes(bytes.data(), bytes.size());
  for (size_t length = bytes.size(); length > 0; length >>= 8) {
    const unsigned char low = static_cast<unsigned char>(length & 0xff);
    crc.process_byte(low);
  }
  return std::to_string(crc.checksum()) + " " + std::to_string(bytes.size());
}

}  // namespace

std::string shellQuoted(std::string_view text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

KitOutcome writeFixKit(Platform& platform, ProviderDatas& settings, const std::string& kitFolder) {
  KitOutcome outcome;
  const auto manifest = readCaptureManifest(platform);
  if (!manifest) {
    outcome.failure =
        "the root is not a capture made by corvane-capture: a fix kit needs the checksum of the "
        "store as it was captured";
    return outcome;
  }
  KitValues values;
  values.store = storeDestination(platform);
  values.secretsFile = manifest->secretsFile;
  values.capture = captureName(*manifest);
  for (const auto& store : manifest->stores)
    if (store.path == values.store) values.checksum = store.checksum;
  if (values.checksum.empty()) {
    outcome.failure = "the capture holds no checksum of " + values.store + ", the store the repair replaces";
    return outcome;
  }

  SetupNetwork setup(platform);
  outcome.setKey = setup.DoSetup(kRepairLocationName, settings);
  if (outcome.setKey == "-1") {
    outcome.failure = setup.failure();
    return outcome;
  }
  values.setKey = outcome.setKey;
  const PrivateCopy& copy = setup.copy();
  if (setup.unchanged()) {
    // Installing the same settings again would only restart the network.
    removePrivateCopy(platform, copy);
    outcome.alreadyMatches = true;
    return outcome;
  }
  outcome.changes = describeChanges(setup.liveStore(), parsePropertyList(copy.bytes));

  // Each secret as its placeholder alone, for apply.sh to put back.
  const MarkedSecrets marked = markSecretsForKit(setup.built(), manifest->secrets);
  const std::string kitStore = marked.ok() ? toXmlPropertyList(marked.store) : std::string();
  if (!marked.ok() || kitStore.empty() || !(parsePropertyList(kitStore) == marked.store)) {
    removePrivateCopy(platform, copy);
    outcome.failure = marked.ok() ? "the kit's store cannot be written as a property list"
                                  : "the capture's secrets cannot be put back: " + marked.failure;
    return outcome;
  }
  if (!marked.placeholders.empty() && values.secretsFile.empty()) {
    removePrivateCopy(platform, copy);
    outcome.failure = "the capture names no private file for the secrets its store holds";
    return outcome;
  }
  values.kitChecksum = posixChecksum(kitStore);

  const std::string storeFile = lastPathComponent(values.store);
  const bool written = platform.makeHostFolders(kitFolder + "/store") &&
                       platform.writeHostFile(kitFolder + "/store/" + storeFile, kitStore, 0644) &&
                       platform.writeHostFile(kitFolder + "/apply.sh", applyScript(values), 0755) &&
                       platform.writeHostFile(kitFolder + "/undo.sh", undoScript(values), 0755) &&
                       platform.writeHostFile(kitFolder + "/README.txt", readme(values, outcome.changes), 0644);
  removePrivateCopy(platform, copy);
  if (!written) outcome.failure = "the kit could not be written into " + kitFolder;
  return outcome;
}

}  // namespace corvane
